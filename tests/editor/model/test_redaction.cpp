// SPDX-License-Identifier: MIT
#include <QDir>
#include <algorithm>
#include <QFont>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "annotation/pixelcache.h"
#include "annotation/tooldefaults.h"
#include "editor/model/savelocation.h"
#include "fixtures.h"

namespace {

// Lines of 12 to 16 pixel text in three faces, each line its own words.
const QStringList faces = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
const QList<int> textSizes = {12, 14, 16};
const QStringList lines = {
    "harbor velvet candle marble quartz", "bishop oyster timber falcon meadow",
    "copper lantern walnut saddle pepper", "glacier monkey thunder basket violin",
    "salmon rocket garden pillow hammer",  "kitten orange summer bottle winter",
    "jungle spider castle mirror silver",  "button forest wizard ticket planet",
    "dragon cotton anchor yellow pencil",
};
const QRect textArea(10, 8, 380, 9 * 26);

QStringList words()
{
    return lines.join(' ').split(' ');
}

// A white picture with the lines in black; other gives the other words' places to a second text.
QImage textPicture(bool other = false)
{
    QImage image(400, 260, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QFont font(faces.at(i % faces.size()));
        font.setPixelSize(textSizes.at(i / faces.size() % textSizes.size()));
        painter.setFont(font);
        // The lines start at different offsets from the pixellation grid.
        QString line = lines.at(i);
        if (other)
            std::reverse(line.begin(), line.end());
        painter.drawText(QPointF(textArea.left() + 3 * i % 7, textArea.top() + 18 + 26 * i), line);
    }
    return image;
}

// The words of the lines that tesseract reads in the picture, magnified twice as a reader would.
QStringList wordsRead(const QImage &picture, const QString &folder)
{
    const QString file = folder + "/ocr.png";
    picture.scaled(picture.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(file);
    QProcess tesseract;
    tesseract.start("tesseract", {file, "-", "--psm", "6"});
    if (!tesseract.waitForFinished(60000) || tesseract.exitCode() != 0)
        return {"tesseract failed"};
    const QString text = QString::fromUtf8(tesseract.readAllStandardOutput()).toLower();
    QStringList found;
    for (const QString &word : words())
        if (text.contains(QRegularExpression("\\b" + word + "\\b")))
            found.append(word);
    return found;
}

} // namespace

class TestRedaction : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Fixtures::Sandbox> m_sandbox;
    QString m_saves;

    // The picture with one blur of that mode and pixel size over the text, saved as the editor
    // saves; the saved file.
    QImage savedWithBlur(const QImage &picture, BlurMode mode, qreal block)
    {
        EditorModel model(picture, 1);
        Fixtures::restyleTool(model, Tool::blur, [&](Style &s) { s.blurMode = mode, s.blurBlock = block; });
        Fixtures::drag(model, textArea.topLeft(), textArea.bottomRight() + QPoint(1, 1));
        const QStringList before = QDir(m_saves).entryList(QDir::Files);
        model.save();
        // The new file, once its writer has finished it.
        QImage image;
        for (int wait = 0; wait < 500 && image.isNull(); ++wait) {
            QTest::qWait(20);
            for (const QString &name : QDir(m_saves).entryList(QDir::Files))
                if (!before.contains(name))
                    image.load(m_saves + '/' + name);
        }
        return image;
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<Fixtures::Sandbox>();
        m_saves = m_sandbox->path("Saves");
        QDir().mkpath(m_saves);
        SaveLocation::setFolder(m_saves);
        SaveLocation::setAskEachTime(false);
    }

    // Every pixel size the blur's stepper offers, in each style, over 12 to 16 pixel text: the
    // saved file's blurred area holds no word tesseract can read, where the plain text gives up
    // nearly all of its words.
    void noPickableStrengthLeavesTextReadable()
    {
        if (QStandardPaths::findExecutable("tesseract").isEmpty())
            QSKIP("tesseract is not installed (Debian: tesseract-ocr tesseract-ocr-eng); make test installs it");
        const QImage picture = textPicture();
        const QStringList plain = wordsRead(picture.copy(textArea), m_saves);
        QVERIFY2(plain.size() >= words().size() * 8 / 10,
                 qPrintable("tesseract read only: " + plain.join(' ')));
        for (BlurMode mode : {BlurMode::pixelate, BlurMode::noise, BlurMode::solid}) {
            for (int block = ToolDefaults::smallestBlurBlock; block <= 40; block += 2) {
                const QImage saved = savedWithBlur(picture, mode, block);
                QVERIFY(!saved.isNull());
                const QStringList read = wordsRead(saved.copy(textArea), m_saves);
                QVERIFY2(read.isEmpty(), qPrintable(QString("%1 at %2 px left readable: %3")
                                                        .arg(rawValue(mode)).arg(block).arg(read.join(' '))));
                if (mode == BlurMode::solid)
                    break; // one fill, whatever the size
            }
        }
    }

    // Two pictures that differ only under a redaction export the same image, however the
    // redaction's edges fall on the pixels and whatever blur lies over it: nothing of what it hides
    // is in the file. A plain pixellation in its place does give the difference away.
    void redactedPicturesCarryNothingOfTheHiddenPixels_data()
    {
        QTest::addColumn<BlurMode>("mode");
        QTest::addColumn<bool>("blurOver");
        QTest::newRow("noise") << BlurMode::noise << false;
        QTest::newRow("solid") << BlurMode::solid << false;
        QTest::newRow("solid under a blur") << BlurMode::solid << true;
    }
    void redactedPicturesCarryNothingOfTheHiddenPixels()
    {
        QFETCH(BlurMode, mode);
        QFETCH(bool, blurOver);
        // Edges between pixels; the second picture also differs in the pixels those edges cut.
        const QRectF hidden(9.6, 7.3, 380.8, 9 * 26 + 0.4);
        QImage first = textPicture(), second = textPicture(true);
        for (QImage *picture : {&first, &second}) {
            QPainter painter(picture);
            if (picture == &second) {
                painter.setPen(Qt::red);
                painter.drawRect(hidden.toAlignedRect().adjusted(0, 0, -1, -1));
            }
            painter.setClipRegion(QRegion(0, 0, 400, 260).subtracted(hidden.toAlignedRect()));
            painter.fillRect(picture->rect(), QColor(90, 140, 200));
        }
        QVERIFY(first != second);

        auto layers = [&](BlurMode redaction) {
            Annotation cover(Shapes::Blur{hidden});
            cover.style.blurMode = redaction;
            cover.style.blurBlock = 8;
            QList<Annotation> list{cover};
            if (blurOver) {
                Annotation blur(Shapes::Blur{hidden.adjusted(-30, 20, 5, 40)});
                blur.style.blurBlock = 24;
                list.append(blur);
            }
            return list;
        };
        // Noise is random for each cache: one cache, made for the first picture, draws both.
        // Blurs read their cache's picture, so each picture has its own cache otherwise.
        auto pixels = std::make_shared<PixelCache>(first);
        auto secondPixels = mode == BlurMode::noise ? pixels : std::make_shared<PixelCache>(second);
        const QImage a = ExportJob{first, layers(mode), pixels}.flatten();
        const QImage b = ExportJob{second, layers(mode), secondPixels}.flatten();
        QVERIFY(!a.isNull());
        QVERIFY(a == b);

        const QImage pixellatedFirst = ExportJob{first, layers(BlurMode::pixelate), pixels}.flatten();
        const QImage pixellatedSecond =
            ExportJob{second, layers(BlurMode::pixelate), std::make_shared<PixelCache>(second)}.flatten();
        QVERIFY(pixellatedFirst != pixellatedSecond);
    }
};

KIWANO_TEST_MAIN(TestRedaction)
#include "test_redaction.moc"
