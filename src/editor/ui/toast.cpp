// SPDX-License-Identifier: MIT
#include "editor/ui/toast.h"

#include "editor/model/editormodel.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace {
constexpr int fontSize = 16;
constexpr int iconSize = 18;
constexpr int gap = 6;
constexpr int padX = 16;
constexpr int padY = 10;
constexpr int shadow = 4;
constexpr int bottomSpace = 24;
constexpr int motionMs = 220;
} // namespace

Toast::Toast(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_motion(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    m_motion->setDuration(motionMs);
    m_motion->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_motion, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_shown = value.toReal();
        place();
    });
    connect(m_motion, &QVariantAnimation::finished, this, [this] {
        if (m_shown <= 0)
            hide();
    });
    connect(model, &EditorModel::toastChanged, this, &Toast::follow);
    hide();
    follow();
}

void Toast::follow()
{
    const std::optional<QString> text = m_model->toast();
    const qreal target = text ? 1 : 0;
    if (text) {
        // The leaving notice keeps its text while it slides out.
        m_text = *text;
        setAccessibleName(m_text);
        show();
        raise();
    }
    if (!isVisible() && !text)
        return;
    m_motion->stop();
    m_motion->setStartValue(m_shown);
    m_motion->setEndValue(target);
    m_motion->start();
    place();
}

QSize Toast::sizeHint() const
{
    const QFontMetricsF metrics(Pixel::font(fontSize));
    const qreal textWidth = std::ceil(metrics.horizontalAdvance(m_text));
    const qreal lineHeight = std::max<qreal>(iconSize, std::ceil(metrics.height()));
    return QSize(int(padX * 2 + iconSize + gap + textWidth) + shadow,
                 int(padY * 2 + lineHeight) + shadow);
}

void Toast::place()
{
    if (!parentWidget())
        return;
    const QSize size = sizeHint();
    const int restY = parentWidget()->height() - bottomSpace - size.height();
    const int outY = parentWidget()->height();
    const int y = int(std::lround(outY + (restY - outY) * m_shown));
    setGeometry((parentWidget()->width() - size.width()) / 2, y, size.width(), size.height());
    update();
}

void Toast::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(std::clamp(m_shown, 0.0, 1.0));
    const QRectF box(0, 0, width() - shadow, height() - shadow);
    Look::fillSnapped(painter, box.translated(shadow, shadow), Kiwano::peel);
    Look::paintPixelBox(painter, box, Kiwano::yellow, true);

    const QRectF content = box.adjusted(padX, padY, -padX, -padY);
    const QRectF iconFrame(content.left(), content.center().y() - iconSize / 2.0, iconSize, iconSize);
    Look::drawIcon(painter, iconFrame, QStringLiteral("kiwano"), iconSize, Kiwano::peel);
    painter.setFont(Pixel::font(fontSize));
    painter.setPen(Kiwano::peel);
    painter.drawText(content.adjusted(iconSize + gap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     m_text);
}
