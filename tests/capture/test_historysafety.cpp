// SPDX-License-Identifier: MIT
// The grab history against hostile files, full disks and other users: grabs stay private,
// odd files are never read, and a move of the history happens whole or not at all.
#include <QRandomGenerator>

#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"
#include "capture/pngfile.h"
#include "support/files.h"
#include "support/smalldisk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Noise does not compress: the file is about as large as its pixels.
QImage noise(int side, quint32 seed)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < side; ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), side);
    return image;
}

} // namespace

class TestHistorySafety : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void grabsArePrivateWhateverTheUmask()
    {
        const mode_t previous = ::umask(0);
        const auto entry = History::add(HistoryFixture::sample(QSize(8, 6)));
        const QString scratchGrab = m_fixture.scratch("tool-output.png");
        const bool written = PngFile::write(HistoryFixture::sample(QSize(8, 6)), scratchGrab);
        ::umask(previous);
        QVERIFY(entry && written);
        QCOMPARE(TestFiles::mode(History::dir()), 0700);
        QCOMPARE(TestFiles::mode(entry->path()), 0600);
        QCOMPARE(TestFiles::mode(scratchGrab), 0600);
    }

    // The capture's folder is usually a file system of its own, so the grab is copied in.
    void grabAdoptedFromAnotherDiskIsWholeAndPrivate()
    {
        const QString runtime = m_fixture.scratch("run");
        SmallDisk disk(runtime, "size=1m");
        if (!disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        const QString file = runtime + "/kiwano-grab.png";
        const mode_t previous = ::umask(0);
        const bool written = PngFile::write(HistoryFixture::sample(QSize(64, 48), 5), file);
        const QByteArray bytes = TestFiles::read(file);
        const auto entry = History::adopt(file);
        ::umask(previous);
        QVERIFY(written && entry);
        QCOMPARE(TestFiles::mode(entry->path()), 0600);
        QCOMPARE(TestFiles::read(entry->path()), bytes);
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(HistoryFixture::names(History::dir()), QStringList{QFileInfo(entry->path()).fileName()});
    }

    void captureToolWritesIntoAPrivateFolder_data()
    {
        QTest::addColumn<bool>("runtime"); QTest::addColumn<bool>("squatted");
        QTest::newRow("the runtime folder") << true << false;
        QTest::newRow("no runtime folder: the temporary folder") << false << false;
        QTest::newRow("someone's link under our name") << false << true;
    }
    void captureToolWritesIntoAPrivateFolder()
    {
        QFETCH(bool, runtime); QFETCH(bool, squatted);
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTemporary = qgetenv("TMPDIR");
        for (const char *folder : {"run", "tmp", "elsewhere"})
            QDir().mkpath(m_fixture.scratch(folder));
        const QString elsewhere = m_fixture.scratch("elsewhere");
        QFile::setPermissions(elsewhere, QFileDevice::Permissions(0x7777));
        qputenv("TMPDIR", QFile::encodeName(m_fixture.scratch("tmp")));
        if (runtime)
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_fixture.scratch("run")));
        else
            qunsetenv("XDG_RUNTIME_DIR");
        const QString shared = m_fixture.scratch("tmp") + "/kiwano-snapper-" + QString::number(::geteuid());
        if (squatted)
            QVERIFY(::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(shared).constData()) == 0);

        const QString folder = Capture::temporaryFolder();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemporary);

        QVERIFY(!folder.isEmpty());
        QCOMPARE(QFileInfo(folder).absolutePath(), m_fixture.scratch(runtime ? "run" : "tmp"));
        if (!squatted)
            QCOMPARE(folder, runtime ? m_fixture.scratch("run") + "/kiwano-snapper" : shared);
        QVERIFY(!QFileInfo(folder).isSymLink());
        QCOMPARE(TestFiles::mode(folder), 0700);
        QCOMPARE(TestFiles::mode(elsewhere), 0777);
    }

    void oddFilesAreNeverRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a fifo") << "fifo";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link to a picture") << "link";
        QTest::newRow("a small picture padded to 300 MB") << "padded";
    }
    void oddFilesAreNeverRead()
    {
        QFETCH(QString, kind);
        const QString picture = HistoryFixture::writePng(m_fixture.scratch("picture.png"), HistoryFixture::sample(QSize(8, 6)));
        const QString grab = History::dir() + "/grab-odd.png";
        const QByteArray name = QFile::encodeName(grab);
        if (kind == "fifo")
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(grab));
        else if (kind == "link")
            QVERIFY(::symlink(QFile::encodeName(picture).constData(), name.constData()) == 0);
        else
            QVERIFY(QFile::copy(picture, grab) && ::truncate(name.constData(), 300 * 1024 * 1024) == 0);

        QCOMPARE(History::load().size(), kind == "padded" ? 1 : 0);
        const GrabEntry entry{QUrl::fromLocalFile(grab), QDateTime::currentDateTime()};
        QVERIFY(History::image(entry).isNull() && PngFile::readScaled(grab, QSize(4, 3)).isNull());
        QVERIFY(!PngFile::isComplete(grab));
        // Only a file goes to the trash; a link goes nowhere, and never what it points at.
        QCOMPARE(bool(History::trash(entry)), kind == "padded");
        QVERIFY(QFileInfo::exists(picture));
    }

    // The target is a small disk of its own, so the grabs are copied and the disk fills with
    // the second one.
    void moveThatRunsOutOfRoomMovesNothingAndCanBeRetried()
    {
        const QString target = m_fixture.scratch("small");
        SmallDisk disk(target, "size=2m");
        if (!disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        const QString dir = History::dir();
        QHash<QString, QByteArray> grabs;
        for (int i = 0; i < 3; ++i) {
            const auto entry = History::add(noise(300, quint32(i)));
            QVERIFY(entry);
            grabs.insert(QFileInfo(entry->path()).fileName(), TestFiles::read(entry->path()));
        }
        QVERIFY(disk.leaveBytes(600 * 1024));
        const QStringList filled = QDir(target).entryList(QDir::Files | QDir::Hidden);

        QString error;
        QVERIFY(!History::move(target, &error));
        QCOMPARE(error, QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden), filled);
        QCOMPARE(History::dir(), dir);
        for (auto it = grabs.cbegin(); it != grabs.cend(); ++it)
            QCOMPARE(TestFiles::read(dir + "/" + it.key()), it.value());

        QVERIFY(QFile::remove(target + "/.filler-bytes"));
        const auto moved = History::move(target, &error);
        QVERIFY(moved);
        QCOMPARE(moved->size(), 3);
        QCOMPARE(History::dir(), target);
        QCOMPARE(HistoryFixture::names(dir), QStringList());
        for (auto it = grabs.cbegin(); it != grabs.cend(); ++it) {
            QCOMPARE(TestFiles::read(target + "/" + it.key()), it.value());
            QCOMPARE(TestFiles::mode(target + "/" + it.key()), 0600);
        }
        HistoryFixture::preferences().remove("history.folder");
    }

    // A history on a disk of its own uses that disk's trash; where neither it nor the home can
    // have one, the grab stays (Qt alone would move it under the working folder).
    void grabsElsewhereUseTheirDisksTrashOrStay()
    {
        const QString disk = m_fixture.scratch("disk");
        SmallDisk mounted(disk, "size=2m");
        if (!mounted.mounted())
            QSKIP("mounting a tmpfs needs root");
        QVERIFY(History::move(disk + "/History"));
        const auto entry = History::add(noise(64, 1));
        QVERIFY(entry);
        const QByteArray bytes = TestFiles::read(entry->path());
        const QString diskTrash = disk + "/.Trash-" + QString::number(::geteuid());

        const auto trashed = History::trash(*entry);
        QVERIFY(trashed);
        QCOMPARE(trashed->pathInTrash, diskTrash + "/files/" + entry->url.fileName());
        QVERIFY(History::restore(*trashed));
        QCOMPARE(TestFiles::read(entry->path()), bytes);

        QVERIFY(QDir(diskTrash).removeRecursively());
        HistoryFixture::writeBytes(diskTrash, "not a folder");
        HistoryFixture::writeBytes(m_fixture.trash(), "not a folder");
        const QString working = QDir::currentPath();
        QDir::setCurrent(disk);
        QString error;
        const auto refused = History::trash(*entry, &error);
        QDir::setCurrent(working);
        QVERIFY(!refused && !error.isEmpty());
        QCOMPARE(TestFiles::read(entry->path()), bytes);
        QVERIFY(!QFileInfo::exists(disk + "/files/" + entry->url.fileName()));
        HistoryFixture::preferences().remove("history.folder");
    }
};

KIWANO_TEST_GUILESS_MAIN(TestHistorySafety)
#include "test_historysafety.moc"
