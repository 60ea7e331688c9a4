// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"

#include <QList>
#include <QWidget>

class QLabel;

// "This session": for each service, whether it works natively here, falls back or is not
// available, what serves it and what the user can do.
class SessionSection : public QWidget
{
    Q_OBJECT
public:
    explicit SessionSection(const QList<ServiceAccount> &account, QWidget *parent = nullptr);

    // One line per service, as a screen reader hears it.
    QStringList lines() const;

private:
    QList<QLabel *> m_details;
};
