// SPDX-License-Identifier: MIT
// The clipboard through Qt on a native Wayland connection, where the compositor offers no
// data-control to us: copies reach us while our window has the focus, and our writes reach others.
#include "platform/wayland/whileactiveclipboardservice.h"
#include "platform/waylandsession.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRasterWindow>
#include <QTest>

namespace {

// Counts the keys typed into it.
class KeyWindow : public QRasterWindow
{
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { ++keys; }
};

} // namespace

class TestWhileActiveClipboard : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesWhileOurWindowIsActive()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QCOMPARE(QGuiApplication::platformName(), "wayland");
        WhileActiveClipboardService service;
        // The test compositor has no keyboard of its own: a virtual one, there before our window
        // is, types a key into it a little later.
        QProcess type;
        type.setProcessEnvironment(WaylandSession::environment());
        type.start("wtype", {"-s", "1500", "k"});
        QVERIFY(type.waitForStarted());
        QTRY_VERIFY([] {
            QByteArray inputs;
            return WaylandSession::swaymsg({"-t", "get_inputs"}, &inputs) && inputs.contains("virtual_keyboard");
        }());
        KeyWindow window;
        window.resize(200, 100);
        window.show();
        QTRY_VERIFY(window.isActive());

        const qint64 before = service.changeCount();
        QProcess copy;
        copy.setProcessEnvironment(WaylandSession::environment());
        copy.start("wl-copy", {"--foreground", "seen while active"});
        QTRY_VERIFY(service.changeCount() > before);
        QVERIFY(service.types().contains("text/plain"));
        QCOMPARE(service.data("text/plain").value_or("nothing"), "seen while active");
        copy.kill();
        copy.waitForFinished();

        // Wayland takes the clipboard only from a client the user just touched: a key typed into
        // our window, as when the user picks an entry.
        QTRY_VERIFY(window.keys > 0);
        service.write({{"text/plain", "written back"}, {"local.kiwano-snapper.clip", QByteArray()}});
        QProcess paste;
        paste.setProcessEnvironment(WaylandSession::environment());
        paste.start("wl-paste", {"--no-newline", "--type", "text/plain"});
        // Qt answers on this thread: let it run while the other client reads.
        QTRY_VERIFY(paste.state() == QProcess::NotRunning);
        QCOMPARE(paste.readAllStandardOutput(), "written back");
    }
};

KIWANO_TEST_OWN_MAIN(int argc, char **argv)
{
    // Qt itself on the test compositor, natively.
    if (WaylandSession::skipReason().isEmpty()) {
        const QByteArray display = WaylandSession::display();
        qputenv("QT_QPA_PLATFORM", "wayland");
        qputenv("WAYLAND_DISPLAY", display);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QFileInfo(QString::fromLocal8Bit(display)).absolutePath()));
    }
    QGuiApplication app(argc, argv);
    TestWhileActiveClipboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_whileactiveclipboard.moc"
