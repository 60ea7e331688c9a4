// SPDX-License-Identifier: MIT
// The grab history against hostile files, full disks and other users: grabs stay private,
// odd files are never read, damaged ones never read as something else, and a move of the history
// happens whole or not at all.
#include <QImageWriter>
#include <QRandomGenerator>

#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"
#include "capture/pngfile.h"
#include "image/png.h"
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

// Smooth areas, edges and noise, so that every PNG filter type gets chosen somewhere.
QImage noisy(QSize size, bool translucent)
{
    QImage image(size, QImage::Format_ARGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int noise = x > size.width() / 2 ? int(random.bounded(256)) : 0;
            image.setPixel(x, y, qRgba(((x / 7 + y / 5) * 9 + noise) & 255, (y * 3) & 255, (x ^ y) & 255,
                                       translucent ? x * 255 / size.width() : 255));
        }
    return image;
}

QImage qtRead(const QString &path) { return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied); }

} // namespace

class TestHistorySafety : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;
    QTemporaryDir m_pngs; // written by the data functions, which run before init()

    QString save(const QImage &image, const QString &name, int quality = -1)
    {
        QImageWriter writer(m_pngs.filePath(name), "png");
        writer.setQuality(quality);
        if (!writer.write(image))
            qFatal("cannot write %s", qPrintable(name));
        // Without the resolution chunk Qt adds, its plain 8-bit files take our decoder's own path.
        QByteArray bytes = TestFiles::read(m_pngs.filePath(name));
        if (const qsizetype at = bytes.indexOf("pHYs"); at >= 4)
            TestFiles::write(m_pngs.filePath(name), bytes.remove(at - 4, 21));
        return m_pngs.filePath(name);
    }

private slots:
    void init() { m_fixture.reset(); }

    // Grabs are private whatever the umask: those added, and the capture tool's, written on a
    // file system of its own (the runtime folder, as a rule) and copied in whole.
    void grabsArePrivateWhateverTheUmask()
    {
        const QString runtime = m_fixture.scratch("run"), toolOutput = runtime + "/kiwano-grab.png";
        SmallDisk disk(runtime, "size=1m"); // or the same disk, without root
        const mode_t previous = ::umask(0);
        const auto entry = History::add(HistoryFixture::sample(QSize(8, 6)));
        const bool written = PngFile::write(HistoryFixture::sample(QSize(64, 48), 5), toolOutput);
        const int toolMode = TestFiles::mode(toolOutput);
        const QByteArray bytes = TestFiles::read(toolOutput);
        const auto adopted = History::adopt(toolOutput);
        ::umask(previous);
        QVERIFY(entry && written && adopted && !QFileInfo::exists(toolOutput));
        QCOMPARE(TestFiles::mode(History::dir()), 0700);
        const QList<int> modes{TestFiles::mode(entry->path()), toolMode, TestFiles::mode(adopted->path())};
        QCOMPARE(modes, QList<int>({0600, 0600, 0600}));
        QCOMPARE(TestFiles::read(adopted->path()), bytes);
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
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTemporary = qgetenv("TMPDIR");
        const QString run = m_fixture.scratch("run"), tmp = m_fixture.scratch("tmp"), elsewhere = m_fixture.scratch("elsewhere");
        for (const QString &folder : {run, tmp, elsewhere})
            QDir().mkpath(folder);
        QFile::setPermissions(elsewhere, QFileDevice::Permissions(0x7777));
        qputenv("TMPDIR", QFile::encodeName(tmp));
        qputenv("XDG_RUNTIME_DIR", runtime ? QFile::encodeName(run) : QByteArray());
        const QString shared = tmp + "/kiwano-snapper-" + QString::number(::geteuid());
        if (squatted)
            QVERIFY(::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(shared).constData()) == 0);

        const QString folder = Capture::temporaryFolder();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemporary);

        QCOMPARE(QFileInfo(folder).absolutePath(), runtime ? run : tmp);
        if (!squatted)
            QCOMPARE(folder, runtime ? run + "/kiwano-snapper" : shared);
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
            const QString path = History::add(noise(300, quint32(i))).value().path();
            grabs.insert(QFileInfo(path).fileName(), TestFiles::read(path));
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
        QCOMPARE(History::move(target, &error).value().size(), 3);
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
        const QByteArray bytes = TestFiles::read(entry->path());
        const QString diskTrash = disk + "/.Trash-" + QString::number(::geteuid());

        const auto trashed = History::trash(*entry);
        QCOMPARE(trashed.value().pathInTrash, diskTrash + "/files/" + entry->url.fileName());
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

    // Grabs read back exactly as Qt's own decoder reads them, for every kind of PNG.
    void readsLikeQt_data()
    {
        QTest::addColumn<QString>("file");
        const QImage opaque = noisy(QSize(301, 97), false), translucent = noisy(QSize(301, 97), true);
        QTest::newRow("rgb") << save(opaque.convertToFormat(QImage::Format_RGB32), "rgb.png");
        QTest::newRow("rgba") << save(translucent, "rgba.png");
        QTest::newRow("rgba, stored") << save(translucent, "stored.png", 100);
        QTest::newRow("palette") << save(opaque.convertToFormat(QImage::Format_Indexed8), "palette.png");
        QTest::newRow("grey") << save(opaque.convertToFormat(QImage::Format_Grayscale8), "grey.png");
        QTest::newRow("16 bit") << save(translucent.convertToFormat(QImage::Format_RGBA64), "deep.png");
        QVERIFY(Png::write(translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied), m_pngs.filePath("ours.png")));
        QVERIFY(Png::write(noisy(QSize(3, 20000), false), m_pngs.filePath("tall.png")));
        QTest::newRow("our encoder") << m_pngs.filePath("ours.png");
        QTest::newRow("narrow and tall") << m_pngs.filePath("tall.png");
    }
    void readsLikeQt()
    {
        QFETCH(QString, file);
        const QImage ours = PngFile::read(file);
        QCOMPARE(ours.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(ours, qtRead(file));
    }

    void damagedFilesGiveNothing_data()
    {
        QTest::addColumn<int>("cut"); QTest::addColumn<int>("flip");
        QTest::newRow("cut in the pixels") << 2000 << -1;
        QTest::newRow("cut before the end chunk") << 12 << -1;
        QTest::newRow("flipped pixel data") << 0 << 1500;
        QTest::newRow("flipped header size") << 0 << 18;
    }
    void damagedFilesGiveNothing()
    {
        QFETCH(int, cut); QFETCH(int, flip);
        QByteArray bytes = Png::encode(noisy(QSize(200, 100), true));
        if (flip >= 0)
            bytes[flip] = char(bytes[flip] ^ 0x5a);
        bytes.chop(cut);
        const QString file = HistoryFixture::writeBytes(m_fixture.scratch("damaged.png"), bytes);
        // It may still decode where Qt tolerates it, but never into something else.
        const QImage image = PngFile::read(file);
        if (!image.isNull())
            QCOMPARE(image, qtRead(file));
        if (cut > 0)
            QVERIFY(!PngFile::isComplete(file));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestHistorySafety)
#include "test_historysafety.moc"
