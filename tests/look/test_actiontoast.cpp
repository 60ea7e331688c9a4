// SPDX-License-Identifier: MIT
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The toast with an action, shown over a window as a host would place it.
class TestActionToast : public QObject
{
    Q_OBJECT

    struct Host
    {
        QWidget window;
        QLineEdit *field = new QLineEdit(&window);
        ActionToast *toast = new ActionToast(&window);

        Host()
        {
            window.resize(600, 400);
            window.show();
            field->setFocus();
        }
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
        QTest::qWait(600); // its time runs out while the focus is on it: it waits for the person
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

    void itRestsAtTheBottomCentreOfItsArea()
    {
        Host host;
        host.toast->setArea(QRect(0, 0, 600, 300));
        host.toast->post({QStringLiteral("Moved grab.png to the Trash"), QStringLiteral("Undo")});
        QTRY_COMPARE(host.toast->geometry().bottom(), 300 - 14 - 1);
        QVERIFY(std::abs(host.toast->geometry().center().x() - 300) <= 1);
        const QRect button = host.toast->actionButton()->geometry();
        QVERIFY(host.toast->rect().contains(button));
        QVERIFY(button.left() > host.toast->width() / 2);
    }
};

KIWANO_TEST_MAIN(TestActionToast)
#include "test_actiontoast.moc"
