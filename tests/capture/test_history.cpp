// SPDX-License-Identifier: MIT
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "capture/history.h"
#include "capture/historyfixture.h"
#include "capture/thumbnailcache.h"

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture.reset(); }

    void onlyGrabNamedPngsBelongToTheHistory();
    void addGivesDistinctNamesAndExactPixels();
    void sortingPutsUndatedLast();
    void pruningRemovesTheOldestBeyondTheLimit();
    void adoptTakesOnlyCompletePngs();
    void moveStoresOrForgetsThePreference();
    void moveSkipsClashingNames();
    void moveFailingPartWayKeepsThePreference();
    void thumbnailSizes_data();
    void thumbnailSizes();

private:
    QString grabIn(const QString &folder, const QString &name, int seed = 0)
    {
        return HistoryFixture::writePng(folder + QLatin1Char('/') + name, HistoryFixture::sample(QSize(8, 6), seed));
    }
    static bool hasFolderPreference()
    {
        return HistoryFixture::preferences().contains(QStringLiteral("history.folder"));
    }

    HistoryFixture m_fixture;
};

void TestHistory::onlyGrabNamedPngsBelongToTheHistory()
{
    QVERIFY(!QFileInfo::exists(History::defaultDir()));
    const QString dir = History::dir();
    QCOMPARE(dir, History::defaultDir());
    grabIn(dir, QStringLiteral("grab-a.png"));
    grabIn(dir, QStringLiteral("grab-b.PNG"));
    grabIn(dir, QStringLiteral("other.png"));
    grabIn(dir, QStringLiteral("grab-c.jpg"));
    QDir().mkpath(dir + QStringLiteral("/grab-folder.png"));

    const QList<GrabEntry> entries = History::load();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].path(), dir + QStringLiteral("/grab-a.png"));

    // Moving and removing touch the grab only.
    const QString target = m_fixture.scratch() + QStringLiteral("/moved");
    const auto moved = History::move(target);
    QVERIFY(moved && moved->size() == 1);
    QCOMPARE(HistoryFixture::names(target), QStringList{QStringLiteral("grab-a.png")});
    QCOMPARE(HistoryFixture::names(dir),
             (QStringList{QStringLiteral("grab-b.PNG"), QStringLiteral("grab-c.jpg"), QStringLiteral("other.png")}));
    History::remove(History::load().first());
    QVERIFY(HistoryFixture::names(target).isEmpty());
    QCOMPARE(HistoryFixture::names(dir).size(), 3);
}

void TestHistory::addGivesDistinctNamesAndExactPixels()
{
    QImage translucent = HistoryFixture::sample(QSize(300, 200), 5);
    translucent.setPixel(3, 4, qRgba(0, 0, 0, 0));
    translucent.setPixel(5, 6, qPremultiply(qRgba(200, 100, 50, 128)));
    // Both within one second.
    const auto first = History::add(translucent);
    const auto second = History::add(translucent);
    QVERIFY(first && second);
    QVERIFY(first->url != second->url);
    static const QRegularExpression pattern(QStringLiteral("^grab-\\d{8}-\\d{6}-[0-9A-F]{6}\\.png$"));
    QVERIFY2(pattern.match(first->url.fileName()).hasMatch(), qPrintable(first->url.fileName()));
    QCOMPARE(History::image(*first), translucent);
    QVERIFY(!History::add(QImage()));
    // Nothing half-written is left beside the grabs.
    QCOMPARE(HistoryFixture::names(History::dir()).size(), 2);
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
    for (int i = 0; i < History::limit; ++i) // birth times follow the order of creation
        grabIn(dir, QStringLiteral("grab-%1.png").arg(i, 3, 10, QLatin1Char('0')), i);
    grabIn(dir, QStringLiteral("keep-me.png"));
    const GrabEntry oldest = History::load().last();
    QCOMPARE(oldest.url.fileName(), QStringLiteral("grab-000.png"));
    QSignalSpy ready(History::thumbnails(), &ThumbnailCache::thumbnailReady);
    History::thumbnail(oldest);
    QVERIFY(ready.wait(5000));
    QCOMPARE(History::thumbnail(oldest).size(), QSize(8, 6));

    const auto entry = History::adopt(grabIn(m_fixture.scratch(), QStringLiteral("incoming.png")));
    QVERIFY(entry);
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
    const QString scratch = m_fixture.scratch();
    // The temporary folder is often a memory file system and the history on a disk.
    QTemporaryDir shm(QStringLiteral("/dev/shm/kiwano-test-XXXXXX"));
    const QString good = HistoryFixture::writePng((shm.isValid() ? shm.path() : scratch) + "/good.png",
                                                  HistoryFixture::sample(QSize(50, 40)));
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    const QString truncated = HistoryFixture::writeBytes(scratch + "/truncated.png", png.left(png.size() - 20));
    const QString garbage = HistoryFixture::writeBytes(scratch + "/garbage.png", QByteArray(4096, 'x'));
    const QString empty = HistoryFixture::writeBytes(scratch + "/empty.png", {});
    for (const QString &bad : {truncated, garbage, empty, scratch + QStringLiteral("/missing.png")})
        QVERIFY2(!History::adopt(bad), qPrintable(bad));
    QVERIFY(QFileInfo::exists(truncated) && QFileInfo::exists(garbage));
    QVERIFY(History::load().isEmpty());

    const QDateTime before = QDateTime::currentDateTime();
    const auto entry = History::adopt(good);
    QVERIFY(entry);
    QVERIFY(!QFileInfo::exists(good));
    QVERIFY(entry->date >= before);
    QCOMPARE(History::image(*entry), HistoryFixture::sample(QSize(50, 40)));
    QCOMPARE(HistoryFixture::names(History::dir()), QStringList{entry->url.fileName()});

    // The folder's place is taken by a file: nothing is adopted and nothing lost.
    const QString blocked = HistoryFixture::writeBytes(scratch + QStringLiteral("/blocked"), "not a folder");
    HistoryFixture::preferences().setValue(QStringLiteral("history.folder"), blocked);
    const QString second = grabIn(scratch, QStringLiteral("second.png"));
    QVERIFY(!History::adopt(second));
    QVERIFY(QFileInfo::exists(second));
}

void TestHistory::moveStoresOrForgetsThePreference()
{
    const QString a = grabIn(History::dir(), QStringLiteral("grab-a.png"), 1);
    const auto same = History::move(History::dir() + QStringLiteral("/./sub/.."));
    QVERIFY(same && same->isEmpty());
    QVERIFY(!hasFolderPreference());

    const QString other = m_fixture.scratch() + QStringLiteral("/deep/other");
    const auto there = History::move(other);
    QVERIFY(there);
    QCOMPARE(there->value(QUrl::fromLocalFile(a)), QUrl::fromLocalFile(other + "/grab-a.png"));
    QCOMPARE(HistoryFixture::preferences().value(QStringLiteral("history.folder")).toString(), other);
    QCOMPARE(History::dir(), other);

    // Back in the default folder the preference goes, so a later default change is followed.
    const auto back = History::move(History::defaultDir());
    QVERIFY(back && back->size() == 1);
    QVERIFY(!hasFolderPreference());
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
    QCOMPARE(moved->keys(), QList<QUrl>{QUrl::fromLocalFile(dir + "/grab-b.png")});
    QCOMPARE(HistoryFixture::names(dir), QStringList{QStringLiteral("grab-a.png")});
    const auto pixels = [](const QString &path) {
        return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    QCOMPARE(pixels(dir + "/grab-a.png"), HistoryFixture::sample(QSize(8, 6), 1));
    QCOMPARE(pixels(target + "/grab-a.png"), HistoryFixture::sample(QSize(8, 6), 9));
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
    QVERIFY(!hasFolderPreference());
    QCOMPARE(History::dir(), History::defaultDir());
}

void TestHistory::thumbnailSizes_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("wide") << QSize(3000, 1000) << QSize(240, 80);
    QTest::newRow("tall") << QSize(1000, 3000) << QSize(80, 240);
    QTest::newRow("5K") << QSize(5120, 2880) << QSize(240, 135);
    QTest::newRow("rounded") << QSize(1001, 333) << QSize(240, 80);
    QTest::newRow("small stays") << QSize(100, 50) << QSize(100, 50);
    QTest::newRow("sliver") << QSize(1, 5000) << QSize(1, 240);
}

void TestHistory::thumbnailSizes()
{
    QFETCH(QSize, image);
    QFETCH(QSize, thumbnail);
    QCOMPARE(History::thumbnailSize(image), thumbnail);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
