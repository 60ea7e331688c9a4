// SPDX-License-Identifier: MIT
#include "platform/wayland/waylanddatadevice.h"

#include "platform/wayland/waylandconnection.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

void offered(void *data, zwlr_data_control_offer_v1 *, const char *type)
{
    auto *types = static_cast<QStringList *>(data);
    if (!types)
        return;
    const QString name = QString::fromUtf8(type);
    if (types->size() < WaylandDataDevice::maximumTypes && !name.isEmpty() && !types->contains(name))
        types->append(name);
}

const zwlr_data_control_offer_v1_listener offerListener = {&offered};

} // namespace

WaylandDataDevice::WaylandDataDevice(WaylandConnection &connection)
    : m_connection(connection)
{
    m_manager = static_cast<zwlr_data_control_manager_v1 *>(
        connection.bind(&zwlr_data_control_manager_v1_interface, 1));
    m_seat = connection.bind(&wl_seat_interface, 1);
    if (!m_manager || !m_seat)
        return;
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, static_cast<wl_seat *>(m_seat));
    static const zwlr_data_control_device_v1_listener listener = {&WaylandDataDevice::dataOffer,
                                                                 &WaylandDataDevice::selection,
                                                                 &WaylandDataDevice::finished};
    zwlr_data_control_device_v1_add_listener(m_device, &listener, this);
}

WaylandDataDevice::~WaylandDataDevice()
{
    for (const auto &[offer, types] : m_offers)
        zwlr_data_control_offer_v1_destroy(offer);
    m_offers.clear();
    if (m_selection)
        zwlr_data_control_offer_v1_destroy(m_selection);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(static_cast<wl_seat *>(m_seat));
    if (m_connection.isAlive())
        wl_display_flush(m_connection.display());
}

bool WaylandDataDevice::isFinished() const
{
    return m_finished || !m_connection.isAlive();
}

void WaylandDataDevice::dataOffer(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
{
    auto *self = static_cast<WaylandDataDevice *>(data);
    QStringList &types = self->m_offers[offer];
    zwlr_data_control_offer_v1_add_listener(offer, &offerListener, &types);
}

void WaylandDataDevice::selection(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
{
    auto *self = static_cast<WaylandDataDevice *>(data);
    if (self->m_selection)
        zwlr_data_control_offer_v1_destroy(self->m_selection);
    self->m_selection = offer;
    self->m_types.clear();
    // Offers that never became the selection are of no further use.
    for (auto &[told, types] : self->m_offers) {
        if (told == offer) {
            self->m_types = std::move(types);
            zwlr_data_control_offer_v1_set_user_data(told, nullptr); // its list is gone from the map
        }
        else
            zwlr_data_control_offer_v1_destroy(told);
    }
    self->m_offers.clear();
    ++self->m_selections;
    if (self->m_changed)
        self->m_changed();
}

void WaylandDataDevice::finished(void *data, zwlr_data_control_device_v1 *)
{
    static_cast<WaylandDataDevice *>(data)->m_finished = true;
}

int WaylandDataDevice::receive(const QString &type)
{
    int fds[2];
    if (!m_selection || ::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    // Only our end: the writing end goes to the source as it is, and many sources write plainly,
    // expecting a full pipe to block rather than fail.
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    zwlr_data_control_offer_v1_receive(m_selection, type.toUtf8().constData(), fds[1]);
    // The request holds its own copy of the descriptor until it is sent.
    ::close(fds[1]);
    return fds[0];
}

zwlr_data_control_source_v1 *WaylandDataDevice::createSource(const QStringList &types, void *listenerData,
                                                             const void *listener)
{
    if (!m_manager)
        return nullptr;
    zwlr_data_control_source_v1 *source = zwlr_data_control_manager_v1_create_data_source(m_manager);
    zwlr_data_control_source_v1_add_listener(
        source, static_cast<const zwlr_data_control_source_v1_listener *>(listener), listenerData);
    for (const QString &type : types)
        zwlr_data_control_source_v1_offer(source, type.toUtf8().constData());
    return source;
}

void WaylandDataDevice::setSelection(zwlr_data_control_source_v1 *source)
{
    if (m_device)
        zwlr_data_control_device_v1_set_selection(m_device, source);
}
