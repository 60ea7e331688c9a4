// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class AppState;
#include "editor/ui/editorview.h"
class EmptyState;
class GrabPlaceholder;
class HistoryStrip;
class QVBoxLayout;

// The main window's content on the cream background: the selected grab's editor (or the empty
// state) above the strip of grabs. The editor is made anew for every grab shown, over the grab's
// kept model; the model is read off the main thread and a placeholder stands in until then.
class RootView : public QWidget
{
    Q_OBJECT

public:
    explicit RootView(AppState *state, QWidget *parent = nullptr);

    HistoryStrip *strip() const { return m_strip; }
    EmptyState *emptyState() const { return m_empty; }
    // The editor shown, or null while the placeholder or the empty state shows.
    EditorView *editor() const { return m_editor; }
    bool isWaiting() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void selectedChanged();
    void modelReady(const QUrl &url);
    void modelFailed(const QUrl &url);
    void showOnly(QWidget *upper);
    void showEditor();

    AppState *m_state;
    QVBoxLayout *m_upper;
    EmptyState *m_empty;
    GrabPlaceholder *m_placeholder;
    QPointer<EditorView> m_editor;
    HistoryStrip *m_strip;
    // Browsing frees a grab's worth of bitmaps at every step: once it pauses, the heap's free
    // pages go back to the system.
    QTimer m_trim;
};
