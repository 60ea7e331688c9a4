// SPDX-License-Identifier: MIT
#include "clipboard/clipindex.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace {

QByteArray dateText(const QDateTime &date)
{
    const QDateTime utc = date.toUTC();
    const QDate day = utc.date();
    const QTime time = utc.time();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", day.year(), day.month(), day.day(),
                  time.hour(), time.minute(), time.second());
    return QByteArray(text);
}

// A JSON string: quotes, backslashes and control characters escaped, everything else as UTF-8.
void appendString(QByteArray &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out.append('"');
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.append('\\').append(c);
        } else if (byte < 0x20) {
            switch (c) {
            case '\n': out.append("\\n"); break;
            case '\t': out.append("\\t"); break;
            case '\r': out.append("\\r"); break;
            default: out.append("\\u00").append(hex[byte >> 4]).append(hex[byte & 15]);
            }
        } else {
            out.append(c);
        }
    }
    out.append('"');
}

std::optional<QDateTime> parseDate(const QJsonValue &value)
{
    static const QRegularExpression form(QStringLiteral(R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}Z$)"));
    if (!value.isString() || !form.match(value.toString()).hasMatch())
        return std::nullopt;
    QDateTime date = QDateTime::fromString(value.toString(), Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date.toUTC();
}

// Only the canonical 8-4-4-4-12 form names a folder; braces or other shapes would not.
std::optional<QUuid> parseId(const QJsonValue &value)
{
    static const QRegularExpression form(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!value.isString() || !form.match(value.toString()).hasMatch())
        return std::nullopt;
    QUuid id = QUuid::fromString(value.toString());
    if (id.isNull())
        return std::nullopt;
    return id;
}

std::optional<qint64> parseInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) > 9007199254740992.0)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<QList<ClipContent>> parseContents(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QList<ClipContent> contents;
    for (const QJsonValue &element : value.toArray()) {
        const QJsonObject object = element.toObject();
        const QJsonValue type = object.value(QLatin1String("type"));
        const QJsonValue file = object.value(QLatin1String("file"));
        if (!element.isObject() || !type.isString() || !file.isString())
            return std::nullopt;
        contents.append({type.toString(), file.toString()});
    }
    return contents;
}

std::optional<ClipItem> parseItem(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = parseId(object.value(QLatin1String("id")));
    const auto contents = parseContents(object.value(QLatin1String("contents")));
    const QJsonValue title = object.value(QLatin1String("title"));
    const QJsonValue hasImage = object.value(QLatin1String("hasImage"));
    const auto firstCopied = parseDate(object.value(QLatin1String("firstCopied")));
    const auto lastCopied = parseDate(object.value(QLatin1String("lastCopied")));
    const auto copies = parseInteger(object.value(QLatin1String("copies")));
    const QJsonValue pinned = object.value(QLatin1String("pinned"));
    const QJsonValue hash = object.value(QLatin1String("hash"));
    if (!id || !contents || !title.isString() || !hasImage.isBool() || !firstCopied
        || !lastCopied || !copies || !pinned.isBool() || !hash.isString())
        return std::nullopt;

    ClipItem item;
    item.id = *id;
    item.contents = *contents;
    item.title = title.toString();
    item.hasImage = hasImage.toBool();
    if (object.contains(QLatin1String("app"))) {
        const QJsonValue app = object.value(QLatin1String("app"));
        if (!app.isString())
            return std::nullopt;
        item.app = app.toString();
    }
    item.firstCopied = *firstCopied;
    item.lastCopied = *lastCopied;
    item.copies = *copies;
    item.pinned = pinned.toBool();
    item.hash = hash.toString();
    return item;
}

} // namespace

namespace ClipIndex {

// Written by hand: the index is rewritten after every copy, and building it through QJsonObject
// costs about thirty times as much for a full history.
QByteArray encode(const QList<ClipItem> &items)
{
    QByteArray out;
    out.reserve(items.size() * 400 + 2);
    out.append('[');
    for (const ClipItem &item : items) {
        if (out.size() > 1)
            out.append(',');
        out.append("{\"id\":\"").append(idText(item.id).toLatin1()).append("\",\"contents\":[");
        for (qsizetype i = 0; i < item.contents.size(); ++i) {
            out.append(i ? ",{\"type\":" : "{\"type\":");
            appendString(out, item.contents.at(i).type);
            out.append(",\"file\":");
            appendString(out, item.contents.at(i).file);
            out.append('}');
        }
        out.append("],\"title\":");
        appendString(out, item.title);
        out.append(",\"hasImage\":").append(item.hasImage ? "true" : "false");
        if (item.app) {
            out.append(",\"app\":");
            appendString(out, *item.app);
        }
        out.append(",\"firstCopied\":\"").append(dateText(item.firstCopied)).append('"');
        out.append(",\"lastCopied\":\"").append(dateText(item.lastCopied)).append('"');
        out.append(",\"copies\":").append(QByteArray::number(item.copies));
        out.append(",\"pinned\":").append(item.pinned ? "true" : "false");
        out.append(",\"hash\":");
        appendString(out, item.hash);
        out.append('}');
    }
    out.append(']');
    return out;
}

std::optional<QList<ClipItem>> decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<ClipItem> items;
    const QJsonArray array = document.array();
    items.reserve(array.size());
    for (const QJsonValue &value : array) {
        auto item = parseItem(value);
        if (!item)
            return std::nullopt;
        items.append(std::move(*item));
    }
    return items;
}

} // namespace ClipIndex
