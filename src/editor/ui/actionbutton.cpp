// SPDX-License-Identifier: MIT
#include "editor/ui/actionbutton.h"

#include <QAction>

ActionButton::ActionButton(QAction *action, const QString &icon, QWidget *parent)
    : KiwanoButton(icon, action->text(), parent)
    , m_action(action)
{
    connect(this, &QAbstractButton::clicked, action, [action] { action->trigger(); });
    connect(action, &QAction::changed, this, &ActionButton::sync);
    sync();
}

void ActionButton::sync()
{
    setEnabled(m_action->isEnabled());
    if (isHidden() == m_action->isVisible())
        setVisible(m_action->isVisible());
    setToolTip(m_action->toolTip());
    // Icon-only buttons are named by their tooltip.
    if (text().isEmpty())
        setAccessibleName(m_action->toolTip());
}
