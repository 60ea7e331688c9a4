// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/cliprow.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace {

ClipItem entry(const QString &title)
{
    ClipItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    return item;
}

const QRectF rowRect{8, 8, 444, 74};

} // namespace

class TestPickerRow : public QObject
{
    Q_OBJECT

private slots:
    // Titles are one line, cut in the middle, and never wider than their place.
    void titles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("long") << QString(5000, QLatin1Char('k')) + QStringLiteral("END");
        QTest::newRow("lines") << QStringLiteral("first line\nsecond line\r\nthird\u2029fourth");
        QTest::newRow("right to left") << QStringLiteral("שלום עולם ") .repeated(40);
        QTest::newRow("emoji") << QStringLiteral("🥝🍌👩‍👩‍👧‍👦 ").repeated(60);
    }
    void titles()
    {
        QFETCH(QString, title);
        const qreal width = 200;
        const QString shown = ClipRow::shownTitle(title, width);
        QVERIFY(!shown.contains(QLatin1Char('\n')) && !shown.contains(QChar::ParagraphSeparator));
        QVERIFY(QFontMetricsF(ClipRow::titleFont()).horizontalAdvance(shown) <= width + 0.5);
        if (title.size() > 1000)
            QVERIFY(shown.contains(QChar(0x2026)) && shown.endsWith(QLatin1String("END")));
        // Drawing it does not fail either.
        QImage image(460, 80, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        ClipRow{entry(title), 3, true, std::nullopt}.paint(painter, rowRect);
    }
};

KIWANO_TEST_MAIN(TestPickerRow)
#include "test_pickerrow.moc"
