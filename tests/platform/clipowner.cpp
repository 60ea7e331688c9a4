// SPDX-License-Identifier: MIT
// kiwano-test-clipowner: owns the X11 CLIPBOARD with what its command line offers (owneroptions.h)
// and misbehaves on request, optionally as the active window of a chosen WM_CLASS. Written on
// plain xcb so that nothing offers more than the command line says. Prints "ready 0xWINDOW",
// "request ATOM", "finished" when an incremental transfer is done, "dying".
#include "owneroptions.h"

#include <QCoreApplication>
#include <QProcess>

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Incremental
{
    xcb_window_t requestor;
    xcb_atom_t property, type;
    QByteArray data;
    qsizetype offset = 0;
};

xcb_connection_t *c = nullptr;

xcb_atom_t atom(const QByteArray &name)
{
    auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    const xcb_atom_t a = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return a;
}

void say(const QByteArray &line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

void setProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QByteArray &value, int mode = XCB_PROP_MODE_REPLACE)
{
    xcb_change_property(c, uint8_t(mode), window, property, type, 8, uint32_t(value.size()), value.constData());
}

// The server's time, from the notification of a property change of our own.
xcb_timestamp_t serverTime(xcb_window_t window)
{
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, atom("_TEST_TIME"), XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
        const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == window;
        const xcb_timestamp_t time = notify->time;
        std::free(event);
        if (found)
            return time;
    }
    return XCB_CURRENT_TIME;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    OwnerOptions options;
    int screenNumber = 0;
    c = xcb_connect(nullptr, &screenNumber);
    if (!options.parse(app.arguments()) || xcb_connection_has_error(c))
        return 2;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;

    // Interned all at once: one round trip per atom would take the owner itself minutes.
    QList<xcb_intern_atom_cookie_t> cookies;
    for (const OwnerOptions::Offer &offer : std::as_const(options.offers))
        cookies << xcb_intern_atom(c, 0, uint16_t(offer.type.size()), offer.type.constData());
    QList<xcb_atom_t> atoms;
    for (const auto &cookie : std::as_const(cookies)) {
        auto *reply = xcb_intern_atom_reply(c, cookie, nullptr);
        atoms << (reply ? reply->atom : xcb_atom_t(XCB_NONE));
        std::free(reply);
    }
    const qsizetype chunk = std::max(1, options.number("chunk"));

    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {it.data->white_pixel, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 100, 100, 240, 80, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      it.data->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    if (options.isSet("wm-class")) {
        const QStringList parts = options.parser.value("wm-class").split(u',');
        setProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, parts.value(0).toUtf8() + '\0' + parts.value(1).toUtf8() + '\0');
    }

    if (options.isSet("activate")) {
        xcb_map_window(c, window);
        xcb_flush(c);
        const QString id = QString::number(window);
        if (QProcess::execute(QStringLiteral("xdotool"), {"windowmap", "--sync", id, "windowactivate", "--sync", id}) != 0)
            return 3;
    }

    const xcb_atom_t clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), incr = atom("INCR");
    xcb_set_selection_owner(c, window, clipboard, serverTime(window));
    auto *owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const bool owning = owner && owner->owner == window;
    std::free(owner);
    if (!owning)
        return 3;
    say("ready 0x" + QByteArray::number(window, 16));

    QList<Incremental> transfers;
    const auto retake = std::chrono::milliseconds(options.number("retake"));
    auto nextTake = Clock::now() + retake;
    for (;;) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event && retake.count() > 0) {
            if (Clock::now() >= nextTake) {
                xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
                xcb_flush(c);
                nextTake = Clock::now() + retake;
            }
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            ::poll(&fd, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(nextTake - Clock::now()).count()) + 1);
            continue;
        }
        if (!event && !(event = xcb_wait_for_event(c)))
            break;
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_SELECTION_REQUEST) {
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            say("request " + QByteArray::number(request->target));
            if (options.isSet("stall") || (options.isSet("stall-data") && request->target != targets)) {
                std::free(event);
                continue;
            }
            const xcb_atom_t property = request->property ? request->property : request->target;
            bool answered = false;
            if (request->target == targets) {
                const QList<xcb_atom_t> listed = QList<xcb_atom_t>{targets} + atoms;
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property, XCB_ATOM_ATOM, 32,
                                    uint32_t(listed.size()), listed.constData());
                answered = true;
            }
            for (qsizetype i = 0; i < atoms.size() && request->target != targets; ++i) {
                const OwnerOptions::Offer &offer = options.offers.at(i);
                if (atoms.at(i) != request->target || offer.refused)
                    continue;
                answered = true;
                if (offer.data.size() <= chunk) {
                    setProperty(request->requestor, property, atoms.at(i), offer.data);
                } else if (options.isSet("single-piece")) {
                    // Larger than one request may be: appended piece by piece, announced once.
                    for (qsizetype at = 0; at < offer.data.size(); at += chunk)
                        setProperty(request->requestor, property, atoms.at(i), offer.data.mid(at, chunk),
                                    at ? XCB_PROP_MODE_APPEND : XCB_PROP_MODE_REPLACE);
                } else {
                    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &mask);
                    const uint32_t size = options.isSet("announce") ? uint32_t(options.number("announce")) : uint32_t(offer.data.size());
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property, incr, 32, 1, &size);
                    transfers.append({request->requestor, property, atoms.at(i), offer.data});
                }
            }
            xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY, 0, 0, request->time, request->requestor,
                                                request->selection, request->target, answered ? property : xcb_atom_t(XCB_NONE)};
            xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notify));
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            for (qsizetype i = 0; i < transfers.size(); ++i) {
                Incremental &t = transfers[i];
                if (notify->state != XCB_PROPERTY_DELETE || t.requestor != notify->window || t.property != notify->atom)
                    continue;
                std::this_thread::sleep_for(std::chrono::milliseconds(options.number("piece-delay")));
                const QByteArray piece = t.data.mid(t.offset, chunk);
                setProperty(t.requestor, t.property, t.type, piece);
                t.offset += piece.size();
                if (options.isSet("die-mid-transfer")) {
                    xcb_flush(c);
                    say("dying");
                    ::_exit(0);
                }
                if (piece.isEmpty()) {
                    say("finished");
                    transfers.removeAt(i);
                }
                break;
            }
        }
        std::free(event);
        xcb_flush(c);
    }
    return 0;
}
