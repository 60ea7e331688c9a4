// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class KiwanoButton;
class QLabel;

// Minus, "200 items", plus: steps a whole number within its bounds; a button that would leave
// them is disabled.
class LimitStepper : public QWidget
{
    Q_OBJECT
public:
    LimitStepper(int lower, int upper, int step, QWidget *parent = nullptr);

    int value() const { return m_value; }
    // Shows the value (brought within the bounds) without reporting it.
    void setValue(int value);
    QString text() const;
    KiwanoButton *minusButton() const { return m_minus; }
    KiwanoButton *plusButton() const { return m_plus; }

signals:
    void valueEdited(int value);

private:
    void stepBy(int direction);

    int m_lower;
    int m_upper;
    int m_step;
    int m_value = 0;
    KiwanoButton *m_minus;
    KiwanoButton *m_plus;
    QLabel *m_shown;
};
