// SPDX-License-Identifier: MIT
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"

#include <QLineEdit>
#include <QSignalSpy>

// The toast with an action, shown over a window as a host would place it.
class TestActionToast : public QObject
{
    Q_OBJECT

    struct Host
    {
        QWidget window;
        QLineEdit *field = new QLineEdit(&window);
        ActionToast *toast = new ActionToast(&window);

        Host() { window.resize(600, 400), window.show(), field->setFocus(); }
    };

private slots:
    void theActionTakesTheKeyboardAndGivesItBack()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QTRY_VERIFY(host.field->hasFocus());
        QSignalSpy triggered(host.toast, &ActionToast::actionTriggered);
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("Moved grab.png to the Trash"), QStringLiteral("Undo"),
                          QStringLiteral("trash"), 200});
        KiwanoButton *undo = host.toast->actionButton();
        QVERIFY(undo->isVisible());
        QCOMPARE(undo->accessibleName(), QStringLiteral("Undo"));
        QCOMPARE(host.toast->accessibleName(), QStringLiteral("Moved grab.png to the Trash"));

        QTest::keyClick(host.field, Qt::Key_Tab);
        QVERIFY(undo->hasFocus());
        // Its time runs out while the focus is on it (a twin posted with it has gone): it waits
        // for the person. The pointer is away from both.
        ActionToast twin(&host.window);
        QSignalSpy twinClosed(&twin, &ActionToast::closed);
        twin.post({QStringLiteral("twin"), {}, QStringLiteral("trash"), 200});
        QTest::mouseMove(&host.window, twin.geometry().center());
        QTest::mouseMove(&host.window, QPoint(5, 5));
        QVERIFY(!twin.underMouse() && !host.toast->underMouse());
        QVERIFY(twinClosed.wait(5000));
        QVERIFY(host.toast->isPosted());
        QTest::keyClick(undo, Qt::Key_Space);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(closed.size(), 0);
        QVERIFY(host.field->hasFocus());
        QTRY_VERIFY(!host.toast->isVisible());
    }

    void noticesGoWhenTheirTimeIsUp()
    {
        Host host;
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("first"), QStringLiteral("Undo"), QStringLiteral("trash"), 60000});
        // A newer notice takes the place of the one showing; only the newer one closes.
        host.toast->post({QStringLiteral("Kept grab.png"), {}, QStringLiteral("kiwano"), 100});
        QVERIFY(host.toast->actionButton()->isHidden());
        QCOMPARE(host.toast->text(), QStringLiteral("Kept grab.png"));
        QTRY_COMPARE(closed.size(), 1);
        QTRY_VERIFY(!host.toast->isVisible());
        QCOMPARE(closed.size(), 1);
    }

};

KIWANO_TEST_MAIN(TestActionToast)
#include "test_actiontoast.moc"
