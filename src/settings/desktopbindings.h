// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QMap>
#include <QObject>
#include <QString>

// The keys the desktop bound to our shortcuts when it owns them, in its own words ("Shift+Meta+6"),
// by action name, or why it refused to bind them. The desktop tells them some time after each
// binding, so views follow triggersChanged.
class DesktopBindings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Empty when the desktop bound nothing (yet) to the action.
    QString trigger(HotKeyAction action) const { return m_triggers.value(HotKeyActions::rawValue(action)); }
    void setTriggers(const QMap<QString, QString> &triggers);
    // Why the desktop bound nothing; empty unless it refused.
    QString refusal() const { return m_refusal; }
    void setRefused(const QString &reason);

signals:
    void triggersChanged();

private:
    QMap<QString, QString> m_triggers;
    QString m_refusal;
};
