// SPDX-License-Identifier: MIT
#include "platform/preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <unistd.h>

namespace Preferences {

namespace {

QString keyOf(const char *key)
{
    return QString::fromLatin1(key);
}

// A folder we may write into and pass through.
bool isWritableFolder(const QString &path)
{
    return QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

bool isName(const QString &name, int maxLength)
{
    if (name.trimmed().isEmpty() || name.size() > maxLength)
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                     QStringLiteral("KiwanoSnapper"));
}

QSettings stateStore()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                     QStringLiteral("KiwanoSnapperEditor"));
}

namespace {

const QString frameKey = QStringLiteral("frame");

} // namespace

QByteArray windowFrame()
{
    return stateStore().value(frameKey).toByteArray();
}

void setWindowFrame(const QByteArray &frame)
{
    stateStore().setValue(frameKey, frame);
}

bool value(const Flag &flag)
{
    const QVariant stored = store().value(keyOf(flag.key));
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    // The ini format hands booleans back as their text.
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString().trimmed().toLower();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return flag.fallback;
}

int value(const Number &number)
{
    const QVariant stored = store().value(keyOf(number.key));
    bool ok = false;
    int read = 0;
    switch (stored.typeId()) {
    case QMetaType::QString:
        read = stored.toString().trimmed().toInt(&ok);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        read = stored.toInt(&ok);
        ok = ok && stored.toLongLong() == read;
        break;
    default:
        break;
    }
    return ok && isValid(number, read) ? read : number.fallback;
}

std::optional<QString> value(const Folder &folder)
{
    const QVariant stored = store().value(keyOf(folder.key));
    if (stored.typeId() != QMetaType::QString || !isUsableFolder(stored.toString()))
        return std::nullopt;
    return stored.toString();
}

QStringList value(const Names &names)
{
    const QVariant stored = store().value(keyOf(names.key));
    QStringList list;
    switch (stored.typeId()) {
    case QMetaType::QString:
        // The ini format writes a list of one as its only element.
        list = QStringList{stored.toString()};
        break;
    case QMetaType::QStringList:
        list = stored.toStringList();
        break;
    case QMetaType::QVariantList:
        for (const QVariant &element : stored.toList()) {
            if (element.typeId() != QMetaType::QString)
                return {};
            list.append(element.toString());
        }
        break;
    default:
        return {};
    }
    return isValid(names, list) ? list : QStringList();
}

std::optional<QByteArray> value(const Blob &blob, const QString &name)
{
    return value(blob, name, store());
}

std::optional<QByteArray> value(const Blob &blob, const QString &name, const QSettings &settings)
{
    const QVariant stored = settings.value(keyOf(blob.prefix) + name);
    // Only bytes were ever stored; text that reads as JSON is a hand edit, not a stored value.
    if (stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return stored.toByteArray();
}

bool isUsableFolder(const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || path.contains(QChar(0)))
        return false;
    // A folder that is missing is usable when its nearest existing parent takes new folders.
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing) && !QFileInfo(existing).isSymLink()) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing)
            return false;
        existing = parent;
    }
    return isWritableFolder(existing);
}

bool isValid(const Number &number, int value)
{
    return value >= number.lower && value <= number.upper;
}

bool isValid(const Names &names, const QStringList &list)
{
    if (list.size() > names.maxCount)
        return false;
    return std::all_of(list.cbegin(), list.cend(),
                       [&names](const QString &name) { return isName(name, names.maxLength); });
}

void setValue(const Flag &flag, bool on)
{
    store().setValue(keyOf(flag.key), on);
}

void setValue(const Number &number, int value)
{
    store().setValue(keyOf(number.key), std::clamp(value, number.lower, number.upper));
}

void setValue(const Folder &folder, const QString &path)
{
    store().setValue(keyOf(folder.key), path);
}

void setValue(const Names &names, const QStringList &list)
{
    store().setValue(keyOf(names.key), list);
}

void setValue(const Blob &blob, const QString &name, const QByteArray &bytes)
{
    QSettings settings = store();
    setValue(blob, name, bytes, settings);
}

void setValue(const Blob &blob, const QString &name, const QByteArray &bytes, QSettings &settings)
{
    settings.setValue(keyOf(blob.prefix) + name, bytes);
}

void remove(const Folder &folder)
{
    store().remove(keyOf(folder.key));
}

} // namespace Preferences
