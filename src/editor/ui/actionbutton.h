// SPDX-License-Identifier: MIT
#pragma once

#include "look/widgets/kiwanobutton.h"

class QAction;

// A KiwanoButton that shows an action: pressing it triggers the action, and it follows the
// action's enabled state and tooltip. The shortcut stays with the action.
class ActionButton : public KiwanoButton
{
    Q_OBJECT

public:
    ActionButton(QAction *action, const QString &icon, QWidget *parent = nullptr);
    QAction *action() const { return m_action; }

private:
    void sync();

    QAction *m_action;
};
