// SPDX-License-Identifier: MIT
#include "app/traymenu.h"

#include "app/statustexts.h"
#include "clipboard/clipboard.h"
#include "hotkeys/hotkeycenter.h"

#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace {

const QString menubarImage = QStringLiteral(":/Images/kiwano-menubar.png");
constexpr int statusIconSize = 22;

QPixmap kiwiPixmap()
{
    QPixmap pixmap(statusIconSize, statusIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(statusIconSize - 4);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("🥝"));
    return pixmap;
}

QPixmap dimmed(const QPixmap &source)
{
    QPixmap pixmap(source.size());
    pixmap.setDevicePixelRatio(source.devicePixelRatio());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setOpacity(0.4);
    painter.drawPixmap(0, 0, source);
    return pixmap;
}

} // namespace

TrayMenu::TrayMenu(AppActions &actions, Clipboard &clipboard, HotKeyCenter &hotKeys, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_clipboard(clipboard)
    , m_hotKeys(hotKeys)
    , m_menu(new QMenu)
    , m_tray(new QSystemTrayIcon(this))
{
    using Id = AppActions::Id;
    const std::optional<Id> separator;
    const std::optional<Id> layout[] = {
        Id::openLatest, separator, Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::grabLastRegion,
        Id::grabRegionIn3, separator, Id::showClipboard, Id::ignoreNext, Id::pause, Id::openImage, separator,
        Id::settings, Id::checkForUpdates, Id::quit,
    };
    for (const std::optional<Id> &id : layout) {
        if (!id) {
            m_menu->addSeparator();
            continue;
        }
        if (*id == Id::grabRegionIn3) {
            // The timer's rows, in a submenu of their own.
            QMenu *timer = m_menu->addMenu(tr("Grab Region After"));
            for (const Id delayed : {Id::grabRegionIn3, Id::grabRegionIn5, Id::grabRegionIn10})
                timer->addAction(m_actions.action(delayed));
            continue;
        }
        m_menu->addAction(m_actions.action(*id));
        if (const auto shortcut = AppActions::globalShortcut(*id))
            m_shortcutItems.insert(*shortcut, m_actions.action(*id));
    }

    m_normalIcon = statusIcon(false);
    m_dimmedIcon = statusIcon(true);
    m_tray->setIcon(m_normalIcon);
    m_tray->setToolTip(StatusTexts::toolTip(false, false));
    m_tray->setContextMenu(m_menu);
    // A left click opens the same menu: the status item has nothing else to do.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(QCursor::pos());
    });

    const auto queued = [this](void (TrayMenu::*update)()) {
        return [this, update] { QMetaObject::invokeMethod(this, update, Qt::QueuedConnection); };
    };
    connect(&m_hotKeys, &HotKeyCenter::revisionChanged, this, queued(&TrayMenu::showShortcuts));
    connect(&m_clipboard, &Clipboard::ignoreNextChanged, this, queued(&TrayMenu::showClipboardState));
    connect(&m_clipboard, &Clipboard::pausedChanged, this, queued(&TrayMenu::showClipboardState));
    connect(&m_clipboard, &Clipboard::itemsChanged, this, queued(&TrayMenu::showClipboardState));
    // The current values, also a turn later.
    queued(&TrayMenu::showShortcuts)();
    queued(&TrayMenu::showClipboardState)();
}

TrayMenu::~TrayMenu()
{
    delete m_menu;
}

bool TrayMenu::show()
{
    // Shown even without a tray host: the icon docks when one starts later.
    m_tray->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon TrayMenu::statusIcon(bool dim, const QString &imagePath)
{
    const QString path = imagePath.isEmpty() ? menubarImage : imagePath;
    QPixmap picture;
    if (!QFile::exists(path) || !picture.load(path))
        picture = kiwiPixmap();
    return QIcon(dim ? dimmed(picture) : picture);
}

void TrayMenu::showShortcuts()
{
    using Id = AppActions::Id;
    for (const Id id : {Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::showClipboard}) {
        const HotKeyAction shortcut = *AppActions::globalShortcut(id);
        m_actions.action(id)->setText(StatusTexts::rowText(m_actions.title(id),
                                                           StatusTexts::shortcutText(m_hotKeys.key(shortcut))));
    }
}

void TrayMenu::showClipboardState()
{
    const bool paused = m_clipboard.paused();
    const bool ignoreNext = m_clipboard.ignoreNext();
    ignoreNextItem()->setChecked(ignoreNext);
    pauseItem()->setChecked(paused);
    pauseItem()->setText(StatusTexts::pauseTitle(paused));
    m_tray->setToolTip(StatusTexts::toolTip(paused, ignoreNext));
    if (m_dimmed != paused) {
        m_dimmed = paused;
        m_tray->setIcon(paused ? m_dimmedIcon : m_normalIcon);
    }
}
