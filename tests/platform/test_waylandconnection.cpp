// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandconnection.h"
#include "platform/waylandsession.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

// Our own connection to the compositor: what it reads of the test compositor, and that a missing
// or silent compositor costs no more than the deadline.
class TestWaylandConnection : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatTheCompositorOffers();
    void missingOrSilentCompositorIsNothing();
};

void TestWaylandConnection::readsWhatTheCompositorOffers()
{
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const auto connection = WaylandConnection::open(WaylandSession::display());
    QVERIFY(connection);
    QVERIFY(connection->has("wl_seat"));
    QVERIFY(connection->has("wl_output"));
    QVERIFY(connection->roundtrip(1000));

    const WaylandConnection::Offers offered = WaylandConnection::offers(WaylandSession::display(), 500);
    QVERIFY(offered.screencopy);
    QVERIFY(offered.dataControl);
    QVERIFY(offered.virtualKeyboard);
}

void TestWaylandConnection::missingOrSilentCompositorIsNothing()
{
    QTemporaryDir dir;
    QVERIFY(!WaylandConnection::open(dir.filePath("nobody-here").toLocal8Bit(), 200));

    // A socket that takes the connection and never answers: the deadline ends the wait.
    QLocalServer silent;
    QVERIFY(silent.listen(dir.filePath("silent")));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!WaylandConnection::offers(dir.filePath("silent").toLocal8Bit(), 200).dataControl);
    QVERIFY2(clock.elapsed() < 2000, "a silent compositor held the probe far past its deadline");
}

KIWANO_TEST_GUILESS_MAIN(TestWaylandConnection)
#include "test_waylandconnection.moc"
