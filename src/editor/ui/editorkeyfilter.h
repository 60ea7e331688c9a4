// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class EditorModel;

// What the editor window does with a key press before the focused control sees it.
namespace EditorKeys {

enum class Command { pass, pasteImage, deleteSelected, chooseTool };

struct Situation
{
    bool textEditorFocused = false; // a line edit, text edit or spin box has the focus
    bool hasModel = false;
    bool layerSelected = false;
    bool textEntryOpen = false;     // a text layer is being typed on the canvas
};

// Ctrl+V with no other of Ctrl/Alt/Shift/Meta pastes an image; Backspace or Delete without
// Ctrl, Alt or Meta (Shift is fine) deletes the selected layer, wherever the focus is outside a
// text field: a selected layer takes the key before the grab strip would. A tool's letter alone
// (Tools::forKey) chooses that tool, unless a text is being typed. Anything else passes.
Command decide(int key, Qt::KeyboardModifiers modifiers, const Situation &situation);

// True for the widgets that take typed text, where the editor's own keys must not act.
bool isTextEditor(const QWidget *widget);

} // namespace EditorKeys

// The editor window's own keys, seen before the focused control: Ctrl+V pastes an image and
// Backspace or Delete deletes the selected layer, and a tool's letter chooses it, unless a text is
// being typed. Install it on the
// application; it acts only on events for window.
class EditorKeyFilter : public QObject
{
    Q_OBJECT

public:
    EditorKeyFilter(QWidget *window, std::function<EditorModel *()> currentModel,
                    QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    std::function<EditorModel *()> m_currentModel;
};
