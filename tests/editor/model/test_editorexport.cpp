// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

#include "editor/model/editormodel.h"
#include "editor/model/imageimport.h"
#include "editor/model/savelocation.h"
#include "fixtures.h"

namespace {

// Stands in for the save dialog: remembers what it was shown and answers as told.
struct Dialog
{
    std::optional<QString> answer;
    QList<std::pair<QString, QString>> shown;

    EditorModel::SaveDialog function()
    {
        return [this](const QString &folder, const QString &name) {
            shown.append({folder, name});
            return answer;
        };
    }
};

// Sleeps until just after the start of a second, so that a few quick saves share one stamp.
void waitForAFreshSecond()
{
    while (QDateTime::currentDateTime().time().msec() > 100)
        QTest::qSleep(20);
}

} // namespace

class TestEditorExport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Fixtures::Sandbox> m_sandbox;
    Dialog m_dialog;

    std::unique_ptr<EditorModel> documentWithABox()
    {
        auto model = Fixtures::model(120, 80, 2);
        Fixtures::box(*model, QRectF(10, 10, 30, 30));
        model->setSaveDialog(m_dialog.function());
        return model;
    }

    QString folder(const QString &name)
    {
        const QString path = m_sandbox->path(name);
        QDir().mkpath(path);
        return path;
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<Fixtures::Sandbox>();
        m_dialog = Dialog();
    }

    void saveSettingsAndTheirDefaults()
    {
        QCOMPARE(SaveLocation::folder(),
                 QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        QVERIFY(SaveLocation::askEachTime());
        SaveLocation::setAskEachTime(false);
        QVERIFY(!SaveLocation::askEachTime());
        m_sandbox->settings().setValue("save.ask", "sometimes");
        QVERIFY(SaveLocation::askEachTime());
    }

    void quickSavesIntoTheFolderAreNumbered()
    {
        const QString dir = folder("Screens");
        SaveLocation::setFolder(dir);
        SaveLocation::setAskEachTime(false);
        auto model = documentWithABox();
        const QImage expected = model->flatten();

        waitForAFreshSecond();
        const QString stem = "Kiwano " +
            QDateTime::currentDateTime().toString("yyyy-MM-dd 'at' HH.mm.ss");
        model->save();
        model->save();
        model->save();
        QVERIFY(m_dialog.shown.isEmpty());
        const QStringList names{stem + ".png", stem + " 2.png", stem + " 3.png"};
        for (const QString &name : names)
            QTRY_VERIFY(QFileInfo::exists(dir + "/" + name));
        QTRY_COMPARE(model->toast(), std::optional<QString>("Saved to Screens!"));
        QStringList written = QDir(dir).entryList(QDir::Files);
        written.sort();
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(written, sorted);
        for (const QString &name : names)
            QCOMPARE(ImageImport::decodeFile(dir + "/" + name), expected);
    }

    void aMissingFolderFallsBackToTheDialog()
    {
        const QString gone = folder("gone");
        SaveLocation::setFolder(gone);
        SaveLocation::setAskEachTime(false);
        QVERIFY(QDir(gone).removeRecursively());
        const QString chosen = folder("Picked") + "/mine.png";
        m_dialog.answer = chosen;

        auto model = documentWithABox();
        model->save();
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown.first().first, gone);
        QVERIFY(m_dialog.shown.first().second.startsWith("Kiwano "));
        QCOMPARE(SaveLocation::folder(), m_sandbox->path("Picked"));
        QTRY_COMPARE(model->toast(), std::optional<QString>("Saved to Picked!"));
        QVERIFY(QFileInfo::exists(chosen));
    }

    void aCancelledDialogChangesNothing()
    {
        const QString dir = folder("Start");
        SaveLocation::setFolder(dir);
        auto model = documentWithABox();
        model->save();
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown.first().first, dir);
        QTest::qWait(100);
        QVERIFY(!model->toast());
        QCOMPARE(SaveLocation::folder(), dir);
        QVERIFY(QDir(dir).isEmpty());
    }

    void aFailedWriteSaysWhyAndKeepsTheChosenFolder_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("folder is a file") << false;
    }
    void aFailedWriteSaysWhyAndKeepsTheChosenFolder()
    {
        QFETCH(bool, readOnlyFolder);
        QString target;
        if (readOnlyFolder) {
            // Permissions do not bind root; /proc refuses new files to everyone.
            QString dir = "/proc";
            if (geteuid() != 0) {
                dir = folder("locked");
                QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
            }
            target = dir + "/shot.png";
        } else {
            QVERIFY(Fixtures::writeFile(m_sandbox->path("plain"), "x"));
            target = m_sandbox->path("plain") + "/shot.png";
        }
        m_dialog.answer = target;
        auto model = documentWithABox();
        model->save();
        QCOMPARE(SaveLocation::folder(), QFileInfo(target).absolutePath());
        QTRY_VERIFY(model->toast());
        QVERIFY2(model->toast()->startsWith("Couldn't save: "), qPrintable(*model->toast()));
        QVERIFY(model->toast()->size() > QString("Couldn't save: ").size());
        QVERIFY(!QFileInfo::exists(target));
    }

    void savingOverAFileReplacesItWhole()
    {
        const QString target = folder("Over") + "/shot.png";
        QVERIFY(Fixtures::writeFile(target, QByteArray(1 << 20, 'x')));
        m_dialog.answer = target;
        auto model = documentWithABox();
        model->save();
        QTRY_VERIFY(model->toast());
        QCOMPARE(ImageImport::decodeFile(target), model->flatten());
        QCOMPARE(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"shot.png"}); // no temporary left behind
    }

    void aSaveFinishesAfterItsModelIsGone()
    {
        const QString target = folder("Late") + "/shot.png";
        m_dialog.answer = target;
        auto model = documentWithABox();
        const QImage expected = model->flatten();
        model->save();
        model.reset();
        QTRY_VERIFY(QFileInfo::exists(target));
        QTRY_COMPARE(ImageImport::decodeFile(target), expected);
    }

    void copyPutsAPngSizedForTheScreen()
    {
        auto model = Fixtures::model(2000, 1000, 2);
        Fixtures::box(*model, QRectF(10, 10, 300, 300));
        QGuiApplication::clipboard()->setText("before");
        model->copyToClipboard();
        QTRY_COMPARE(model->toast(), std::optional<QString>("Copied!"));

        const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime->hasFormat("image/png"));
        const QImage pasted = ImageImport::decode(mime->data("image/png"));
        QCOMPARE(pasted, model->flatten());
        // 72 points to the inch: the density says two pixels a point, so 1000 x 500 points.
        const qreal pointsWide = pasted.width() / (pasted.dotsPerMeterX() * 0.0254 / 72);
        const qreal pointsHigh = pasted.height() / (pasted.dotsPerMeterY() * 0.0254 / 72);
        QVERIFY(qAbs(pointsWide - 1000) < 0.5);
        QVERIFY(qAbs(pointsHigh - 500) < 0.5);
    }
};

QTEST_MAIN(TestEditorExport)
#include "test_editorexport.moc"
