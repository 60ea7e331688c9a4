// SPDX-License-Identifier: MIT
#include "clipboard/store.h"

#include "clipboard/clipindex.h"

#include <QBuffer>
#include <QCache>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

namespace {

constexpr int thumbnailSide = 240;
constexpr auto privateFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
const QByteArray cacheTag = "Signature: 8a477f597d28d172789f06886806bc55\n"
                            "# This file is a cache directory tag created by Kiwano Snapper.\n"
                            "# For information about cache directory tags, see:\n"
                            "#\thttps://bford.info/cachedir/\n";

QString s_dir;
bool s_brokenIndex = false;
struct PendingThumbnail
{
    QFuture<QImage> future;
    quint64 serial = 0;
};
QHash<QUuid, PendingThumbnail> s_pending;
quint64 s_serial = 0;

QCache<QUuid, QImage> &thumbnailCache()
{
    // Cost in bytes: a few hundred thumbnails, far more than a picker shows at once.
    static QCache<QUuid, QImage> cache(64 * 1024 * 1024);
    return cache;
}

// Content, thumbnails and the index hold what the user copied: readable by the owner only, and
// never seen half-written. The new file replaces the old by rename, so a reader or a killed
// process sees one or the other. No fsync: on this kind of machine it costs about 3.5 ms a file,
// more than the whole of recording a text copy, and the rename already orders the write.
bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QTemporaryFile file(path + QLatin1String(".XXXXXX")); // created 0600, beside the target
    if (!file.open())
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

void prepare(const QString &path)
{
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    QDir().mkdir(path, privateFolder);
    QFile::setPermissions(path, privateFolder);
    const QString tagPath = path + QLatin1String("/CACHEDIR.TAG");
    QFile tag(tagPath);
    if (!tag.open(QIODevice::ReadOnly) || !tag.read(cacheTag.size()).startsWith(cacheTag.left(43)))
        writeAtomically(tagPath, cacheTag);
}

QString indexPath()
{
    return Store::dir() + QLatin1String("/index.json");
}

// An index that did not decode is renamed rather than overwritten, so a hand edit gone wrong can
// still be mended.
void keepBrokenIndex()
{
    s_brokenIndex = false;
    const QString path = indexPath();
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString kept = path + QLatin1String(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = path + QLatin1String(".broken-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, kept))
        QFile::copy(path, kept);
}

} // namespace

QString Store::dir()
{
    if (s_dir.isEmpty()) {
        s_dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                + QLatin1String("/KiwanoSnapper/Clipboard");
        prepare(s_dir);
    }
    return s_dir;
}

void Store::setDir(const QString &path)
{
    waitForThumbnails();
    thumbnailCache().clear();
    s_brokenIndex = false;
    s_dir = QDir(path).absolutePath();
    prepare(s_dir);
}

QString Store::itemDir(const QUuid &id)
{
    return dir() + QLatin1Char('/') + idText(id);
}

QList<ClipItem> Store::load()
{
    QFile file(indexPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    auto items = ClipIndex::decode(file.readAll());
    if (!items) {
        s_brokenIndex = true;
        return {};
    }
    return *items;
}

void Store::save(const QList<ClipItem> &items)
{
    if (s_brokenIndex)
        keepBrokenIndex();
    writeAtomically(indexPath(), ClipIndex::encode(items));
}

std::optional<QList<ClipContent>> Store::write(const QList<Representation> &representations,
                                               const QUuid &id)
{
    const QString folder = itemDir(id);
    if (!QDir().mkpath(folder))
        return std::nullopt;
    QList<ClipContent> contents;
    for (qsizetype i = 0; i < representations.size(); ++i) {
        const QString file = QString::number(i) + QLatin1String(".bin");
        if (!writeAtomically(folder + QLatin1Char('/') + file, representations.at(i).data)) {
            QDir(folder).removeRecursively();
            return std::nullopt;
        }
        contents.append({representations.at(i).type, file});
    }
    return contents;
}

std::optional<QByteArray> Store::read(const QUuid &id, const QString &file)
{
    if (!isSafeFileName(file))
        return std::nullopt;
    QFile content(itemDir(id) + QLatin1Char('/') + file);
    if (!content.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = content.readAll();
    if (content.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QSize Store::thumbnailSize(const QSize &imageSize)
{
    const int longer = qMax(imageSize.width(), imageSize.height());
    if (imageSize.isEmpty() || longer <= thumbnailSide)
        return imageSize;
    const double scale = double(thumbnailSide) / longer;
    return QSize(qMax(1, qRound(imageSize.width() * scale)), qMax(1, qRound(imageSize.height() * scale)));
}

QImage Store::writeThumbnail(const QByteArray &imageBytes, const QUuid &id)
{
    QBuffer source;
    source.setData(imageBytes);
    QImageReader reader(&source);
    const QSize size = reader.size();
    if (size.isEmpty())
        return {};
    // Decoding straight at the thumbnail size spares a full-size frame for large images.
    reader.setScaledSize(thumbnailSize(size));
    QImage thumbnail = reader.read();
    if (thumbnail.isNull())
        return {};
    if (thumbnail.size() != thumbnailSize(size))
        thumbnail = thumbnail.scaled(thumbnailSize(size), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QByteArray png;
    QBuffer target(&png);
    target.open(QIODevice::WriteOnly);
    if (!QImageWriter(&target, "png").write(thumbnail))
        return {};
    if (!writeAtomically(itemDir(id) + QLatin1String("/thumb.png"), png))
        return {};
    return thumbnail;
}

void Store::writeThumbnailLater(const QByteArray &imageBytes, const QUuid &id, QObject *context,
                                std::function<void()> ready)
{
    dir(); // the folder's path is settled here, never first on the worker
    QFuture<QImage> future = QtConcurrent::run([imageBytes, id] { return writeThumbnail(imageBytes, id); });
    const quint64 serial = ++s_serial;
    s_pending.insert(id, {future, serial});
    auto *watcher = new QFutureWatcher<QImage>(context);
    QObject::connect(watcher, &QFutureWatcher<QImage>::finished, context, [watcher, id, future, serial, ready] {
        watcher->deleteLater();
        const auto pending = s_pending.constFind(id);
        if (pending == s_pending.cend() || pending->serial != serial)
            return; // removed, or replaced by a newer request, meanwhile
        s_pending.remove(id);
        const QImage image = future.result();
        if (!image.isNull())
            thumbnailCache().insert(id, new QImage(image), int(qMin<qsizetype>(image.sizeInBytes(), INT_MAX)));
        if (ready)
            ready();
    });
    watcher->setFuture(future);
}

void Store::waitForThumbnails()
{
    for (PendingThumbnail &pending : s_pending)
        pending.future.waitForFinished();
}

void Store::remove(const QUuid &id)
{
    if (auto pending = s_pending.find(id); pending != s_pending.end()) {
        pending->future.waitForFinished();
        s_pending.erase(pending);
    }
    QDir(itemDir(id)).removeRecursively();
    thumbnailCache().remove(id);
}

std::optional<QImage> Store::thumbnail(const QUuid &id)
{
    if (const QImage *cached = thumbnailCache().object(id))
        return *cached;
    QImage image(itemDir(id) + QLatin1String("/thumb.png"));
    if (image.isNull())
        return std::nullopt;
    thumbnailCache().insert(id, new QImage(image), int(qMin<qsizetype>(image.sizeInBytes(), INT_MAX)));
    return image;
}

bool Store::isSafeFileName(const QString &file)
{
    return !file.isEmpty() && !file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\'))
           && !file.contains(QLatin1String("..")) && !file.contains(QChar(0)) && file != QLatin1String(".");
}
