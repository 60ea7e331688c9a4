// SPDX-License-Identifier: MIT
#include "editor/ui/toast.h"

#include "editor/model/editormodel.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixelpaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {
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
    , m_action(new KiwanoButton(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    m_action->hide();
    connect(m_action, &KiwanoButton::clicked, model, &EditorModel::triggerToastAction);
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
        const std::optional<QString> action = m_model->toastAction();
        // Only a notice with a button takes clicks; the rest of the time the canvas gets them.
        setAttribute(Qt::WA_TransparentForMouseEvents, !action);
        m_action->setText(action.value_or(QString()));
        m_action->setVisible(action.has_value());
        show();
        raise();
    } else if (m_action->hasFocus()) {
        // The button leaves with its notice; the keyboard goes back to the window.
        m_action->clearFocus();
    }
    if (!isVisible() && !text)
        return;
    m_motion->stop();
    m_motion->setStartValue(m_shown);
    m_motion->setEndValue(target);
    m_motion->start();
    place();
}

qreal Toast::maxTextWidth() const
{
    const qreal room = parentWidget() ? parentWidget()->width() - 2 * bottomSpace : 600;
    const qreal button = m_action->isVisibleTo(this) ? gap * 2 + m_action->sizeHint().width() : 0;
    return std::max<qreal>(120, room - padX * 2 - iconSize - gap - button - shadow);
}

QSizeF Toast::textSize(qreal maxWidth) const
{
    const QFontMetricsF metrics(Pixel::uiFont());
    const QRectF box = metrics.boundingRect(QRectF(0, 0, maxWidth, 10000),
                                            Qt::AlignLeft | Qt::TextWordWrap, m_text);
    return QSizeF(std::ceil(box.width()), std::ceil(box.height()));
}

QSize Toast::sizeHint() const
{
    const QSizeF text = textSize(maxTextWidth());
    const bool hasButton = m_action->isVisibleTo(this);
    const QSize button = hasButton ? m_action->sizeHint() : QSize();
    const qreal lineHeight = std::max<qreal>({qreal(iconSize), text.height(), qreal(button.height())});
    const qreal buttonWidth = hasButton ? gap * 2 + button.width() : 0;
    return QSize(int(padX * 2 + iconSize + gap + text.width() + buttonWidth) + shadow,
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
    if (m_action->isVisibleTo(this)) {
        const QSize button = m_action->sizeHint();
        m_action->setGeometry(width() - shadow - padX - button.width(),
                              (height() - shadow - button.height()) / 2, button.width(), button.height());
    }
    update();
}

void Toast::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(std::clamp(m_shown, 0.0, 1.0));
    const QRectF box(0, 0, width() - shadow, height() - shadow);
    Look::fillSnapped(painter, box.translated(shadow, shadow), Kiwano::peel);
    Look::paintPixelBox(painter, box, Kiwano::yellow, true);

    QRectF content = box.adjusted(padX, padY, -padX, -padY);
    if (m_action->isVisibleTo(this))
        content.setRight(m_action->geometry().left() - gap * 2);
    const QRectF iconFrame(content.left(), content.center().y() - iconSize / 2.0, iconSize, iconSize);
    Look::drawIcon(painter, iconFrame, QStringLiteral("kiwano"), iconSize, Kiwano::peel);
    painter.setFont(Pixel::uiFont());
    painter.setPen(Kiwano::peel);
    painter.drawText(content.adjusted(iconSize + gap, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_text);
}
