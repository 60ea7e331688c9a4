// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "capture/grabentry.h"
#include "app/stripview.h"
#include "editor/ui/editorview.h"

class ActionToast;
class AppState;
class EmptyState;
class GrabPlaceholder;
class HistoryStrip;
class QVBoxLayout;

// The main window's content on the cream background: the selected grab's editor (or the empty
// state) above the strip of grabs. The editor is made anew for every grab shown, over the grab's
// kept model; the model is read off the main thread and a placeholder stands in until then.
// A toast above the strip tells what became of a grab sent to the trash, with Undo.
class RootView : public QWidget
{
    Q_OBJECT

public:
    // Every editor shown borrows desktop.
    RootView(AppState *state, const EditorDesktop &desktop, QWidget *parent = nullptr);

    HistoryStrip *strip() const { return m_strip; }
    EmptyState *emptyState() const { return m_empty; }
    // The editor shown, or null while the placeholder or the empty state shows.
    EditorView *editor() const { return m_editor; }
    bool isWaiting() const;
    ActionToast *toast() const { return m_toast; }
    // Where "Pin" in the editors shown from now on and in the strip's menu sends the grab.
    void setPinner(const StripView::Pinner &pin);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void selectedChanged();
    void modelReady(const QUrl &url);
    void modelFailed(const QUrl &url);
    void showOnly(QWidget *upper);
    void showEditor();
    void grabTrashed(const GrabEntry &entry);
    void trashFailed(const GrabEntry &entry, const QString &reason);
    void grabRestored(const GrabEntry &entry);
    void restoreFailed(const GrabEntry &entry, const QString &reason);

    AppState *m_state;
    EditorDesktop m_desktop;
    QVBoxLayout *m_upper;
    EmptyState *m_empty;
    GrabPlaceholder *m_placeholder;
    QPointer<EditorView> m_editor;
    HistoryStrip *m_strip;
    // Browsing frees a grab's worth of bitmaps at every step: once it pauses, the heap's free
    // pages go back to the system.
    QTimer m_trim;
    ActionToast *m_toast;
};
