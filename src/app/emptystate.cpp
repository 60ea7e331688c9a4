// SPDX-License-Identifier: MIT
#include "app/emptystate.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include "capture/appstate.h"
#include "editor/model/imageimport.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "look/pixel.h"
#include "look/widgets/pixellabel.h"

namespace {

QLabel *pixelText(const QString &text, Pixel::TextSize size, QWidget *parent)
{
    QLabel *label = Look::pixelText(text, size, Kiwano::peel, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

EmptyState::EmptyState(AppState *state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setAcceptDrops(true);

    auto *icon = new PixelIconView(QStringLiteral("kiwano"), 96, this);
    icon->setColor(Kiwano::ripe);
    icon->setAccessibleName(tr("Kiwano"));
    auto *title = pixelText(tr("No grabs yet"), Pixel::TextSize::Title, this);
    m_hint = pixelText(hint(std::nullopt), Pixel::TextSize::Body, this);
    // A first start has no shortcut in the fingers yet: the way to a first grab is right here.
    auto *grab = new KiwanoButton(QStringLiteral("expand"), tr("Grab a Region"), this);
    grab->setAccessibleName(tr("Grab a region of the screen"));
    connect(grab, &QAbstractButton::clicked, this, &EmptyState::grabRequested);
    m_grab = grab;

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addStretch();
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(m_hint, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(grab, 0, Qt::AlignHCenter);
    layout->addStretch();
}

void EmptyState::setGrabShortcut(const std::optional<HotKey> &key)
{
    m_hint->setText(hint(key));
}

QString EmptyState::hint(const std::optional<HotKey> &key)
{
    if (key)
        return tr("Press %1 to grab a region of your screen.").arg(key->display());
    return tr("Click the kiwano in the menu bar to grab your screen.");
}

QString EmptyState::hintText() const
{
    return m_hint->text();
}

void EmptyState::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Kiwano::cream);
}

void EmptyState::dragEnterEvent(QDragEnterEvent *event)
{
    const QStringList types = ImageImport::dropTypes();
    const QMimeData *mime = event->mimeData();
    if (std::any_of(types.cbegin(), types.cend(), [mime](const QString &type) { return mime->hasFormat(type); }))
        event->acceptProposedAction();
}

void EmptyState::dropEvent(QDropEvent *event)
{
    QPointer<AppState> state(m_state);
    if (ImageImport::load(event->mimeData(), this, [state](QImage image) {
            if (state)
                state->addAsNewGrab(image);
        }))
        event->acceptProposedAction();
    else
        event->ignore();
}
