// SPDX-License-Identifier: MIT
#include "platform/kde/kglobalaccelgrabber.h"

#include "platform/keyboardlayout.h"
#include "platform/keycodes.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QKeySequence>

#include <array>

namespace {
const QString service = QStringLiteral("org.kde.kglobalaccel");
const QString path = QStringLiteral("/kglobalaccel");
const QString interface = QStringLiteral("org.kde.KGlobalAccel");
constexpr auto &actions = boundActions;

// KGlobalAccel's flags for setShortcut.
constexpr uint setPresent = 2;
constexpr uint noAutoloading = 4;
}

KGlobalAccelGrabber::KGlobalAccelGrabber(QDBusConnection bus, KeyboardLayout *layout, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_layout(layout)
{
    qDBusRegisterMetaType<QList<int>>();
    // The service names the component's object after its name, with every other character an
    // underscore.
    QString object = component();
    for (QChar &c : object)
        if (!c.isLetterOrNumber() && c != u'_')
            c = u'_';
    m_bus.connect(service, QStringLiteral("/component/") + object, QStringLiteral("org.kde.kglobalaccel.Component"),
                  QStringLiteral("globalShortcutPressed"), this, SLOT(pressed(QString,QString,qlonglong)));
    // A change made in System Settings.
    m_bus.connect(service, path, interface, QStringLiteral("yourShortcutGotChanged"), this,
                  SLOT(changed(QStringList,QList<int>)));
}

KGlobalAccelGrabber::~KGlobalAccelGrabber()
{
    // The shortcuts stay listed in System Settings; they just stop firing while we are gone.
    for (const Entry &entry : std::as_const(m_entries))
        m_bus.asyncCall(QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("setInactive"))
                        << actionId(entry.id.number));
}

QString KGlobalAccelGrabber::component()
{
    return QStringLiteral("kiwano-snapper");
}

QString KGlobalAccelGrabber::actionName(quint32 number)
{
    if (number < actions.size())
        return QString::fromLatin1(actions[number].name);
    return QStringLiteral("shortcut%1").arg(number);
}

// Component and action, each by its name and its title for people.
QStringList KGlobalAccelGrabber::actionId(quint32 number) const
{
    const QString name = actionName(number);
    return {component(), name, QStringLiteral("Kiwano Snapper"),
            number < actions.size() ? QString::fromLatin1(actions[number].title) : name};
}

int KGlobalAccelGrabber::qtKey(quint32 keyCode, quint32 x11Modifiers, KeyboardLayout *layout)
{
    int key = 0;
    for (const KeyCodes::Position &p : KeyCodes::positions) {
        if (p.virtualKey == keyCode)
            key = p.qtKey;
    }
    // A letter or digit is named by what it types in the layout in use.
    if (layout && ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))) {
        const std::optional<QString> text = layout->text(keyCode);
        if (text && text->size() == 1 && text->at(0).isLetterOrNumber() && text->at(0).unicode() < 0x80)
            key = text->at(0).toUpper().unicode();
    }
    if (key == 0)
        return 0;
    return key | qtModifiers(x11Modifiers);
}

QList<int> KGlobalAccelGrabber::qtKeys(quint32 keyCode, quint32 x11Modifiers, KeyboardLayout *layout)
{
    const int key = qtKey(keyCode, x11Modifiers, layout);
    if (key == 0)
        return {};
    // KWin matches a key that Shift changes (Shift+6 types "^") by the symbol it types, without
    // the Shift: the symbol of a US keyboard comes second, for the Wayland session.
    static constexpr std::array<std::pair<int, int>, 21> shifted{{
        {Qt::Key_1, Qt::Key_Exclam}, {Qt::Key_2, Qt::Key_At}, {Qt::Key_3, Qt::Key_NumberSign},
        {Qt::Key_4, Qt::Key_Dollar}, {Qt::Key_5, Qt::Key_Percent}, {Qt::Key_6, Qt::Key_AsciiCircum},
        {Qt::Key_7, Qt::Key_Ampersand}, {Qt::Key_8, Qt::Key_Asterisk}, {Qt::Key_9, Qt::Key_ParenLeft},
        {Qt::Key_0, Qt::Key_ParenRight}, {Qt::Key_Minus, Qt::Key_Underscore}, {Qt::Key_Equal, Qt::Key_Plus},
        {Qt::Key_BracketLeft, Qt::Key_BraceLeft}, {Qt::Key_BracketRight, Qt::Key_BraceRight},
        {Qt::Key_Backslash, Qt::Key_Bar}, {Qt::Key_Semicolon, Qt::Key_Colon},
        {Qt::Key_Apostrophe, Qt::Key_QuoteDbl}, {Qt::Key_QuoteLeft, Qt::Key_AsciiTilde},
        {Qt::Key_Comma, Qt::Key_Less}, {Qt::Key_Period, Qt::Key_Greater}, {Qt::Key_Slash, Qt::Key_Question},
    }};
    if (!(key & Qt::SHIFT))
        return {key};
    const int bare = key & ~int(Qt::KeyboardModifierMask);
    for (const auto &[plain, symbol] : shifted) {
        if (plain == bare)
            return {key, (key & int(Qt::KeyboardModifierMask) & ~int(Qt::SHIFT)) | symbol};
    }
    return {key};
}

int KGlobalAccelGrabber::qtModifiers(quint32 x11Modifiers)
{
    int key = 0;
    // X11 bits: Shift 1, Control 4, Mod1 (Alt) 8, Mod4 (Super) 64.
    if (x11Modifiers & 1)
        key |= Qt::SHIFT;
    if (x11Modifiers & 4)
        key |= Qt::CTRL;
    if (x11Modifiers & 8)
        key |= Qt::ALT;
    if (x11Modifiers & 64)
        key |= Qt::META;
    return key;
}

void KGlobalAccelGrabber::installPressHandler(PressHandler handler)
{
    m_handler = std::move(handler);
}

std::optional<HotKeyGrabber::Handle> KGlobalAccelGrabber::grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id)
{
    const QList<int> keys = qtKeys(keyCode, x11Modifiers, m_layout);
    if (keys.isEmpty())
        return std::nullopt;
    const Handle handle = m_nextHandle++;
    m_entries.insert(handle, {id, keys});
    const quint32 number = id.number;
    const QStringList action = actionId(number);
    call(QStringLiteral("doRegister"), {action});
    // At start the keys saved by the service win, so that a change made in System Settings
    // stays; a change made in our settings while we run replaces them.
    uint flags = setPresent;
    if (m_grabbed.contains(number))
        flags |= noAutoloading;
    m_grabbed.insert(number);
    call(QStringLiteral("setShortcut"), {action, QVariant::fromValue(keys), flags},
         [this, number](const QDBusMessage &answer) {
        if (answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty())
            take(number, qdbus_cast<QList<int>>(answer.arguments().constFirst()));
    });
    return handle;
}

void KGlobalAccelGrabber::release(Handle handle)
{
    const auto found = m_entries.constFind(handle);
    if (found == m_entries.cend())
        return;
    const quint32 number = found->id.number;
    m_entries.erase(found);
    for (const Entry &entry : std::as_const(m_entries))
        if (entry.id.number == number)
            return;
    call(QStringLiteral("setInactive"), {actionId(number)});
}

void KGlobalAccelGrabber::call(const QString &method, const QList<QVariant> &arguments,
                               std::function<void(const QDBusMessage &)> answered)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    if (!answered) {
        m_bus.asyncCall(message);
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answered = std::move(answered)](QDBusPendingCallWatcher *watcher) {
        watcher->deleteLater();
        answered(watcher->reply());
    });
}

void KGlobalAccelGrabber::take(quint32 number, const QList<int> &keys)
{
    const QString name = actionName(number);
    const int key = keys.value(0);
    if (key == 0)
        m_bound.remove(name);
    else
        m_bound.insert(name, QKeySequence(key).toString(QKeySequence::NativeText));
    emit shortcutsBound(m_bound);
}

void KGlobalAccelGrabber::pressed(const QString &component, const QString &action, qlonglong)
{
    if (component != KGlobalAccelGrabber::component() || !m_handler)
        return;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (actionName(entry.id.number) == action) {
            m_handler(entry.id);
            return;
        }
    }
}

void KGlobalAccelGrabber::changed(const QStringList &actionId, const QList<int> &keys)
{
    if (actionId.size() < 2 || actionId.at(0) != component())
        return;
    for (quint32 number = 0; number < actions.size(); ++number)
        if (actionName(number) == actionId.at(1))
            take(number, keys);
}
