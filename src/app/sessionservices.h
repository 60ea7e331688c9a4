// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"

#include <QObject>

#include <memory>

class ClipboardService;
class DesktopBindings;
class FrontApp;
class HotKeyGrabber;
class KdeKeyboardLayout;
class KeyboardLayout;
class KeySender;
class QWidget;
class X11KeyboardLayout;

// The desktop services this session gets, made once its facts are known: the clipboard
// service, the app in front, the paste keys, the shortcut grabber and the keyboard layout, each
// the X11, Wayland or portal one the plan names, or none. It owns them; the root hands them to
// the clipboard history and the shortcut registry. What they report goes out as warning() and
// notice() for the root to show.
class SessionServices : public QObject
{
    Q_OBJECT

public:
    // xcb: whether our windows reach an X server. bindings: where the portal's shortcut bindings
    // are kept for the settings (may be null).
    SessionServices(const SessionFacts &facts, const ServicePlan &plan, bool xcb, DesktopBindings *bindings,
                    QObject *parent = nullptr);
    ~SessionServices() override;

    ClipboardService *clipboard() const { return m_clipboard.get(); }
    FrontApp *frontApp() const { return m_frontApp.get(); }
    KeySender *keySender() const { return m_keySender.get(); }
    HotKeyGrabber *grabber() const { return m_grabber.get(); }
    // The X11 keyboard layout, when it can be read; in a Plasma session whose windows are native,
    // the layout Plasma's settings name.
    KeyboardLayout *layout() const;
    // Where our GNOME Shell extension serves: window is brought forward and kept above the others
    // each time it shows (the picker). Elsewhere nothing.
    void keepRaised(QWidget *window);
    // A window that stays above the others, as this desktop can have it: under sway floating
    // and sticky, with our GNOME Shell extension kept above; elsewhere its own window hint.
    void keepAbove(QWidget *window);

signals:
    // Something stopped working or was refused; the user should know.
    void warning(const QString &text);
    // Something the user will see next, explained beforehand.
    void notice(const QString &text);

private:
    std::unique_ptr<X11KeyboardLayout> m_layout;
    std::unique_ptr<KdeKeyboardLayout> m_kdeLayout;
    std::unique_ptr<ClipboardService> m_clipboard;
    std::unique_ptr<FrontApp> m_frontApp;
    std::unique_ptr<KeySender> m_keySender;
    std::unique_ptr<HotKeyGrabber> m_grabber;
    bool m_shellExtension = false;
    bool m_sway = false;
};
