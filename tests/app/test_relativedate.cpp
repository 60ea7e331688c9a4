// SPDX-License-Identifier: MIT
#include "app/relativedate.h"

// The wording of a grab's age under its thumbnail.
class TestRelativeDate : public QObject
{
    Q_OBJECT

private slots:
    void wording_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("expected");

        const QDateTime noon(QDate(2026, 3, 18), QTime(12, 0));
        QTest::newRow("same moment") << noon << noon << "just now";
        QTest::newRow("59 s") << noon << noon.addSecs(-59) << "just now";
        QTest::newRow("a clock set back") << noon << noon.addSecs(300) << "just now";
        QTest::newRow("60 s") << noon << noon.addSecs(-60) << "1 minute ago";
        QTest::newRow("59 min") << noon << noon.addSecs(-59 * 60 - 59) << "59 minutes ago";
        QTest::newRow("1 h") << noon << noon.addSecs(-3600) << "1 hour ago";
        QTest::newRow("last night, before midnight") << QDateTime(QDate(2026, 3, 18), QTime(0, 30))
            << QDateTime(QDate(2026, 3, 17), QTime(23, 0)) << "yesterday";
        QTest::newRow("early today") << QDateTime(QDate(2026, 3, 18), QTime(23, 30))
            << QDateTime(QDate(2026, 3, 18), QTime(0, 10)) << "23 hours ago";
        QTest::newRow("2 days") << noon << noon.addDays(-2) << "2 days ago";
        QTest::newRow("7 days") << noon << noon.addDays(-7) << "last week";
        QTest::newRow("20 days") << noon << noon.addDays(-20) << "2 weeks ago";
        // Weeks run up to a month, 31 days; months up to a year, 365 days.
        QTest::newRow("30 days") << noon << QDateTime(QDate(2026, 2, 16), QTime(12, 0)) << "4 weeks ago";
        QTest::newRow("31 days") << noon << QDateTime(QDate(2026, 2, 15), QTime(12, 0)) << "last month";
        QTest::newRow("32 days") << noon << QDateTime(QDate(2026, 2, 14), QTime(12, 0)) << "last month";
        QTest::newRow("200 days") << noon << noon.addDays(-200) << "6 months ago";
        QTest::newRow("364 days") << noon << QDateTime(QDate(2025, 3, 19), QTime(12, 0)) << "12 months ago";
        QTest::newRow("365 days") << noon << QDateTime(QDate(2025, 3, 18), QTime(12, 0)) << "last year";
        QTest::newRow("366 days") << noon << QDateTime(QDate(2025, 3, 17), QTime(12, 0)) << "last year";
        QTest::newRow("3 years") << noon << noon.addDays(-3 * 366) << "3 years ago";
        // The history's own date for files whose time cannot be read.
        QTest::newRow("undated") << noon << QDateTime() << "long ago";
    }
    void wording()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, date);
        QTEST(RelativeDate::text(date, now), "expected");
    }
};

KIWANO_TEST_GUILESS_MAIN(TestRelativeDate)
#include "test_relativedate.moc"
