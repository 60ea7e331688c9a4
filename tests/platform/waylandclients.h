// SPDX-License-Identifier: MIT
#pragma once
// Other Wayland clients for the clipboard tests: wl-copy, and kiwano-test-wlsource, a
// data-control source of our own that offers many types or never answers.
#include "platform/clipboardwatcher.h"
#include "platform/testprograms.h"
#include "platform/waylandsession.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

namespace WaylandClients {

inline const QString marker = QStringLiteral("local.kiwano-snapper.clip");

// The bytes of one type of the copy; "missing" when it has none.
inline QByteArray itemOf(const ClipboardWatcher::Copy &copy, const QString &type)
{
    for (const ClipboardService::Item &item : copy.items)
        if (item.type == type)
            return item.data;
    return "missing";
}

// Noise compresses badly: a PNG of a few megabytes, far more than a pipe holds.
inline QByteArray noisyPng(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate());
    QByteArray png;
    QBuffer buffer(&png);
    image.save(&buffer, "PNG");
    return png;
}

// Lines since the program last started (a TestProgram keeps those of earlier runs).
inline qsizetype countLines(TestProgram &program, const QString &prefix)
{
    qsizetype count = 0;
    for (const QString &line : program.lines()) {
        if (line.startsWith(QLatin1String("started")))
            count = 0;
        count += line.startsWith(prefix);
    }
    return count;
}

// Starts wl-copy in the foreground with these arguments, its standard input from input if given.
inline bool copyWith(TestProgram &program, const QStringList &arguments, const QString &input = {})
{
    program.process().setProcessEnvironment(WaylandSession::environment());
    if (!input.isEmpty())
        program.process().setStandardInputFile(input);
    program.process().start(QStringLiteral("wl-copy"), QStringList{"--foreground"} + arguments);
    return program.process().waitForStarted(5000);
}

// Starts our own source and waits until it holds the clipboard.
inline bool startSource(TestProgram &program, const QStringList &arguments)
{
    program.process().setProcessEnvironment(WaylandSession::environment());
    return program.start(QStringLiteral(WLSOURCE_PATH), arguments);
}

} // namespace WaylandClients
