// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandfrontapp.h"

#include "platform/desktopentries.h"
#include "platform/wayland/swayipc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::optional<QJsonObject> focusedNode(const QJsonObject &node)
{
    if (node.value(QLatin1String("focused")).toBool())
        return node;
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
            if (auto found = focusedNode(child.toObject()))
                return found;
        }
    }
    return std::nullopt;
}

} // namespace

WaylandFrontApp::WaylandFrontApp(const QString &swaySocket, int timeoutMs)
    : m_socket(swaySocket)
    , m_timeoutMs(timeoutMs)
{
}

QString WaylandFrontApp::identifier() const
{
    if (m_socket.isEmpty())
        return {};
    const QByteArray tree = SwayIpc::ask(SwayIpc::getTree, m_socket, m_timeoutMs);
    if (tree.isEmpty())
        return {};
    const auto window = focusedWindow(tree);
    return window ? identify(*window, *DesktopEntries::installed()) : QString();
}

std::optional<WaylandFrontApp::Window> WaylandFrontApp::focusedWindow(const QByteArray &tree)
{
    const auto node = focusedNode(QJsonDocument::fromJson(tree).object());
    if (!node)
        return std::nullopt;
    // Outputs and workspaces take the focus too, when they hold no window.
    const QString type = node->value(QLatin1String("type")).toString();
    if (type != QLatin1String("con") && type != QLatin1String("floating_con"))
        return std::nullopt;
    Window window;
    window.appId = node->value(QLatin1String("app_id")).toString();
    const QJsonObject properties = node->value(QLatin1String("window_properties")).toObject();
    window.wmInstance = properties.value(QLatin1String("instance")).toString();
    window.wmClass = properties.value(QLatin1String("class")).toString();
    window.pid = node->value(QLatin1String("pid")).toInteger();
    return window;
}

QString WaylandFrontApp::identify(const Window &window, const DesktopEntries &entries)
{
    const QString executable = DesktopEntries::executableOf(window.pid);
    if (!window.appId.isEmpty()) {
        if (const auto entry = entries.byId(window.appId))
            return entry->id;
        if (const auto entry = entries.forWindow(window.appId, window.appId, executable))
            return entry->id;
        return window.appId;
    }
    if (const auto entry = entries.forWindow(window.wmInstance, window.wmClass, executable))
        return entry->id;
    return window.wmClass.isEmpty() ? window.wmInstance : window.wmClass;
}
