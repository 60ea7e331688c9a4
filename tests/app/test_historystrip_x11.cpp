// SPDX-License-Identifier: MIT
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "app/appfixture.h"
#include "app/historystrip.h"
#include "app/stripview.h"
#include "capture/appstate.h"

// The strip under a window manager, with keys typed through the X server.
class TestHistoryStripX11 : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void theMenuKeyOpensTheSelectedGrabsMenu()
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is needed to type through the X server");
        AppFixture::writeGrabs(3);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        state.setSelected(entries.at(1).url);
        HistoryStrip strip(&state);
        strip.resize(900, HistoryStrip::height);
        strip.show();
        QVERIFY(QTest::qWaitForWindowActive(&strip));
        strip.view()->setFocus();
        QTRY_VERIFY(strip.view()->hasFocus());

        QCOMPARE(QProcess::execute("xdotool", {"key", "Right", "Menu"}), 0);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QCOMPARE(menu->actions().size(), 2);
        // It acts on the grab that Right selected.
        QCOMPARE(state.selected(), entries.at(2).url);
        menu->actions().at(1)->trigger();
        menu->close();
        QCOMPARE(state.entries().size(), 2);
        QVERIFY(!QFile::exists(entries.at(2).path()));
        QCOMPARE(state.selected(), entries.at(1).url);
    }
};

KIWANO_TEST_MAIN(TestHistoryStripX11)
#include "test_historystrip_x11.moc"
