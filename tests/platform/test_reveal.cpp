// SPDX-License-Identifier: MIT
#include "platform/reveal.h"
#include "privatebus.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <algorithm>
#include <csignal>

// Stands in for the file manager's D-Bus service while it lives; a silent one takes calls and
// never answers.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    explicit FakeFileManager(bool silent) : m_silent(silent)
    {
        bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), this, QDBusConnection::ExportAllSlots);
        registered = bus.registerService(QStringLiteral("org.freedesktop.FileManager1"));
    }
    ~FakeFileManager() override { bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1")); }
    QDBusConnection bus = QDBusConnection::sessionBus();
    bool registered = false;
    QList<QPair<QString, QStringList>> calls;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { calls.append({"ShowItems", uris}), setDelayedReply(m_silent); }
    void ShowFolders(const QStringList &uris, const QString &) { calls.append({"ShowFolders", uris}), setDelayedReply(m_silent); }

private:
    bool m_silent;
};

// Both roads of revealing, on a private session bus of this test's own.
class TestReveal : public QObject
{
    Q_OBJECT

public slots:
    void opened(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("grabs"));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "opened");
        m_hasBus = m_bus.start() && QDBusConnection::sessionBus().isConnected();
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_opened.clear(); }

    // Without a file manager a file opens its folder; with nothing to open folders either, the
    // caller hears of it, on a later turn, once for each request.
    void withoutFileManagerTheFolderOpens()
    {
        int failed = 0;
        const auto fail = [&failed] { ++failed; };
        const QString grabs = m_dir.filePath("grabs");
        Reveal::showItem(grabs + "/grab-1.png", fail);
        Reveal::showFolder(grabs, fail);
        QTRY_COMPARE(m_opened, (QList<QUrl>{QUrl::fromLocalFile(grabs), QUrl::fromLocalFile(grabs)}));

        QDesktopServices::unsetUrlHandler("file");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(grabs));
        Reveal::showItem(grabs + "/grab-3.png", fail);
        Reveal::showFolder(grabs, fail);
        QCOMPARE(failed, 0);
        QTRY_COMPARE(failed, 2);
        qputenv("PATH", path);
        QDesktopServices::setUrlHandler("file", this, "opened");
    }

    void fileManagerIsAsked()
    {
        if (!m_hasBus)
            QSKIP("no dbus-daemon to start a session bus");
        FakeFileManager manager(false);
        QVERIFY(manager.registered);
        const QString file = m_dir.filePath(QStringLiteral("grabs/grab 1.png"));
        Reveal::showItem(file);
        Reveal::showFolder(m_dir.filePath(QStringLiteral("grabs")));
        QTRY_COMPARE(manager.calls.size(), 2);
        // Two calls without waiting for answers: the bus need not deliver them in order.
        std::sort(manager.calls.begin(), manager.calls.end());
        QCOMPARE(manager.calls.at(1), (QPair<QString, QStringList>{"ShowItems", {QUrl::fromLocalFile(file).toString()}}));
        QCOMPARE(manager.calls.at(0).first, QStringLiteral("ShowFolders"));
        QCOMPARE(QUrl(manager.calls.at(0).second.value(0)).toLocalFile(), m_dir.filePath(QStringLiteral("grabs")));
        QVERIFY(m_opened.isEmpty());
    }

    // The bus daemon stops answering (a hung session), and the file manager takes the call but
    // never replies: the caller goes on at once, and once the bus is back the file manager has the
    // request and no second window (the folder) was opened beside it.
    void frozenBusAndSilentFileManagerDoNotHoldTheCaller()
    {
        if (!m_hasBus)
            QSKIP("no dbus-daemon to start a session bus");
        FakeFileManager manager(true);
        QVERIFY(manager.registered);
        const QString file = m_dir.filePath(QStringLiteral("grabs/grab-2.png"));
        ::kill(pid_t(m_bus.pid()), SIGSTOP);
        Reveal::showItem(file);
        ::kill(pid_t(m_bus.pid()), SIGCONT);
        QTRY_COMPARE(manager.calls, (QList<QPair<QString, QStringList>>{{"ShowItems", {QUrl::fromLocalFile(file).toString()}}}));
        QVERIFY(m_opened.isEmpty());
    }

private:
    QTemporaryDir m_dir;
    PrivateBus m_bus;
    bool m_hasBus = false;
    QList<QUrl> m_opened;
};

KIWANO_TEST_MAIN(TestReveal)
#include "test_reveal.moc"
