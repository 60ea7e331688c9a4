// SPDX-License-Identifier: MIT
// The recorder: what is read of a copy, the rules that take or refuse it, and its title.
#include "clipfixture.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "fakes/fakeclipboardwatcher.h"

using Items = QList<Item>;
using Representations = QList<Representation>;

namespace {

const Item text{"text/plain", "hello"};
const Item marker{"local.kiwano-snapper.clip", ""};

} // namespace

class TestClipRecorder : public QObject
{
    Q_OBJECT
private slots:
    void onlyCopiesMadeWhilePollingAreRecorded()
    {
        ClipFixture f;
        f.board.offer({text});
        Clipboard &clipboard = f.open();
        clipboard.start();
        clipboard.check();
        QVERIFY(f.items().isEmpty());

        clipboard.stop();
        f.board.offer({{"text/plain", "while stopped"}});
        clipboard.start();
        clipboard.check();
        QVERIFY(f.items().isEmpty());

        f.board.offer({{"text/plain", "polled"}});
        QTRY_COMPARE_WITH_TIMEOUT(f.titles(), QStringList{"polled"}, 2000);
        f.board.reads.clear();
        clipboard.check(); // the same change is looked at once
        QVERIFY(f.board.reads.isEmpty());
    }

    void watchedCopiesAreJudgedAtTheirChange_data()
    {
        QTest::addColumn<QString>("atChange");
        QTest::addColumn<QString>("onceRead");
        QTest::addColumn<bool>("stopFirst");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("app");
        const QString editor = "org.gnome.TextEditor", passwords = "org.keepassxc.keepassxc";
        QTest::newRow("copied in an editor") << editor << passwords << false << QStringList{"hello"} << editor;
        QTest::newRow("copied in a password manager") << passwords << editor << false << QStringList{} << "";
        QTest::newRow("read after stop") << editor << editor << true << QStringList{} << "";
    }
    void watchedCopiesAreJudgedAtTheirChange()
    {
        QFETCH(QString, atChange); QFETCH(QString, onceRead); QFETCH(bool, stopFirst);
        ClipFixture f;
        FakeClipboardWatcher watcher;
        f.board.watcherToUse = &watcher;
        Clipboard &clipboard = f.open();
        clipboard.start();
        QVERIFY(watcher.isRunning());
        QVERIFY(!clipboard.isPolling());
        QCOMPARE(watcher.byteLimit, ClipRules::sizeCap);

        f.front.id = atChange;
        watcher.copy({text, {"image/bmp", "BM"}}, [&] {
            f.front.id = onceRead;
            if (stopFirst)
                clipboard.stop();
        });
        clipboard.finishPendingCopies();
        QTEST(f.titles(), "titles");
        QTEST(f.items().value(0).app.value_or(""), "app");
        // While the watcher reads, a poll on this thread would only read the same copy again.
        f.board.offer({{"text/plain", "polled"}});
        clipboard.check();
        QCOMPARE(f.board.reads.isEmpty(), !stopFirst);
    }

    void rulesApplyInOrder_data()
    {
        QTest::addColumn<Items>("offered");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("ignoreNext");
        QTest::addColumn<QString>("front");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<bool>("ignoreNextAfter");
        QTest::addColumn<bool>("contentRead");

        const Item concealed{"org.nspasteboard.ConcealedType", ""};
        const Item secretHint{"x-kde-passwordManagerHint", "secret"};
        const Item bmp{"image/bmp", "BM"};
        QTest::newRow("ordinary") << Items{text} << false << false << "org.gnome.TextEditor" << true << false << true;
        QTest::newRow("concealed keeps ignoreNext") << Items{text, concealed} << false << true << "" << false << true << false;
        QTest::newRow("secret hint") << Items{text, secretHint} << false << false << "" << false << false << false;
        QTest::newRow("nothing storable keeps ignoreNext") << Items{bmp} << false << true << "" << false << true << false;
        QTest::newRow("paused keeps ignoreNext") << Items{text} << true << true << "" << false << true << false;
        QTest::newRow("ignoreNext consumed") << Items{text} << false << true << "" << false << false << false;
        QTest::newRow("copy-back passes ignoreNext") << Items{text, marker} << false << true << "org.gnome.TextEditor" << true << true << true;
        QTest::newRow("ignoreNext before password manager") << Items{text} << false << true << "KeePassXC" << false << false << false;
        QTest::newRow("user-ignored app") << Items{text} << false << false << "firefox" << false << false << false;
        QTest::newRow("user list is exact") << Items{text} << false << false << "Firefox" << true << false << true;
        QTest::newRow("blank text") << Items{{"text/plain", " \n "}} << false << false << "" << false << false << true;
        QTest::newRow("blank text with image") << Items{{"text/plain", ""}, {"image/png", ClipFixture::png(4, 4)}}
                                               << false << false << "" << true << false << true;
        QTest::newRow("exactly 30 MiB") << Items{{"text/plain", QByteArray(30 << 20, 'x')}}
                                        << false << false << "" << true << false << true;
        QTest::newRow("40 MiB") << Items{{"text/plain", QByteArray(40 << 20, 'x')}} << false << false << "" << false << false << true;
    }
    void rulesApplyInOrder()
    {
        QFETCH(Items, offered); QFETCH(bool, paused); QFETCH(bool, ignoreNext); QFETCH(QString, front);
        QFETCH(bool, recorded);
        ClipFixture f;
        Clipboard &clipboard = f.open();
        clipboard.setUserIgnoredApps({"firefox"});
        clipboard.setPaused(paused);
        clipboard.setIgnoreNext(ignoreNext);
        f.front.id = front;

        f.copy(offered);
        QCOMPARE(f.items().size(), recorded ? 1 : 0);
        QTEST(clipboard.ignoreNext(), "ignoreNextAfter");
        // Nothing of a refused copy is read before the rules that need no content have passed.
        QTEST(f.board.reads.contains("text/plain"), "contentRead");
        if (recorded) {
            const bool fromHistory = offered.last().type == marker.type;
            QCOMPARE(f.items().first().app, front.isEmpty() || fromHistory ? std::nullopt : std::optional(front));
        }
    }

    // The history's own write comes back as a copy: it merges into its entry (the rules above let
    // it pass ignoreNext, without an application), and is refused while paused.
    void copyBackMergesOnTheNextPoll()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("old");
        f.copyText("newer");
        clipboard.copy(f.items().last());
        f.now = f.now.addSecs(10);
        clipboard.check();
        QCOMPARE(f.titles(), (QStringList{"old", "newer"}));
        QCOMPARE(f.items().first().copies, 2);
        QCOMPARE(f.items().first().lastCopied, f.now);
        clipboard.setPaused(true);
        clipboard.copy(f.items().last());
        clipboard.check();
        QCOMPARE(f.board.written.size(), 2);
        QCOMPARE(f.items().last().copies, 1);
    }

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

KIWANO_TEST_MAIN(TestClipRecorder)
#include "test_cliprecorder.moc"
