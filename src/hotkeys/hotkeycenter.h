// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"
#include "platform/hotkeygrabber.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>
#include <optional>

// The process's global shortcuts: which shortcut each action has (kept in the preferences under
// "hotkey." + the action), their registration with the desktop, and the presses that come back.
// Lives on the main thread.
class HotKeyCenter : public QObject
{
    Q_OBJECT
public:
    // The four-character signature every registration carries: "KWNO".
    static constexpr quint32 signature = ('K' << 24) | ('W' << 16) | ('N' << 8) | 'O';

    explicit HotKeyCenter(QObject *parent = nullptr);
    ~HotKeyCenter() override;

    // Makes registrations go through this grabber (not owned; it must outlive its use here or be
    // replaced first; nullptr for none, in which case every registration fails). Releases what
    // the previous grabber held.
    void setGrabber(HotKeyGrabber *grabber);
    // Called on the main thread, after the desktop's press handling returned, for every press.
    void setOnPress(std::function<void(HotKeyAction)> onPress);

    // The action's shortcut: its default when nothing was stored, none when the stored value is
    // empty or does not decode.
    std::optional<HotKey> key(HotKeyAction action) const;
    // Gives the action this shortcut (or none), taking it from any other action that has it,
    // then registers everything again.
    void set(const std::optional<HotKey> &key, HotKeyAction action);
    // Stores the preset's shortcut (or none) for every action, then registers everything again.
    void applyPreset(HotKeyPreset preset);

    // Registers every action's shortcut except suspended ones, from a clean slate; publishes the
    // actions that failed and raises the revision by one.
    void registerAll();
    // Releases every active registration; failed() stays as it was.
    void unregisterAll();
    // Keeps one action unregistered until resume().
    void suspend(HotKeyAction action);
    // Brings a suspended action back (registering everything again); otherwise does nothing.
    void resume(HotKeyAction action);

    // Actions whose registration failed in the last registerAll().
    QSet<HotKeyAction> failed() const { return m_failed; }
    // Grows by one at the end of every registerAll().
    int revision() const { return m_revision; }

signals:
    void failedChanged();
    void revisionChanged();

private:
    bool handlePress(HotKeyId id);
    void store(HotKeyAction action, const QByteArray &blob);

    HotKeyGrabber *m_grabber = nullptr;
    std::function<void(HotKeyAction)> m_onPress;
    QSet<HotKeyAction> m_failed;
    int m_revision = 0;
    QHash<HotKeyAction, HotKeyGrabber::Handle> m_refs;
    QSet<HotKeyAction> m_suspended;
    bool m_handlerInstalled = false;
};
