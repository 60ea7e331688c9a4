// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/cliprow.h"
#include "clipboard/picker/view/pickertexts.h"

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
    void badges_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("badge");
        QTest::newRow("first") << 0 << "Ctrl+1";
        QTest::newRow("ninth") << 8 << "Ctrl+9";
        QTest::newRow("tenth") << 9 << "";
    }
    void badges()
    {
        QFETCH(int, index);
        QFETCH(QString, badge);
        QCOMPARE(PickerTexts::badge(index), badge);
        ClipRow row{entry(QStringLiteral("kiwi")), index, false, std::nullopt};
        QCOMPARE(row.geometry(rowRect).badge.isEmpty(), badge.isEmpty());
    }

    // Left to right: thumbnail, title, then the pin and the badge at the trailing edge, all inside
    // the row's padding.
    void layout_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<bool>("titleShown");
        QTest::addColumn<QSizeF>("thumbnailSize");

        QTest::newRow("text") << "Hello" << false << QSize() << true << QSizeF(0, 0);
        QTest::newRow("pinned text") << "Hello" << true << QSize() << true << QSizeF(0, 0);
        QTest::newRow("image stands alone") << "Image 1440 × 900" << false << QSize(240, 150) << false << QSizeF(96, 60);
        QTest::newRow("wide image") << "Image 2000 × 100" << true << QSize(240, 12) << false << QSizeF(140, 7);
        QTest::newRow("files with a picture keep the title") << "kiwi.png" << false << QSize(60, 240) << true << QSizeF(15, 60);
        QTest::newRow("image without thumbnail shows its title") << "Image 10 × 10" << false << QSize() << true << QSizeF(0, 0);
    }
    void layout()
    {
        QFETCH(QString, title);
        QFETCH(bool, pinned);
        QFETCH(QSize, thumbnail);
        QFETCH(bool, titleShown);
        QFETCH(QSizeF, thumbnailSize);

        ClipRow row{entry(title, pinned), 0, false, std::nullopt};
        if (thumbnail.isValid())
            row.thumbnail = QImage(thumbnail, QImage::Format_ARGB32_Premultiplied);
        const ClipRow::Geometry g = row.geometry(rowRect);
        const QRectF inner = rowRect.adjusted(10, 7, -10, -7);

        QCOMPARE(!g.title.isEmpty(), titleShown);
        QCOMPARE(g.thumbnail.size(), thumbnailSize);
        QCOMPARE(!g.pin.isEmpty(), pinned);
        QVERIFY(!g.badge.isEmpty());
        QCOMPARE(g.badge.right(), inner.right());
        for (const QRectF &part : {g.thumbnail, g.title, g.pin}) {
            if (part.isEmpty())
                continue;
            QVERIFY2(inner.contains(part), "inside the padding");
            QVERIFY2(part.right() + ClipRow::spacing <= g.badge.left() + 0.01, "before the badge");
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

    void details_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<qint64>("copies");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<QString>("details");

        const QString date = QStringLiteral("Dec 5, 2026 at 10:11 AM");
        QTest::newRow("all parts") << "org.gnome.Loupe" << qint64(1) << false
                                   << "From Image Viewer  ·  Copied once  ·  " + date;
        QTest::newRow("several copies, pinned") << "org.gnome.Loupe" << qint64(3) << true
                                                << "From Image Viewer  ·  Copied 3x  ·  " + date + "  ·  Pinned";
        QTest::newRow("unknown application") << "unknown.app" << qint64(2) << false << "Copied 2x  ·  " + date;
        QTest::newRow("no application") << "" << qint64(1) << true << "Copied once  ·  " + date + "  ·  Pinned";
    }
    void details()
    {
        QFETCH(QString, app);
        QFETCH(qint64, copies);
        QFETCH(bool, pinned);
        QFETCH(QString, details);

        ClipItem item = entry(QStringLiteral("x"), pinned);
        if (!app.isEmpty())
            item.app = app;
        item.copies = copies;
        item.lastCopied = QDateTime(QDate(2026, 12, 5), QTime(10, 11)); // local time
        auto names = [](const QString &id) -> std::optional<QString> {
            if (id == QLatin1String("org.gnome.Loupe"))
                return QStringLiteral("Image Viewer");
            return std::nullopt;
        };
        QCOMPARE(PickerTexts::details(item, names, QLocale(QLocale::English, QLocale::UnitedStates)), details);
    }
};

KIWANO_TEST_MAIN(TestPickerRow)
#include "test_pickerrow.moc"
