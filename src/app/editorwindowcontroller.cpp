// SPDX-License-Identifier: MIT
#include "app/editorwindowcontroller.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

#include "app/filemanager.h"
#include "app/rootview.h"
#include "app/emptystate.h"
#include "capture/appstate.h"
#include "editor/model/exportqueue.h"
#include "editor/ui/editorkeyfilter.h"
#include "editor/ui/properties/colorpanelbridge.h"
#include "hotkeys/hotkeycenter.h"
#include "platform/preferences.h"

EditorWindowController::EditorWindowController(AppState *state, HotKeyCenter *hotKeys, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_colors(new ColorPanelBridge(this))
    , m_exports(new ExportQueue(this))
    , m_window(new QMainWindow)
{
    m_window->setWindowTitle(QStringLiteral("🥝 Kiwano Snapper"));
    m_window->setMinimumSize(minimumSize);
    m_root = new RootView(state, EditorDesktop{m_colors, &FileManager::reveal, m_exports, {}}, m_window);
    m_window->setCentralWidget(m_root);

    if (hotKeys) {
        EmptyState *empty = m_root->emptyState();
        const auto showKey = [empty, hotKeys] { empty->setGrabShortcut(hotKeys->key(HotKeyAction::grabRegion)); };
        // The shortcut may change in the settings while this shows.
        connect(hotKeys, &HotKeyCenter::revisionChanged, empty, showKey);
        showKey();
    }

    if (!m_window->restoreGeometry(Preferences::windowFrame()))
        placeFirstTime();
    m_window->installEventFilter(this);

    // Reads the state on every key, so that it never holds a model that was let go.
    QPointer<AppState> held(state);
    m_keys = new EditorKeyFilter(m_window, [held]() -> EditorModel * {
        return held ? held->currentModel() : nullptr;
    }, this);
    qApp->installEventFilter(m_keys);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { saveGeometry(); });
}

EditorWindowController::~EditorWindowController()
{
    qApp->removeEventFilter(m_keys);
    delete m_window;
}

QSize EditorWindowController::initialSize(const std::optional<QRect> &available)
{
    if (!available || available->isEmpty())
        return sizeWithoutScreen;
    return QSize(std::min(int(available->width() * 0.9), maximumInitialSize.width()),
                 std::min(int(available->height() * 0.9), maximumInitialSize.height()));
}

void EditorWindowController::placeFirstTime()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const std::optional<QRect> available = screen ? std::optional(screen->availableGeometry())
                                                  : std::nullopt;
    m_window->resize(initialSize(available).expandedTo(minimumSize));
    if (available) {
        QRect frame(QPoint(), m_window->size());
        frame.moveCenter(available->center());
        m_window->move(frame.topLeft());
    }
}

void EditorWindowController::show()
{
    m_window->show();
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void EditorWindowController::saveGeometry() const
{
    Preferences::setWindowFrame(m_window->saveGeometry());
}

bool EditorWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        saveGeometry();
    return QObject::eventFilter(watched, event);
}
