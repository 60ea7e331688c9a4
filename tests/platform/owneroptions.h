// SPDX-License-Identifier: MIT
#pragma once
// The command line of the stand-in clipboard owners (kiwano-test-clipowner on X11,
// kiwano-test-wlsource on Wayland). They offer the --type, --type-file and --no-data types in
// that order, then COUNT made-up ones that are refused like --no-data, and misbehave on request:
//   --type TYPE=TEXT  --type-file TYPE=PATH  --no-data TYPE  --junk-types COUNT
//   --stall (no request is answered)  --stall-data (only the list of types is)  --retake MS
// and, on X11 only: --chunk BYTES (pieces above it)  --piece-delay MS  --die-mid-transfer
//   --single-piece (large data in one property)  --announce BYTES (the size an INCR transfer claims)
//   --wm-class INSTANCE,CLASS  --activate (map the window and make it the active one)
#include <QCommandLineParser>
#include <QFile>

struct OwnerOptions
{
    struct Offer
    {
        QByteArray type, data;
        bool refused;
    };
    QList<Offer> offers;
    QCommandLineParser parser;

    // False when an option is unknown or a file cannot be read.
    bool parse(const QStringList &arguments)
    {
        for (const char *flag : {"stall", "stall-data", "die-mid-transfer", "single-piece", "activate"})
            parser.addOption(QCommandLineOption(QString::fromLatin1(flag)));
        for (const char *option : {"type", "type-file", "no-data", "announce", "wm-class"})
            parser.addOption(QCommandLineOption(QString::fromLatin1(option), {}, "VALUE"));
        parser.addOptions({QCommandLineOption(QStringList{"junk-types", "junk-targets"}, {}, "COUNT", "0"),
                           QCommandLineOption("retake", {}, "MS", "0"), QCommandLineOption("chunk", {}, "BYTES", "262144"),
                           QCommandLineOption("piece-delay", {}, "MS", "0")});
        if (!parser.parse(arguments))
            return false;
        for (const QString &spec : parser.values("type"))
            offers.append({typeOf(spec), valueOf(spec).toUtf8(), false});
        for (const QString &spec : parser.values("type-file")) {
            QFile file(valueOf(spec));
            if (!file.open(QIODevice::ReadOnly))
                return false;
            offers.append({typeOf(spec), file.readAll(), false});
        }
        for (const QString &type : parser.values("no-data"))
            offers.append({type.toUtf8(), {}, true});
        for (int i = 0; i < number("junk-types"); ++i)
            offers.append({"x-junk-" + QByteArray::number(i), {}, true});
        return true;
    }
    bool isSet(const char *option) const { return parser.isSet(option); }
    int number(const char *option) const { return parser.value(option).toInt(); }

    // TYPE=VALUE, where the type may carry parameters of its own ("text/plain;charset=utf-8=hi").
    static qsizetype split(const QString &spec)
    {
        for (qsizetype at = spec.indexOf(u'='); at >= 0; at = spec.indexOf(u'=', at + 1)) {
            const qsizetype parameter = spec.left(at).lastIndexOf(u';');
            if (parameter < 0 || spec.mid(parameter, at - parameter).contains(u'='))
                return at;
        }
        return spec.size();
    }
    static QByteArray typeOf(const QString &spec) { return spec.left(split(spec)).toUtf8(); }
    static QString valueOf(const QString &spec) { return spec.mid(split(spec) + 1); }
};
