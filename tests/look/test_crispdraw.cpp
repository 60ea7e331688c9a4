// SPDX-License-Identifier: MIT
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"
#include "look/widgets/pixellabel.h"

#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QTreeView>
#include <QSet>

// Pixel art stays crisp when every pixel a widget paints is one of its flat colours: a box edge
// or an icon cell that falls between device pixels leaves blended colours behind.
class TestCrispDraw : public QObject
{
    Q_OBJECT

private:
    static QImage grab(QWidget &widget, qreal ratio)
    {
        widget.ensurePolished();
        widget.resize(widget.sizeHint());
        QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    static QSet<QRgb> colours(const QImage &image)
    {
        QSet<QRgb> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found.insert(image.pixel(x, y));
        return found;
    }
    static QString names(const QSet<QRgb> &set)
    {
        QStringList list;
        for (QRgb rgb : set)
            list.append(QColor::fromRgba(rgb).name(QColor::HexArgb));
        return list.join(' ');
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1x") << 1.0;
        QTest::newRow("1.5x") << 1.5;
        QTest::newRow("2x") << 2.0;
    }

    void buttonUsesOnlyItsFlatColours()
    {
        QFETCH_GLOBAL(qreal, ratio);
        KiwanoButton button(QStringLiteral("lock"), QString());
        const QImage image = grab(button, ratio);
        const QSet<QRgb> expected{QColor(Qt::white).rgba(), Kiwano::peel.rgba(), Kiwano::cream.rgba()};
        QVERIFY2(colours(image) == expected, qPrintable(names(colours(image))));
        // The left border: whole device columns of peel from top to bottom of the face.
        const int border = qRound(2 * ratio);
        const int faceBottom = qRound((button.height() - 2) * ratio);
        for (int x = 0; x < border; ++x)
            for (int y = 0; y < faceBottom; ++y)
                QCOMPARE(image.pixel(x, y), Kiwano::peel.rgba());
        QCOMPARE(image.pixel(border, faceBottom / 2), Kiwano::cream.rgba());
    }

    void iconViewIsCrisp()
    {
        QFETCH_GLOBAL(qreal, ratio);
        PixelIconView icon(QStringLiteral("check"), 18);
        const QImage image = grab(icon, ratio);
        const QSet<QRgb> expected{QColor(Qt::white).rgba(), Kiwano::peel.rgba()};
        QVERIFY2(colours(image) == expected, qPrintable(names(colours(image))));
        // Every cell of the icon's grid is the same whole number of device pixels: each run of
        // ink along a row is a multiple of the shortest one.
        QList<int> runs;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0, run = 0; x <= image.width(); ++x)
                if (x < image.width() && image.pixel(x, y) == Kiwano::peel.rgba())
                    ++run;
                else if (run > 0)
                    runs.append(run), run = 0;
        QVERIFY(!runs.isEmpty());
        const int cell = *std::min_element(runs.begin(), runs.end());
        for (int run : runs)
            QVERIFY2(run % cell == 0, qPrintable(QStringLiteral("run %1, cell %2").arg(run).arg(cell)));
    }

    void textFieldIsAPixelBoxThatShowsFocus()
    {
        QFETCH_GLOBAL(qreal, ratio);
        KiwanoStyle style;
        QLineEdit *field = Look::textField(6, 96);
        field->setStyle(&style);
        const QImage unfocused = grab(*field, ratio);
        // Cream and one border colour, peel at 0.35 over cream; nothing blended at the edges.
        QCOMPARE(colours(unfocused).size(), 2);
        QCOMPARE(unfocused.pixel(unfocused.width() / 2, unfocused.height() / 2), Kiwano::cream.rgba());
        QVERIFY(unfocused.pixel(0, 0) != Kiwano::peel.rgba());

        QWidget window;
        field->setParent(&window);
        window.show();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        const QImage focused = grab(*field, ratio);
        QCOMPARE(focused.pixel(0, 0), Kiwano::peel.rgba());
        QCOMPARE(focused.pixel(qRound(2 * ratio), focused.height() / 2), Kiwano::peel.rgba());
        field->setStyle(nullptr);
    }


    // Last, as it gives the whole application the pixel font. Our windows speak it; the desktop's
    // standard dialogs, laid out for the desktop's font, must not inherit it, down to their file
    // lists.
    void standardDialogsKeepTheSystemFont()
    {
        Look::apply(*qApp);
        const QString pixel = QFontInfo(Pixel::font(12)).family();
        QCOMPARE(QFontInfo(QApplication::font()).family(), pixel);

        QFileDialog files(nullptr, QStringLiteral("Open Image"), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY(QFontInfo(files.font()).family() != pixel);
        const QList<QTreeView *> lists = files.findChildren<QTreeView *>();
        QVERIFY(!lists.isEmpty());
        for (QTreeView *list : lists)
            QVERIFY2(QFontInfo(list->font()).family() != pixel, "a file list drew in the pixel font");
    }
};

KIWANO_TEST_MAIN(TestCrispDraw)
#include "test_crispdraw.moc"
