// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class AppActions;
class AppState;
class Capture;
class EditorModel;
class EditorWindowController;
class HotKeyCenter;

// The main window as the application uses it: made on first use, with the window keys of the
// action table, naming the region shortcut in its empty state, and stepping aside while a grab
// asked for from there is taken.
class MainWindow : public QObject
{
    Q_OBJECT

public:
    MainWindow(AppState &state, HotKeyCenter &hotKeys, AppActions &actions, Capture &capture,
               QObject *parent = nullptr);
    ~MainWindow() override;

    // Made on first use and then kept.
    EditorWindowController &controller();
    void show();
    // The model whose notice shows in the window, while that window is the active one.
    EditorModel *modelInFront() const;
    // Hides the window, runs grab once the window manager took it off the screen, and shows the
    // window again when the grab is done, landed, failed or cancelled.
    void stepAsideFor(std::function<void()> grab);
    // Asks for an image file to open; empty when the person cancelled.
    static QString chooseImage();
    // Where the window's "Pin" (the editor's and the strip's) sends a flattened grab.
    void setPinner(std::function<void(const QImage &picture, const QString &name)> pin);

signals:
    // The empty state's button asks for a region grab.
    void grabRequested();

private:
    AppState &m_state;
    HotKeyCenter &m_hotKeys;
    AppActions &m_actions;
    Capture &m_capture;
    std::unique_ptr<EditorWindowController> m_controller;
    std::function<void(const QImage &, const QString &)> m_pin;
};
