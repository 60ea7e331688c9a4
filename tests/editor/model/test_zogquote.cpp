// SPDX-License-Identifier: MIT
#include <QTemporaryDir>
#include <QTest>

#include "editor/model/zogquote.h"
#include "fixtures.h"

class TestZogQuote : public QObject
{
    Q_OBJECT
private slots:
    void setupLinesSplitOnlyAtSpacedSlashes()
    {
        const auto quotes = ZogQuote::decode(R"([
            {"id": 1, "setup": "Knock knock /  Who? / Zog", "quote": "Peel out!"},
            {"id": 2, "setup": "either/or", "quote": "One line."},
            {"id": 3, "setup": null, "quote": "Null counts as absent."},
            {"id": 4, "quote": "No setup."}
        ])");
        QVERIFY(quotes);
        QCOMPARE(quotes->at(0).setupLines(), (QStringList{"Knock knock", " Who?", "Zog"}));
        QCOMPARE(quotes->at(1).setupLines(), QStringList{"either/or"});
        QVERIFY(quotes->at(2).setupLines().isEmpty());
        QVERIFY(!quotes->at(3).setup);
        QCOMPARE(quotes->at(3).quote, QString("No setup."));
    }

    void oneBadRecordFailsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("missing quote") << QByteArray(R"([{"id": 1, "quote": "a"}, {"id": 2}])");
        QTest::newRow("missing id") << QByteArray(R"([{"quote": "a"}])");
        QTest::newRow("fractional id") << QByteArray(R"([{"id": 1.5, "quote": "a"}])");
        QTest::newRow("numeric setup") << QByteArray(R"([{"id": 1, "setup": 4, "quote": "a"}])");
        QTest::newRow("object, not array") << QByteArray(R"({"id": 1, "quote": "a"})");
        QTest::newRow("truncated") << QByteArray(R"([{"id": 1, "quote": "a"})");
    }
    void oneBadRecordFailsTheWholeFile()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!ZogQuote::decode(json));
        QTemporaryDir dir;
        QVERIFY(Fixtures::writeFile(dir.filePath("quotes.json"), json));
        QVERIFY(ZogQuote::load(dir.filePath("quotes.json")).isEmpty());
        QVERIFY(ZogQuote::load(dir.filePath("absent.json")).isEmpty());
    }

    void randomComesFromTheBundledList()
    {
        QVERIFY(!ZogQuote::all().isEmpty());
        const auto quote = ZogQuote::random();
        QVERIFY(quote);
        QVERIFY(ZogQuote::all().contains(*quote));
    }
};

QTEST_GUILESS_MAIN(TestZogQuote)
#include "test_zogquote.moc"
