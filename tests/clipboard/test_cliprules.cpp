// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"

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
        QTest::newRow("files") << Representations{{"text/uri-list", "# copied\nfile:///tmp/a.txt\r\nfile:///home/u/b%20c/\r\n"}}
                               << "a.txt, b c";
        QTest::newRow("files before text") << Representations{{plain, "/tmp/a.txt"}, {"text/uri-list", "file:///tmp/a.txt"}}
                                           << "a.txt";
        QTest::newRow("line feeds and tabs") << Representations{{plain, "  \n a\nb\tc\r\nd \t\n"}}
                                             << "a \u23CE b c \u23CE d";
        QTest::newRow("invalid utf-8") << Representations{{plain, "ok\xff"}} << "ok\uFFFD";
        QTest::newRow("rtf") << Representations{{"text/rtf", R"({\rtf1{\fonttbl\f0 Helvetica;}{\*\generator W;}\f0 Caf\'e9 \u9731? \b bold\b0\par next})"}}
                             << "Caf\u00E9 \u2603 bold \u23CE next";
        QTest::newRow("broken rtf falls to html") << Representations{{"text/rtf", "{\\rtf1 x}}"}, {"text/html", "<p>Hello</p>\n<p>World</p>"}}
                                                  << "Hello World";
        QTest::newRow("blank text is an image") << Representations{{plain, " "}, {"image/png", ClipFixture::png(1440, 900)}}
                                                << "Image 1440 \u00D7 900";
        QTest::newRow("undecodable image") << Representations{{"image/png", "garbage"}} << "Clipping";
        // An emoji with a skin tone is one character: never cut in half at 400.
        const QString emoji = QString("a").repeated(399) + "\U0001F44D\U0001F3FD" + "tail";
        QTest::newRow("400 characters") << Representations{{plain, emoji.toUtf8()}} << emoji.left(403);
    }
    void titles()
    {
        QFETCH(Representations, representations);
        std::optional<QByteArray> image;
        for (const Representation &r : representations)
            if (r.type == "image/png")
                image = r.data;
        QTEST(clipTitle(representations, image), "title");
    }

    // Whatever was copied, the title is short and not empty.
    void titlesStayShort_data()
    {
        QTest::addColumn<Representations>("representations");
        QByteArray names;
        for (int i = 0; i < 100000; ++i)
            names += "file:///home/user/photos/holiday-" + QByteArray::number(i) + ".jpg\r\n";
        QTest::newRow("100,000 file names") << Representations{{"text/uri-list", names}};
        QTest::newRow("one huge file name") << Representations{{"text/uri-list", "file:///" + QByteArray(200000, 'n')}};
        QTest::newRow("one letter under 100,000 accents")
            << Representations{{"text/plain", "e" + QString(100000, QChar(0x0301)).toUtf8()}};
    }
    void titlesStayShort()
    {
        QFETCH(Representations, representations);
        const QString title = clipTitle(representations, std::nullopt);
        QVERIFY2(!title.isEmpty() && title.size() <= 1600, qPrintable(QString::number(title.size())));
    }

    void readOrder_data()
    {
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("read");
        QTest::newRow("styled text") << QStringList{"text/html", "UTF8_STRING", "text/plain", "text/rtf", "TEXT"}
                                     << QStringList{"text/plain", "text/rtf", "text/html"};
        QTest::newRow("tiff beside png is never read") << QStringList{"image/tiff", "image/png", "image/bmp"}
                                                       << QStringList{"image/png"};
        QTest::newRow("tiff alone") << QStringList{"image/tiff"} << QStringList{"image/tiff"};
        QTest::newRow("password hint first") << QStringList{"text/plain", "x-kde-passwordManagerHint"}
                                             << QStringList{"x-kde-passwordManagerHint", "text/plain"};
        QTest::newRow("concealed: nothing") << QStringList{"text/plain", "org.nspasteboard.ConcealedType"}
                                            << QStringList{};
    }
    void readOrder()
    {
        QFETCH(QStringList, offered);
        QTEST(ClipRules::readOrder(offered), "read");
    }

    void captureFollowsTheStoredOrder()
    {
        // Listed types whose owner gives nothing are left out.
        const auto someNothing = [](const QString &type) {
            return type == "text/html" ? std::nullopt : std::optional(type.toUtf8());
        };
        QCOMPARE(ClipRules::capture({"image/png", "text/html", "text/plain", "image/bmp"}, someNothing),
                 (Representations{{"text/plain", "text/plain"}, {"image/png", "image/png"}}));

        // Text named only by its X11 target is still text; beside a MIME name it is a duplicate.
        const auto bytes = [](const QString &type) { return std::optional(type.toUtf8()); };
        QCOMPARE(ClipRules::capture({"UTF8_STRING", "text/plain"}, bytes), (Representations{{"text/plain", "text/plain"}}));

        // Past the cap nothing more is read; the copy will be refused whole.
        QStringList read;
        const auto huge = [&](const QString &type) {
            read.append(type);
            return std::optional(QByteArray(type == "text/plain" ? ClipRules::sizeCap + 1 : 1, 'h'));
        };
        QCOMPARE(ClipRules::capture({"text/plain", "text/html", "image/png"}, huge).size(), 1);
        QCOMPARE(read, QStringList{"text/plain"});
    }
};

KIWANO_TEST_MAIN(TestClipRules)
#include "test_cliprules.moc"
