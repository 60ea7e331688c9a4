// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"
#include "settings/settingsview.h"

class HotKeyCenter;
class QObject;

// In a GNOME session without our shell extension, what the settings offer: turning the extension
// on, and writing our shortcuts into GNOME's own custom shortcuts. Elsewhere nothing.
void offerGnomeWays(const SessionFacts &facts, HotKeyCenter &hotKeys, QObject *context,
                    SettingsView::Services &services);
