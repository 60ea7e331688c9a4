// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>

#include <functional>

// The headless sway the test runner starts for the tests labelled wayland. Tests begin with
//     if (const QString why = WaylandSession::skipReason(); !why.isEmpty()) QSKIP(qPrintable(why));
namespace WaylandSession {

// Empty when the test compositor runs; otherwise why it does not.
QString skipReason();
// The compositor's socket, as an absolute path (WAYLAND_DISPLAY accepts one).
QByteArray display();
// An environment for programs that should see only the test compositor: WAYLAND_DISPLAY,
// XDG_RUNTIME_DIR and SWAYSOCK set, DISPLAY removed, XDG_SESSION_TYPE=wayland.
QProcessEnvironment environment(const QProcessEnvironment &base = QProcessEnvironment::systemEnvironment());
// Runs swaymsg with these arguments against the test compositor; true when it succeeded. The
// reply (JSON) goes to reply when given.
bool swaymsg(const QStringList &arguments, QByteArray *reply = nullptr);
// A path the compositor's user (which runs what `swaymsg exec` starts) can execute this program
// at: the program itself when it can reach it, else a copy in a world-readable folder of its own,
// made once, with the programs beside it (the capture tool beside the app); empty when neither.
QString programForCompositor(const QString &program, const QStringList &beside = {});
// The first window of the compositor's tree (floating ones included) that accepts takes; an empty
// object when none does.
QJsonObject findWindow(const std::function<bool(const QJsonObject &)> &accepts);
// The window with the keyboard focus; an empty object when none has it.
QJsonObject focusedWindow();

} // namespace WaylandSession
