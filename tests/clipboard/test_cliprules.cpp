// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "clipboard/rtftext.h"

#include <QTest>

using Representations = QList<Representation>;
Q_DECLARE_METATYPE(Representations)

class TestClipRules : public QObject
{
    Q_OBJECT
private slots:
    void titles_data()
    {
        QTest::addColumn<Representations>("representations");
        QTest::addColumn<QString>("title");
        const QString plain = "text/plain";
        QTest::newRow("files") << Representations{{"text/uri-list", "file:///tmp/a.txt\r\nfile:///home/u/b%20c.pdf\r\n"}}
                               << "a.txt, b c.pdf";
        QTest::newRow("folder and comment") << Representations{{"text/uri-list", "# copied\nfile:///home/u/Docs/\n"}}
                                            << "Docs";
        QTest::newRow("files before text") << Representations{{plain, "/tmp/a.txt"}, {"text/uri-list", "file:///tmp/a.txt"}}
                                           << "a.txt";
        QTest::newRow("unparsable uri falls to text") << Representations{{plain, "words"}, {"text/uri-list", "::"}}
                                                      << "words";
        QTest::newRow("trimmed text") << Representations{{plain, "  \n hello \t\n"}} << "hello";
        QTest::newRow("line feeds and tabs") << Representations{{plain, "a\nb\tc\r\nd"}}
                                             << "a \u23CE b c \u23CE d";
        QTest::newRow("plain before html") << Representations{{plain, "plain"}, {"text/html", "<b>html</b>"}} << "plain";
        QTest::newRow("invalid utf-8") << Representations{{plain, "ok\xff"}} << "ok\uFFFD";
        QTest::newRow("rtf") << Representations{{"text/rtf", R"({\rtf1\ansi{\fonttbl\f0 Helvetica;}\f0 Caf\'e9 \b bold\b0\par next})"}}
                             << "Caf\u00E9 bold \u23CE next";
        QTest::newRow("rtf unicode") << Representations{{"application/rtf", R"({\rtf1\uc1 snow \u9731? man})"}}
                                     << "snow \u2603 man";
        QTest::newRow("broken rtf falls to html") << Representations{{"text/rtf", "not rtf"}, {"text/html", "<p>h</p>"}} << "h";
        QTest::newRow("html") << Representations{{"text/html", "<p>Hello</p>\n<p>World</p>"}} << "Hello World";
        QTest::newRow("blank text is an image") << Representations{{plain, " "}, {"image/png", ClipFixture::png(1440, 900)}}
                                                << "Image 1440 \u00D7 900";
        QTest::newRow("blank text does not try html") << Representations{{plain, " "}, {"text/html", "<p>x</p>"}}
                                                      << "Clipping";
        QTest::newRow("undecodable image") << Representations{{"image/png", "garbage"}} << "Clipping";
    }
    void titles()
    {
        QFETCH(Representations, representations);
        QFETCH(QString, title);
        std::optional<QByteArray> image;
        for (const Representation &r : representations)
            if (r.type == "image/png")
                image = r.data;
        QCOMPARE(clipTitle(representations, image), title);
    }

    void titleKeepsFourHundredCharacters()
    {
        QString text;
        for (int i = 0; i < 100; ++i)
            text += QString("line%1\n").arg(i % 10); // 6 characters a line
        const QString title = clipTitle({{"text/plain", text.toUtf8()}}, std::nullopt);
        QCOMPARE(title, text.left(400).replace("\n", " \u23CE "));

        // An emoji with a skin tone is one character: never cut in half.
        const QString emoji = QString("a").repeated(399) + "\U0001F44D\U0001F3FD" + "tail";
        QCOMPARE(clipTitle({{"text/plain", emoji.toUtf8()}}, std::nullopt), emoji.left(403));
    }

    void rtfHidesTablesAndDestinations()
    {
        const QByteArray rtf = R"({\rtf1{\colortbl;\red0\green0\blue0;}{\*\generator Writer;}{\info{\title T}}Body\tab x\{y\}\line z})";
        QCOMPARE(rtfPlainText(rtf), QString("Body\tx{y}\nz"));
        QCOMPARE(rtfPlainText("{\\rtf1 unbalanced}}"), std::nullopt);
        QCOMPARE(rtfPlainText("plain"), std::nullopt);
    }

    void privateCopies_data()
    {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QByteArray>("hint");
        QTest::addColumn<bool>("isPrivate");
        QTest::newRow("ordinary") << QStringList{"text/plain"} << QByteArray() << false;
        QTest::newRow("concealed") << QStringList{"text/plain", "org.nspasteboard.ConcealedType"} << QByteArray() << true;
        QTest::newRow("hint secret") << QStringList{"text/plain", "x-kde-passwordManagerHint"} << QByteArray("secret") << true;
        QTest::newRow("hint public") << QStringList{"text/plain", "x-kde-passwordManagerHint"} << QByteArray("public") << false;
        QTest::newRow("hint unreadable") << QStringList{"x-kde-passwordManagerHint"} << QByteArray("<none>") << true;
        QTest::newRow("case matters") << QStringList{"org.nspasteboard.concealedtype"} << QByteArray() << false;
    }
    void privateCopies()
    {
        QFETCH(QStringList, types);
        QFETCH(QByteArray, hint);
        QFETCH(bool, isPrivate);
        int asked = 0;
        const auto value = [&]() -> std::optional<QByteArray> {
            ++asked;
            return hint == "<none>" ? std::nullopt : std::optional(hint);
        };
        QCOMPARE(ClipRules::isPrivate(types, value), isPrivate);
        QCOMPARE(asked, types.contains("x-kde-passwordManagerHint") ? 1 : 0);
    }

    void captureFollowsTheStoredOrder()
    {
        const QStringList offered{"TEXT", "image/png", "text/html", "x-special/gnome-copied-files",
                                  "text/plain;charset=utf-8", "text/plain", "application/x-qt-image", "image/bmp"};
        QStringList asked;
        const auto representations = ClipRules::capture(offered, [&](const QString &type) -> std::optional<QByteArray> {
            asked.append(type);
            if (type == "text/html")
                return std::nullopt; // listed, but its owner gave nothing
            return type.toUtf8();
        });
        QCOMPARE(asked, (QStringList{"text/plain", "text/plain;charset=utf-8", "text/html", "image/png"}));
        QCOMPARE(representations, (Representations{{"text/plain", "text/plain"},
                                                   {"text/plain;charset=utf-8", "text/plain;charset=utf-8"},
                                                   {"image/png", "image/png"}}));

        // Text named only by its X11 target is still text; beside a MIME name it is a duplicate.
        const auto bytes = [](const QString &type) { return std::optional(type.toUtf8()); };
        QCOMPARE(ClipRules::capture({"UTF8_STRING", "STRING"}, bytes), (Representations{{"UTF8_STRING", "UTF8_STRING"}}));
        QCOMPARE(ClipRules::capture({"UTF8_STRING", "text/plain"}, bytes), (Representations{{"text/plain", "text/plain"}}));
        QVERIFY(ClipRules::hasStoredType({"TARGETS", "UTF8_STRING"}));

        // Past the cap nothing more is read; the copy will be refused whole.
        QStringList read;
        const auto huge = [&](const QString &type) {
            read.append(type);
            return std::optional(QByteArray(type == "text/plain" ? ClipRules::sizeCap + 1 : 1, 'h'));
        };
        QCOMPARE(ClipRules::capture({"text/plain", "text/html", "image/png"}, huge).size(), 1);
        QCOMPARE(read, QStringList{"text/plain"});
        QVERIFY(!ClipRules::hasStoredType({"TARGETS", "STRING", "image/bmp"}));
    }

    void tiffBecomesPng()
    {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QByteArray tiff = ClipFixture::encoded(image, "tiff");
        const Representations converted = ClipRules::replaceTiff({{"text/plain", "t"}, {"image/tiff", tiff}});
        QCOMPARE(converted.size(), 2);
        QCOMPARE(converted.at(1).type, "image/png");
        QCOMPARE(QImage::fromData(converted.at(1).data, "PNG").convertToFormat(QImage::Format_RGB32), image);

        const QByteArray png = ClipFixture::png(2, 2);
        QCOMPARE(ClipRules::replaceTiff({{"image/png", png}, {"image/tiff", tiff}}), (Representations{{"image/png", png}}));
        QCOMPARE(ClipRules::replaceTiff({{"image/tiff", "broken"}}), Representations{});
    }

};

QTEST_MAIN(TestClipRules)
#include "test_cliprules.moc"
