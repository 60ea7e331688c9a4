// SPDX-License-Identifier: MIT
#include "editor/ui/canvasarea.h"
#include "editor/ui/editoractions.h"
#include "editor/ui/editorview.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/layerspanel.h"
#include "editor/ui/properties/propertiespanel.h"
#include "editor/ui/quotecard.h"
#include "editor/ui/sidebar.h"
#include "editor/ui/toolbar.h"
#include "editor/ui/viewfixtures.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QVBoxLayout>

using ViewFixtures::Document;

class TestEditorView : public QObject
{
    Q_OBJECT

private slots:
    // A tiling window manager gives the window less than it asks: every button still fits, with
    // its icon and no clipped title; given room again, the titles come back.
    void squeezedToolbarDropsTitlesNotButtons()
    {
        Document doc;
        EditorView view(doc.model.get(), {});
        view.resize(1600, 700);
        view.show();
        Toolbar *toolbar = view.toolbar();
        const QList<KiwanoButton *> buttons = toolbar->findChildren<KiwanoButton *>();
        QVERIFY(buttons.size() > 10);
        QTRY_VERIFY(buttons.first()->isTitleShown());

        view.resize(620, 700);
        QTRY_VERIFY(!buttons.first()->isTitleShown());
        QApplication::processEvents();
        for (KiwanoButton *button : buttons) {
            QVERIFY2(!button->isTitleShown(), qPrintable(button->text()));
            QVERIFY2(button->geometry().right() < toolbar->width(), qPrintable(button->text()));
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            QVERIFY(!button->toolTip().isEmpty());
        }

        view.resize(1600, 700);
        QTRY_VERIFY(buttons.first()->isTitleShown());
    }

    // The commands' keys act wherever the focus is in the editor's window (beside the editor,
    // the grab strip takes it first), but Ctrl+Z belongs to a text field that has the focus; a
    // disabled command's shortcut does nothing.
    void shortcutsActInTheWholeWindowButTextFields()
    {
        Document doc;
        const QUuid box = doc.addBox(10);
        doc.addBox(20);
        QWidget window;
        auto *view = new EditorView(doc.model.get(), {}, &window);
        auto *strip = new QListView(&window);
        auto *column = new QVBoxLayout(&window);
        column->addWidget(view);
        column->addWidget(strip);
        auto *field = new QLineEdit(view->sidebar()->propertiesPanel());
        QVERIFY(ViewFixtures::showActive(&window));

        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("ab"));
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.model->annotations().size(), 2);
        QVERIFY(field->text().isEmpty());

        // The toolbar's Undo and Redo follow the history; with nothing to redo, neither does the key.
        QAbstractButton *undo = Widgets::buttonTitled(view->toolbar(), QStringLiteral("Undo"));
        QAbstractButton *redo = Widgets::buttonTitled(view->toolbar(), QStringLiteral("Redo"));
        QVERIFY(undo && redo && undo->isEnabled() && !redo->isEnabled());
        strip->setFocus();
        QTRY_VERIFY(strip->hasFocus());
        QTest::keyClick(strip, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(doc.model->annotations().size(), 1);
        QVERIFY(redo->isEnabled());
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY(doc.model->annotations().isEmpty() && !undo->isEnabled());
        QTest::mouseClick(redo, Qt::LeftButton);
        QTest::keyClick(strip, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.model->annotations().size(), 2);
        QVERIFY(!redo->isEnabled());
        QTest::keyClick(strip, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(doc.model->annotations().size(), 2);

        doc.model->select(box);
        QCOMPARE(doc.model->index(box), std::optional<qsizetype>(0));
        QTest::keyClick(strip, Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(doc.model->index(box), std::optional<qsizetype>(1));
        QTest::keyClick(strip, Qt::Key_BracketLeft, Qt::ControlModifier);
        QCOMPARE(doc.model->index(box), std::optional<qsizetype>(0));
    }

    void aClickDismissesTheQuoteAndStillReachesTheCanvas()
    {
        Document doc;
        doc.model->chooseTool(Tool::pen);
        EditorView view(doc.model.get(), {});
        QVERIFY(ViewFixtures::showActive(&view));
        ImageCanvas *canvas = view.canvasArea()->canvas();
        QTRY_VERIFY(canvas->isVisible());
        // A press that reaches the canvas starts a stroke.
        QSignalSpy strokes(doc.model.get(), &EditorModel::draftChanged);
        QSignalSpy quoteChanges(doc.model.get(), &EditorModel::quoteChanged);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!strokes.isEmpty());
        QCOMPARE(quoteChanges.size(), 0);

        doc.model->setQuote(ViewFixtures::someQuote());
        strokes.clear();
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!doc.model->quote() && !strokes.isEmpty());
        // So does a press anywhere else in the view.
        doc.model->setQuote(ViewFixtures::someQuote());
        QTest::mouseClick(view.toolbar(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!doc.model->quote());
    }
};

KIWANO_TEST_MAIN(TestEditorView)
#include "test_editorview.moc"
