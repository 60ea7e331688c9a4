// SPDX-License-Identifier: MIT
#include <QTemporaryDir>
#include <QTest>

#include "editor/model/zogquote.h"

class TestZogQuote : public QObject
{
    Q_OBJECT
private slots:
    void setupLinesSplitOnlyAtSpacedSlashes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("three parts") << "Knock knock / Who's there? / Zog"
                                     << QStringList{"Knock knock", "Who's there?", "Zog"};
        QTest::newRow("bare slash") << "either/or" << QStringList{"either/or"};
        QTest::newRow("untrimmed") << " a  /  b " << QStringList{" a ", " b "};
        QTest::newRow("empty") << "" << QStringList{""};
    }
    void setupLinesSplitOnlyAtSpacedSlashes()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, lines);
        ZogQuote quote{1, setup, "q"};
        QCOMPARE(quote.setupLines(), lines);
    }

    void decodesRecordsWithAndWithoutSetup()
    {
        const auto quotes = ZogQuote::decode(R"([
            {"id": 1, "setup": "Line one / Line two", "quote": "Peel out!"},
            {"id": 2, "quote": "Stay spiky."},
            {"id": 3, "setup": null, "quote": "Null counts as absent."}
        ])");
        QVERIFY(quotes);
        QCOMPARE(quotes->size(), 3);
        QCOMPARE(quotes->at(0).setupLines(), (QStringList{"Line one", "Line two"}));
        QVERIFY(!quotes->at(1).setup);
        QVERIFY(quotes->at(1).setupLines().isEmpty());
        QCOMPARE(quotes->at(1).quote, QString("Stay spiky."));
        QVERIFY(!quotes->at(2).setup);
    }

    void oneBadRecordFailsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("missing quote") << QByteArray(R"([{"id": 1, "quote": "a"}, {"id": 2}])");
        QTest::newRow("missing id") << QByteArray(R"([{"quote": "a"}])");
        QTest::newRow("fractional id") << QByteArray(R"([{"id": 1.5, "quote": "a"}])");
        QTest::newRow("text id") << QByteArray(R"([{"id": "1", "quote": "a"}])");
        QTest::newRow("numeric setup") << QByteArray(R"([{"id": 1, "setup": 4, "quote": "a"}])");
        QTest::newRow("object, not array") << QByteArray(R"({"id": 1, "quote": "a"})");
        QTest::newRow("not an object") << QByteArray(R"([1, 2])");
        QTest::newRow("truncated") << QByteArray(R"([{"id": 1, "quote": "a"})");
        QTest::newRow("empty") << QByteArray();
    }
    void oneBadRecordFailsTheWholeFile()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!ZogQuote::decode(json));
    }

    void loadGivesNothingForMissingOrBrokenFiles()
    {
        QTemporaryDir dir;
        QVERIFY(ZogQuote::load(dir.filePath("absent.json")).isEmpty());

        QFile broken(dir.filePath("broken.json"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(R"([{"id": 1}])");
        broken.close();
        QVERIFY(ZogQuote::load(broken.fileName()).isEmpty());

        QFile good(dir.filePath("good.json"));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(R"([{"id": 7, "quote": "Hi"}])");
        good.close();
        const QList<ZogQuote> quotes = ZogQuote::load(good.fileName());
        QCOMPARE(quotes.size(), 1);
        QCOMPARE(quotes.first().id, 7);
    }

    void randomComesFromTheBundledList()
    {
        QVERIFY(!ZogQuote::all().isEmpty());
        const auto quote = ZogQuote::random();
        QVERIFY(quote);
        QVERIFY(ZogQuote::all().contains(*quote));
        QVERIFY(!quote->quote.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestZogQuote)
#include "test_zogquote.moc"
