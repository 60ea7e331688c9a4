// SPDX-License-Identifier: MIT
#include "app/countdownwindow.h"

#include "app/grabcountdown.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {
// Below the top edge of the screen, clear of a panel.
constexpr int topMargin = 48;
} // namespace

CountdownWindow::CountdownWindow(GrabCountdown &countdown)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_countdown(countdown)
    , m_seconds(Look::pixelText(QString(), Pixel::TextSize::Title, Kiwano::peel, this))
    , m_line(Look::pixelText(QString(), Pixel::TextSize::Body, Kiwano::peel, this))
{
    setWindowTitle(tr("Kiwano Snapper Countdown"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_seconds->setAlignment(Qt::AlignCenter);
    m_line->setAlignment(Qt::AlignCenter);
    auto *cancel = new KiwanoButton(QStringLiteral("xmark"), tr("Cancel"), this);
    cancel->setAccessibleName(tr("Cancel the timed grab"));
    connect(cancel, &QAbstractButton::clicked, &m_countdown, &GrabCountdown::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 12, 18, 12);
    layout->setSpacing(8);
    layout->addWidget(m_seconds);
    layout->addWidget(m_line);
    auto *hint = Look::pixelText(tr("Esc cancels"), Pixel::TextSize::Body, Kiwano::peel, this);
    hint->setAlignment(Qt::AlignCenter);
    layout->addWidget(hint);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    setFocusProxy(cancel);

    connect(&m_countdown, &GrabCountdown::changed, this, &CountdownWindow::follow);
}

void CountdownWindow::follow()
{
    if (!m_countdown.isShown()) {
        hide();
        return;
    }
    const int seconds = m_countdown.secondsLeft();
    m_seconds->setText(QString::number(seconds));
    m_line->setText(m_countdown.what());
    setAccessibleName(QStringLiteral("%1: %2").arg(m_countdown.what(), m_seconds->text()));
    if (isVisible())
        return;
    adjustSize();
    place();
    show();
    raise();
    activateWindow();
}

void CountdownWindow::place()
{
    // On the screen where the pointer is, where the person looks.
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.center().x() - width() / 2, area.top() + std::min(topMargin, area.height() / 8));
}

void CountdownWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_countdown.cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CountdownWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
    painter.setPen(QPen(Kiwano::peel, 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
