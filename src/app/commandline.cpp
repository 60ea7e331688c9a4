// SPDX-License-Identifier: MIT
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QDir>

#include <algorithm>

namespace {

// The longest wait --delay takes: an hour.
constexpr double longestDelaySeconds = 3600;

struct Flag
{
    const char *name;
    const char *description;
};

// The order here is the order the requests are carried out in; quitting comes last.
constexpr Flag flags[] = {
    {"region", "Grab a region of the screen."},
    {"window", "Grab a window."},
    {"screen", "Grab the whole screen."},
    {"last-region", "Grab the last region again, without the overlay (for a window or screen grab: the "
                    "same window or screen)."},
    {"clipboard", "Open or close the clipboard history."},
    {"settings", "Show the settings."},
    {"quit", "Quit the running Kiwano Snapper."},
};

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments, const QString &workingFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Kiwano Snapper grabs the screen, annotates images and keeps a clipboard history.\n"
        "With a running Kiwano Snapper, the requests go to it; otherwise it starts first."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    for (const Flag &flag : flags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(flag.name), QString::fromLatin1(flag.description)));
    const QCommandLineOption pin(QStringLiteral("pin"),
                                 QStringLiteral("Show the image FILE pinned above the other windows (Esc closes it)."),
                                 QStringLiteral("FILE"));
    parser.addOption(pin);
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Grab after SECONDS (up to 3600), counting down on screen; "
                                                  "with --region, --window, --screen or --last-region."),
                                   QStringLiteral("SECONDS"));
    parser.addOption(delay);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Images to open as new grabs."),
                                 QStringLiteral("[FILE...]"));

    CommandLine line;
    QStringList withProgram = arguments;
    if (withProgram.isEmpty())
        withProgram << QStringLiteral("kiwano-snapper");
    if (!parser.parse(withProgram)) {
        line.outcome = Outcome::error;
        line.message = parser.errorText() + QStringLiteral("\nTry 'kiwano-snapper --help'.");
        return line;
    }
    if (parser.isSet(help)) {
        line.outcome = Outcome::help;
        line.message = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kiwano-snapper"));
        return line;
    }
    if (parser.isSet(version)) {
        line.outcome = Outcome::version;
        line.message = QStringLiteral("Kiwano Snapper " KIWANO_VERSION);
        return line;
    }
    for (const Flag &flag : flags)
        if (parser.isSet(QString::fromLatin1(flag.name)))
            line.requests << QString::fromLatin1(flag.name);
    if (parser.isSet(delay)) {
        bool number = false;
        const double seconds = parser.value(delay).toDouble(&number);
        const auto wrong = [&line](const QString &why) {
            line.outcome = Outcome::error;
            line.requests.clear();
            line.message = why + QStringLiteral("\nTry 'kiwano-snapper --help'.");
            return line;
        };
        if (!number || !(seconds >= 0 && seconds <= longestDelaySeconds))
            return wrong(QStringLiteral("--delay takes a number of seconds from 0 to 3600, not '%1'.")
                             .arg(parser.value(delay)));
        const bool grabs = std::any_of(line.requests.cbegin(), line.requests.cend(), [](const QString &request) {
            return request == QLatin1String("region") || request == QLatin1String("window")
                || request == QLatin1String("screen") || request == QLatin1String("last-region");
        });
        if (!grabs)
            return wrong(QStringLiteral("--delay needs a grab to wait for: --region, --window, --screen or "
                                        "--last-region."));
        line.delayMs = int(seconds * 1000 + 0.5);
    }
    const QDir here(workingFolder);
    for (const QString &file : parser.positionalArguments())
        line.files << QDir::cleanPath(here.absoluteFilePath(file));
    for (const QString &file : parser.values(pin))
        line.pins << QDir::cleanPath(here.absoluteFilePath(file));
    return line;
}

namespace Requests {

const QString openPrefix = QStringLiteral("open\t");
const QString pinPrefix = QStringLiteral("pin\t");

QString pinFile(const QString &path)
{
    return pinPrefix + path;
}

QString pinnedFileOf(const QString &request)
{
    return request.startsWith(pinPrefix) ? request.mid(pinPrefix.size()) : QString();
}

QString openFile(const QString &path)
{
    return openPrefix + path;
}

QString fileOf(const QString &request)
{
    return request.startsWith(openPrefix) ? request.mid(openPrefix.size()) : QString();
}

const QString delayPrefix = QStringLiteral("delay\t");

QString delay(int milliseconds)
{
    return delayPrefix + QString::number(milliseconds);
}

int delayOf(const QString &request)
{
    if (!request.startsWith(delayPrefix))
        return -1;
    bool number = false;
    const int milliseconds = request.mid(delayPrefix.size()).toInt(&number);
    return number && milliseconds >= 0 && milliseconds <= longestDelaySeconds * 1000 ? milliseconds : -1;
}

QStringList encode(const CommandLine &line)
{
    QStringList requests;
    for (const QString &file : line.files)
        requests << openFile(file);
    for (const QString &file : line.pins)
        requests << pinFile(file);
    if (line.delayMs > 0)
        requests << delay(line.delayMs);
    for (const QString &request : line.requests)
        requests << request;
    return requests;
}

} // namespace Requests
