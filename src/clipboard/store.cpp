// SPDX-License-Identifier: MIT
#include "clipboard/store.h"

#include "clipboard/clipindex.h"
#include "clipboard/indexsync.h"
#include "clipboard/storefiles.h"

#include <QBuffer>
#include <QCache>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int thumbnailSide = 240;
const QByteArray cacheTag = "Signature: 8a477f597d28d172789f06886806bc55\n"
                            "# This file is a cache directory tag created by Kiwano Snapper.\n"
                            "# For information about cache directory tags, see:\n"
                            "#\thttps://bford.info/cachedir/\n";

// Caps on what is read back: a full history's index is a few hundred kilobytes, a copy at most
// tens of megabytes. Anything larger is not ours.
constexpr qint64 indexSizeLimit = 64 * 1024 * 1024;
constexpr qint64 contentSizeLimit = 256 * 1024 * 1024;
constexpr qint64 thumbnailSizeLimit = 16 * 1024 * 1024;
// Kept-aside indexes may hold what the user copied: a few are enough to mend a hand edit.
constexpr int keptIndexLimit = 3;
const QString keptIndexPrefix = QStringLiteral("index.json.broken-");

void writeTag(const QString &folder)
{
    const auto tag = StoreFiles::readRegular(folder, QStringLiteral("CACHEDIR.TAG"), 4096);
    if (!tag.bytes.startsWith(cacheTag.left(43)))
        StoreFiles::writeAtomically(folder + QLatin1String("/CACHEDIR.TAG"), cacheTag);
}

} // namespace

QString Store::defaultDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1String("/KiwanoSnapper/Clipboard");
}

Store::Store(const QString &dir)
    : m_dir(QDir(dir).absolutePath())
{
    prepare(true);
}

Store::~Store()
{
    waitForWrites();
}

// Content, thumbnails and the index hold what the user copied: the folder and everything in it
// are the owner's alone. It is made again, private and tagged, when it vanished meanwhile.
bool Store::prepare(bool checkTag)
{
    switch (StoreFiles::preparePrivateFolder(m_dir)) {
    case StoreFiles::Folder::created:
        writeTag(m_dir);
        break;
    case StoreFiles::Folder::ready:
        if (checkTag)
            writeTag(m_dir);
        break;
    case StoreFiles::Folder::unavailable:
        m_usable = false;
        return false;
    }
    m_usable = true;
    return true;
}

QString Store::indexPath() const
{
    return m_dir + QLatin1String("/index.json");
}

// An index that could not be read or decoded is renamed rather than overwritten, so a hand edit
// gone wrong can still be mended; false when it cannot be moved aside, and then it stays.
bool Store::keepBrokenIndex()
{
    const QString path = indexPath();
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    // Numbered after the newest of the same second, so that names sort oldest first.
    const QString base = keptIndexPrefix + stamp + QLatin1Char('-');
    int next = 1;
    for (const QString &name : QDir(m_dir).entryList({base + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System))
        next = qMax(next, name.mid(base.size()).toInt() + 1);
    const QString kept = m_dir + QLatin1Char('/') + base + QStringLiteral("%1").arg(next, 3, 10, QLatin1Char('0'));
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) != 0 && errno != ENOENT)
        return false;
    m_brokenIndex = false;
    // The oldest go first; the stamps sort by name.
    QStringList all = QDir(m_dir).entryList({keptIndexPrefix + QLatin1Char('*')},
                                            QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    while (all.size() > keptIndexLimit)
        StoreFiles::removeTree(m_dir + QLatin1Char('/') + all.takeFirst());
    return true;
}

QString Store::itemDir(const QUuid &id) const
{
    return m_dir + QLatin1Char('/') + idText(id);
}

bool Store::canStore()
{
    return ready();
}

QList<ClipItem> Store::load()
{
    m_indexSync.wait();
    if (!ready())
        return {};
    const StoreFiles::ReadResult index = StoreFiles::readRegular(dir(), QStringLiteral("index.json"), indexSizeLimit);
    if (index.presence == StoreFiles::Presence::missing)
        return {};
    std::optional<QList<ClipItem>> items;
    if (index.presence == StoreFiles::Presence::read)
        items = ClipIndex::decode(index.bytes);
    if (!items) {
        m_brokenIndex = true;
        m_brokenIndexFound = true;
        return {};
    }
    return *items;
}

bool Store::save(const QList<ClipItem> &items)
{
    if (!ready())
        return false;
    if (m_brokenIndex && !keepBrokenIndex())
        return false;
    // Written here, so that a full disk is known before the copy is kept; synced, renamed into
    // place and the folder synced on a thread of its own, so that after a crash the history is
    // the previous one or this one.
    std::optional<StoreFiles::Replacement> index = StoreFiles::writeReplacement(indexPath(), ClipIndex::encode(items));
    if (!index)
        return false;
    m_indexSync.submit(std::move(*index));
    return true;
}

void Store::removeKeptIndexes()
{
    // A broken index not yet moved aside would only become one more copy at the next save.
    if (m_brokenIndex) {
        StoreFiles::removeTree(indexPath());
        m_brokenIndex = false;
    }
    const QStringList kept = QDir(m_dir).entryList({keptIndexPrefix + QLatin1Char('*')},
                                                  QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : kept)
        StoreFiles::removeTree(m_dir + QLatin1Char('/') + name);
}

std::optional<QList<ClipContent>> Store::write(const QList<Representation> &representations,
                                               const QUuid &id)
{
    if (!ready())
        return std::nullopt;
    const QString folder = itemDir(id);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        return std::nullopt;
    QList<ClipContent> contents;
    for (qsizetype i = 0; i < representations.size(); ++i) {
        const QString file = QString::number(i) + QLatin1String(".bin");
        if (!StoreFiles::writeAtomically(folder + QLatin1Char('/') + file, representations.at(i).data)) {
            StoreFiles::removeTree(folder);
            return std::nullopt;
        }
        contents.append({representations.at(i).type, file});
    }
    m_indexSync.syncBeforeNextIndex(folder);
    return contents;
}

std::optional<QByteArray> Store::read(const QUuid &id, const QString &file) const
{
    if (!isSafeFileName(file))
        return std::nullopt;
    StoreFiles::ReadResult content = StoreFiles::readRegular(itemDir(id), file, contentSizeLimit);
    if (content.presence != StoreFiles::Presence::read)
        return std::nullopt;
    return content.bytes;
}

QSize Store::thumbnailSize(const QSize &imageSize)
{
    const int longer = qMax(imageSize.width(), imageSize.height());
    if (imageSize.isEmpty() || longer <= thumbnailSide)
        return imageSize;
    const double scale = double(thumbnailSide) / longer;
    return QSize(qMax(1, qRound(imageSize.width() * scale)), qMax(1, qRound(imageSize.height() * scale)));
}

QImage Store::writeThumbnail(const QByteArray &imageBytes, const QUuid &id) const
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
    if (!StoreFiles::writeAtomically(itemDir(id) + QLatin1String("/thumb.png"), png))
        return {};
    return thumbnail;
}

void Store::writeThumbnailLater(const QByteArray &imageBytes, const QUuid &id, QObject *context,
                                std::function<void()> ready)
{
    QFuture<QImage> future = QtConcurrent::run([this, imageBytes, id] { return writeThumbnail(imageBytes, id); });
    const quint64 serial = ++m_serial;
    m_pending.insert(id, {future, serial});
    auto *watcher = new QFutureWatcher<QImage>(context);
    QObject::connect(watcher, &QFutureWatcher<QImage>::finished, context, [this, watcher, id, future, serial, ready] {
        watcher->deleteLater();
        const auto pending = m_pending.constFind(id);
        if (pending == m_pending.cend() || pending->serial != serial)
            return; // removed, or replaced by a newer request, meanwhile
        m_pending.remove(id);
        cacheThumbnail(id, future.result());
        if (ready)
            ready();
    });
    watcher->setFuture(future);
}

void Store::waitForThumbnails()
{
    for (PendingThumbnail &pending : m_pending)
        pending.future.waitForFinished();
}

void Store::waitForWrites()
{
    waitForThumbnails();
    m_indexSync.wait();
}

void Store::dropPendingThumbnail(const QUuid &id)
{
    if (auto pending = m_pending.find(id); pending != m_pending.end()) {
        pending->future.waitForFinished();
        m_pending.erase(pending);
    }
    m_thumbnails.remove(id);
}

void Store::remove(const QUuid &id)
{
    dropPendingThumbnail(id);
    StoreFiles::removeTree(itemDir(id));
}

QString Store::holdingDir() const
{
    return m_dir + QLatin1String("/.removed");
}

bool Store::setAside(const QUuid &id)
{
    dropPendingThumbnail(id);
    // A rename within the history folder: the files are not read or copied, however large.
    const QString holding = holdingDir();
    const QByteArray from = QFile::encodeName(itemDir(id));
    const QByteArray to = QFile::encodeName(holding + QLatin1Char('/') + idText(id));
    if (StoreFiles::preparePrivateFolder(holding) != StoreFiles::Folder::unavailable
        && ::rename(from.constData(), to.constData()) == 0)
        return true;
    StoreFiles::removeTree(itemDir(id));
    return false;
}

bool Store::restore(const QUuid &id)
{
    const QByteArray from = QFile::encodeName(holdingDir() + QLatin1Char('/') + idText(id));
    const QByteArray to = QFile::encodeName(itemDir(id));
    struct stat status;
    if (::lstat(from.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    // Never over a folder that took its place: rename would replace an empty one.
    if (::lstat(to.constData(), &status) == 0 || errno != ENOENT)
        return false;
    if (::rename(from.constData(), to.constData()) != 0)
        return false;
    m_indexSync.syncBeforeNextIndex(itemDir(id));
    return true;
}

void Store::purgeSetAside()
{
    StoreFiles::removeTree(holdingDir());
}

std::optional<QImage> Store::thumbnail(const QUuid &id)
{
    if (const QImage *cached = m_thumbnails.object(id))
        return *cached;
    const auto file = StoreFiles::readRegular(itemDir(id), QStringLiteral("thumb.png"), thumbnailSizeLimit);
    const QImage image = QImage::fromData(file.bytes, "PNG");
    if (image.isNull())
        return std::nullopt;
    cacheThumbnail(id, image);
    return image;
}

void Store::cacheThumbnail(const QUuid &id, const QImage &image)
{
    if (!image.isNull())
        m_thumbnails.insert(id, new QImage(image), int(qMin<qsizetype>(image.sizeInBytes(), INT_MAX)));
}

bool Store::isSafeFileName(const QString &file)
{
    return !file.isEmpty() && !file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\'))
           && !file.contains(QLatin1String("..")) && !file.contains(QChar(0)) && file != QLatin1String(".");
}
