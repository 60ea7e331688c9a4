// SPDX-License-Identifier: MIT
#include "settings/desktopbindings.h"

void DesktopBindings::setTriggers(const QMap<QString, QString> &triggers)
{
    if (!triggers.isEmpty())
        m_refusal.clear();
    if (triggers == m_triggers)
        return;
    m_triggers = triggers;
    emit triggersChanged();
}

void DesktopBindings::setRefused(const QString &reason)
{
    m_refusal = reason.isEmpty() ? tr("no reason given") : reason;
    setTriggers({});
}
