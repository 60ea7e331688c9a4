// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <functional>

class KiwanoButton;
class QLabel;

// Minus, the value as text, plus. The buttons step within the range and are disabled at its
// ends (a value a step's rounding leaves a hair inside counts as at the end); the shown value
// itself is never clamped, so a value from elsewhere shows as it is until a button is pressed.
class Stepper : public QWidget
{
    Q_OBJECT

public:
    // How a value reads: on screen, and for a screen reader.
    using Text = std::function<QString(double value)>;

    // less and more name the buttons for a screen reader; spoken names the value (the shown
    // text when not given). widest is the longest text the value takes, to keep the row still.
    Stepper(double lower, double upper, double step, Text shown, const QString &less, const QString &more,
            const QString &widest, Text spoken = {}, QWidget *parent = nullptr);

    double value() const { return m_value; }
    // Shows value without reporting it.
    void setValue(double value);
    QString text() const;
    KiwanoButton *minusButton() const { return m_minus; }
    KiwanoButton *plusButton() const { return m_plus; }

signals:
    void valueEdited(double value);

private:
    void stepBy(int direction);

    double m_lower;
    double m_upper;
    double m_step;
    Text m_shownText;
    Text m_spokenText;
    double m_value = 0;
    KiwanoButton *m_minus;
    KiwanoButton *m_plus;
    QLabel *m_shown;
};
