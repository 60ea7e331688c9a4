// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

// sway's IPC socket ($SWAYSOCK): the compositor's own account of its windows and outputs, which
// the Wayland protocols keep from ordinary clients.
namespace SwayIpc {

enum Message : quint32 { getOutputs = 3, getTree = 4 };

// The JSON reply to one message, from the socket at path (SWAYSOCK when empty); empty when
// there is no such socket, it does not answer within timeoutMs, or the reply is malformed.
QByteArray ask(Message type, const QString &path = {}, int timeoutMs = 500);

// The visible windows in a get_tree reply, frames included, in layout pixels, topmost first:
// fullscreen windows, then floating ones from the top down, then tiled ones.
QList<QRect> windows(const QByteArray &tree);

// The name of the focused output in a get_outputs reply; empty when none is.
QString focusedOutput(const QByteArray &outputs);

} // namespace SwayIpc
