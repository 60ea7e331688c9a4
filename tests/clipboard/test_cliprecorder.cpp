// SPDX-License-Identifier: MIT
#include "clipfixture.h"
#include "clipboard/cliprules.h"
#include "fakes/fakeclipboardwatcher.h"

using Items = QList<Item>;
Q_DECLARE_METATYPE(Items)

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
        QFETCH(QString, atChange);
        QFETCH(QString, onceRead);
        QFETCH(bool, stopFirst);
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
        QTest::newRow("copy-back passes ignoreNext") << Items{text, marker} << false << true << "" << true << true << true;
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
        QFETCH(Items, offered);
        QFETCH(bool, paused);
        QFETCH(bool, ignoreNext);
        QFETCH(QString, front);
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

    // The history's own write comes back as a copy: it merges into its entry without an
    // application, passes ignoreNext, and is refused while paused.
    void copyBackMergesOnTheNextPoll()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("old");
        f.copyText("newer");
        clipboard.setIgnoreNext(true);
        f.front.id = "org.gnome.TextEditor";
        clipboard.copy(f.items().last());
        f.now = f.now.addSecs(10);
        clipboard.check();
        QCOMPARE(f.titles(), (QStringList{"old", "newer"}));
        QCOMPARE(f.items().first().copies, 2);
        QCOMPARE(f.items().first().lastCopied, f.now);
        QCOMPARE(f.items().first().app, std::nullopt);
        QVERIFY(clipboard.ignoreNext());

        clipboard.setPaused(true);
        clipboard.copy(f.items().last());
        clipboard.check();
        QCOMPARE(f.board.written.size(), 2);
        QCOMPARE(f.items().last().copies, 1);
    }
};

KIWANO_TEST_MAIN(TestClipRecorder)
#include "test_cliprecorder.moc"
