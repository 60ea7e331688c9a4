// SPDX-License-Identifier: MIT
#include "hotkeys/hotkeycenter.h"

#include "platform/preferences.h"

#include <QCoreApplication>

namespace {

QString storageName(HotKeyAction action)
{
    return HotKeyActions::rawValue(action);
}

// The stored-value rule: absent -> default, empty -> none. Anything else that is not a shortcut
// the settings could have stored (undecodable, a key without a position, a bare letter) is a
// hand edit and reads as the default too; it stays in the file as it is.
std::optional<HotKey> storedKey(const QSettings &settings, HotKeyAction action)
{
    const std::optional<QByteArray> blob = Preferences::value(Preferences::hotKey, storageName(action), settings);
    if (!blob)
        return HotKeyPresets::kiwanoDefault(action);
    if (blob->isEmpty())
        return std::nullopt;
    const std::optional<HotKey> key = HotKey::fromJson(*blob);
    if (!key || !key->isAllowed())
        return HotKeyPresets::kiwanoDefault(action);
    return key;
}

QByteArray blobFor(const std::optional<HotKey> &key)
{
    return key ? key->toJson() : QByteArray();
}

} // namespace

HotKeyCenter::HotKeyCenter(QObject *parent) : QObject(parent) {}

HotKeyCenter::~HotKeyCenter()
{
    unregisterAll();
}

void HotKeyCenter::setGrabber(HotKeyGrabber *grabber)
{
    unregisterAll();
    m_grabber = grabber;
    m_handlerInstalled = false;
    // Grabs die with the X connection anyway; releasing them while the event loop still runs
    // leaves none behind whatever order the app tears down in.
    if (QCoreApplication::instance()) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &HotKeyCenter::unregisterAll, Qt::UniqueConnection);
    }
}

void HotKeyCenter::setOnPress(std::function<void(HotKeyAction)> onPress)
{
    m_onPress = std::move(onPress);
}

std::optional<HotKey> HotKeyCenter::key(HotKeyAction action) const
{
    return storedKey(Preferences::store(), action);
}

void HotKeyCenter::set(const std::optional<HotKey> &key, HotKeyAction action)
{
    {
        QSettings settings = Preferences::store();
        if (key) {
            for (HotKeyAction other : allHotKeyActions) {
                if (other != action && storedKey(settings, other) == key)
                    Preferences::setValue(Preferences::hotKey, storageName(other), QByteArray(), settings);
            }
        }
        Preferences::setValue(Preferences::hotKey, storageName(action), blobFor(key), settings);
    }
    registerAll();
}

void HotKeyCenter::applyPreset(HotKeyPreset preset)
{
    {
        QSettings settings = Preferences::store();
        for (HotKeyAction action : allHotKeyActions)
            Preferences::setValue(Preferences::hotKey, storageName(action), blobFor(preset(action)), settings);
    }
    registerAll();
}

void HotKeyCenter::registerAll()
{
    if (m_grabber && !m_handlerInstalled) {
        m_grabber->installPressHandler([this](HotKeyId id) { return handlePress(id); });
        m_handlerInstalled = true;
    }
    unregisterAll();

    QSet<HotKeyAction> failures;
    const QSettings settings = Preferences::store();
    for (HotKeyAction action : allHotKeyActions) {
        if (m_suspended.contains(action))
            continue;
        const auto key = storedKey(settings, action);
        if (!key)
            continue;
        const HotKeyId id{signature, HotKeyActions::index(action)};
        const auto handle = m_grabber ? m_grabber->grab(key->keyCode, key->x11Modifiers(), id)
                                      : std::nullopt;
        if (handle)
            m_refs.insert(action, *handle);
        else
            failures.insert(action);
    }

    if (failures != m_failed) {
        m_failed = failures;
        emit failedChanged();
    }
    ++m_revision;
    emit revisionChanged();
}

void HotKeyCenter::unregisterAll()
{
    if (m_grabber) {
        for (HotKeyGrabber::Handle handle : std::as_const(m_refs))
            m_grabber->release(handle);
    }
    m_refs.clear();
}

void HotKeyCenter::suspend(HotKeyAction action)
{
    m_suspended.insert(action);
    if (const auto it = m_refs.constFind(action); it != m_refs.cend()) {
        const HotKeyGrabber::Handle handle = *it;
        m_refs.erase(it);
        if (m_grabber)
            m_grabber->release(handle);
    }
}

void HotKeyCenter::resume(HotKeyAction action)
{
    if (m_suspended.remove(action))
        registerAll();
}

bool HotKeyCenter::handlePress(HotKeyId id)
{
    if (id.signature != signature || id.number >= allHotKeyActions.size())
        return false;
    const HotKeyAction action = allHotKeyActions[id.number];
    // The press arrives inside the desktop's event dispatch; the action runs on a later turn.
    QMetaObject::invokeMethod(
        this, [this, action] { if (m_onPress) m_onPress(action); }, Qt::QueuedConnection);
    return true;
}
