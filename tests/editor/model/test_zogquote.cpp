// SPDX-License-Identifier: MIT
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
            {"id": 2, "setup": "either/or", "quote": "One line."}])");
        QVERIFY(quotes);
        QCOMPARE(quotes->at(0).setupLines(), (QStringList{"Knock knock", " Who?", "Zog"}));
        QCOMPARE(quotes->at(1).setupLines(), QStringList{"either/or"});
        // The bundled list decodes.
        const auto quote = ZogQuote::random();
        QVERIFY(quote && ZogQuote::all().contains(*quote));
    }

    void oneBadRecordFailsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("missing quote") << QByteArray(R"([{"id": 1, "quote": "a"}, {"id": 2}])");
        QTest::newRow("missing id") << QByteArray(R"([{"quote": "a"}])");
        QTest::newRow("fractional id") << QByteArray(R"([{"id": 1.5, "quote": "a"}])");
        QTest::newRow("numeric setup") << QByteArray(R"([{"id": 1, "setup": 4, "quote": "a"}])");
        QTest::newRow("truncated") << QByteArray(R"([{"id": 1, "quote": "a"})");
    }
    void oneBadRecordFailsTheWholeFile()
    {
        QFETCH(QByteArray, json);
        Fixtures::Sandbox sandbox;
        QVERIFY(Fixtures::writeFile(sandbox.path("quotes.json"), json));
        QVERIFY(ZogQuote::load(sandbox.path("quotes.json")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestZogQuote)
#include "test_zogquote.moc"
