// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/textfont.h"

#include <QList>
#include <QWidget>

class KiwanoButton;

// One button per text font, in two columns, each label set in its own face.
class FontPicker : public QWidget
{
    Q_OBJECT

public:
    explicit FontPicker(QWidget *parent = nullptr);
    void setCurrent(TextFont font);
    // The buttons in TextFonts::allCases() order.
    const QList<KiwanoButton *> &buttons() const { return m_buttons; }

signals:
    void fontEdited(TextFont font);

private:
    QList<KiwanoButton *> m_buttons;
};
