// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <QWidget>

#include "capture/grabentry.h"

// Stands where the editor will be while a grab's image is being read: its thumbnail scaled up to
// fit, or the kiwano until the thumbnail is there.
class GrabPlaceholder : public QWidget
{
    Q_OBJECT

public:
    explicit GrabPlaceholder(QWidget *parent = nullptr);

    void setEntry(const GrabEntry &entry);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    GrabEntry m_entry;
};
