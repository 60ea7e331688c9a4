// SPDX-License-Identifier: MIT
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSet>

#include "look/pixel.h"

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

class TestPixel : public QObject
{
    Q_OBJECT
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
};

KIWANO_TEST_MAIN(TestPixel)
#include "test_pixel.moc"
