// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "selectionoverlay.h"

// The capture on a Wayland compositor: the pictures through wlroots screen copy where the
// compositor offers it, else through KWin's screenshot service where KWin serves us, else through
// the desktop's Screenshot portal; then our own overlay, one fullscreen window per output.
// KIWANO_CAPTURE_SERVICE=portal skips the screen copy and KWin, and
// KIWANO_CAPTURE_DEADLINE_MS bounds every wait on the compositor or the portal.
namespace WaylandCapture {

// Whether this process runs in a Wayland session.
bool isSession();

// Grabs the whole focused output into path, or lets the user choose in mode; the exit status.
int grabScreen(int argc, char **argv, const QString &path);
int grabInteractively(int argc, char **argv, SelectionOverlay::Mode mode, const QString &path);

} // namespace WaylandCapture
