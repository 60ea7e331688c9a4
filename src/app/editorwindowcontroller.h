// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <optional>

class AppState;
class ColorPanelBridge;
class EditorKeyFilter;
class ExportQueue;
class QMainWindow;
class RootView;

// The one editor window: made once, hidden (never destroyed) when closed, brought to the front
// by show(). Its frame is kept in KiwanoSnapperEditor.ini beside the preferences.
class EditorWindowController : public QObject
{
    Q_OBJECT

public:
    static constexpr QSize minimumSize{1100, 600};
    static constexpr QSize maximumInitialSize{1200, 820};
    static constexpr QSize sizeWithoutScreen{1200, 810};

    explicit EditorWindowController(AppState *state, QObject *parent = nullptr);
    ~EditorWindowController() override;

    // Shows the window as it was left, raised above the others and active.
    void show();

    QMainWindow *window() const { return m_window; }
    RootView *rootView() const { return m_root; }
    AppState *state() const { return m_state; }

    // The first size of the window on a screen whose available area is that: 90 % of it, capped.
    static QSize initialSize(const std::optional<QRect> &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void saveGeometry() const;
    void placeFirstTime();

    AppState *m_state;
    // One colour chooser for every editor shown in the window.
    ColorPanelBridge *m_colors;
    // The editors' copies and saves, one after another; quitting waits for those under way.
    ExportQueue *m_exports;
    QMainWindow *m_window;
    RootView *m_root;
    EditorKeyFilter *m_keys;
};
