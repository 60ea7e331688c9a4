// SPDX-License-Identifier: MIT
#include "app/appactions.h"

#include "app/statustexts.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QPainter>
#include <QWidget>

#include <array>

namespace {

struct Row
{
    AppActions::Id id;
    // The command line's word for it, or null.
    const char *request;
    // Its title in the "TrayMenu" context, or null for a global shortcut's own title.
    const char *title;
    const char *icon;
    std::optional<QKeyCombination> key;
    // The global shortcut whose key the row names, and the one whose press runs it.
    std::optional<HotKeyAction> shown;
    std::optional<HotKeyAction> pressedBy;
    bool checkable = false;
};

using Id = AppActions::Id;
using HK = HotKeyAction;

const std::array<Row, 16> rows{{
    {Id::openLatest, "show", QT_TRANSLATE_NOOP("TrayMenu", "Open Kiwano Snapper"), "images",
     Qt::CTRL | Qt::Key_O, {}, {}},
    {Id::grabRegion, "region", nullptr, nullptr, {}, HK::grabRegion, HK::grabRegion},
    {Id::grabWindow, "window", nullptr, nullptr, {}, HK::grabWindow, HK::grabWindow},
    {Id::grabScreen, "screen", nullptr, nullptr, {}, HK::grabScreen, HK::grabScreen},
    {Id::grabLastRegion, "last-region", QT_TRANSLATE_NOOP("TrayMenu", "Grab Last Region Again"), "redo", {}, {}, {}},
    {Id::grabRegionIn3, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "3 Seconds"), nullptr, {}, {}, {}},
    {Id::grabRegionIn5, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "5 Seconds"), nullptr, {}, {}, {}},
    {Id::grabRegionIn10, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "10 Seconds"), nullptr, {}, {}, {}},
    {Id::showClipboard, nullptr, nullptr, nullptr, {}, HK::clipboard, {}},
    // Desktops without our global shortcuts bind the request: it follows the shortcut's rules.
    {Id::toggleClipboard, "clipboard", nullptr, nullptr, {}, {}, HK::clipboard},
    {Id::ignoreNext, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "Ignore Next Copy"), "eye-slash", {}, {}, {}, true},
    {Id::pause, nullptr, nullptr, "lock", {}, {}, {}, true},
    {Id::openImage, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "Open Image..."), "folder", {}, {}, {}},
    {Id::settings, "settings", QT_TRANSLATE_NOOP("TrayMenu", "Settings..."), "sliders",
     Qt::CTRL | Qt::Key_Comma, {}, {}},
    {Id::checkForUpdates, nullptr, QT_TRANSLATE_NOOP("TrayMenu", "Check for Updates..."),
     "arrow-down-to-bracket", {}, {}, {}},
    {Id::quit, "quit", QT_TRANSLATE_NOOP("TrayMenu", "Quit Kiwano Snapper"), "arrow-right-from-bracket",
     Qt::CTRL | Qt::Key_Q, {}, {}},
}};

constexpr qreal menuIconSize = 12;

QPixmap iconPixmap(const QString &name, qreal ratio)
{
    QPixmap pixmap(QSize(menuIconSize, menuIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Look::drawIcon(painter, QRectF(0, 0, menuIconSize, menuIconSize), name, menuIconSize, Kiwano::peel);
    return pixmap;
}

// The menu's pixel icon: the named icon at 12 points, for device pixel ratios 1 and 2.
QIcon menuIcon(const QString &name)
{
    QIcon icon;
    icon.addPixmap(iconPixmap(name, 1));
    icon.addPixmap(iconPixmap(name, 2));
    return icon;
}

const Row &rowOf(Id id)
{
    return rows[static_cast<size_t>(id)];
}

QString titleOf(const Row &row)
{
    if (row.title)
        return QCoreApplication::translate("TrayMenu", row.title);
    if (row.id == Id::pause)
        return StatusTexts::pauseTitle(false);
    const HotKeyAction action = row.shown ? *row.shown : *row.pressedBy;
    return HotKeyActions::title(action);
}

} // namespace

struct AppActions::Entry
{
    QAction *action = nullptr;
    QString title;
    std::function<void()> handler;
};

AppActions::AppActions(QObject *parent) : QObject(parent)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        Q_ASSERT(static_cast<size_t>(row.id) == i);
        Entry entry;
        entry.title = titleOf(row);
        const QString keyText = row.key ? QKeySequence(*row.key).toString(QKeySequence::PortableText) : QString();
        entry.action = new QAction(StatusTexts::rowText(entry.title, keyText), this);
        const QString icon = row.icon ? QString::fromLatin1(row.icon)
                           : row.shown ? HotKeyActions::icon(*row.shown) : QString();
        if (!icon.isEmpty())
            entry.action->setIcon(menuIcon(icon));
        entry.action->setCheckable(row.checkable);
        const Id id = row.id;
        connect(entry.action, &QAction::triggered, this, [this, id] { trigger(id); });
        m_entries.append(entry);
    }
}

AppActions::~AppActions() = default;

const AppActions::Entry &AppActions::entry(Id id) const
{
    return m_entries.at(static_cast<qsizetype>(id));
}

void AppActions::setHandler(Id id, std::function<void()> handler)
{
    m_entries[static_cast<qsizetype>(id)].handler = std::move(handler);
}

void AppActions::trigger(Id id)
{
    // A copy: the handler may replace itself.
    if (const auto handler = entry(id).handler)
        handler();
}

bool AppActions::trigger(const QString &request)
{
    for (const Row &row : rows) {
        if (row.request && request == QLatin1String(row.request)) {
            trigger(row.id);
            return true;
        }
    }
    return false;
}

void AppActions::trigger(HotKeyAction pressed)
{
    for (const Row &row : rows) {
        if (row.pressedBy == pressed) {
            trigger(row.id);
            return;
        }
    }
}

QAction *AppActions::action(Id id) const
{
    return entry(id).action;
}

QString AppActions::title(Id id) const
{
    return entry(id).title;
}

std::optional<HotKeyAction> AppActions::globalShortcut(Id id)
{
    return rowOf(id).shown;
}

void AppActions::addWindowKeys(QWidget *window)
{
    for (const Row &row : rows) {
        if (!row.key)
            continue;
        auto *action = new QAction(window);
        action->setShortcut(QKeySequence(*row.key));
        action->setShortcutContext(Qt::WindowShortcut);
        const Id id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        window->addAction(action);
    }
}
