// SPDX-License-Identifier: MIT
#include "settings/desktopbindings.h"

void DesktopBindings::setTriggers(const QMap<QString, QString> &triggers)
{
    if (triggers == m_triggers)
        return;
    m_triggers = triggers;
    emit triggersChanged();
}
