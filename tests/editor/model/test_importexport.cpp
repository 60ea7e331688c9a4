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
#include <QThread>
#include <QUrl>

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

// What the editor takes in (pastes and drops) and gives out (copies and saves).
class TestImportExport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Fixtures::Sandbox> m_sandbox;
    QTemporaryDir m_imports;
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

    QString folder(const QString &name) { return QDir().mkpath(m_sandbox->path(name)), m_sandbox->path(name); }
    // Saves go straight into that folder, without a dialog.
    QString quickSaves(const QString &name)
    {
        SaveLocation::setFolder(folder(name));
        SaveLocation::setAskEachTime(false);
        return folder(name);
    }

    // Names files of the imports folder: red.png (40 x 30), notes.txt, huge.png (claims 60000 x
    // 60000), photo.png (6000 x 6000, past Qt's default decoding limit).
    std::unique_ptr<QMimeData> mime(const QStringList &files, const QByteArray &png = {})
    {
        auto mime = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &file : files)
            urls.append(file.startsWith("https:") ? QUrl(file) : QUrl::fromLocalFile(m_imports.filePath(file)));
        mime->setUrls(urls);
        if (!png.isEmpty())
            mime->setData("image/png", png);
        return mime;
    }

private slots:
    void initTestCase()
    {
        ImageImport::allowLargestImages();
        QVERIFY(Fixtures::solid(Qt::red).save(m_imports.filePath("red.png")));
        QVERIFY(TestFiles::write(m_imports.filePath("notes.txt"), "just words\n"));
        QVERIFY(TestFiles::write(m_imports.filePath("huge.png"), Fixtures::pngClaiming(60000, 60000)));
        QVERIFY(Png::write(Fixtures::solid(Qt::green, 6000, 6000), m_imports.filePath("photo.png")));
    }
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
        const QString stem = "Kiwano " + QDateTime::currentDateTime().toString("yyyy-MM-dd 'at' HH.mm.ss");
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
        QTRY_VERIFY(model.toast().value_or("").startsWith("Couldn't copy: "));
        model.save();
        QTRY_VERIFY(model.toast().value_or("").startsWith("Couldn't save: "));
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
        QTRY_VERIFY(model->toast().value_or("").startsWith("Couldn't save: ") && model->toast()->size() > 15);
        QCOMPARE(ImageImport::decodeFile(*m_answer), old);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"shot.png"});
        // The choice is kept; while the folder takes no files, saving starts in the default folder.
        const QSettings preferences(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper");
        QCOMPARE(preferences.value("save.folder").toString(), dir);
        QCOMPARE(SaveLocation::folder(), SaveLocation::defaultFolder());
        setLocked(dir, false);
        QCOMPARE(SaveLocation::folder(), dir);
    }

    void pasteboardPrefersImageFiles_data()
    {
        QTest::addColumn<QStringList>("files"); QTest::addColumn<QByteArray>("png");
        QTest::addColumn<QSize>("size");
        const QByteArray blue = Png::encode(Fixtures::solid(Qt::blue, 8, 8));
        QTest::newRow("file over data") << QStringList{"red.png"} << blue << QSize(40, 30);
        QTest::newRow("data when the file is text") << QStringList{"notes.txt"} << blue << QSize(8, 8);
        QTest::newRow("first image file") << QStringList{"notes.txt", "red.png"} << blue << QSize(40, 30);
        QTest::newRow("large photo") << QStringList{"photo.png"} << QByteArray() << QSize(6000, 6000);
        QTest::newRow("undecodable data") << QStringList{} << QByteArray("not a png") << QSize(0, 0);
        QTest::newRow("huge data") << QStringList{} << Fixtures::pngClaiming(60000, 60000) << QSize(0, 0);
        QTest::newRow("huge file") << QStringList{"huge.png"} << QByteArray() << QSize(0, 0);
    }
    void pasteboardPrefersImageFiles()
    {
        QFETCH(QStringList, files); QFETCH(QByteArray, png); QFETCH(QSize, size);
        QCOMPARE(ImageImport::fromClipboard(mime(files, png).get()).size(), size);
    }

    void dropsDeliverOnlyTheFirstImageFileOnTheMainThread()
    {
        QList<QImage> images;
        const auto deliver = [&](QImage image) {
            QCOMPARE(QThread::currentThread(), thread());
            images.append(image);
        };
        QVERIFY(ImageImport::load(mime({"red.png", "notes.txt"}).get(), this, deliver));
        QVERIFY(ImageImport::load(mime({"huge.png"}).get(), this, deliver));
        QVERIFY(ImageImport::load(mime({"gone.png"}).get(), this, deliver));
        QVERIFY(!ImageImport::load(mime({"https://example.org/a.png"}).get(), this, deliver));
        // Imports land in the order they were asked for: once a last good one is in, the
        // others have had their turn.
        QVERIFY(ImageImport::load(mime({}, Png::encode(Fixtures::solid(Qt::blue, 8, 8))).get(), this, deliver));
        QTRY_COMPARE(images.size(), 2);
        QCOMPARE(images.first().pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(images.last().pixelColor(5, 5), QColor(Qt::blue));
    }
};

KIWANO_TEST_MAIN(TestImportExport)
#include "test_importexport.moc"
