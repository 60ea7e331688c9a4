// SPDX-License-Identifier: MIT
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"
#include "look/widgets/pixellabel.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTreeView>

#include <limits>

namespace {

// Black text on white, piece after piece from the left, at that device pixel ratio; in grey.
QImage drawn(const QFont &font, const QStringList &pieces, QSize size, qreal ratio = 1)
{
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    qreal x = 2;
    for (const QString &piece : pieces) {
        painter.drawText(QPointF(x, size.height() * 0.75), piece);
        x += QFontMetricsF(font).horizontalAdvance(piece);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

// The pixel font and icons, and the widgets drawn with them. Pixel art stays crisp when every
// pixel a widget paints is one of its flat colours: a box edge or an icon cell that falls between
// device pixels leaves blended colours behind. Each widget is drawn at 1x, 1.5x and 2x.
class TestLook : public QObject
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
    // The toast with an action, shown over a window as a host would place it.
    struct Host
    {
        QWidget window;
        QLineEdit *field = new QLineEdit(&window);
        ActionToast *toast = new ActionToast(&window);

        Host() { window.resize(600, 400), window.show(), field->setFocus(); }
    };

private slots:
    // Runs first: nothing is registered yet, so the missing file leaves the fallback in place.
    void fontFallsBackThenRegistersOnce()
    {
        QVERIFY(Pixel::registerFont(QStringLiteral("/nonexistent/Fonts/Minecraft.ttf")).isEmpty());
        QCOMPARE(Pixel::font(14).family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        QVERIFY(Pixel::font(14).bold());
        QCOMPARE(Pixel::font(0.2).pixelSize(), 1);

        const QString family = Pixel::registerFont();
        QVERIFY(!family.isEmpty());
        QCOMPARE(QFontInfo(Pixel::font(12)).family(), family);
        QCOMPARE(Pixel::registerFont(QStringLiteral("/nonexistent/other.ttf")), family);
    }

    // The font's ligature glyphs are broken ("first" read "Arst"): letters are drawn one by one.
    void lettersAreNeverJoined()
    {
        for (const char *word : {"fi", "fl", "ffi"}) {
            const QString whole = QString::fromLatin1(word);
            const QStringList letters = whole.split(QString(), Qt::SkipEmptyParts);
            QVERIFY2(drawn(Pixel::font(24), {whole}, {120, 40}) == drawn(Pixel::font(24), letters, {120, 40}), word);
        }
    }

    // Captions once read "553" as "SS3" and "25%" as "2S%". At every size and pixel ratio the
    // look draws its text at, the font's cells cover whole screen pixels (no pixel is half ink),
    // and no digit can be taken for the letter or digit it resembles.
    void textKeepsWholePixelsAndDistinctDigits()
    {
        const QList<std::pair<QString, QString>> confusable = {
            {"5", "S"}, {"0", "O"}, {"1", "l"}, {"1", "I"}, {"l", "I"}, {"2", "Z"}, {"8", "B"},
            {"3", "8"}, {"8", "9"}, {"6", "8"}, {"2", "3"}, {"5", "6"}, {"1", "7"}};
        for (const Pixel::TextSize size : {Pixel::TextSize::Body, Pixel::TextSize::Title}) {
            for (const qreal ratio : {1.0, 2.0}) {
                const QSize side(2 * Pixel::pixelSize(size), 2 * Pixel::pixelSize(size));
                const auto draw = [&](const QString &text) { return drawn(Pixel::uiFont(size), {text}, side, ratio); };
                const int devicePixels = qRound(Pixel::pixelSize(size) * ratio);
                const QByteArray where = QByteArray::number(Pixel::pixelSize(size)) + " px at "
                    + QByteArray::number(ratio) + "x: ";
                QVERIFY2(devicePixels % 11 == 0, where + "the font's cells fall between pixels");
                const int cell = devicePixels / 11;

                const QImage sample = draw(QStringLiteral("553 25% Ctrl+5 2 minutes ago"));
                for (int y = 0; y < sample.height(); ++y)
                    for (const uchar *p = sample.constScanLine(y), *end = p + sample.width(); p != end; ++p)
                        QVERIFY2(*p == 0 || *p == 255, where + "a pixel is only partly inked");

                for (const auto &[one, other] : confusable) {
                    const QImage a = draw(one), b = draw(other);
                    int apart = 0;
                    for (int y = 0; y < a.height(); ++y)
                        for (int x = 0; x < a.width(); ++x)
                            apart += (a.constScanLine(y)[x] < 128) != (b.constScanLine(y)[x] < 128);
                    QVERIFY2(apart >= cell * cell,
                             where + (one + " and " + other).toUtf8() + " differ by less than one of the font's pixels");
                }
            }
        }
    }

    void iconsAreHardEdgedMasks()
    {
        for (const char *name : {"hand", "kiwano", "arrow-down-to-bracket", "layer-group", "check"}) {
            const auto icon = Pixel::image(QString::fromLatin1(name), 24);
            QVERIFY2(icon && icon->size() == QSize(24, 24), name);
            const QImage alpha = icon->convertToFormat(QImage::Format_Alpha8);
            const QSet<uchar> levels(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes());
            QVERIFY2(levels == (QSet<uchar>{0, 255}), name); // ink and nothing, no soft edges
        }
    }

    void unusableRequestsGiveNothingAndCacheNothing()
    {
        const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
        for (const auto &[name, size] : {std::pair{"no-such-icon", 18.0}, {"", 18.0}, {"hand", 0.0}, {"hand", nan},
                                         {"../Images/kiwano-menubar", 18.0}, {"hand", 1e9}}) {
            const qsizetype before = Pixel::cachedImageCount();
            QVERIFY2(!Pixel::image(QString::fromLatin1(name), size).has_value(), name);
            QVERIFY(!Pixel::image(QString::fromLatin1(name), size).has_value());
            QCOMPARE(Pixel::cachedImageCount(), before);
        }
    }

    void buttonUsesOnlyItsFlatColours()
    {
        KiwanoButton button(QStringLiteral("lock"), QString());
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage image = grab(button, ratio);
            QCOMPARE(colours(image), (QSet<QRgb>{QColor(Qt::white).rgba(), Kiwano::peel.rgba(), Kiwano::cream.rgba()}));
            // The left border: whole device columns of peel from top to bottom of the face.
            const int border = qRound(2 * ratio);
            const int faceBottom = qRound((button.height() - 2) * ratio);
            for (int x = 0; x < border; ++x)
                for (int y = 0; y < faceBottom; ++y)
                    QCOMPARE(image.pixel(x, y), Kiwano::peel.rgba());
            QCOMPARE(image.pixel(border, faceBottom / 2), Kiwano::cream.rgba());
        }
    }

    void iconViewIsCrisp()
    {
        PixelIconView icon(QStringLiteral("check"), 18);
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage image = grab(icon, ratio);
            QCOMPARE(colours(image), (QSet<QRgb>{QColor(Qt::white).rgba(), Kiwano::peel.rgba()}));
            // Every cell of the icon's grid is the same whole number of device pixels: each run
            // of ink along a row is a multiple of the shortest one.
            QList<int> runs;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0, run = 0; x <= image.width(); ++x)
                    if (x < image.width() && image.pixel(x, y) == Kiwano::peel.rgba())
                        ++run;
                    else if (run > 0)
                        runs.append(run), run = 0;
            const int cell = *std::min_element(runs.begin(), runs.end());
            for (int run : runs)
                QCOMPARE(run % cell, 0);
        }
    }

    void textFieldIsAPixelBoxThatShowsFocus()
    {
        KiwanoStyle style;
        QLineEdit *field = Look::textField(6, 96);
        field->setStyle(&style);
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage unfocused = grab(*field, ratio);
            // Cream and one border colour, peel at 0.35 over cream; nothing blended at the edges.
            QCOMPARE(colours(unfocused).size(), 2);
            QCOMPARE(unfocused.pixel(unfocused.width() / 2, unfocused.height() / 2), Kiwano::cream.rgba());
            QVERIFY(unfocused.pixel(0, 0) != Kiwano::peel.rgba());
        }
        QWidget window;
        field->setParent(&window);
        window.show();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage focused = grab(*field, ratio);
            QCOMPARE(focused.pixel(0, 0), Kiwano::peel.rgba());
            QCOMPARE(focused.pixel(qRound(2 * ratio), focused.height() / 2), Kiwano::peel.rgba());
        }
        field->setStyle(nullptr);
    }

    void theActionTakesTheKeyboardAndGivesItBack()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QTRY_VERIFY(host.field->hasFocus());
        QSignalSpy triggered(host.toast, &ActionToast::actionTriggered);
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("Moved grab.png to the Trash"), QStringLiteral("Undo"),
                          QStringLiteral("trash"), 200});
        KiwanoButton *undo = host.toast->actionButton();
        QCOMPARE(undo->accessibleName(), QStringLiteral("Undo"));
        QCOMPARE(host.toast->accessibleName(), QStringLiteral("Moved grab.png to the Trash"));

        QTest::keyClick(host.field, Qt::Key_Tab);
        QVERIFY(undo->hasFocus());
        // Its time runs out while the focus is on it (a twin posted with it has gone): it waits
        // for the person. The pointer is away from both.
        ActionToast twin(&host.window);
        QSignalSpy twinClosed(&twin, &ActionToast::closed);
        twin.post({QStringLiteral("twin"), {}, QStringLiteral("trash"), 200});
        QTest::mouseMove(&host.window, twin.geometry().center());
        QTest::mouseMove(&host.window, QPoint(5, 5));
        QVERIFY(!twin.underMouse() && !host.toast->underMouse());
        QVERIFY(twinClosed.wait(5000));
        QVERIFY(host.toast->isPosted());
        QTest::keyClick(undo, Qt::Key_Space);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(closed.size(), 0);
        QVERIFY(host.field->hasFocus());
        QTRY_VERIFY(!host.toast->isVisible());
    }

    void noticesGoWhenTheirTimeIsUp()
    {
        Host host;
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("first"), QStringLiteral("Undo"), QStringLiteral("trash"), 60000});
        // A newer notice takes the place of the one showing; only the newer one closes.
        host.toast->post({QStringLiteral("Kept grab.png"), {}, QStringLiteral("kiwano"), 100});
        QVERIFY(host.toast->actionButton()->isHidden());
        QCOMPARE(host.toast->text(), QStringLiteral("Kept grab.png"));
        QTRY_COMPARE(closed.size(), 1);
        QTRY_VERIFY(!host.toast->isVisible());
        QCOMPARE(closed.size(), 1);
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

KIWANO_TEST_MAIN(TestLook)
#include "test_look.moc"
