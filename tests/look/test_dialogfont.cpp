// SPDX-License-Identifier: MIT
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTreeView>

#include "look/pixel.h"
#include "look/widgets/kiwanostyle.h"

// Our windows speak the pixel font; the desktop's standard dialogs, laid out for the desktop's
// font, must not inherit it, down to their file lists.
class TestDialogFont : public QObject
{
    Q_OBJECT
private slots:
    void standardDialogsKeepTheSystemFont()
    {
        Look::apply(*qApp);
        const QString pixel = QFontInfo(Pixel::font(12)).family();
        QCOMPARE(QFontInfo(QApplication::font()).family(), pixel);

        QFileDialog files(nullptr, QStringLiteral("Open Image"), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY(QFontInfo(files.font()).family() != pixel);
        const QList<QTreeView *> lists = files.findChildren<QTreeView *>();
        QVERIFY(!lists.isEmpty());
        for (QTreeView *list : lists)
            QVERIFY2(QFontInfo(list->font()).family() != pixel, "a file list drew in the pixel font");
    }
};

KIWANO_TEST_MAIN(TestDialogFont)
#include "test_dialogfont.moc"
