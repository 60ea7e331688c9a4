// SPDX-License-Identifier: MIT
#include <QRegularExpression>
#include <QSignalSpy>

#include <cerrno>
#include <cstring>

#include "capture/history.h"
#include "capture/historyfixture.h"
#include "capture/pngfile.h"
#include "capture/thumbnailcache.h"

class TestHistory : public QObject
{
    Q_OBJECT

    static QString grabIn(const QString &folder, const QString &name, int seed = 0)
    {
        return HistoryFixture::writePng(folder + '/' + name, HistoryFixture::sample(QSize(8, 6), seed));
    }
    static bool hasFolderPreference() { return HistoryFixture::preferences().contains("history.folder"); }
    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void onlyGrabNamedPngsBelongToTheHistory()
    {
        const QString dir = History::dir();
        for (const char *name : {"grab-a.png", "grab-b.PNG", "other.png", "grab-c.jpg"})
            grabIn(dir, name);
        QDir().mkpath(dir + "/grab-folder.png");
        QCOMPARE(History::load().value(0).path(), dir + "/grab-a.png");
        QCOMPARE(History::load().size(), 1);
        // Moving and removing touch the grab only.
        const QString target = m_fixture.scratch("moved");
        QVERIFY(History::move(target));
        QCOMPARE(HistoryFixture::names(target), QStringList{"grab-a.png"});
        QCOMPARE(HistoryFixture::names(dir), (QStringList{"grab-b.PNG", "grab-c.jpg", "other.png"}));
        QVERIFY(History::trash(History::load().first()) && HistoryFixture::names(target).isEmpty());
        QCOMPARE(HistoryFixture::names(dir).size(), 3);
    }

    void addGivesDistinctNamesAndExactPixels()
    {
        QImage translucent = HistoryFixture::sample(QSize(300, 200), 5);
        translucent.setPixel(3, 4, qRgba(0, 0, 0, 0));
        translucent.setPixel(5, 6, qPremultiply(qRgba(200, 100, 50, 128)));
        const auto first = History::add(translucent), second = History::add(translucent); // within one second
        QVERIFY(first && second && first->url != second->url);
        static const QRegularExpression pattern("^grab-\\d{8}-\\d{6}-[0-9A-F]{6}\\.png$");
        QVERIFY(pattern.match(first->url.fileName()).hasMatch());
        QCOMPARE(History::image(*first), translucent);
        QVERIFY(!History::add(QImage()));
        QCOMPARE(HistoryFixture::names(History::dir()).size(), 2); // nothing half-written beside them
    }

    void sortingPutsUndatedLast()
    {
        const QDateTime t0 = QDateTime::currentDateTime(), undated = History::undated();
        QList<GrabEntry> entries;
        for (const auto &[name, date] : QList<std::pair<QString, QDateTime>>{
                 {"/u1", undated}, {"/old", t0.addSecs(-60)}, {"/same1", t0}, {"/u2", undated}, {"/same2", t0}, {"/new", t0.addSecs(60)}})
            entries.append(GrabEntry{QUrl::fromLocalFile(name), date});
        History::sortNewestFirst(entries);
        QStringList order;
        for (const auto &e : entries)
            order << e.path();
        QCOMPARE(order, (QStringList{"/new", "/same1", "/same2", "/old", "/u1", "/u2"}));
    }

    void pruningRemovesTheOldestBeyondTheLimit()
    {
        const QString dir = History::dir();
        for (int i = 0; i < History::limit; ++i) // birth times follow the order of creation
            grabIn(dir, QString("grab-%1.png").arg(i, 3, 10, QChar('0')), i);
        grabIn(dir, "keep-me.png");
        const GrabEntry oldest = History::load().last();
        QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
        History::thumbnail(oldest);
        QVERIFY(ready.wait(5000));
        QCOMPARE(History::thumbnail(oldest).size(), QSize(8, 6));

        const auto entry = History::adopt(grabIn(m_fixture.scratch(), "incoming.png"));
        const QList<GrabEntry> entries = History::load();
        QCOMPARE(entries.size(), History::limit);
        QCOMPARE(entries.first().url, entry.value().url);
        QVERIFY(!QFileInfo::exists(oldest.path()));
        QVERIFY(QFileInfo::exists(dir + "/grab-001.png") && QFileInfo::exists(dir + "/keep-me.png"));
        QVERIFY(History::thumbnails()->cached(oldest.url).isNull());
    }

    // Qt's move to the freedesktop trash (checked with Undo from outside by
    // tests/e2e/strip_trash.sh): putting back works once, drops the note, and never replaces a file.
    void trashedGrabsComeBackOnceAndReplaceNothing()
    {
        const QString path = grabIn(History::dir(), "grab-20260101-000000-ABCDEF.png", 3);
        const QByteArray bytes = TestFiles::read(path);
        const GrabEntry entry = History::load().first();
        const auto trashed = History::trash(entry).value();
        const QString info = m_fixture.trash() + "/info/" + entry.url.fileName() + ".trashinfo";
        QVERIFY(QFileInfo::exists(info));
        QVERIFY(History::restore(trashed) && !QFileInfo::exists(info));
        QCOMPARE(TestFiles::read(path), bytes);
        QString error;
        QVERIFY(!History::restore(trashed, &error) && !error.isEmpty());

        // A new file under the grab's name meanwhile: both stay as they are.
        const auto again = History::trash(entry).value();
        const QByteArray newBytes = TestFiles::read(grabIn(History::dir(), entry.url.fileName(), 9));
        error.clear();
        QVERIFY(!History::restore(again, &error) && !error.isEmpty());
        QCOMPARE(TestFiles::read(path), newBytes);
        QCOMPARE(TestFiles::read(again.pathInTrash), bytes);
        QVERIFY(QFileInfo::exists(info));
    }

    void adoptTakesOnlyCompletePngs()
    {
        // The temporary folder is often a memory file system and the history on a disk.
        QTemporaryDir shm("/dev/shm/kiwano-test-XXXXXX");
        const QString good = HistoryFixture::writePng((shm.isValid() ? shm.path() : m_fixture.scratch()) + "/good.png",
                                                      HistoryFixture::sample(QSize(50, 40)));
        const QByteArray png = TestFiles::read(good);
        const QString truncated = HistoryFixture::writeBytes(m_fixture.scratch("truncated.png"), png.left(png.size() - 20));
        const QString garbage = HistoryFixture::writeBytes(m_fixture.scratch("garbage.png"), QByteArray(4096, 'x'));
        const QString empty = HistoryFixture::writeBytes(m_fixture.scratch("empty.png"), {});
        for (const QString &bad : {truncated, garbage, empty, m_fixture.scratch("missing.png")})
            QVERIFY(!History::adopt(bad));
        QVERIFY(QFileInfo::exists(truncated) && QFileInfo::exists(garbage));
        QVERIFY(History::load().isEmpty());

        const QDateTime before = QDateTime::currentDateTime();
        const auto entry = History::adopt(good);
        QVERIFY(entry && entry->date >= before);
        QCOMPARE(History::image(*entry), HistoryFixture::sample(QSize(50, 40)));
        QCOMPARE(HistoryFixture::names(History::dir()), QStringList{entry->url.fileName()});

        // The chosen folder's place is taken by a file: grabs go on landing in the default
        // folder, and the setting stays as it was written.
        const QString blocked = HistoryFixture::writeBytes(m_fixture.scratch("blocked"), "x");
        for (const QString &folder : {blocked, blocked + "/below", QStringLiteral("relative/History")}) {
            HistoryFixture::preferences().setValue("history.folder", folder);
            QCOMPARE(History::dir(), History::defaultDir());
            const auto second = History::adopt(grabIn(m_fixture.scratch(), "second.png"));
            QCOMPARE(QFileInfo(second.value().path()).path(), History::defaultDir());
            QCOMPARE(HistoryFixture::preferences().value("history.folder").toString(), folder);
        }
        QVERIFY(QFileInfo(blocked).isFile() && QFileInfo(blocked).size() == 1);
    }

    // A move stores the folder, a move back forgets it; a grab whose name is taken in the target
    // stays where it is, both files as they were.
    void moveStoresOrForgetsThePreferenceAndSkipsClashingNames()
    {
        const QString dir = History::dir(), other = m_fixture.scratch("deep/other");
        const QString a = grabIn(dir, "grab-a.png", 1), b = grabIn(dir, "grab-b.png", 2);
        QVERIFY(History::move(dir + "/./sub/..").value().isEmpty() && !hasFolderPreference());

        grabIn(other, "grab-b.png", 9);
        const auto there = History::move(other);
        QCOMPARE(there.value().keys(), QList<QUrl>{QUrl::fromLocalFile(a)});
        QCOMPARE(there->value(QUrl::fromLocalFile(a)), QUrl::fromLocalFile(other + "/grab-a.png"));
        QCOMPARE(HistoryFixture::names(dir), QStringList{"grab-b.png"});
        const auto pixels = [](const QString &path) { return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied); };
        QCOMPARE(pixels(b), HistoryFixture::sample(QSize(8, 6), 2));
        QCOMPARE(pixels(other + "/grab-b.png"), HistoryFixture::sample(QSize(8, 6), 9));
        QCOMPARE(HistoryFixture::preferences().value("history.folder").toString(), other);

        // Back in the default folder the preference goes, so a later default change is followed.
        QVERIFY(QFile::remove(b));
        QVERIFY(History::move(History::defaultDir()).value().size() == 2 && !hasFolderPreference());
        QCOMPARE(pixels(a), HistoryFixture::sample(QSize(8, 6), 1));
    }

    void moveFailingPartWayMovesNothing()
    {
        const QString dir = History::dir();
        grabIn(dir, "grab-1.png");
        // A name that fits the old folder but makes too long a path in the target one.
        const QString longName = "grab-" + QString(246, 'z') + ".png";
        grabIn(dir, longName);
        QString target = m_fixture.scratch();
        while (target.size() < 3900)
            target += '/' + QString(200, 'd');
        target.truncate(3900);
        QString error;
        QVERIFY(!History::move(target, &error));
        QCOMPARE(error, QString::fromLocal8Bit(strerror(ENAMETOOLONG)));
        QCOMPARE(HistoryFixture::names(target), QStringList());
        QCOMPARE(HistoryFixture::names(dir), QStringList({"grab-1.png", longName}));
        QVERIFY(!hasFolderPreference());
    }

    void thumbnailsOfLargeGrabsHoldOnlyTheirOwnSmallPixels()
    {
        // One written as the capture tool writes grabs, one by Qt's writer (read by Qt's reader).
        const QImage picture = HistoryFixture::sample(QSize(5120, 2880), 3);
        const QString dir = History::dir();
        QVERIFY(PngFile::write(picture, dir + "/grab-20260101-000001-AAAAAA.png"));
        HistoryFixture::writePng(dir + "/grab-20260101-000002-BBBBBB.png", picture);
        const QList<GrabEntry> entries = History::load();
        QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
        for (const GrabEntry &entry : entries)
            QVERIFY(History::thumbnail(entry).isNull()); // made away from the caller
        QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 2, 10000);
        for (const GrabEntry &entry : entries) {
            const QImage thumbnail = History::thumbnails()->cached(entry.url);
            QCOMPARE(thumbnail.size(), QSize(History::thumbnailSide, 135));
            // Not a view into the full picture nor a copy of it: a small bitmap of its own.
            QVERIFY(thumbnail.sizeInBytes() <= qsizetype(History::thumbnailSide) * 135 * 4);
            QCOMPARE(thumbnail.pixelColor(120, 67).alpha(), 255);
        }
    }

    void thumbnailSizes()
    {
        // Fit within 240 either way, rounded, never enlarged, never zero.
        const QList<std::pair<QSize, QSize>> cases{{{3000, 1000}, {240, 80}}, {{1000, 3000}, {80, 240}}, {{5120, 2880}, {240, 135}},
                                                   {{1001, 333}, {240, 80}},  {{100, 50}, {100, 50}},    {{1, 5000}, {1, 240}}};
        for (const auto &[image, thumbnail] : cases)
            QCOMPARE(History::thumbnailSize(image), thumbnail);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
