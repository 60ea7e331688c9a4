// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// sway's IPC socket (the i3 protocol): one request, one reply, on a connection of its own.
namespace SwayIpc {

enum class Message : quint32 { runCommand = 0, getTree = 4 };

// Sends the message to the sway listening at socketPath and returns the payload of its reply;
// nothing when sway is not there or did not answer within timeoutMs.
std::optional<QByteArray> request(const QString &socketPath, Message type,
                                  const QByteArray &payload = {}, int timeoutMs = 200);

} // namespace SwayIpc
