// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>

#include <cmath>

// Linking kiwano_resources alone must be enough to see the files.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void fontIsATrueTypeFile()
    {
        QFile font(QStringLiteral(":/Fonts/Minecraft.ttf"));
        QVERIFY(font.open(QIODevice::ReadOnly));
        const QByteArray head = font.read(4);
        QVERIFY(head == QByteArray("\x00\x01\x00\x00", 4) || head == "true" || head == "OTTO");
        QVERIFY(font.size() > 10000);
    }

    void everyIconIsAnSvgOnTheSameGrid()
    {
        const QStringList icons = QDir(QStringLiteral(":/Icons")).entryList(QDir::Files);
        QVERIFY(icons.size() >= 37);
        for (const QString &file : icons) {
            QVERIFY2(file.endsWith(QLatin1String(".svg")), qPrintable(file));
            QSvgRenderer renderer(QStringLiteral(":/Icons/") + file);
            QVERIFY2(renderer.isValid(), qPrintable(file));
            QCOMPARE(renderer.viewBox(), QRect(0, 0, 24, 24));
        }
    }

    void mascotIsCrispPixelArtOnTransparency()
    {
        QImage mascot(QStringLiteral(":/Images/zog-kiwano.png"));
        QVERIFY(!mascot.isNull());
        QVERIFY(mascot.hasAlphaChannel());
        QCOMPARE(mascot.size(), QSize(256, 256));
        const int last = mascot.width() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(mascot.pixel(corner)), 0);
        // Scaled up from its grid without smoothing: every 8 by 8 block is one colour.
        int opaque = 0;
        for (int y = 0; y < mascot.height(); ++y) {
            for (int x = 0; x < mascot.width(); ++x) {
                const QRgb pixel = mascot.pixel(x, y);
                QCOMPARE(pixel, mascot.pixel(x / 8 * 8, y / 8 * 8));
                QVERIFY(qAlpha(pixel) == 0 || qAlpha(pixel) == 255);
                opaque += qAlpha(pixel) == 255;
            }
        }
        QVERIFY(opaque > mascot.width() * mascot.height() / 3);
    }

    void trayIconIsOneColour()
    {
        QImage tray(QStringLiteral(":/Images/kiwano-menubar.png"));
        QVERIFY(!tray.isNull());
        QSet<QRgb> inks;
        for (int y = 0; y < tray.height(); ++y)
            for (int x = 0; x < tray.width(); ++x)
                if (qAlpha(tray.pixel(x, y)) > 0)
                    inks.insert(tray.pixel(x, y));
        QCOMPARE(inks.size(), 1);
        QVERIFY(QSvgRenderer(QStringLiteral(":/Images/kiwano-menubar.svg")).isValid());
    }

    void quotesAreRecordsWithIdQuoteAndOptionalSetup()
    {
        QFile file(QStringLiteral(":/zog-quotes.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(doc.isArray());
        const QJsonArray quotes = doc.array();
        QVERIFY(quotes.size() >= 40);

        QSet<qint64> ids;
        int withSetup = 0;
        for (const QJsonValue &value : quotes) {
            QVERIFY(value.isObject());
            const QJsonObject record = value.toObject();
            const QJsonValue id = record.value(QLatin1String("id"));
            QVERIFY(id.isDouble());
            QCOMPARE(std::floor(id.toDouble()), id.toDouble());
            QVERIFY2(!ids.contains(id.toInteger()), "ids are unique");
            ids.insert(id.toInteger());

            const QJsonValue quote = record.value(QLatin1String("quote"));
            QVERIFY(quote.isString());
            QVERIFY(!quote.toString().trimmed().isEmpty());

            const QJsonValue setup = record.value(QLatin1String("setup"));
            if (setup.isUndefined())
                continue;
            QVERIFY(setup.isString());
            ++withSetup;
            // Lines are split at " / " and shown untrimmed, so none may come out blank.
            for (const QString &line : setup.toString().split(QStringLiteral(" / ")))
                QVERIFY2(!line.trimmed().isEmpty(), qPrintable(setup.toString()));
        }
        QVERIFY(withSetup >= 5);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
