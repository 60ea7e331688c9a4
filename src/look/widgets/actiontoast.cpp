// SPDX-License-Identifier: MIT
#include "look/widgets/actiontoast.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixelpaint.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {
constexpr int iconSize = 18;
constexpr int gap = 6;
constexpr int buttonGap = 14;
constexpr int padX = 16;
constexpr int padY = 8;
constexpr int shadow = 4;
constexpr int bottomSpace = 14;
constexpr int rise = 12;
constexpr int motionMs = 220;
// Checked again this often while the pointer or the focus holds the notice.
constexpr int holdMs = 1000;
} // namespace

ActionToast::ActionToast(QWidget *parent)
    : QWidget(parent)
    , m_button(new KiwanoButton(this))
    , m_motion(new QVariantAnimation(this))
    , m_fade(new QGraphicsOpacityEffect(this))
{
    setFocusPolicy(Qt::NoFocus);
    m_button->hide();
    connect(m_button, &KiwanoButton::clicked, this, [this] {
        if (!m_posted)
            return;
        leave(false);
        emit actionTriggered();
    });

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ActionToast::timeUp);

    // The fade is on only while moving: at rest the toast paints straight to the window.
    m_fade->setEnabled(false);
    setGraphicsEffect(m_fade);
    m_motion->setDuration(motionMs);
    m_motion->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_motion, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_shown = value.toReal();
        m_fade->setOpacity(std::clamp(m_shown, 0.0, 1.0));
        place();
    });
    connect(m_motion, &QVariantAnimation::finished, this, [this] {
        m_fade->setEnabled(false);
        if (m_shown <= 0)
            hide();
    });
    parent->installEventFilter(this);
    hide();
}

void ActionToast::post(const Notice &notice)
{
    // Focus on the button of the notice replaced returns where it came from, not to it.
    if (!m_button->hasFocus())
        m_focusBefore = QApplication::focusWidget();
    m_text = notice.text;
    m_icon = notice.icon;
    m_button->setText(notice.action);
    m_button->setAccessibleName(notice.action);
    if (notice.action.isEmpty()) {
        returnFocus();
        m_button->hide();
    } else {
        m_button->show();
    }
    setAccessibleName(m_text);
    // Only a notice with a button takes clicks; under the rest, the window below gets them.
    setAttribute(Qt::WA_TransparentForMouseEvents, notice.action.isEmpty());
    m_posted = true;
    if (notice.timeoutMs > 0)
        m_timer.start(notice.timeoutMs);
    else
        m_timer.stop();

    show();
    raise();
    m_motion->stop();
    m_fade->setEnabled(true);
    m_motion->setStartValue(m_shown);
    m_motion->setEndValue(1.0);
    m_motion->start();
    place();
    update();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void ActionToast::dismiss()
{
    if (m_posted)
        leave(true);
}

void ActionToast::timeUp()
{
    if (underMouse() || m_button->hasFocus()) {
        m_timer.start(holdMs);
        return;
    }
    leave(true);
}

void ActionToast::leave(bool notify)
{
    m_posted = false;
    m_timer.stop();
    returnFocus();
    m_motion->stop();
    m_fade->setEnabled(true);
    m_motion->setStartValue(m_shown);
    m_motion->setEndValue(0.0);
    m_motion->start();
    if (notify)
        emit closed();
}

void ActionToast::returnFocus()
{
    if (!m_button->hasFocus())
        return;
    if (m_focusBefore && m_focusBefore->isVisible() && m_focusBefore != m_button)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    else
        m_button->clearFocus();
}

void ActionToast::setArea(const QRect &area)
{
    m_area = area;
    place();
}

QRect ActionToast::area() const
{
    return m_area ? *m_area : parentWidget()->rect();
}

qreal ActionToast::maxTextWidth() const
{
    const qreal button = m_button->isHidden() ? 0 : buttonGap + m_button->sizeHint().width();
    return std::max<qreal>(120, area().width() - 2 * bottomSpace - padX * 2 - iconSize - gap - button - shadow);
}

QSizeF ActionToast::textSize(qreal maxWidth) const
{
    const QRectF box = QFontMetricsF(Pixel::uiFont())
                           .boundingRect(QRectF(0, 0, maxWidth, 10000), Qt::AlignLeft | Qt::TextWordWrap, m_text);
    return QSizeF(std::ceil(box.width()), std::ceil(box.height()));
}

QSize ActionToast::sizeHint() const
{
    const QSizeF text = textSize(maxTextWidth());
    qreal contentHeight = std::max<qreal>(iconSize, text.height());
    qreal width = padX * 2 + iconSize + gap + text.width();
    if (!m_button->isHidden()) {
        const QSize button = m_button->sizeHint();
        width += buttonGap + button.width();
        contentHeight = std::max<qreal>(contentHeight, button.height());
    }
    return QSize(int(width) + shadow, int(padY * 2 + contentHeight) + shadow);
}

void ActionToast::place()
{
    const QRect room = area();
    const QSize size = sizeHint().boundedTo(QSize(room.width() - 2 * bottomSpace, room.height()));
    const int restY = room.bottom() + 1 - bottomSpace - size.height();
    const int y = int(std::lround(restY + rise * (1 - m_shown)));
    setGeometry(room.left() + (room.width() - size.width()) / 2, y, size.width(), size.height());
    const QSize button = m_button->sizeHint();
    const int boxHeight = size.height() - shadow;
    m_button->setGeometry(size.width() - shadow - padX - button.width(), (boxHeight - button.height()) / 2,
                          button.width(), button.height());
}

void ActionToast::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF box(0, 0, width() - shadow, height() - shadow);
    Look::fillSnapped(painter, box.translated(shadow, shadow), Kiwano::peel);
    Look::paintPixelBox(painter, box, Kiwano::yellow, true);

    QRectF content = box.adjusted(padX, padY, -padX, -padY);
    if (!m_button->isHidden())
        content.setRight(m_button->geometry().left() - buttonGap);
    const QRectF iconFrame(content.left(), content.center().y() - iconSize / 2.0, iconSize, iconSize);
    Look::drawIcon(painter, iconFrame, m_icon, iconSize, Kiwano::peel);
    const QFont font = Pixel::uiFont();
    painter.setFont(font);
    painter.setPen(Kiwano::peel);
    painter.drawText(content.adjusted(iconSize + gap, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_text);
}

bool ActionToast::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}
