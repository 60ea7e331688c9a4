// SPDX-License-Identifier: MIT
#include "clipboard/cliptitle.h"

#include "clipboard/cliprules.h"
#include "clipboard/rtftext.h"

#include <QBuffer>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QUrl>

namespace {

constexpr int titleLength = 400;

QString fileName(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid())
        return {};
    QString path = url.path(QUrl::FullyDecoded);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.section(QLatin1Char('/'), -1);
}

// Enough names to fill a title; the rest of a long list would be cut off anyway.
QStringList fileNames(const QList<Representation> &representations)
{
    QStringList names;
    qsizetype length = 0;
    for (const Representation &representation : representations) {
        if (ClipRules::kind(representation.type) != ClipRules::Kind::fileList)
            continue;
        for (const QString &uri : ClipRules::uriListEntries(representation.data)) {
            const QString name = fileName(uri);
            if (name.isEmpty())
                continue;
            names.append(name);
            length += name.size() + 2;
            if (length > titleLength)
                return names;
        }
    }
    return names;
}

const Representation *first(const QList<Representation> &representations, ClipRules::Kind kind)
{
    for (const Representation &representation : representations)
        if (ClipRules::kind(representation.type) == kind)
            return &representation;
    return nullptr;
}

// The text the title is cut from, or nothing when the copy holds no text kind at all.
std::optional<QString> text(const QList<Representation> &representations)
{
    if (const Representation *plain = first(representations, ClipRules::Kind::plainText))
        return QString::fromUtf8(plain->data);
    if (const Representation *rich = first(representations, ClipRules::Kind::richText)) {
        if (auto plain = rtfPlainText(rich->data))
            return plain;
    }
    if (const Representation *html = first(representations, ClipRules::Kind::html)) {
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        static const QRegularExpression space(QStringLiteral("\\s+"));
        return QString::fromUtf8(html->data).replace(tag, QStringLiteral(" ")).replace(space, QStringLiteral(" "));
    }
    return std::nullopt;
}

// The first `count` user-perceived characters, so that no emoji or accent is cut in half.
QString leftGraphemes(const QString &text, int count)
{
    // The boundary finder analyses all it is given; a prefix holds the answer unless its
    // characters are extraordinarily long.
    const qsizetype prefix = qMin<qsizetype>(text.size(), qsizetype(count) * 16);
    if (prefix < text.size()) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData(), prefix);
        qsizetype end = 0;
        for (int taken = 0; taken < count; ++taken) {
            end = finder.toNextBoundary();
            if (end < 0 || end >= prefix)
                break;
        }
        if (end > 0 && end < prefix)
            return text.left(end);
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int taken = 0;
    qsizetype end = 0;
    while (taken < count) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            return text;
        end = next;
        ++taken;
    }
    return text.left(end);
}

// At most titleLength characters as the user sees them, and never more than a few code units
// each: a title is rewritten into the index at every copy.
QString bounded(const QString &text)
{
    QString title = leftGraphemes(text, titleLength);
    if (title.size() > titleLength * 4) {
        qsizetype end = titleLength * 4;
        if (title.at(end - 1).isHighSurrogate())
            --end;
        title.truncate(end);
    }
    return title;
}

} // namespace

QString clipTitle(const QList<Representation> &representations, const std::optional<QByteArray> &imageBytes)
{
    const QStringList names = fileNames(representations);
    if (!names.isEmpty())
        return bounded(names.join(QLatin1String(", ")));

    if (const std::optional<QString> body = text(representations)) {
        const QString trimmed = body->trimmed();
        if (!trimmed.isEmpty()) {
            QString title = bounded(trimmed);
            title.replace(QLatin1String("\r\n"), QStringLiteral(" \u23CE "));
            title.replace(QLatin1Char('\n'), QStringLiteral(" \u23CE "));
            title.replace(QLatin1Char('\r'), QStringLiteral(" \u23CE "));
            title.replace(QLatin1Char('\t'), QLatin1Char(' '));
            return title;
        }
    }

    if (imageBytes) {
        // The header is enough for the size; the full decode happens once, for the thumbnail.
        QBuffer buffer;
        buffer.setData(*imageBytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (reader.canRead() && !size.isEmpty())
            return QStringLiteral("Image %1 \u00D7 %2").arg(size.width()).arg(size.height());
    }
    return QStringLiteral("Clipping");
}
