// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

class QApplication;
class QLineEdit;

// The application's look for the standard widgets it keeps: text fields as pixel boxes (the
// border turns solid while the field has focus), flat scroll bars, tooltips and menus in the
// palette. Everything is drawn on whole device pixels.
class KiwanoStyle : public QProxyStyle
{
    Q_OBJECT

public:
    KiwanoStyle();

    QPalette standardPalette() const override;
    void polish(QPalette &palette) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};

namespace Look {

// Registers the pixel font and gives the application the look: palette, font and KiwanoStyle.
void apply(QApplication &app);
// A plain single-line field in the pixel body font, with padding points inside its box,
// width points wide (any width when 0).
QLineEdit *textField(int padding, int width, QWidget *parent = nullptr);

} // namespace Look
