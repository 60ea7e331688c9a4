// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line. Reading it touches nothing else.
struct CommandLine
{
    enum class Outcome { run, help, version, error };

    Outcome outcome = Outcome::run;
    // Requests for the running instance in the order they are carried out: "region", "window",
    // "screen", "last-region", "clipboard", "settings", then "quit".
    QStringList requests;
    // How long the grabs wait, with a countdown on screen (--delay); 0 grabs at once.
    int delayMs = 0;
    // Files to open, made absolute against the working folder.
    QStringList files;
    // Images to pin on the screen (--pin FILE), made absolute likewise.
    QStringList pins;
    // The help or version text, or what was wrong.
    QString message;

    static CommandLine parse(const QStringList &arguments, const QString &workingFolder);
};

// One request a running instance understands: a bare word, or "open" and a file after a tab.
namespace Requests {
QStringList encode(const CommandLine &line);
QString openFile(const QString &path);
// The file of an open request; empty for every other request.
QString fileOf(const QString &request);
QString pinFile(const QString &path);
// The file of a pin request; empty for every other request.
QString pinnedFileOf(const QString &request);
// The wait before the grabs that follow it in the same requests, in milliseconds.
QString delay(int milliseconds);
// The wait of a delay request; -1 for every other request.
int delayOf(const QString &request);
} // namespace Requests
