// SPDX-License-Identifier: MIT
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTest>

#include "capture/history.h"
#include "capture/thumbnailcache.h"
#include "capture/historyfixture.h"

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture.reset(); }

    void missingFolderIsCreatedAndEmpty();
    void onlyGrabNamedPngsBelongToTheHistory();
    void namesAreDistinctWithinOneSecond();
    void sortingPutsUndatedLast();
    void pruningRemovesTheOldestBeyondTheLimit();
    void adoptTakesOnlyCompletePngs();
    void adoptIntoUnusableFolderKeepsTheFile();
    void adoptAcrossFileSystems();
    void addRoundTripsPixels();
    void moveIntoTheSameFolderChangesNothing();
    void moveStoresOrForgetsThePreference();
    void moveSkipsClashingNames();
    void moveFailingPartWayKeepsThePreference();
    void moveIntoUncreatableFolderFails();
    void thumbnailSizes_data();
    void thumbnailSizes();
    void thumbnailIsScaledAnnouncedAndCached();
    void thumbnailOfBadFileIsRetriedOnlyWhenChanged();
    void thumbnailOfRemovedGrabIsDiscarded();

private:
    QString grabIn(const QString &folder, const QString &name, int seed = 0)
    {
        return HistoryFixture::writePng(folder + QLatin1Char('/') + name,
                                        HistoryFixture::sample(QSize(8, 6), seed));
    }
    static QImage waitForThumbnail(const GrabEntry &entry)
    {
        QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
        QImage image = History::thumbnail(entry);
        if (image.isNull() && ready.wait(5000))
            image = History::thumbnail(entry);
        return image;
    }

    HistoryFixture m_fixture;
};

void TestHistory::missingFolderIsCreatedAndEmpty()
{
    QVERIFY(!QFileInfo::exists(History::defaultDir()));
    QCOMPARE(History::dir(), History::defaultDir());
    QVERIFY(QFileInfo(History::defaultDir()).isDir());
    QVERIFY(History::load().isEmpty());
}

void TestHistory::onlyGrabNamedPngsBelongToTheHistory()
{
    const QString dir = History::dir();
    grabIn(dir, QStringLiteral("grab-a.png"));
    grabIn(dir, QStringLiteral("grab-b.PNG"));
    grabIn(dir, QStringLiteral("other.png"));
    grabIn(dir, QStringLiteral("grab-c.jpg"));
    QDir().mkpath(dir + QStringLiteral("/grab-folder.png"));

    const QList<GrabEntry> entries = History::load();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].path(), dir + QStringLiteral("/grab-a.png"));

    const QString target = m_fixture.scratch() + QStringLiteral("/moved");
    const auto moved = History::move(target);
    QVERIFY(moved);
    QCOMPARE(moved->size(), 1);
    QCOMPARE(HistoryFixture::names(target), QStringList{QStringLiteral("grab-a.png")});
    QCOMPARE(HistoryFixture::names(dir),
             (QStringList{QStringLiteral("grab-b.PNG"), QStringLiteral("grab-c.jpg"),
                          QStringLiteral("other.png")}));

    History::remove(History::load().first());
    QVERIFY(HistoryFixture::names(target).isEmpty());
    QCOMPARE(HistoryFixture::names(dir).size(), 3);
}

void TestHistory::namesAreDistinctWithinOneSecond()
{
    const QImage image = HistoryFixture::sample(QSize(4, 4));
    const auto first = History::add(image);
    const auto second = History::add(image);
    QVERIFY(first && second);
    QVERIFY(first->url != second->url);
    static const QRegularExpression pattern(QStringLiteral("^grab-\\d{8}-\\d{6}-[0-9A-F]{6}\\.png$"));
    for (const auto &entry : {*first, *second}) {
        const QString name = entry.url.fileName();
        QCOMPARE(name.size(), 31);
        QVERIFY2(pattern.match(name).hasMatch(), qPrintable(name));
        QCOMPARE(QFileInfo(entry.path()).absolutePath(), History::dir());
    }
    QCOMPARE(History::load().size(), 2);
}

void TestHistory::sortingPutsUndatedLast()
{
    const QDateTime t0 = QDateTime::currentDateTime();
    const auto entry = [](const char *name, const QDateTime &date) {
        return GrabEntry{QUrl::fromLocalFile(QString::fromLatin1(name)), date};
    };
    QList<GrabEntry> entries{entry("/u1", History::undated()), entry("/old", t0.addSecs(-60)),
                             entry("/same1", t0), entry("/u2", History::undated()),
                             entry("/same2", t0), entry("/new", t0.addSecs(60))};
    History::sortNewestFirst(entries);
    QStringList order;
    for (const auto &e : entries)
        order << e.path();
    QCOMPARE(order, (QStringList{"/new", "/same1", "/same2", "/old", "/u1", "/u2"}));
}

void TestHistory::pruningRemovesTheOldestBeyondTheLimit()
{
    const QString dir = History::dir();
    // Birth times follow the order of creation.
    for (int i = 0; i < History::limit; ++i)
        grabIn(dir, QStringLiteral("grab-%1.png").arg(i, 3, 10, QLatin1Char('0')), i);
    grabIn(dir, QStringLiteral("keep-me.png"));
    const GrabEntry oldest = History::load().last();
    QCOMPARE(oldest.url.fileName(), QStringLiteral("grab-000.png"));
    QVERIFY(!waitForThumbnail(oldest).isNull());

    const QString incoming = grabIn(m_fixture.scratch(), QStringLiteral("incoming.png"));
    const auto entry = History::adopt(incoming);
    QVERIFY(entry);
    QVERIFY(!QFileInfo::exists(incoming));
    const QList<GrabEntry> entries = History::load();
    QCOMPARE(entries.size(), History::limit);
    QCOMPARE(entries.first().url, entry->url);
    QVERIFY(!QFileInfo::exists(oldest.path()));
    QVERIFY(QFileInfo::exists(dir + QStringLiteral("/grab-001.png")));
    QVERIFY(QFileInfo::exists(dir + QStringLiteral("/keep-me.png")));
    QVERIFY(History::thumbnails()->cached(oldest.url).isNull());
}

void TestHistory::adoptTakesOnlyCompletePngs()
{
    const QByteArray png = HistoryFixture::pngBytes(HistoryFixture::sample(QSize(50, 40)));
    const QString scratch = m_fixture.scratch();
    const QString truncated = HistoryFixture::writeBytes(scratch + "/truncated.png", png.left(png.size() - 20));
    const QString garbage = HistoryFixture::writeBytes(scratch + "/garbage.png", QByteArray(4096, 'x'));
    const QString empty = HistoryFixture::writeBytes(scratch + "/empty.png", {});
    for (const QString &bad : {truncated, garbage, empty, scratch + QStringLiteral("/missing.png")}) {
        QVERIFY2(!History::adopt(bad), qPrintable(bad));
    }
    QVERIFY(QFileInfo::exists(truncated) && QFileInfo::exists(garbage));
    QVERIFY(History::load().isEmpty());

    const QString good = HistoryFixture::writeBytes(scratch + "/good.png", png);
    const QDateTime before = QDateTime::currentDateTime();
    const auto entry = History::adopt(good);
    QVERIFY(entry);
    QVERIFY(!QFileInfo::exists(good));
    QVERIFY(entry->date >= before);
    QCOMPARE(History::image(*entry), HistoryFixture::sample(QSize(50, 40)));
}

void TestHistory::adoptIntoUnusableFolderKeepsTheFile()
{
    // The folder vanishes: it is made again.
    QDir(History::dir()).removeRecursively();
    const QString first = grabIn(m_fixture.scratch(), QStringLiteral("first.png"));
    QVERIFY(History::adopt(first));

    // The folder's place is taken by a file: nothing is adopted and nothing lost.
    const QString blocked = m_fixture.scratch() + QStringLiteral("/blocked");
    HistoryFixture::writeBytes(blocked, "not a folder");
    HistoryFixture::preferences().setValue(QStringLiteral("history.folder"), blocked);
    const QString second = grabIn(m_fixture.scratch(), QStringLiteral("second.png"));
    QVERIFY(!History::adopt(second));
    QVERIFY(!History::add(HistoryFixture::sample(QSize(4, 4))));
    QVERIFY(QFileInfo::exists(second));
    QVERIFY(History::load().isEmpty());
}

void TestHistory::adoptAcrossFileSystems()
{
    // The temporary folder is often a memory file system, the history a disk.
    const QString shm = QStringLiteral("/dev/shm");
    if (!QFileInfo(shm).isWritable()
        || QStorageInfo(shm).device() == QStorageInfo(History::dir()).device())
        QSKIP("no second file system to move from");
    QTemporaryDir elsewhere(shm + QStringLiteral("/kiwano-test-XXXXXX"));
    const QString source = grabIn(elsewhere.path(), QStringLiteral("grab.png"), 3);
    const auto entry = History::adopt(source);
    QVERIFY(entry);
    QVERIFY(!QFileInfo::exists(source));
    QCOMPARE(History::image(*entry), HistoryFixture::sample(QSize(8, 6), 3));
    QCOMPARE(HistoryFixture::names(History::dir()), QStringList{entry->url.fileName()});
}

void TestHistory::addRoundTripsPixels()
{
    QImage translucent = HistoryFixture::sample(QSize(300, 200), 5);
    translucent.setPixel(3, 4, qRgba(0, 0, 0, 0));
    translucent.setPixel(5, 6, qPremultiply(qRgba(200, 100, 50, 128)));
    const auto entry = History::add(translucent);
    QVERIFY(entry);
    QCOMPARE(History::image(*entry), translucent);
    QVERIFY(!History::add(QImage()));
    QCOMPARE(History::load().size(), 1);
    // Nothing half-written is left beside the grab.
    QCOMPARE(HistoryFixture::names(History::dir()), QStringList{entry->url.fileName()});
}

void TestHistory::moveIntoTheSameFolderChangesNothing()
{
    grabIn(History::dir(), QStringLiteral("grab-a.png"));
    const auto moved = History::move(History::dir() + QStringLiteral("/./sub/.."));
    QVERIFY(moved && moved->isEmpty());
    QVERIFY(!HistoryFixture::preferences().contains(QStringLiteral("history.folder")));
    QCOMPARE(History::load().size(), 1);
}

void TestHistory::moveStoresOrForgetsThePreference()
{
    const QString a = grabIn(History::dir(), QStringLiteral("grab-a.png"), 1);
    const QString other = m_fixture.scratch() + QStringLiteral("/deep/other");
    const auto there = History::move(other);
    QVERIFY(there);
    QCOMPARE(there->value(QUrl::fromLocalFile(a)), QUrl::fromLocalFile(other + "/grab-a.png"));
    QCOMPARE(HistoryFixture::preferences().value(QStringLiteral("history.folder")).toString(), other);
    QCOMPARE(History::dir(), other);
    QVERIFY(!QFileInfo::exists(a));

    const auto back = History::move(History::defaultDir());
    QVERIFY(back);
    QCOMPARE(back->size(), 1);
    QVERIFY(!HistoryFixture::preferences().contains(QStringLiteral("history.folder")));
    QCOMPARE(History::load().first().path(), a);
    QCOMPARE(History::image(History::load().first()), HistoryFixture::sample(QSize(8, 6), 1));
}

void TestHistory::moveSkipsClashingNames()
{
    const QString dir = History::dir();
    grabIn(dir, QStringLiteral("grab-a.png"), 1);
    grabIn(dir, QStringLiteral("grab-b.png"), 2);
    const QString target = m_fixture.scratch() + QStringLiteral("/target");
    grabIn(target, QStringLiteral("grab-a.png"), 9);

    const auto moved = History::move(target);
    QVERIFY(moved);
    QCOMPARE(moved->size(), 1);
    QVERIFY(moved->contains(QUrl::fromLocalFile(dir + "/grab-b.png")));
    QCOMPARE(HistoryFixture::names(dir), QStringList{QStringLiteral("grab-a.png")});
    QCOMPARE(QImage(dir + "/grab-a.png").convertToFormat(QImage::Format_ARGB32_Premultiplied),
             HistoryFixture::sample(QSize(8, 6), 1));
    QCOMPARE(QImage(target + "/grab-a.png").convertToFormat(QImage::Format_ARGB32_Premultiplied),
             HistoryFixture::sample(QSize(8, 6), 9));
    QCOMPARE(History::load().size(), 2);
}

void TestHistory::moveFailingPartWayKeepsThePreference()
{
    const QString dir = History::dir();
    grabIn(dir, QStringLiteral("grab-1.png"));
    // A name that fits the old folder but makes too long a path in the target one.
    const QString longName = QStringLiteral("grab-") + QString(246, QLatin1Char('z')) + ".png";
    grabIn(dir, longName);
    QString target = m_fixture.scratch();
    while (target.size() < 3900)
        target += QLatin1Char('/') + QString(200, QLatin1Char('d'));
    target.truncate(3900);

    QString error;
    QVERIFY(!History::move(target, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo::exists(target + "/grab-1.png"));
    QCOMPARE(HistoryFixture::names(dir), QStringList{longName});
    QVERIFY(!HistoryFixture::preferences().contains(QStringLiteral("history.folder")));
    QCOMPARE(History::dir(), History::defaultDir());
}

void TestHistory::moveIntoUncreatableFolderFails()
{
    const QString a = grabIn(History::dir(), QStringLiteral("grab-a.png"));
    const QString blocked = HistoryFixture::writeBytes(m_fixture.scratch() + "/blocked", "a file");
    QString error;
    QVERIFY(!History::move(blocked + QStringLiteral("/History"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo::exists(a));
    QVERIFY(!HistoryFixture::preferences().contains(QStringLiteral("history.folder")));
}

void TestHistory::thumbnailSizes_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("wide") << QSize(3000, 1000) << QSize(240, 80);
    QTest::newRow("tall") << QSize(1000, 3000) << QSize(80, 240);
    QTest::newRow("5K") << QSize(5120, 2880) << QSize(240, 135);
    QTest::newRow("square") << QSize(240, 240) << QSize(240, 240);
    QTest::newRow("small stays") << QSize(100, 50) << QSize(100, 50);
    QTest::newRow("sliver") << QSize(1, 5000) << QSize(1, 240);
}

void TestHistory::thumbnailSizes()
{
    QFETCH(QSize, image);
    QFETCH(QSize, thumbnail);
    QCOMPARE(History::thumbnailSize(image), thumbnail);
}

void TestHistory::thumbnailIsScaledAnnouncedAndCached()
{
    const auto entry = History::add(HistoryFixture::sample(QSize(3000, 1000)));
    QVERIFY(entry);
    QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
    QVERIFY(History::thumbnail(*entry).isNull());
    QVERIFY(ready.wait(5000));
    QCOMPARE(ready.size(), 1);
    QCOMPARE(ready[0][0].toUrl(), entry->url);
    QCOMPARE(ready[0][1].toSize(), QSize(240, 80));
    const QImage thumbnail = History::thumbnail(*entry);
    QCOMPARE(thumbnail.size(), QSize(240, 80));
    QCOMPARE(thumbnail.devicePixelRatio(), 1.0);

    QVERIFY(QFile::remove(entry->path()));
    QCOMPARE(History::thumbnail(*entry), thumbnail);
    History::remove(*entry);
    QVERIFY(History::thumbnails()->cached(entry->url).isNull());
}

void TestHistory::thumbnailOfBadFileIsRetriedOnlyWhenChanged()
{
    const QString path = HistoryFixture::writeBytes(History::dir() + "/grab-x.png", "garbage");
    const GrabEntry entry{QUrl::fromLocalFile(path), QDateTime::currentDateTime()};
    QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
    QVERIFY(History::thumbnail(entry).isNull());
    QVERIFY(!ready.wait(300));
    QVERIFY(History::thumbnail(entry).isNull());

    QFile::remove(path);
    HistoryFixture::writePng(path, HistoryFixture::sample(QSize(20, 10)));
    QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    QVERIFY(History::thumbnail(entry).isNull());
    QVERIFY(ready.wait(5000));
    QCOMPARE(History::thumbnail(entry).size(), QSize(20, 10));
}

void TestHistory::thumbnailOfRemovedGrabIsDiscarded()
{
    const auto entry = History::add(HistoryFixture::sample(QSize(2000, 2000)));
    QVERIFY(entry);
    QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
    QVERIFY(History::thumbnail(*entry).isNull());
    History::remove(*entry);
    QVERIFY(!ready.wait(1000));
    QVERIFY(History::thumbnails()->cached(entry->url).isNull());
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
