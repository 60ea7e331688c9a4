// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>

#include <unistd.h>

#include "editor/model/exportqueue.h"
#include "editor/model/imageimport.h"
#include "editor/model/savelocation.h"
#include "fixtures.h"

namespace {

// Permissions do not bind root; an immutable folder does.
bool setLocked(const QString &dir, bool locked)
{
    if (geteuid() == 0)
        return QProcess::execute("chattr", {locked ? "+i" : "-i", dir}) == 0;
    return QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner |
                                          (locked ? QFile::Permissions() : QFile::WriteOwner));
}

} // namespace

class TestEditorExport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Fixtures::Sandbox> m_sandbox;
    std::optional<QString> m_answer;
    QList<std::pair<QString, QString>> m_asked;

    std::unique_ptr<EditorModel> documentWithABox()
    {
        auto model = Fixtures::model(120, 80, 2);
        Fixtures::box(*model, QRectF(10, 10, 30, 30));
        model->setSaveDialog([this](const QString &folder, const QString &name) {
            m_asked.append({folder, name});
            return m_answer;
        });
        return model;
    }

    QString folder(const QString &name)
    {
        QDir().mkpath(m_sandbox->path(name));
        return m_sandbox->path(name);
    }
    // Saves go straight into that folder, without a dialog.
    QString quickSaves(const QString &name)
    {
        SaveLocation::setFolder(folder(name));
        SaveLocation::setAskEachTime(false);
        return folder(name);
    }

private slots:
    void init() { m_sandbox = std::make_unique<Fixtures::Sandbox>(), m_answer.reset(), m_asked.clear(); }

    // Also from two grabs whose editors share the queue.
    void quickSavesWithinOneSecondAreNumbered()
    {
        const QString dir = quickSaves("Screens");
        ExportQueue queue;
        auto model = documentWithABox();
        auto other = documentWithABox();
        model->setExportQueue(&queue);
        other->setExportQueue(&queue);
        while (QTime::currentTime().msec() > 100) // three saves within one second
            QTest::qSleep(20);
        const QString stem = "Kiwano " +
            QDateTime::currentDateTime().toString("yyyy-MM-dd 'at' HH.mm.ss");
        const QImage asked = model->flatten();
        model->save();
        other->save();
        model->save();
        // Edits after the command are not part of what it saves.
        Fixtures::box(*model, QRectF(50, 10, 30, 30));
        QVERIFY(m_asked.isEmpty());
        const QStringList names{stem + " 2.png", stem + " 3.png", stem + ".png"};
        QTRY_COMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), names);
        QTRY_VERIFY(model->toast().value_or("").startsWith("Saved " + stem));
        for (const QString &name : names)
            QCOMPARE(ImageImport::decodeFile(dir + "/" + name), asked);
    }

    void aDeletedFolderFallsBackToTheDialogWhichMayBeCancelled()
    {
        const QString gone = quickSaves("gone");
        QVERIFY(QDir(gone).removeRecursively());
        auto model = documentWithABox();
        QSignalSpy notices(model.get(), &EditorModel::toastChanged);
        model->save(); // cancelled
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.first().first, gone);
        QVERIFY(!model->toast());
        QCOMPARE(SaveLocation::folder(), gone);

        m_answer = folder("Picked") + "/mine.png";
        model->save();
        QCOMPARE(SaveLocation::folder(), m_sandbox->path("Picked"));
        QTRY_COMPARE(model->toast(), std::optional<QString>("Saved mine.png"));
        // Saves end in the order they were asked for: the cancelled one told nothing.
        QCOMPARE(notices.size(), 1);
        QVERIFY(QFileInfo::exists(*m_answer));
    }

    // Without a Desktop folder saves go to Pictures/Screenshots (run through the real program by
    // the e2e tests); a Desktop folder is the default where there is one, and a stored folder is
    // kept regardless.
    void theDefaultFolderIsTheDesktopUnlessOneIsStored()
    {
        const QByteArray home = qgetenv("HOME");
        const auto restore = qScopeGuard([home] { qputenv("HOME", home); });
        const QString fresh = folder("home");
        qputenv("HOME", fresh.toUtf8());
        QCOMPARE(SaveLocation::folder(), fresh + "/Pictures/Screenshots");
        QVERIFY(QDir().mkpath(fresh + "/Desktop"));
        QCOMPARE(SaveLocation::folder(), fresh + "/Desktop");
        const QString mine = folder("Mine");
        SaveLocation::setFolder(mine);
        QVERIFY(QDir(fresh + "/Desktop").removeRecursively());
        QCOMPARE(SaveLocation::folder(), mine);
    }

    void aCopyOutlivesItsModel()
    {
        auto model = documentWithABox();
        const QImage expected = model->flatten();
        QGuiApplication::clipboard()->clear();
        model->copyToClipboard();
        model.reset(); // a grab released while its copy is under way
        const auto png = [] {
            const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
            return mime ? mime->data("image/png") : QByteArray();
        };
        QTRY_VERIFY(!png().isEmpty());
        QCOMPARE(ImageImport::decode(png()), expected);
    }

    void aFailedFlattenSaysSoAndWritesNothing()
    {
        const QString dir = quickSaves("Screens");
        EditorModel model(QImage(), 1); // no frame can be made of it
        model.copyToClipboard();
        QTRY_VERIFY(model.toast());
        QVERIFY2(model.toast()->startsWith("Couldn't copy: "), qPrintable(*model.toast()));
        model.save();
        QTRY_VERIFY(model.toast()->startsWith("Couldn't save: "));
        QVERIFY(QDir(dir).isEmpty());
    }

    void aFailedWriteSaysWhyAndKeepsTheOldFileWhole()
    {
        const QString dir = folder("locked");
        m_answer = dir + "/shot.png";
        const QImage old = Fixtures::solid(Qt::blue);
        QVERIFY(old.save(*m_answer));
        if (!setLocked(dir, true))
            QSKIP("this file system cannot lock a folder");
        const auto unlock = qScopeGuard([&] { setLocked(dir, false); });

        auto model = documentWithABox();
        model->save();
        QTRY_VERIFY(model->toast());
        QVERIFY2(model->toast()->startsWith("Couldn't save: ") && model->toast()->size() > 15,
                 qPrintable(*model->toast()));
        QCOMPARE(ImageImport::decodeFile(*m_answer), old);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"shot.png"});
        // The choice is kept; while the folder takes no files, saving starts in the default folder.
        const QSettings preferences(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper");
        QCOMPARE(preferences.value("save.folder").toString(), dir);
        QCOMPARE(SaveLocation::folder(), SaveLocation::defaultFolder());
        setLocked(dir, false);
        QCOMPARE(SaveLocation::folder(), dir);
    }
};

KIWANO_TEST_MAIN(TestEditorExport)
#include "test_editorexport.moc"
