// SPDX-License-Identifier: MIT
#include "annotation/textfont.h"

#include "look/pixel.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QHash>

#include <array>
#include <cmath>

namespace {

struct FontInfo
{
    TextFont font;
    const char *raw;
    const char *label;
};

constexpr std::array<FontInfo, 7> infos{{
    {TextFont::system, "system", QT_TRANSLATE_NOOP("TextFont", "Sans")},
    {TextFont::rounded, "rounded", QT_TRANSLATE_NOOP("TextFont", "Rounded")},
    {TextFont::serif, "serif", QT_TRANSLATE_NOOP("TextFont", "Serif")},
    {TextFont::mono, "mono", QT_TRANSLATE_NOOP("TextFont", "Mono")},
    {TextFont::pixel, "pixel", QT_TRANSLATE_NOOP("TextFont", "Pixel")},
    {TextFont::marker, "marker", QT_TRANSLATE_NOOP("TextFont", "Marker")},
    {TextFont::chalk, "chalk", QT_TRANSLATE_NOOP("TextFont", "Chalk")},
}};

// The faces that stand for each design, best first. The Debian packages fonts-comfortaa,
// fonts-dejavu-core, fonts-leckerli-one and fonts-comic-neue provide the last of each list; the
// others are taken when a user has them.
QStringList candidates(TextFont font)
{
    switch (font) {
    case TextFont::rounded:
        return {QStringLiteral("Comfortaa"), QStringLiteral("Quicksand")};
    case TextFont::serif:
        return {QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif"),
                QStringLiteral("Liberation Serif")};
    case TextFont::marker:
        return {QStringLiteral("Marker Felt"), QStringLiteral("Permanent Marker"),
                QStringLiteral("Leckerli One")};
    case TextFont::chalk:
        return {QStringLiteral("Chalkboard SE"), QStringLiteral("Comic Neue")};
    default:
        return {};
    }
}

// Installed faces do not change while the process runs, and looking one up is slow: each design
// is looked up once.
QString installedFamily(TextFont font)
{
    static const QHash<TextFont, QString> found = [] {
        QHash<TextFont, QString> families;
        for (TextFont design : {TextFont::rounded, TextFont::serif, TextFont::marker, TextFont::chalk}) {
            for (const QString &candidate : candidates(design)) {
                if (QFontDatabase::hasFamily(candidate)) {
                    families.insert(design, candidate);
                    break;
                }
            }
        }
        return families;
    }();
    return found.value(font);
}

int wholePixels(qreal size)
{
    if (!std::isfinite(size))
        return 1;
    return std::max(1, qRound(std::min(size, 100000.0)));
}

QFont boldSystemFont(QFontDatabase::SystemFont kind, qreal pixelSize)
{
    // Asking the platform theme each time is slow, and text bounds ask on every hit test.
    static const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFont f = kind == QFontDatabase::FixedFont ? fixed : general;
    f.setBold(true);
    f.setPixelSize(wholePixels(pixelSize));
    return f;
}

QFont named(TextFont font, qreal pixelSize, bool bold)
{
    const QString family = installedFamily(font);
    if (family.isEmpty())
        return boldSystemFont(QFontDatabase::GeneralFont, pixelSize);
    QFont f(family);
    f.setBold(bold);
    f.setPixelSize(wholePixels(pixelSize));
    return f;
}

} // namespace

QString rawValue(TextFont font)
{
    return QString::fromLatin1(infos[static_cast<size_t>(font)].raw);
}

QString label(TextFont font)
{
    return QCoreApplication::translate("TextFont", infos[static_cast<size_t>(font)].label);
}

QFont font(TextFont font, qreal pixelSize)
{
    switch (font) {
    case TextFont::system:
        return boldSystemFont(QFontDatabase::GeneralFont, pixelSize);
    case TextFont::mono:
        return boldSystemFont(QFontDatabase::FixedFont, pixelSize);
    case TextFont::pixel: {
        QFont f = Pixel::font(pixelSize);
        f.setPixelSize(wholePixels(pixelSize));
        return f;
    }
    case TextFont::rounded:
    case TextFont::serif:
    case TextFont::chalk:
        return named(font, pixelSize, true);
    case TextFont::marker:
        // Marker faces are heavy already and come in one weight; a synthetic bold smears them.
        return named(font, pixelSize, false);
    }
    return boldSystemFont(QFontDatabase::GeneralFont, pixelSize);
}

namespace TextFonts {

const QList<TextFont> &allCases()
{
    static const QList<TextFont> fonts = [] {
        QList<TextFont> list;
        for (const FontInfo &i : infos)
            list.append(i.font);
        return list;
    }();
    return fonts;
}

std::optional<TextFont> fromRaw(const QString &raw)
{
    for (const FontInfo &i : infos) {
        if (raw == QLatin1String(i.raw))
            return i.font;
    }
    return std::nullopt;
}

} // namespace TextFonts
