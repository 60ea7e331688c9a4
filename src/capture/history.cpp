// SPDX-License-Identifier: MIT
#include "capture/history.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "capture/historymove.h"
#include "capture/pngfile.h"
#include "capture/thumbnailcache.h"
#include "platform/preferences.h"

namespace {

bool isGrabName(const QFileInfo &info)
{
    return info.fileName().startsWith(QLatin1String("grab-"))
        && info.suffix() == QLatin1String("png");
}

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Most Linux file systems report a birth time; where one does not, the modification time is
// the closest honest stand-in.
QDateTime grabDate(const QFileInfo &info)
{
    QDateTime date = info.birthTime();
    if (!date.isValid())
        date = info.lastModified();
    return date.isValid() ? date : History::undated();
}

// A fresh grab name; one that happens to exist already is drawn again, so no grab is replaced.
QString newPath()
{
    const QString folder = History::dir();
    QString path;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        const QString unique = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(6);
        path = folder + QStringLiteral("/grab-") + time + QLatin1Char('-') + unique
            + QStringLiteral(".png");
        if (!QFileInfo::exists(path))
            break;
    }
    return path;
}

void prune()
{
    const QList<GrabEntry> entries = History::load();
    for (qsizetype i = History::limit; i < entries.size(); ++i) {
        QFile::remove(entries[i].path());
        History::thumbnails()->drop(entries[i].url);
    }
}

bool isRegularFile(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

GrabEntry entryFor(const QString &path)
{
    return {QUrl::fromLocalFile(path), QDateTime::currentDateTime()};
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes folder with any missing parents; the folder itself, when made here, is the owner's only,
// as grabs are private screenshots. False with errno's code in *error when it cannot be made.
bool makeFolder(const QString &folder, int *error)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat status;
    if (::stat(name.constData(), &status) == 0) {
        *error = S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
        return *error == 0;
    }
    std::error_code failure;
    std::filesystem::create_directories(QFile::encodeName(QFileInfo(folder).absolutePath()).toStdString(), failure);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        *error = errno;
        return false;
    }
    *error = 0;
    return true;
}

// Files on the home's file system go to the trash in the data folder; it is made here, private,
// so that a trash that cannot be made is known before anything moves. Files elsewhere go to
// their own file system's trash, which Qt finds.
bool homeTrashReady(const QString &path)
{
    struct stat file;
    struct stat home;
    if (::stat(QFile::encodeName(path).constData(), &file) != 0
        || ::stat(QFile::encodeName(QDir::homePath()).constData(), &home) != 0 || file.st_dev != home.st_dev)
        return true;
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Trash");
    int error = 0;
    return makeFolder(trash, &error) && makeFolder(trash + QStringLiteral("/files"), &error)
        && makeFolder(trash + QStringLiteral("/info"), &error);
}

// A trash keeps its files under files/ and a note on each under info/, named after it.
QString trashInfo(const QString &pathInTrash)
{
    const QFileInfo file(pathInTrash);
    return QDir::cleanPath(file.absolutePath() + QStringLiteral("/../info/") + file.fileName()
                           + QStringLiteral(".trashinfo"));
}

// Whether the file lies in a desktop trash: the home one ("Trash" in the data folder) or one at
// the top of another file system (".Trash/UID" or ".Trash-UID"), with its note beside it.
bool isInTrash(const QString &path)
{
    const QDir files = QFileInfo(path).dir();
    QDir root = files;
    if (files.dirName() != QLatin1String("files") || !root.cdUp())
        return false;
    const QString name = root.dirName();
    QDir above = root;
    const bool shared = above.cdUp() && above.dirName() == QLatin1String(".Trash");
    return (name == QLatin1String("Trash") || name.startsWith(QLatin1String(".Trash-")) || shared)
        && QFileInfo::exists(trashInfo(path));
}

} // namespace

namespace History {

QString defaultDir()
{
    static const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/KiwanoSnapper/History");
    return folder;
}

QString picturesDir()
{
    static const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
        + QStringLiteral("/Kiwano Snapper");
    return folder;
}

QString dir()
{
    // A stored folder that cannot take grabs (a file, someone else's folder) leaves the grabs
    // in the default folder; the setting stays as the user wrote it.
    std::optional<QString> stored = Preferences::value(Preferences::historyFolder);
    int error = 0;
    if (stored && !makeFolder(*stored, &error))
        stored.reset();
    const QString folder = stored.value_or(defaultDir());
    if (!stored) {
        makeFolder(folder, &error);
        // The default folder is ours alone, also when it was made before or by someone else's
        // umask; a folder the user chose keeps the mode the user gave it.
        struct stat status;
        const QByteArray name = QFile::encodeName(folder);
        if (::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid()
            && (status.st_mode & 07777) != 0700)
            ::chmod(name.constData(), 0700);
    }
    return folder;
}

bool isSameFolder(const QString &a, const QString &b)
{
    return normalised(a) == normalised(b);
}

QDateTime undated()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

QList<GrabEntry> load()
{
    // Birth times come from a coarse clock, so grabs made close together can share one; listing
    // by name, newest name first, keeps their order from the time stamps in the names.
    const QFileInfoList infos =
        QDir(dir()).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name | QDir::Reversed);
    QList<GrabEntry> entries;
    for (const QFileInfo &info : infos) {
        if (isGrabName(info))
            entries.append({QUrl::fromLocalFile(info.absoluteFilePath()), grabDate(info)});
    }
    sortNewestFirst(entries);
    return entries;
}

void sortNewestFirst(QList<GrabEntry> &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const GrabEntry &a, const GrabEntry &b) { return a.date > b.date; });
}

std::optional<GrabEntry> adopt(const QString &file)
{
    if (!PngFile::isComplete(file))
        return std::nullopt;
    const QString path = newPath();
    // Never replaces an existing file; across file systems (the capture's runtime folder is
    // often one of its own) a whole, private copy gets the grab's name, or nothing does.
    if (HistoryMove::run({{file, path}}, QFileInfo(path).absolutePath()) != 0)
        return std::nullopt;
    prune();
    return entryFor(path);
}

std::optional<GrabEntry> add(const QImage &image)
{
    const QString path = newPath();
    if (!PngFile::write(image, path))
        return std::nullopt;
    prune();
    return entryFor(path);
}

std::optional<TrashedGrab> trash(const GrabEntry &entry, QString *error)
{
    // Only what the history lists goes: never a link, a folder or a device of a grab's name.
    if (!isRegularFile(entry.path())) {
        if (error)
            *error = QCoreApplication::translate("History", "it is not a grab file");
        return std::nullopt;
    }
    if (!homeTrashReady(entry.path())) {
        if (error)
            *error = QCoreApplication::translate("History", "there is no Trash for it here");
        return std::nullopt;
    }
    QFile file(entry.path());
    if (!file.moveToTrash()) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QString inTrash = QFileInfo(file.fileName()).absoluteFilePath();
    if (!isInTrash(inTrash)) {
        // Qt moves the file into files/ under the working folder when it cannot make a trash:
        // no trash at all, so the grab goes back where it was.
        QFile::remove(trashInfo(inTrash));
        const int failure = HistoryMove::run({{inTrash, entry.path()}}, QFileInfo(entry.path()).absolutePath());
        if (error) {
            *error = failure == 0 ? QCoreApplication::translate("History", "there is no Trash for it here")
                                  : QCoreApplication::translate("History", "there is no Trash for it here; it is in %1")
                                        .arg(QFileInfo(inTrash).absolutePath());
        }
        return std::nullopt;
    }
    thumbnails()->drop(entry.url);
    return TrashedGrab{entry, inTrash};
}

bool restore(const TrashedGrab &trashed, QString *error)
{
    if (!isRegularFile(trashed.pathInTrash)) {
        if (error)
            *error = QCoreApplication::translate("History", "it is no longer in the Trash");
        return false;
    }
    const QString path = trashed.entry.path();
    if (const int failure = HistoryMove::run({{trashed.pathInTrash, path}}, QFileInfo(path).absolutePath());
        failure != 0) {
        if (error)
            *error = failure == EEXIST ? QCoreApplication::translate("History", "another file has taken its place")
                                       : systemError(failure);
        return false;
    }
    QFile::remove(trashInfo(trashed.pathInTrash));
    return true;
}

QImage image(const GrabEntry &entry)
{
    return PngFile::read(entry.path());
}

QImage thumbnail(const GrabEntry &entry)
{
    QImage image = thumbnails()->cached(entry.url);
    if (image.isNull())
        thumbnails()->request(entry.url);
    return image;
}

ThumbnailCache *thumbnails()
{
    static ThumbnailCache *cache = new ThumbnailCache;
    return cache;
}

QSize thumbnailSize(const QSize &imageSize)
{
    const int longer = std::max(imageSize.width(), imageSize.height());
    if (longer <= thumbnailSide || imageSize.isEmpty())
        return imageSize;
    const double scale = double(thumbnailSide) / longer;
    return QSize(std::max(1, int(std::lround(imageSize.width() * scale))),
                 std::max(1, int(std::lround(imageSize.height() * scale))));
}

std::optional<QHash<QUrl, QUrl>> move(const QString &folder, QString *error)
{
    const QString old = dir();
    if (isSameFolder(folder, old))
        return QHash<QUrl, QUrl>();
    const QString target = normalised(folder);
    int code = 0;
    if (!makeFolder(target, &code)) {
        if (error)
            *error = systemError(code);
        return std::nullopt;
    }
    QList<HistoryMove::File> files;
    const QFileInfoList infos = QDir(old).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : infos) {
        const QString to = target + QLatin1Char('/') + info.fileName();
        if (isGrabName(info) && !QFileInfo::exists(to) && !QFileInfo(to).isSymLink())
            files.append({info.absoluteFilePath(), to});
    }
    if (const int failure = HistoryMove::run(files, target); failure != 0) {
        if (error)
            *error = systemError(failure);
        return std::nullopt;
    }
    QHash<QUrl, QUrl> moved;
    for (const HistoryMove::File &file : std::as_const(files))
        moved.insert(QUrl::fromLocalFile(file.from), QUrl::fromLocalFile(file.to));
    if (isSameFolder(target, defaultDir()))
        Preferences::remove(Preferences::historyFolder);
    else
        Preferences::setValue(Preferences::historyFolder, target);
    return moved;
}

} // namespace History
