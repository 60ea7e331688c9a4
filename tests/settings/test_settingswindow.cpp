// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/commandshortcuts.h"
#include "settings/savingsection.h"
#include "settings/settingsparts.h"
#include "settings/settingswindowcontroller.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"
#include "settings/updatesettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

// The whole window on a real X server with a window manager: placement, closing, the keyboard.
class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void placedOnceAndHiddenOnClose();
    void tabFollowsReadingOrder();
    void recordsRealKeys();
    void commandsCopiedFromTheKeyboard();

private:
    SettingsWindowController *open();
    SettingsWindowController *open(const SettingsView::Services &services);

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<SettingsWindowController> m_controller;
};

void TestSettingsWindow::init()
{
    m_fixture = std::make_unique<SettingsFixture>();
    m_updates = std::make_unique<UpdateSettings>();
}

void TestSettingsWindow::cleanup()
{
    m_controller.reset();
    m_updates.reset();
    m_fixture.reset();
}

SettingsWindowController *TestSettingsWindow::open()
{
    return open(m_fixture->services());
}

SettingsWindowController *TestSettingsWindow::open(const SettingsView::Services &services)
{
    m_controller = std::make_unique<SettingsWindowController>(m_updates.get(), nullptr);
    m_controller->setServices(services);
    m_controller->show();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(m_controller->window());
    return m_controller.get();
}

void TestSettingsWindow::placedOnceAndHiddenOnClose()
{
    SettingsWindowController *controller = open();
    QWidget *window = controller->window();
    QCOMPARE(window->minimumWidth(), window->maximumWidth());
    const QRect available = window->screen()->availableGeometry();
    QCOMPARE(window->height(), std::min(900, available.height() - 60));
    QVERIFY((window->geometry().center() - available.center()).manhattanLength() < 60);
    QTRY_VERIFY(window->isActiveWindow());

    window->close();
    QVERIFY(!window->isVisible());
    controller->show();
    QCOMPARE(controller->window(), window);
    QVERIFY(window->isVisible());
    QTRY_VERIFY(window->isActiveWindow());

    // Escape and Ctrl+W close it too, but a shortcut being recorded takes Escape for itself.
    ShortcutField *field = controller->view()->shortcuts()->field(HotKeyAction::grabScreen);
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Space);
    QVERIFY(field->isRecording());
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
    controller->show();
    QTRY_VERIFY(window->isActiveWindow());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void TestSettingsWindow::tabFollowsReadingOrder()
{
    m_fixture->services();
    m_fixture->clipboard->setUserIgnoredApps({QStringLiteral("org.example.One"), QStringLiteral("org.example.Two")});
    SettingsWindowController *controller = open();
    SettingsView *view = controller->view();
    QWidget *first = view->shortcuts()->field(HotKeyAction::grabRegion);

    const auto walk = [&]() -> QList<QWidget *> {
        first->setFocus(Qt::TabFocusReason);
        QList<QWidget *> visited{first};
        for (int step = 0; step < 80; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *now = QApplication::focusWidget();
            if (now == first || visited.contains(now))
                break;
            visited << now;
        }
        return visited;
    };
    const auto check = [&](const QList<QWidget *> &visited, const QString &ignored) {
        QCOMPARE(QApplication::focusWidget(), first);
        QVERIFY(visited.size() > 20);
        QVERIFY(std::any_of(visited.cbegin(), visited.cend(), [&](QWidget *widget) {
            return widget->accessibleName() == QStringLiteral("Remove ") + ignored;
        }));
        QPoint previous(-1, -1);
        for (QWidget *widget : visited) {
            QVERIFY2(!widget->accessibleName().isEmpty(), widget->metaObject()->className());
            const QPoint at = widget->mapTo(view, QPoint(0, 0));
            // Down the page, and left to right within a row.
            const bool sameRow = std::abs(at.y() - previous.y()) < widget->height() / 2;
            QVERIFY2(sameRow ? at.x() > previous.x() : at.y() > previous.y(),
                     qPrintable(widget->accessibleName()));
            previous = at;
        }
    };
    QTRY_VERIFY(controller->window()->isActiveWindow());
    check(walk(), QStringLiteral("org.example.Two"));
    // Rows made while the window is open take their place in the order too.
    view->clipboard()->ignoredApps()->add(QStringLiteral("org.example.Three"));
    QApplication::processEvents();
    check(walk(), QStringLiteral("org.example.Three"));
}

void TestSettingsWindow::recordsRealKeys()
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    SettingsWindowController *controller = open();
    ShortcutField *field = controller->view()->shortcuts()->field(HotKeyAction::grabScreen);
    QTRY_VERIFY(controller->window()->isActiveWindow());
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Space);
    QVERIFY(field->isRecording());

    // Tab goes to the recorder, not to the next control: refused, still recording, focus stays,
    // so the keys after it are the ones recorded.
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("Tab")}), 0);
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")}), 0);
    QTRY_VERIFY(!field->isRecording());
    QCOMPARE(QApplication::focusWidget(), field);
    // "K" by position (40 in the stored numbering), whatever the layout prints on it.
    QCOMPARE(m_fixture->center.key(HotKeyAction::grabScreen), std::optional(HotKey(40, Qt::ControlModifier | Qt::AltModifier)));
}

void TestSettingsWindow::commandsCopiedFromTheKeyboard()
{
    SettingsView::Services services = m_fixture->services();
    services.session.kind = SessionFacts::Kind::wayland;
    services.session.desktop = QStringLiteral("sway");
    services.plan.shortcuts = ServicePlan::Shortcuts::none;
    SettingsWindowController *controller = open(services);
    QTRY_VERIFY(controller->window()->isActiveWindow());
    CommandShortcuts *guide = controller->view()->shortcuts()->commandGuide();
    QVERIFY(guide);

    // The Copy buttons come one after the other, then the next section; Space copies.
    QWidget *first = guide->copyButton(HotKeyAction::grabRegion);
    first->setFocus(Qt::TabFocusReason);
    for (const HotKeyAction action : {HotKeyAction::grabWindow, HotKeyAction::grabScreen, HotKeyAction::clipboard}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), guide->copyButton(action));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("bindsym $mod+Shift+v exec kiwano-snapper --clipboard"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(controller->view()->saving()->isAncestorOf(QApplication::focusWidget()));
}

KIWANO_TEST_MAIN(TestSettingsWindow)
#include "test_settingswindow.moc"
