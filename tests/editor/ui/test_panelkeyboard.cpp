// SPDX-License-Identifier: MIT
#include "editor/ui/resizepanel.h"
#include "editor/ui/viewfixtures.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"

#include <QLineEdit>
#include <QSignalSpy>

// Both panels used from the keyboard alone, in a real window with focus from the window manager.
class TestPanelKeyboard : public QObject
{
    Q_OBJECT

private:
    static void press(Qt::Key key, int times = 1)
    {
        while (times--)
            QTest::keyClick(QApplication::focusWidget(), key);
    }

private slots:
    void resizePanelTabsThroughFieldsAndAppliesOnReturn()
    {
        auto model = Fixtures::model(1000, 500);
        ResizePanel panel(model.get());
        QSignalSpy closed(&panel, &ResizePanel::closeRequested);
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QTRY_COMPARE(QApplication::focusWidget(), panel.widthField());

        press(Qt::Key_Tab);
        auto *lock = qobject_cast<KiwanoButton *>(QApplication::focusWidget());
        QVERIFY(lock);
        QCOMPARE(lock->accessibleName(), QStringLiteral("Ratio locked"));
        press(Qt::Key_Space); // unlock
        QCOMPARE(lock->accessibleName(), QStringLiteral("Ratio unlocked"));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), panel.heightField());
        panel.heightField()->selectAll();
        QTest::keyClicks(panel.heightField(), "100");
        QCOMPARE(panel.widthField()->text(), QStringLiteral("1000"));

        press(Qt::Key_Return);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(model->imageSize(), QSizeF(1000, 100));
        press(Qt::Key_Escape);
        QCOMPARE(closed.count(), 2);

        // Return on a focused button presses it: the 50% preset, then Cancel, which applies nothing.
        press(Qt::Key_Tab, 2);
        QCOMPARE(qobject_cast<KiwanoButton *>(QApplication::focusWidget())->text(), QStringLiteral("50%"));
        press(Qt::Key_Return);
        QCOMPARE(panel.widthField()->text(), QStringLiteral("500"));
        QCOMPARE(closed.count(), 2);
        press(Qt::Key_Tab, 3);
        QCOMPARE(qobject_cast<KiwanoButton *>(QApplication::focusWidget())->text(), QStringLiteral("Cancel"));
        press(Qt::Key_Return);
        QCOMPARE(closed.count(), 3);
        QCOMPARE(model->imageSize(), QSizeF(1000, 100));
    }

    void swatchChipsAreChosenWithTheKeyboard()
    {
        ViewFixtures::Shown shown(1);
        shown.model->setTool(Tool::pen);
        QVERIFY(QTest::qWaitForWindowActive(&shown.panel));
        auto *swatches = shown.control<Swatches>("Color");
        swatches->chips().first()->setFocus();
        QTRY_VERIFY(swatches->chips().first()->hasFocus());
        press(Qt::Key_Tab, 2);
        QCOMPARE(QApplication::focusWidget(), swatches->chips().at(2));
        press(Qt::Key_Space);
        QCOMPARE(hexString(shown.model->toolStyle().color), hexString(Kiwano::palette().at(2)));
        // Shift+Tab walks back; the panel's buttons all carry names for screen readers.
        press(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), swatches->chips().at(1));
        for (auto *button : shown.panel.findChildren<QAbstractButton *>())
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    }
};

KIWANO_TEST_MAIN(TestPanelKeyboard)
#include "test_panelkeyboard.moc"
