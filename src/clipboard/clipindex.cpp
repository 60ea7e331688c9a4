// SPDX-License-Identifier: MIT
#include "clipboard/clipindex.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {

QString dateText(const QDateTime &date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
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

QByteArray encode(const QList<ClipItem> &items)
{
    QJsonArray array;
    for (const ClipItem &item : items) {
        QJsonArray contents;
        for (const ClipContent &content : item.contents)
            contents.append(QJsonObject{{QStringLiteral("type"), content.type},
                                        {QStringLiteral("file"), content.file}});
        QJsonObject object{
            {QStringLiteral("id"), idText(item.id)},
            {QStringLiteral("contents"), contents},
            {QStringLiteral("title"), item.title},
            {QStringLiteral("hasImage"), item.hasImage},
            {QStringLiteral("firstCopied"), dateText(item.firstCopied)},
            {QStringLiteral("lastCopied"), dateText(item.lastCopied)},
            {QStringLiteral("copies"), item.copies},
            {QStringLiteral("pinned"), item.pinned},
            {QStringLiteral("hash"), item.hash},
        };
        if (item.app)
            object.insert(QStringLiteral("app"), *item.app);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
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
