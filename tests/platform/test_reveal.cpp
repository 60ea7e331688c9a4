// SPDX-License-Identifier: MIT
#include "platform/reveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <csignal>

// Stands in for the file manager's D-Bus service; a silent one takes calls and never answers.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QPair<QString, QStringList>> calls;
    bool silent = false;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { take(QStringLiteral("ShowItems"), uris); }
    void ShowFolders(const QStringList &uris, const QString &) { take(QStringLiteral("ShowFolders"), uris); }

private:
    void take(const QString &method, const QStringList &uris)
    {
        calls.append({method, uris});
        if (silent)
            setDelayedReply(true);
    }
};

// Both roads of revealing, on a private session bus of this test's own.
class TestReveal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void withoutFileManagerOpensTheFolder_data();
    void withoutFileManagerOpensTheFolder();
    void fileManagerIsAsked();
    void frozenBusAndSilentFileManagerDoNotHoldTheCaller();
    void nothingToShowItTellsTheCaller();

public slots:
    void opened(const QUrl &url) { m_opened << url; }

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QList<QUrl> m_opened;
};

void TestReveal::initTestCase()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("grabs"));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "opened");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        return;
    m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_bus.waitForReadyRead(5000));
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
}

void TestReveal::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        m_bus.waitForFinished(2000);
    }
}

void TestReveal::withoutFileManagerOpensTheFolder_data()
{
    QTest::addColumn<bool>("item");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");

    QTest::newRow("a folder opens itself") << false << "grabs" << "grabs";
    QTest::newRow("a file opens its folder") << true << "grabs/grab-1.png" << "grabs";
}

void TestReveal::withoutFileManagerOpensTheFolder()
{
    QFETCH(bool, item);
    QFETCH(QString, path);
    m_opened.clear();
    const QString full = m_dir.filePath(path);
    int failed = 0;
    const auto fail = [&failed] { ++failed; };
    item ? Reveal::showItem(full, fail) : Reveal::showFolder(full, fail);
    QTRY_COMPARE(m_opened.size(), 1);
    // A failure is told on a later turn of the event loop: one passes.
    bool turned = false;
    QMetaObject::invokeMethod(this, [&turned] { turned = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(turned);
    QCOMPARE(failed, 0);
    QTEST(QDir(m_dir.path()).relativeFilePath(m_opened.first().toLocalFile()), "folder");
}

void TestReveal::fileManagerIsAsked()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        QSKIP("no dbus-daemon to start a session bus");
    FakeFileManager manager;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    m_opened.clear();

    const QString file = m_dir.filePath(QStringLiteral("grabs/grab 1.png"));
    Reveal::showItem(file);
    Reveal::showFolder(m_dir.filePath(QStringLiteral("grabs")));
    QTRY_COMPARE(manager.calls.size(), 2);
    // Two calls without waiting for answers: the bus need not deliver them in order.
    auto calls = manager.calls;
    std::sort(calls.begin(), calls.end());
    QCOMPARE(calls.at(1), (QPair<QString, QStringList>{"ShowItems", {QUrl::fromLocalFile(file).toString()}}));
    QCOMPARE(calls.at(0).first, QStringLiteral("ShowFolders"));
    QCOMPARE(QUrl(calls.at(0).second.value(0)).toLocalFile(), m_dir.filePath(QStringLiteral("grabs")));
    QVERIFY(m_opened.isEmpty());
    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

// The bus daemon stops answering (a hung session), and the file manager takes the call but never
// replies: the caller goes on at once, and once the bus is back the file manager has the request
// and no second window (the folder) was opened beside it.
void TestReveal::frozenBusAndSilentFileManagerDoNotHoldTheCaller()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || m_bus.state() != QProcess::Running)
        QSKIP("no dbus-daemon to start a session bus");
    FakeFileManager manager;
    manager.silent = true;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    m_opened.clear();

    const QString file = m_dir.filePath(QStringLiteral("grabs/grab-2.png"));
    ::kill(pid_t(m_bus.processId()), SIGSTOP);
    Reveal::showItem(file);
    ::kill(pid_t(m_bus.processId()), SIGCONT);
    QVERIFY(m_opened.isEmpty());
    QTRY_COMPARE(manager.calls.size(), 1);
    QCOMPARE(manager.calls.first(), (QPair<QString, QStringList>{"ShowItems", {QUrl::fromLocalFile(file).toString()}}));
    QVERIFY(m_opened.isEmpty());
    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

// No file manager on the bus and nothing on the PATH to open folders with: the caller hears of it,
// on a later turn, once for each request.
void TestReveal::nothingToShowItTellsTheCaller()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.filePath(QStringLiteral("grabs"))));
    int failed = 0;
    Reveal::showItem(m_dir.filePath(QStringLiteral("grabs/grab-3.png")), [&failed] { ++failed; });
    Reveal::showFolder(m_dir.filePath(QStringLiteral("grabs")), [&failed] { ++failed; });
    QCOMPARE(failed, 0);
    QTRY_COMPARE(failed, 2);
    qputenv("PATH", path);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "opened");
}

KIWANO_TEST_MAIN(TestReveal)
#include "test_reveal.moc"
