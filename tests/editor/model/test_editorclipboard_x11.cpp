// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QProcess>
#include <QSignalSpy>

#include "fixtures.h"

class TestEditorClipboardX11 : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

    void offer(const QString &type, const QString &file)
    {
        QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
        QProcess xclip; // own pipes: the lingering owner must not hold the test's output
        xclip.start("xclip", {"-selection", "clipboard", "-t", type, "-i", file});
        QVERIFY(xclip.waitForFinished(5000));
        QCOMPARE(xclip.exitCode(), 0);
        QTRY_VERIFY(changed.count() > 0);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("xclip is not installed");
    }

    // What Ctrl+C copies is read by another process in the e2e tests; here, the other way. (What
    // is no picture the import's cases read.)
    void pastingWhatAnotherProcessOffers()
    {
        const QString png = m_sandbox.path("offered.png");
        QVERIFY(Fixtures::solid(Qt::blue, 64, 48).save(png));
        auto model = Fixtures::model();
        offer("image/png", png);
        QVERIFY(model->pasteImage());
        const auto picture = std::get<Shapes::Picture>(model->annotations().last().shape);
        QCOMPARE(picture.image.size(), QSize(64, 48));
        QCOMPARE(picture.image.pixelColor(10, 10), QColor(Qt::blue));
    }

    void cleanupTestCase() { QGuiApplication::clipboard()->setText("done"); } // ends xclip
};

KIWANO_TEST_MAIN(TestEditorClipboardX11)
#include "test_editorclipboard_x11.moc"
