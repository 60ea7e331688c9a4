// SPDX-License-Identifier: MIT
#include "editor/ui/editorkeyfilter.h"
#include "editor/ui/viewfixtures.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QSet>
#include <QVBoxLayout>

using Command = EditorKeys::Command;
using ViewFixtures::Document;

Q_DECLARE_METATYPE(EditorKeys::Command)

class TestEditorKeys : public QObject
{
    Q_OBJECT

private slots:
    // With an editor in the window and no text field focused (Ctrl+V, Delete, a tool's letter
    // and a focused text field go through the filter below).
    void decision_data()
    {
        QTest::addColumn<int>("key"); QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("selected"); QTest::addColumn<bool>("textEntry"); QTest::addColumn<Command>("expected");
        const Qt::KeyboardModifiers none, ctrl(Qt::ControlModifier), shift(Qt::ShiftModifier);
        QTest::newRow("Ctrl+Shift+V passes") << int(Qt::Key_V) << (ctrl | shift) << false << false << Command::pass;
        QTest::newRow("plain V passes") << int(Qt::Key_V) << none << false << false << Command::pass;
        QTest::newRow("Backspace deletes") << int(Qt::Key_Backspace) << none << true << false << Command::deleteSelected;
        QTest::newRow("keypad Delete deletes") << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::KeypadModifier) << true << false << Command::deleteSelected;
        QTest::newRow("Alt+Backspace passes") << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::AltModifier) << true << false << Command::pass;
        QTest::newRow("no selection passes") << int(Qt::Key_Delete) << none << false << false << Command::pass;
        QTest::newRow("text entry open passes") << int(Qt::Key_Backspace) << none << true << true << Command::pass;
        QTest::newRow("Shift+P passes") << int(Qt::Key_P) << shift << false << false << Command::pass;
        QTest::newRow("Ctrl+S passes") << int(Qt::Key_S) << ctrl << false << false << Command::pass;
        QTest::newRow("T while a text is typed passes") << int(Qt::Key_T) << none << false << true << Command::pass;
    }
    void decision()
    {
        QFETCH(int, key); QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(bool, selected); QFETCH(bool, textEntry);
        QTEST(EditorKeys::decide(key, modifiers, EditorKeys::Situation{false, true, selected, textEntry}), "expected");
    }

    // Each tool the toolbar offers has its own letter, and the letter leads back to the tool.
    void toolLettersAreUniqueAndChooseTheirTool()
    {
        QSet<QString> letters;
        for (Tool tool : Tools::toolbar()) {
            const QString letter = shortcutKey(tool);
            QCOMPARE(letter.size(), 1);
            QVERIFY2(!letters.contains(letter), qPrintable(letter));
            letters.insert(letter);
            QCOMPARE(Tools::forKey(letter.at(0).unicode()), std::optional(tool));
        }
        QCOMPARE(Tools::forKey(Qt::Key_V), std::nullopt);
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

KIWANO_TEST_MAIN(TestEditorKeys)
#include "test_editorkeys.moc"
