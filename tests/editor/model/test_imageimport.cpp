// SPDX-License-Identifier: MIT
#include <QMimeData>
#include <QThread>
#include <QUrl>

#include "editor/model/imageimport.h"
#include "fixtures.h"
#include "image/png.h"

class TestImageImport : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

    // Names files in the sandbox: red.png (40 x 30), notes.txt, huge.png (claims 60000 x 60000),
    // photo.png (6000 x 6000, past Qt's default decoding limit).
    std::unique_ptr<QMimeData> mime(const QStringList &files, const QByteArray &png = {})
    {
        auto mime = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &file : files)
            urls.append(file.startsWith("https:") ? QUrl(file) : QUrl::fromLocalFile(m_sandbox.path(file)));
        mime->setUrls(urls);
        if (!png.isEmpty())
            mime->setData("image/png", png);
        return mime;
    }

private slots:
    void initTestCase()
    {
        ImageImport::allowLargestImages();
        QVERIFY(Fixtures::solid(Qt::red).save(m_sandbox.path("red.png")));
        QVERIFY(Fixtures::writeFile(m_sandbox.path("notes.txt"), "just words\n"));
        QVERIFY(Fixtures::writeFile(m_sandbox.path("huge.png"), Fixtures::pngClaiming(60000, 60000)));
        QVERIFY(Png::write(Fixtures::solid(Qt::green, 6000, 6000), m_sandbox.path("photo.png")));
    }

    void pasteboardPrefersImageFiles_data()
    {
        QTest::addColumn<QStringList>("files"); QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QSize>("size");
        const QByteArray blue = Png::encode(Fixtures::solid(Qt::blue, 8, 8));
        QTest::newRow("file over data") << QStringList{"red.png"} << blue << QSize(40, 30);
        QTest::newRow("data when the file is text") << QStringList{"notes.txt"} << blue << QSize(8, 8);
        QTest::newRow("first image file") << QStringList{"notes.txt", "red.png"} << blue << QSize(40, 30);
        QTest::newRow("large photo") << QStringList{"photo.png"} << QByteArray() << QSize(6000, 6000);
        QTest::newRow("undecodable data") << QStringList{} << QByteArray("not a png") << QSize(0, 0);
        QTest::newRow("huge data") << QStringList{} << Fixtures::pngClaiming(60000, 60000)
                                   << QSize(0, 0);
        QTest::newRow("huge file") << QStringList{"huge.png"} << QByteArray() << QSize(0, 0);
    }
    void pasteboardPrefersImageFiles()
    {
        QFETCH(QStringList, files); QFETCH(QByteArray, png); QFETCH(QSize, size);
        QCOMPARE(ImageImport::fromClipboard(mime(files, png).get()).size(), size);
    }

    void dropsDeliverOnlyTheFirstImageFileOnTheMainThread()
    {
        QList<QImage> images;
        const auto deliver = [&](QImage image) {
            QCOMPARE(QThread::currentThread(), thread());
            images.append(image);
        };
        QVERIFY(ImageImport::load(mime({"red.png", "notes.txt"}).get(), this, deliver));
        QVERIFY(ImageImport::load(mime({"huge.png"}).get(), this, deliver));
        QVERIFY(ImageImport::load(mime({"gone.png"}).get(), this, deliver));
        QVERIFY(!ImageImport::load(mime({"https://example.org/a.png"}).get(), this, deliver));
        // Imports land in the order they were asked for: once a last good one is in, the
        // others have had their turn.
        QVERIFY(ImageImport::load(mime({}, Png::encode(Fixtures::solid(Qt::blue, 8, 8))).get(), this, deliver));
        QTRY_COMPARE(images.size(), 2);
        QCOMPARE(images.first().pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(images.last().pixelColor(5, 5), QColor(Qt::blue));
    }
};

KIWANO_TEST_MAIN(TestImageImport)
#include "test_imageimport.moc"
