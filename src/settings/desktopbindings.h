// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QMap>
#include <QObject>
#include <QString>

// The keys the desktop bound to our shortcuts when it owns them, in its own words ("Shift+Meta+6"),
// by action name. The desktop tells them some time after each binding, so views follow
// triggersChanged.
class DesktopBindings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Empty when the desktop bound nothing (yet) to the action.
    QString trigger(HotKeyAction action) const { return m_triggers.value(HotKeyActions::rawValue(action)); }
    void setTriggers(const QMap<QString, QString> &triggers);

signals:
    void triggersChanged();

private:
    QMap<QString, QString> m_triggers;
};
