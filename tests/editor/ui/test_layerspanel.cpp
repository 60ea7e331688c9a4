// SPDX-License-Identifier: MIT
#include "editor/ui/editoractions.h"
#include "editor/ui/editorview.h"
#include "editor/ui/layerrow.h"
#include "editor/ui/layerspanel.h"
#include "editor/ui/sidebar.h"
#include "editor/ui/viewfixtures.h"
#include "editor/ui/actionbutton.h"

#include <QMenu>

using ViewFixtures::Document;

namespace {

ActionButton *footerButton(const LayersPanel *panel, EditorActions::Id id)
{
    for (auto *button : panel->findChildren<ActionButton *>())
        if (button->toolTip() == QString::fromUtf8(EditorActions::entry(id).toolTip))
            return button;
    return nullptr;
}

QAction *menuItem(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

// A model with layers A, B, C in drawing order, none selected.
struct Layered : Document
{
    Layered() { model->select(std::nullopt); }
    QUuid a = addBox(10), b = addBox(40), c = addBox(70);
};

} // namespace

class TestLayersPanel : public QObject
{
    Q_OBJECT

private slots:
    // A row's menu acts on that row, not on the selected one.
    void contextMenuActsOnItsOwnRow()
    {
        Layered doc;
        doc.model->select(doc.b);
        EditorView view(doc.model.get(), {});
        LayersPanel *panel = view.sidebar()->layersPanel();
        std::unique_ptr<QMenu> menu(panel->menuFor(doc.a));
        QAction *front = menuItem(menu.get(), QStringLiteral("Bring to Front"));
        QVERIFY(front);
        front->trigger();
        QCOMPARE(doc.order(), QList<QUuid>({doc.b, doc.c, doc.a}));
        menu.reset(panel->menuFor(doc.c));
        QAction *remove = menuItem(menu.get(), QStringLiteral("Delete"));
        QVERIFY(remove);
        remove->trigger();
        QCOMPARE(doc.order(), QList<QUuid>({doc.b, doc.a}));
    }

    // The layer shortcuts reach the model through the window, except while text is typed.
    void layerShortcutsAreInertDuringTextEntry()
    {
        Layered doc;
        doc.model->select(doc.b);
        EditorView view(doc.model.get(), {});
        QVERIFY(ViewFixtures::showActive(&view));
        LayerRow *row = view.sidebar()->layersPanel()->rows().at(1);
        row->setFocus();
        QTRY_VERIFY(row->hasFocus());

        doc.model->setTextEntry(QPointF(5, 5));
        QTest::keyClick(row, Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(doc.order(), QList<QUuid>({doc.a, doc.b, doc.c}));
        QTest::keyClick(row, Qt::Key_BracketLeft, Qt::ControlModifier);
        QCOMPARE(doc.order(), QList<QUuid>({doc.a, doc.b, doc.c}));

        doc.model->setTextEntry(std::nullopt);
        QTest::keyClick(row, Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(doc.order(), QList<QUuid>({doc.a, doc.c, doc.b}));
        QTest::keyClick(view.focusWidget(), Qt::Key_BracketLeft, Qt::ControlModifier);
        QCOMPARE(doc.order(), QList<QUuid>({doc.a, doc.b, doc.c}));
    }

    void rowsWorkFromTheKeyboard()
    {
        Layered doc;
        EditorView view(doc.model.get(), {});
        QVERIFY(ViewFixtures::showActive(&view));
        const QList<LayerRow *> rows = view.sidebar()->layersPanel()->rows();
        rows.first()->setFocus();
        QTRY_VERIFY(rows.first()->hasFocus());
        QTest::keyClick(rows.first(), Qt::Key_Down);
        QVERIFY(rows.at(1)->hasFocus());
        QTest::keyClick(rows.at(1), Qt::Key_Space);
        QCOMPARE(doc.model->selectedID(), std::optional(doc.b));
        QVERIFY(rows.at(1)->accessibleName().contains(QStringLiteral("selected")));
        // Moving the layer keeps the focus on it.
        doc.model->shiftSelected(1);
        QVERIFY(view.sidebar()->layersPanel()->rows().first()->hasFocus());
        QTest::keyClick(view.focusWidget(), Qt::Key_Return);
        QVERIFY(!doc.model->selectedID());
        QTest::keyClick(view.focusWidget(), Qt::Key_Up);
        QVERIFY(view.sidebar()->layersPanel()->rows().first()->hasFocus());

        // The list is one tab stop that enters on the selected row, wherever rows were made.
        doc.addBox(100);
        doc.model->select(doc.b);
        QWidget *forward = footerButton(view.sidebar()->layersPanel(), EditorActions::bringForward);
        forward->setFocus();
        QTest::keyClick(forward, Qt::Key_Backtab);
        auto *entered = qobject_cast<LayerRow *>(view.focusWidget());
        QVERIFY(entered);
        QCOMPARE(entered->annotation().id, doc.b);
        QTest::keyClick(view.focusWidget(), Qt::Key_Tab);
        QCOMPARE(view.focusWidget(), forward);
    }
};

KIWANO_TEST_MAIN(TestLayersPanel)
#include "test_layerspanel.moc"
