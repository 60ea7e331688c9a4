// SPDX-License-Identifier: MIT
#include "settings/settingswindowcontroller.h"

#include "capture/appstate.h"
#include "look/kiwano.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

SettingsWindowController::SettingsWindowController(UpdateSettings *updates, AppState *state,
                                                   QObject *parent)
    : QObject(parent), m_updates(updates), m_state(state)
{
}

SettingsWindowController::~SettingsWindowController()
{
    delete m_window;
}

void SettingsWindowController::makeWindow()
{
    m_window = new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                                        | Qt::CustomizeWindowHint);
    m_window->setWindowTitle(tr("🥝 Kiwano Snapper Settings"));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, Kiwano::cream);
    m_window->setPalette(palette);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(m_window);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab walks the controls and the page follows the focus; the page itself is no stop.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_scroll);
    // Escape and Ctrl+W close it, as they close other settings windows; a shortcut field that is
    // recording takes its keys first.
    auto *close = new QAction(m_window);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, m_window, &QWidget::close);
    m_window->addAction(close);

    // 900 high unless the screen is smaller; the content scrolls then.
    int height = SettingsWindowController::height;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        height = std::min(height, screen->availableGeometry().height() - 60);
    m_window->setFixedWidth(width);
    m_window->setMinimumHeight(std::min(300, height));
    m_window->resize(width, height);
    if (screen) {
        const QRect available = screen->availableGeometry();
        m_window->move(available.center() - QPoint(width / 2, height / 2));
    }
}

void SettingsWindowController::show()
{
    if (!m_window)
        makeWindow();
    // A hidden window gets a fresh view, read from the models as they are now.
    if (!m_view || !m_window->isVisible()) {
        auto *view = new SettingsView(m_updates, m_state, m_services);
        delete m_scroll->takeWidget();
        m_scroll->setWidget(view);
        m_view = view;
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
