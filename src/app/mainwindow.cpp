// SPDX-License-Identifier: MIT
#include "app/mainwindow.h"

#include "app/appactions.h"
#include "app/editorwindowcontroller.h"
#include "app/emptystate.h"
#include "app/rootview.h"
#include "capture/appstate.h"
#include "capture/capture.h"
#include "editor/ui/editorview.h"

#include <QFileDialog>
#include <QImageReader>
#include <QMainWindow>
#include <QTimer>

MainWindow::MainWindow(AppState &state, HotKeyCenter &hotKeys, AppActions &actions, Capture &capture,
                       QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_hotKeys(hotKeys)
    , m_actions(actions)
    , m_capture(capture)
{
}

MainWindow::~MainWindow() = default;

EditorWindowController &MainWindow::controller()
{
    if (!m_controller) {
        m_controller = std::make_unique<EditorWindowController>(&m_state, &m_hotKeys);
        // The keys the tray menu shows work in the window too; Ctrl+Q is the only way out
        // without a tray.
        m_actions.addWindowKeys(m_controller->window());
        m_controller->rootView()->setPinner(m_pin);
        connect(m_controller->rootView()->emptyState(), &EmptyState::grabRequested, this,
                &MainWindow::grabRequested);
    }
    return *m_controller;
}

void MainWindow::setPinner(std::function<void(const QImage &, const QString &)> pin)
{
    m_pin = std::move(pin);
    if (m_controller)
        m_controller->rootView()->setPinner(m_pin);
}

void MainWindow::show()
{
    controller().show();
}

EditorModel *MainWindow::modelInFront() const
{
    // A closed window is hidden, not gone, and may still count as the active one.
    const QMainWindow *window = m_controller ? m_controller->window() : nullptr;
    if (!window || !window->isVisible() || window->isMinimized() || !window->isActiveWindow())
        return nullptr;
    const EditorView *view = m_controller->rootView()->editor();
    return view && view->isVisible() ? m_state.currentModel() : nullptr;
}

void MainWindow::stepAsideFor(std::function<void()> grab)
{
    controller().window()->hide();
    auto *guard = new QObject(this);
    connect(&m_capture, &Capture::grabEnded, guard, [this, guard] {
        guard->deleteLater();
        show();
    });
    // The window manager takes a moment to take the window off the screen the tool freezes.
    QTimer::singleShot(300, this, std::move(grab));
}

QString MainWindow::chooseImage()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QFileDialog::getOpenFileName(nullptr, tr("Open Image"), QString(),
                                        tr("Images (%1)").arg(patterns.join(QLatin1Char(' '))));
}
