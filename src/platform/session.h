// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>

// What the running desktop session offers, as far as the shortcut and paste services care.
struct SessionFacts
{
    enum class Kind { x11, wayland, other };

    Kind kind = Kind::other;
    QString desktop;  // XDG_CURRENT_DESKTOP: "GNOME", "KDE", "sway" ...
    bool hasX11 = false;
    bool hasGlobalShortcutsPortal = false;
    bool hasRemoteDesktopPortal = false;
    bool hasScreenshotPortal = false;
    // What the Wayland compositor itself offers to a client of ours.
    bool hasScreencopy = false;      // zwlr_screencopy_manager_v1
    bool hasDataControl = false;     // zwlr_data_control_manager_v1
    bool hasVirtualKeyboard = false; // zwp_virtual_keyboard_manager_v1
    // KWin's own services: its fake input (offered only to clients whose desktop file asks for
    // it), its screenshot service on the session bus, and global shortcuts served by KWin itself.
    bool hasFakeInput = false;       // org_kde_kwin_fake_input
    bool hasKWinScreenShot = false;  // org.kde.KWin.ScreenShot2
    bool hasKWinShortcuts = false;   // org.kde.kglobalaccel, owned by KWin
    // Our GNOME Shell extension answers on the session bus (clipboard, paste, shortcuts, grabs).
    bool hasShellExtension = false;
};
Q_DECLARE_METATYPE(SessionFacts)

// How one service reaches the user in this session, in the user's words.
struct ServiceAccount
{
    enum class State { native, fallsBack, unavailable };

    QString service;  // "Shortcuts", "Grabs", "Clipboard history", "Paste"
    State state = State::unavailable;
    QString means;    // what serves it: "the desktop's screen copy"
    QString advice;   // what the user can do about it; empty when nothing is needed

    // "native", "falls back", "not available"
    static QString stateText(State state);
    // The means as a sentence, then the advice: "Copies only: press Ctrl+V yourself."
    QString detail() const;
    // "Paste: not available. Copies only: press Ctrl+V yourself."
    QString text() const;

    friend bool operator==(const ServiceAccount &, const ServiceAccount &) = default;
};

// Which implementation serves each platform service.
struct ServicePlan
{
    enum class Shortcuts { x11, portal, none, kglobalaccel, shellExtension };
    enum class Paste { xtest, virtualKeyboard, portal, none, fakeInput, shellExtension };
    enum class Capture { x11, screencopy, portal, none, kwinScreenShot, shellExtension };
    // x11 reads the X server's clipboard (on Wayland, the copy the desktop mirrors to XWayland);
    // whileActive records only while one of our windows has the focus; shellExtension asks our
    // GNOME Shell extension.
    enum class Clipboard { x11, dataControl, whileActive, shellExtension };

    Shortcuts shortcuts = Shortcuts::none;
    Paste paste = Paste::none;
    Capture capture = Capture::none;
    Clipboard clipboard = Clipboard::whileActive;
    // X11 services in a Wayland session reach only the X11 apps, through XWayland.
    bool throughXWayland = false;

    // Shortcuts, grabs, the clipboard history and paste, in that order.
    QList<ServiceAccount> account() const;
    // The picker's line when nothing in this session can type the paste for us; empty when
    // something can.
    QString copyOnlyLine() const;

    friend bool operator==(const ServicePlan &, const ServicePlan &) = default;
};

ServicePlan plan(const SessionFacts &facts);
// The shortcuts' account once the desktop refused to bind them, for the reason it gave.
ServiceAccount refusedShortcutsAccount(const QString &reason);

class Session
{
public:
    // The facts the environment alone gives; hasX11 means DISPLAY is set.
    static SessionFacts fromEnvironment(const QProcessEnvironment &environment);
    // Whether the compositor and the portal have anything to add: only in a Wayland session.
    static bool needsProbe(const SessionFacts &facts) { return facts.kind == SessionFacts::Kind::wayland; }
};

// What the compositor offers beyond windows (see SessionFacts).
struct CompositorOffers
{
    bool screencopy = false;
    bool dataControl = false;
    bool virtualKeyboard = false;
    bool fakeInput = false;
};

// Asks the compositor and the desktop portal what they offer without holding up the thread that
// asks: the compositor on a worker thread, the portal through pending D-Bus calls, each question
// within its deadline. finished() comes once every question was answered or its deadline passed.
class SessionProbe : public QObject
{
    Q_OBJECT

public:
    explicit SessionProbe(QObject *parent = nullptr);
    ~SessionProbe() override;

    // Asks the compositor what it offers within timeoutMs; called on a worker thread, so it may
    // block. The Wayland library answers in the app; tests give their own.
    using CompositorQuestion = std::function<CompositorOffers(int timeoutMs)>;

    // Starts from facts (those of the environment) and fills in the rest where the session needs
    // it (see Session::needsProbe). finished() always comes from the event loop, never from within
    // start(), even when there is nothing to ask.
    void start(const SessionFacts &facts, CompositorQuestion askCompositor,
               QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 500);
    bool isFinished() const { return m_started && m_left == 0; }
    // What is known so far; complete once finished.
    const SessionFacts &facts() const { return m_facts; }

signals:
    void finished(const SessionFacts &facts);

private:
    void ask(QDBusConnection &bus, const QString &interface, bool SessionFacts::*fact, int timeoutMs);
    // Who owns a name on the bus (empty for nobody), for the facts about KWin.
    void askOwner(QDBusConnection &bus, const QString &name, QString *owner, int timeoutMs);
    void settleKWin();
    void askShellExtension(QDBusConnection &bus, int timeoutMs);
    void settled();

    SessionFacts m_facts;
    QString m_kwinOwner, m_shortcutsOwner, m_screenShotOwner;
    bool m_started = false;
    int m_left = 0;
};
