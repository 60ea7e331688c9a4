// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/cliprow.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

ClipItem entry(const QString &title, bool pinned = false)
{
    ClipItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.pinned = pinned;
    return item;
}

const QRectF rowRect{8, 8, 444, 74};

} // namespace

class TestPickerRow : public QObject
{
    Q_OBJECT

private slots:
    // Left to right: thumbnail, title, then the pin and the badge at the trailing edge, all inside
    // the row's padding.
    void layout_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<bool>("titleShown");
        QTest::addColumn<QSizeF>("thumbnailSize");
        QTest::addColumn<int>("index"); // only the first nine rows have a badge

        QTest::newRow("text") << "Hello" << false << QSize() << true << QSizeF(0, 0) << 0;
        QTest::newRow("pinned text") << "Hello" << true << QSize() << true << QSizeF(0, 0) << 9;
        QTest::newRow("image stands alone") << "Image 1440 × 900" << false << QSize(240, 150) << false << QSizeF(96, 60) << 8;
        QTest::newRow("wide image") << "Image 2000 × 100" << true << QSize(240, 12) << false << QSizeF(140, 7) << 0;
        QTest::newRow("files with a picture keep the title") << "kiwi.png" << false << QSize(60, 240) << true << QSizeF(15, 60) << 3;
        QTest::newRow("image without thumbnail shows its title") << "Image 10 × 10" << false << QSize() << true << QSizeF(0, 0) << 0;
    }
    void layout()
    {
        QFETCH(QString, title);
        QFETCH(bool, pinned);
        QFETCH(QSize, thumbnail);
        QFETCH(bool, titleShown);
        QFETCH(QSizeF, thumbnailSize);
        QFETCH(int, index);

        ClipRow row{entry(title, pinned), index, false, std::nullopt};
        if (thumbnail.isValid())
            row.thumbnail = QImage(thumbnail, QImage::Format_ARGB32_Premultiplied);
        const ClipRow::Geometry g = row.geometry(rowRect);
        const QRectF inner = rowRect.adjusted(10, 7, -10, -7);

        QCOMPARE(!g.title.isEmpty(), titleShown);
        QCOMPARE(g.thumbnail.size(), thumbnailSize);
        QCOMPARE(!g.pin.isEmpty(), pinned);
        QCOMPARE(g.badge.isEmpty(), index > 8);
        const qreal trailing = g.badge.isEmpty() ? inner.right() + ClipRow::spacing : g.badge.left();
        if (!g.badge.isEmpty())
            QCOMPARE(g.badge.right(), inner.right());
        for (const QRectF &part : {g.thumbnail, g.title, g.pin}) {
            if (part.isEmpty())
                continue;
            QVERIFY2(inner.contains(part), "inside the padding");
            QVERIFY2(part.right() + ClipRow::spacing <= trailing + 0.01, "before the badge");
        }
        if (!g.thumbnail.isEmpty()) {
            QCOMPARE(g.thumbnail.left(), inner.left());
            if (!g.title.isEmpty())
                QCOMPARE(g.title.left(), g.thumbnail.right() + ClipRow::spacing);
        }
        if (pinned && !g.title.isEmpty())
            QCOMPARE(g.pin.left() - ClipRow::spacing, g.title.right());
    }

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
        if (title.size() > 1000) {
            QVERIFY(shown.contains(QChar(0x2026)));
            QVERIFY(shown.endsWith(QLatin1String("END")));
        }
        // Drawing it does not fail either.
        QImage image(460, 80, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        ClipRow{entry(title), 3, true, std::nullopt}.paint(painter, rowRect);
    }
};

KIWANO_TEST_MAIN(TestPickerRow)
#include "test_pickerrow.moc"
