// SPDX-License-Identifier: MIT
#include "look/widgets/kiwanostyle.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

constexpr int scrollBarWidth = 8;

QColor faded(QColor color, float alpha)
{
    color.setAlphaF(alpha);
    return color;
}

} // namespace

KiwanoStyle::KiwanoStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QPalette KiwanoStyle::standardPalette() const
{
    QPalette palette = QProxyStyle::standardPalette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::ToolTipBase,
                            QPalette::AlternateBase, QPalette::Light, QPalette::Midlight})
        palette.setColor(role, Kiwano::cream);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::ToolTipText, QPalette::HighlightedText, QPalette::BrightText,
                            QPalette::Dark, QPalette::Shadow})
        palette.setColor(role, Kiwano::peel);
    palette.setColor(QPalette::Mid, faded(Kiwano::peel, 0.35f));
    palette.setColor(QPalette::Highlight, Kiwano::ripe);
    palette.setColor(QPalette::PlaceholderText, faded(Kiwano::peel, 0.5f));
    palette.setColor(QPalette::Link, Kiwano::peel);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, faded(Kiwano::peel, 0.4f));
    return palette;
}

void KiwanoStyle::polish(QPalette &palette)
{
    palette = standardPalette();
}

QRect KiwanoStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                  SubControl sub, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    // No arrow buttons: the whole bar is groove.
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? bar->rect.width() : bar->rect.height();
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    int sliderLength = length;
    if (range > 0)
        sliderLength = int(qint64(length) * bar->pageStep / (range + bar->pageStep));
    sliderLength = qBound(qMin(length, pixelMetric(PM_ScrollBarSliderMin, option, widget)), sliderLength, length);
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                              length - sliderLength, bar->upsideDown);
    switch (sub) {
    case SC_ScrollBarGroove:
        return bar->rect;
    case SC_ScrollBarSlider:
        return horizontal ? QRect(bar->rect.left() + start, bar->rect.top(), sliderLength, bar->rect.height())
                          : QRect(bar->rect.left(), bar->rect.top() + start, bar->rect.width(), sliderLength);
    case SC_ScrollBarSubPage:
        return horizontal ? QRect(bar->rect.left(), bar->rect.top(), start, bar->rect.height())
                          : QRect(bar->rect.left(), bar->rect.top(), bar->rect.width(), start);
    case SC_ScrollBarAddPage: {
        const int end = start + sliderLength;
        return horizontal ? QRect(bar->rect.left() + end, bar->rect.top(), length - end, bar->rect.height())
                          : QRect(bar->rect.left(), bar->rect.top() + end, bar->rect.width(), length - end);
    }
    default:
        return QRect();
    }
}

void KiwanoStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    switch (element) {
    case PE_PanelLineEdit: {
        // A field without a frame sits in a box its owner paints.
        if (const auto *field = qobject_cast<const QLineEdit *>(widget); field && !field->hasFrame())
            return;
        const bool focused = option->state & State_HasFocus;
        const QColor fill = option->state & State_Enabled ? Kiwano::cream : faded(Kiwano::cream, 0.6f);
        Look::paintPixelBox(*painter, option->rect, fill, focused);
        return;
    }
    case PE_FrameLineEdit:
        return; // the panel above draws the border
    case PE_PanelTipLabel:
    case PE_PanelMenu:
    case PE_FrameMenu:
        Look::fillSnapped(*painter, option->rect, Kiwano::cream);
        Look::strokeInside(*painter, option->rect, element == PE_PanelTipLabel ? 2 : 1, Kiwano::peel);
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void KiwanoStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     QPainter *painter, const QWidget *widget) const
{
    if (control != CC_ScrollBar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // Flat: a cream groove and a peel slider, no arrows.
    Look::fillSnapped(*painter, option->rect, Kiwano::cream);
    const QRect slider = subControlRect(control, option, SC_ScrollBarSlider, widget);
    const bool active = option->activeSubControls & SC_ScrollBarSlider;
    if (slider.isValid())
        Look::fillSnapped(*painter, slider.adjusted(2, 2, -2, -2), faded(Kiwano::peel, active ? 0.8f : 0.5f));
}

int KiwanoStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return scrollBarWidth;
    case PM_ScrollBarSliderMin:
        return 24;
    case PM_DefaultFrameWidth:
        if (qobject_cast<const QLineEdit *>(widget))
            return 0; // the padding is the field's own text margins
        break;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int KiwanoStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                           QStyleHintReturn *returnData) const
{
    if (hint == SH_ScrollBar_Transient)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

namespace Look {

void apply(QApplication &app)
{
    const bool hasPixelFont = !Pixel::registerFont().isEmpty();
    auto *style = new KiwanoStyle;
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
    // Without the pixel font the system font stays.
    if (hasPixelFont) {
        QApplication::setFont(Pixel::uiFont());
        // The desktop's own dialogs are laid out for the desktop's font: in the pixel font their
        // columns come out cut ("35....KiB"). They and everything in them keep the system font.
        const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        for (const char *dialog : {"QFileDialog", "QMessageBox", "QColorDialog", "QInputDialog",
                                   "QProgressDialog", "QErrorMessage"})
            QApplication::setFont(system, dialog);
    }
    Q_UNUSED(app);
}

QLineEdit *textField(int padding, int width, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setFont(Pixel::uiFont());
    field->setFrame(true);
    field->setTextMargins(padding, padding, padding, padding);
    if (width > 0)
        field->setFixedWidth(width);
    return field;
}

} // namespace Look
