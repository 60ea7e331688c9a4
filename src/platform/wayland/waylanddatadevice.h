// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class WaylandConnection;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

// The clipboard of the first seat as a data-control client sees it: whatever any client copies,
// without a window or the focus. Used on one thread only, the one that dispatches the connection.
class WaylandDataDevice
{
public:
    // Binds the data-control manager and the first seat; isValid() is false when the compositor
    // offers either not.
    explicit WaylandDataDevice(WaylandConnection &connection);
    ~WaylandDataDevice();
    WaylandDataDevice(const WaylandDataDevice &) = delete;
    WaylandDataDevice &operator=(const WaylandDataDevice &) = delete;

    bool isValid() const { return m_device; }
    // The compositor took the device away (finished) or the connection broke.
    bool isFinished() const;
    WaylandConnection &connection() { return m_connection; }

    // The selection now: its types as offered (the first maximumTypes, each once), empty when
    // the clipboard is empty. The first selection told is the one present when the device was made.
    const QStringList &types() const { return m_types; }
    bool hasSelection() const { return m_selection; }
    // Counts the selections told so far, the first one included.
    quint64 selections() const { return m_selections; }
    // Called after each selection is told, from within dispatching.
    void setSelectionChanged(std::function<void()> changed) { m_changed = std::move(changed); }

    // Asks the owner of the current selection to write this type into a new pipe; the read end,
    // non-blocking and owned by the caller, or -1 when there is no selection or no pipe.
    // The request goes out with the next flush.
    int receive(const QString &type);

    // A new source offering these types; sending is the caller's (zwlr_data_control_source_v1).
    zwlr_data_control_source_v1 *createSource(const QStringList &types, void *listenerData,
                                              const void *listener);
    void setSelection(zwlr_data_control_source_v1 *source);

    // Type lists are cut here: a real application offers a few dozen.
    static constexpr int maximumTypes = 256;

private:
    static void dataOffer(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer);
    static void selection(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer);
    static void finished(void *data, zwlr_data_control_device_v1 *);

    WaylandConnection &m_connection;
    void *m_seat = nullptr;
    zwlr_data_control_manager_v1 *m_manager = nullptr;
    zwlr_data_control_device_v1 *m_device = nullptr;
    // Offers told but not yet made the selection, with the types they announced.
    std::map<zwlr_data_control_offer_v1 *, QStringList> m_offers; // nodes stay put: listener data
    zwlr_data_control_offer_v1 *m_selection = nullptr;
    QStringList m_types;
    quint64 m_selections = 0;
    bool m_finished = false;
    std::function<void()> m_changed;
};
