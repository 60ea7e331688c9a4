// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class KiwanoButton;
class QLabel;

// Minus, the formatted value, plus. The buttons step within the range; the shown value itself is
// never clamped, so a value from elsewhere shows as it is until a button is pressed.
class PixelStepper : public QWidget
{
    Q_OBJECT

public:
    enum class Format { whole, offOrWhole, percent };

    PixelStepper(const QString &title, double lower, double upper, double step, Format format,
                 QWidget *parent = nullptr);

    double value() const { return m_value; }
    // Shows value without reporting it.
    void setValue(double value);
    QString text() const;
    KiwanoButton *minusButton() const { return m_minus; }
    KiwanoButton *plusButton() const { return m_plus; }

    // "12" (fraction dropped), "Off" for 0 with offOrWhole, "30%" for 0.3 with percent.
    static QString format(double value, Format format);

signals:
    void valueEdited(double value);

private:
    void stepBy(int direction);

    double m_lower;
    double m_upper;
    double m_step;
    Format m_format;
    double m_value = 0;
    KiwanoButton *m_minus;
    KiwanoButton *m_plus;
    QLabel *m_shown;
};
