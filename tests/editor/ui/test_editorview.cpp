// SPDX-License-Identifier: MIT
#include "editor/ui/canvasarea.h"
#include "editor/ui/editoractions.h"
#include "editor/ui/editorkeyfilter.h"
#include "editor/ui/editorview.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/layerrow.h"
#include "editor/ui/layerspanel.h"
#include "editor/ui/properties/propertiespanel.h"
#include "editor/ui/sidebar.h"
#include "editor/ui/toolbar.h"
#include "editor/ui/viewfixtures.h"
#include "editor/ui/actionbutton.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QVBoxLayout>

using Command = EditorKeys::Command;
using ViewFixtures::Document;

Q_DECLARE_METATYPE(EditorKeys::Command)

namespace {

// A model with layers A, B, C in drawing order, none selected.
struct Layered : Document
{
    Layered() { model->select(std::nullopt); }
    QUuid a = addBox(10), b = addBox(40), c = addBox(70);
};

} // namespace

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
            QVERIFY2(!button->isTitleShown() && button->geometry().right() < toolbar->width()
                         && button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            QVERIFY(!button->toolTip().isEmpty());
        }
        view.resize(1600, 700);
        QTRY_VERIFY(buttons.first()->isTitleShown());
    }

    // The commands' keys act wherever the focus is in the editor's window (beside the editor,
    // the grab strip takes it first; Ctrl+Z and Ctrl+Shift+Z from the strip are the e2e tests'),
    // but Ctrl+Z belongs to a text field that has the focus, and the layer commands rest while
    // a text is typed.
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

        // The toolbar's Undo and Redo follow the history.
        QAbstractButton *undo = Widgets::buttonTitled(view->toolbar(), QStringLiteral("Undo"));
        QAbstractButton *redo = Widgets::buttonTitled(view->toolbar(), QStringLiteral("Redo"));
        QVERIFY(undo && redo && undo->isEnabled() && !redo->isEnabled());
        QTest::mouseClick(undo, Qt::LeftButton);
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY(doc.model->annotations().isEmpty() && !undo->isEnabled() && redo->isEnabled());
        QTest::mouseClick(redo, Qt::LeftButton);
        QTest::mouseClick(redo, Qt::LeftButton);
        QVERIFY(doc.model->annotations().size() == 2 && !redo->isEnabled());

        strip->setFocus();
        QTRY_VERIFY(strip->hasFocus());
        doc.model->select(box);
        doc.model->setTextEntry(QPointF(5, 5));
        QTest::keyClick(strip, Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(doc.model->index(box), std::optional<qsizetype>(0));
        doc.model->setTextEntry(std::nullopt);
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
        const ZogQuote quote{7, QStringLiteral("One / Two"), QStringLiteral("Peel first.")};
        doc.model->setQuote(quote);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!doc.model->quote() && !strokes.isEmpty());
        // So does a press anywhere else in the view.
        doc.model->setQuote(quote);
        QTest::mouseClick(view.toolbar(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!doc.model->quote());
    }

    // A row's menu acts on that row, not on the selected one.
    void contextMenuActsOnItsOwnRow()
    {
        Layered doc;
        doc.model->select(doc.b);
        EditorView view(doc.model.get(), {});
        const auto choose = [&](const QUuid &row, const QString &text) {
            const std::unique_ptr<QMenu> menu(view.sidebar()->layersPanel()->menuFor(row));
            for (QAction *action : menu->actions())
                if (action->text() == text)
                    return action->trigger(), true;
            return false;
        };
        QVERIFY(choose(doc.a, QStringLiteral("Bring to Front")));
        QCOMPARE(doc.model->index(doc.a), std::optional<qsizetype>(2));
        QVERIFY(choose(doc.c, QStringLiteral("Delete")));
        QVERIFY(!doc.model->index(doc.c) && doc.model->index(doc.b) == 0 && doc.model->index(doc.a) == 1);
    }

    void layerRowsWorkFromTheKeyboard()
    {
        Layered doc;
        EditorView view(doc.model.get(), {});
        QVERIFY(ViewFixtures::showActive(&view));
        LayersPanel *panel = view.sidebar()->layersPanel();
        const QList<LayerRow *> rows = panel->rows();
        rows.first()->setFocus();
        QTRY_VERIFY(rows.first()->hasFocus());
        QTest::keyClick(rows.first(), Qt::Key_Down);
        QVERIFY(rows.at(1)->hasFocus());
        QTest::keyClick(rows.at(1), Qt::Key_Space);
        QCOMPARE(doc.model->selectedID(), std::optional(doc.b));
        QVERIFY(rows.at(1)->accessibleName().contains(QStringLiteral("selected")));
        // Moving the layer keeps the focus on it.
        doc.model->shiftSelected(1);
        QVERIFY(panel->rows().first()->hasFocus());
        QTest::keyClick(view.focusWidget(), Qt::Key_Return);
        QVERIFY(!doc.model->selectedID());
        QTest::keyClick(view.focusWidget(), Qt::Key_Up);
        QVERIFY(panel->rows().first()->hasFocus());

        // The list is one tab stop that enters on the selected row, wherever rows were made.
        doc.addBox(100);
        doc.model->select(doc.b);
        QWidget *forward = nullptr;
        for (auto *button : panel->findChildren<ActionButton *>())
            if (button->toolTip() == QString::fromUtf8(EditorActions::entry(EditorActions::bringForward).toolTip))
                forward = button;
        forward->setFocus();
        QTest::keyClick(forward, Qt::Key_Backtab);
        auto *entered = qobject_cast<LayerRow *>(view.focusWidget());
        QVERIFY(entered);
        QCOMPARE(entered->annotation().id, doc.b);
        QTest::keyClick(view.focusWidget(), Qt::Key_Tab);
        QCOMPARE(view.focusWidget(), forward);
    }

    // With an editor in the window and no text field focused (Ctrl+V, Delete, a tool's letter
    // and a focused text field go through the filter below).
    void decision_data()
    {
        QTest::addColumn<int>("key"); QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("selected"); QTest::addColumn<bool>("textEntry"); QTest::addColumn<Command>("expected");
        const Qt::KeyboardModifiers none, ctrl(Qt::ControlModifier);
        QTest::newRow("Ctrl+Shift+V passes") << int(Qt::Key_V) << (ctrl | Qt::ShiftModifier) << false << false << Command::pass;
        QTest::newRow("Backspace deletes") << int(Qt::Key_Backspace) << none << true << false << Command::deleteSelected;
        QTest::newRow("keypad Delete deletes") << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::KeypadModifier) << true << false << Command::deleteSelected;
        QTest::newRow("Alt+Backspace passes") << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::AltModifier) << true << false << Command::pass;
        QTest::newRow("no selection passes") << int(Qt::Key_Delete) << none << false << false << Command::pass;
        QTest::newRow("text entry open passes") << int(Qt::Key_Backspace) << none << true << true << Command::pass;
        QTest::newRow("Ctrl+S passes") << int(Qt::Key_S) << ctrl << false << false << Command::pass;
        QTest::newRow("T while a text is typed passes") << int(Qt::Key_T) << none << false << true << Command::pass;
    }
    void decision()
    {
        QFETCH(int, key); QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(bool, selected); QFETCH(bool, textEntry);
        QTEST(EditorKeys::decide(key, modifiers, EditorKeys::Situation{false, true, selected, textEntry}), "expected");
    }

    // Through the application: keys of the editor window act on the model unless a text field
    // has the focus; keys of another window are left alone. (A selected layer taking Delete
    // before the grab strip runs through the real program in the e2e tests.)
    void filterActsOnlyForItsWindowAndOutsideTextFields()
    {
        Document doc;
        const QUuid layer = doc.addBox(10);
        QWidget window;
        auto *plain = new QWidget(&window);
        plain->setFocusPolicy(Qt::StrongFocus);
        auto *field = new QLineEdit(QStringLiteral("ab"), &window);
        auto *column = new QVBoxLayout(&window);
        column->addWidget(plain);
        column->addWidget(field);
        EditorKeyFilter filter(&window, [&] { return doc.model.get(); });
        qApp->installEventFilter(&filter);
        QVERIFY(ViewFixtures::showActive(&window));

        // Ctrl+V in a text field pastes the text, even with an image beside it.
        field->setFocus();
        auto *both = new QMimeData;
        both->setText(QStringLiteral("z"));
        both->setImageData(Fixtures::solid(Qt::blue, 4, 4));
        QApplication::clipboard()->setMimeData(both);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QStringLiteral("abz"));
        QCOMPARE(doc.model->annotations().size(), 1);

        QWidget other;
        QKeyEvent elsewhere(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(&other, &elsewhere);
        QVERIFY(doc.model->index(layer));

        plain->setFocus();
        QTRY_VERIFY(plain->hasFocus());
        QTest::keyClick(plain, Qt::Key_Delete);
        QVERIFY(!doc.model->index(layer));
        QTest::keyClick(plain, Qt::Key_P);
        QCOMPARE(doc.model->tool(), Tool::pen);
        // Ctrl+V with nothing to paste: consumed, and the model says so.
        QApplication::clipboard()->clear();
        QTest::keyClick(plain, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc.model->toast(), std::optional<QString>(QStringLiteral("Nothing to paste")));
    }
};

KIWANO_TEST_MAIN(TestEditorView)
#include "test_editorview.moc"
