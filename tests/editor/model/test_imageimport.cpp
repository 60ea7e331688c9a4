// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>

#include "editor/model/imageimport.h"
#include "fixtures.h"

namespace {

// Collects what a drop delivers, and on which thread.
struct Delivery
{
    QList<QImage> images;
    QList<QThread *> threads;
    std::function<void(QImage)> completion()
    {
        return [this](QImage image) {
            images.append(image);
            threads.append(QThread::currentThread());
        };
    }
};

QColor centreColor(const QImage &image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestImageImport : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;
    QString m_red, m_blue, m_text, m_huge;

    std::unique_ptr<QMimeData> filesDrop(const QStringList &paths)
    {
        auto mime = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        mime->setUrls(urls);
        return mime;
    }

private slots:
    void initTestCase()
    {
        m_red = m_sandbox.path("red.png");
        m_blue = m_sandbox.path("blue.png");
        m_text = m_sandbox.path("notes.txt");
        m_huge = m_sandbox.path("huge.png");
        QVERIFY(Fixtures::solid(Qt::red).save(m_red));
        QVERIFY(Fixtures::solid(Qt::blue).save(m_blue));
        QVERIFY(Fixtures::writeFile(m_text, "just words\n"));
        QVERIFY(Fixtures::writeFile(m_huge, Fixtures::pngClaiming(60000, 60000)));
    }

    void pasteboardPrefersTheImageFileOverImageData()
    {
        auto mime = filesDrop({m_red});
        mime->setData("image/png", Fixtures::pngBytes(Fixtures::solid(Qt::blue, 8, 8)));
        const QImage image = ImageImport::fromPasteboard(mime.get());
        QCOMPARE(image.size(), QSize(40, 30));
        QCOMPARE(centreColor(image), QColor(Qt::red));
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    }

    void pasteboardFallsBackToImageDataWhenTheFileIsNoImage()
    {
        auto mime = filesDrop({m_text});
        mime->setData("image/png", Fixtures::pngBytes(Fixtures::solid(Qt::blue, 8, 8)));
        const QImage image = ImageImport::fromPasteboard(mime.get());
        QCOMPARE(image.size(), QSize(8, 8));
        QCOMPARE(centreColor(image), QColor(Qt::blue));
    }

    void pasteboardWithoutAnImageGivesNothing()
    {
        QMimeData text;
        text.setText("hello");
        QVERIFY(ImageImport::fromPasteboard(&text).isNull());
        QVERIFY(ImageImport::fromPasteboard(static_cast<const QMimeData *>(nullptr)).isNull());

        QMimeData garbage;
        garbage.setData("image/png", "not a png at all");
        QVERIFY(ImageImport::fromPasteboard(&garbage).isNull());
        QMimeData huge;
        huge.setData("image/png", Fixtures::pngClaiming(60000, 60000));
        QVERIFY(ImageImport::fromPasteboard(&huge).isNull());
    }

    void pasteboardReadsTheSystemClipboard()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setImage(Fixtures::solid(Qt::green, 12, 9));
        const QImage image = ImageImport::fromPasteboard(clipboard);
        QCOMPARE(image.size(), QSize(12, 9));
        clipboard->setText("no image now");
        QVERIFY(ImageImport::fromPasteboard(clipboard).isNull());
    }

    void dropsWithNothingUsableAreRefused()
    {
        Delivery delivery;
        QMimeData empty;
        QVERIFY(!ImageImport::load(&empty, this, delivery.completion()));
        QMimeData text;
        text.setText("words");
        QVERIFY(!ImageImport::load(&text, this, delivery.completion()));
        QMimeData web;
        web.setUrls({QUrl("https://example.org/a.png")});
        QVERIFY(!ImageImport::load(&web, this, delivery.completion()));
        QTest::qWait(50);
        QVERIFY(delivery.images.isEmpty());
    }

    void dropDeliversTheFirstFileOnceOnTheMainThread()
    {
        Delivery delivery;
        auto mime = filesDrop({m_red, m_blue});
        mime->setData("image/png", Fixtures::pngBytes(Fixtures::solid(Qt::green, 8, 8)));
        QVERIFY(ImageImport::load(mime.get(), this, delivery.completion()));
        mime.reset(); // the drop's data may go away once the drop returns
        QTRY_COMPARE(delivery.images.size(), 1);
        QCOMPARE(centreColor(delivery.images.first()), QColor(Qt::red));
        QCOMPARE(delivery.threads.first(), QThread::currentThread());
        QTest::qWait(50);
        QCOMPARE(delivery.images.size(), 1);
    }

    void refusedFilesAreAcceptedButDeliverNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("text file") << "notes.txt";
        QTest::newRow("claims 60000 x 60000") << "huge.png";
        QTest::newRow("missing file") << "gone.png";
    }
    void refusedFilesAreAcceptedButDeliverNothing()
    {
        QFETCH(QString, file);
        Delivery delivery;
        auto mime = filesDrop({m_sandbox.path(file)});
        QVERIFY(ImageImport::load(mime.get(), this, delivery.completion()));
        QTest::qWait(200);
        QVERIFY(delivery.images.isEmpty());
    }

    void nothingIsDeliveredToAContextThatIsGone()
    {
        Delivery delivery;
        auto context = std::make_unique<QObject>();
        auto mime = filesDrop({m_red});
        QVERIFY(ImageImport::load(mime.get(), context.get(), delivery.completion()));
        context.reset();
        QTest::qWait(200);
        QVERIFY(delivery.images.isEmpty());
    }
};

QTEST_MAIN(TestImageImport)
#include "test_imageimport.moc"
