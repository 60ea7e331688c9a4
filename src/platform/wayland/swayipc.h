// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// sway's IPC socket ($SWAYSOCK): the compositor's own account of its windows and outputs, which
// the Wayland protocols keep from ordinary clients.
namespace SwayIpc {

enum Message : quint32 { runCommand = 0, getOutputs = 3, getTree = 4 };

// The JSON reply to one message, from the socket at path (SWAYSOCK when empty); empty when
// there is no such socket, it does not answer within timeoutMs, or the reply is malformed.
QByteArray ask(Message type, const QString &path = {}, int timeoutMs = 500);
// The same with a payload: the commands of a runCommand message.
QByteArray ask(Message type, const QByteArray &payload, const QString &path, int timeoutMs);

// The id of the window of process pid titled title in a get_tree reply; nothing when none is.
std::optional<qint64> windowId(const QByteArray &tree, qint64 pid, const QString &title);

// The visible windows in a get_tree reply, frames included, in layout pixels, topmost first:
// fullscreen windows, then floating ones from the top down, then tiled ones.
QList<QRect> windows(const QByteArray &tree);

// The name of the focused output in a get_outputs reply; empty when none is.
QString focusedOutput(const QByteArray &outputs);

} // namespace SwayIpc
