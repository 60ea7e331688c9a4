// SPDX-License-Identifier: MIT
#include "platform/x11/x11frontapp.h"

#include "platform/desktopentries.h"
#include "platform/x11/x11connection.h"

#include <QFile>
#include <QFileInfo>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

QByteArray property(xcb_connection_t *c, uint32_t window, uint32_t name, uint32_t type)
{
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, name, type, 0, 4096), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

uint32_t cardinal(const QByteArray &value)
{
    uint32_t number = 0;
    if (value.size() >= 4)
        std::memcpy(&number, value.constData(), 4);
    return number;
}

QString hostName()
{
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

// The program a local process runs; empty for a remote client, whose process id means nothing here.
QString executableOf(uint32_t pid, const QByteArray &clientMachine)
{
    if (pid == 0)
        return {};
    if (!clientMachine.isEmpty()) {
        const QString machine = QString::fromLocal8Bit(clientMachine).section(u'\0', 0, 0);
        if (machine != hostName() && machine != QLatin1String("localhost"))
            return {};
    }
    return DesktopEntries::executableOf(pid);
}

} // namespace

X11FrontApp::X11FrontApp()
    : m_connection(std::make_unique<X11Connection>())
{
}

X11FrontApp::~X11FrontApp() = default;

QString X11FrontApp::identifier() const
{
    if (!m_connection->isValid())
        return {};
    xcb_connection_t *c = m_connection->xcb();
    const uint32_t window = cardinal(property(c, m_connection->root(),
                                              m_connection->atom("_NET_ACTIVE_WINDOW"),
                                              XCB_ATOM_WINDOW));
    if (window == 0)
        return {};

    const QList<QByteArray> wmClass = property(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
    const QString instance = QString::fromLocal8Bit(wmClass.value(0));
    const QString className = QString::fromLocal8Bit(wmClass.value(1));
    const uint32_t pid = cardinal(property(c, window, m_connection->atom("_NET_WM_PID"),
                                           XCB_ATOM_CARDINAL));
    const QString executable = executableOf(
        pid, property(c, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_ANY));

    if (const auto entry = DesktopEntries::installed()->forWindow(instance, className, executable))
        return entry->id;
    return className.isEmpty() ? instance : className;
}
