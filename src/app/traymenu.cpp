// SPDX-License-Identifier: MIT
#include "app/traymenu.h"

#include "app/appdelegate.h"
#include "app/statustexts.h"
#include "clipboard/clipboard.h"
#include "hotkeys/hotkeycenter.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace {

const QString menubarImage = QStringLiteral(":/Images/kiwano-menubar.png");
constexpr qreal menuIconSize = 12;
constexpr int statusIconSize = 22;

QPixmap iconPixmap(const QString &name, qreal ratio)
{
    QPixmap pixmap(QSize(menuIconSize, menuIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Look::drawIcon(painter, QRectF(0, 0, menuIconSize, menuIconSize), name, menuIconSize, Kiwano::peel);
    return pixmap;
}

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

TrayMenu::TrayMenu(AppDelegate &delegate, Clipboard &clipboard, HotKeyCenter &hotKeys, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
    , m_hotKeys(hotKeys)
    , m_menu(new QMenu)
    , m_tray(new QSystemTrayIcon(this))
{
    const auto row = [this, &delegate](const QString &title, const QString &icon, const QString &keyText,
                                       void (AppDelegate::*slot)()) {
        QAction *action = m_menu->addAction(menuIcon(icon), StatusTexts::rowText(title, keyText));
        connect(action, &QAction::triggered, &delegate, slot);
        m_titles.insert(action, title);
        return action;
    };
    const auto shortcutRow = [&](HotKeyAction action, void (AppDelegate::*slot)()) {
        m_shortcutItems.insert(action, row(HotKeyActions::title(action), HotKeyActions::icon(action), {}, slot));
    };

    row(tr("Open Kiwano Snapper"), QStringLiteral("images"), QStringLiteral("Ctrl+O"),
        &AppDelegate::openLatest);
    m_menu->addSeparator();
    shortcutRow(HotKeyAction::grabRegion, &AppDelegate::grabRegion);
    shortcutRow(HotKeyAction::grabWindow, &AppDelegate::grabWindow);
    shortcutRow(HotKeyAction::grabScreen, &AppDelegate::grabScreen);
    m_menu->addSeparator();
    shortcutRow(HotKeyAction::clipboard, &AppDelegate::showClipboard);
    m_ignoreNextItem = row(tr("Ignore Next Copy"), QStringLiteral("eye-slash"), {},
                           &AppDelegate::toggleIgnoreNext);
    m_pauseItem = row(StatusTexts::pauseTitle(false), QStringLiteral("lock"), {}, &AppDelegate::togglePause);
    m_ignoreNextItem->setCheckable(true);
    m_pauseItem->setCheckable(true);
    row(tr("Open Image..."), QStringLiteral("folder"), {}, &AppDelegate::openImage);
    m_menu->addSeparator();
    row(tr("Settings..."), QStringLiteral("sliders"), QStringLiteral("Ctrl+,"), &AppDelegate::showSettings);
    row(tr("Check for Updates..."), QStringLiteral("arrow-down-to-bracket"), {},
        &AppDelegate::checkForUpdates);
    row(tr("Quit Kiwano Snapper"), QStringLiteral("arrow-right-from-bracket"), QStringLiteral("Ctrl+Q"),
        &AppDelegate::quit);

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

QIcon TrayMenu::menuIcon(const QString &name)
{
    QIcon icon;
    icon.addPixmap(iconPixmap(name, 1));
    icon.addPixmap(iconPixmap(name, 2));
    return icon;
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
    for (auto it = m_shortcutItems.cbegin(); it != m_shortcutItems.cend(); ++it)
        it.value()->setText(StatusTexts::rowText(m_titles.value(it.value()),
                                                 StatusTexts::shortcutText(m_hotKeys.key(it.key()))));
}

void TrayMenu::showClipboardState()
{
    const bool paused = m_clipboard.paused();
    const bool ignoreNext = m_clipboard.ignoreNext();
    m_ignoreNextItem->setChecked(ignoreNext);
    m_pauseItem->setChecked(paused);
    m_pauseItem->setText(StatusTexts::pauseTitle(paused));
    m_tray->setToolTip(StatusTexts::toolTip(paused, ignoreNext));
    if (m_dimmed != paused) {
        m_dimmed = paused;
        m_tray->setIcon(paused ? m_dimmedIcon : m_normalIcon);
    }
}
