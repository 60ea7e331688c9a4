// SPDX-License-Identifier: MIT
#include "editor/ui/editorkeyfilter.h"

#include "annotation/tool.h"
#include "editor/model/editormodel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace EditorKeys {

Command decide(int key, Qt::KeyboardModifiers modifiers, const Situation &situation)
{
    if (situation.textEditorFocused || !situation.hasModel)
        return Command::pass;
    const Qt::KeyboardModifiers held = modifiers
        & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    if (key == Qt::Key_V && held == Qt::ControlModifier)
        return Command::pasteImage;
    const bool deleteKey = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    if (deleteKey && !(held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        && situation.layerSelected && !situation.textEntryOpen)
        return Command::deleteSelected;
    if (held == Qt::NoModifier && !situation.textEntryOpen && Tools::forKey(key))
        return Command::chooseTool;
    return Command::pass;
}

bool isTextEditor(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget)
        || qobject_cast<const QPlainTextEdit *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget);
}

} // namespace EditorKeys

EditorKeyFilter::EditorKeyFilter(QWidget *window, std::function<EditorModel *()> currentModel,
                                 QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_currentModel(std::move(currentModel))
{
}

bool EditorKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || !m_window)
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_window)
        return QObject::eventFilter(watched, event);

    auto *key = static_cast<QKeyEvent *>(event);
    EditorModel *model = m_currentModel ? m_currentModel() : nullptr;
    QWidget *focus = QApplication::focusWidget();
    EditorKeys::Situation situation;
    situation.textEditorFocused = EditorKeys::isTextEditor(focus ? focus : widget);
    situation.hasModel = model != nullptr;
    situation.layerSelected = model && model->selectedID().has_value();
    situation.textEntryOpen = model && model->textEntry().has_value();

    switch (EditorKeys::decide(key->key(), key->modifiers(), situation)) {
    case EditorKeys::Command::pasteImage:
        model->pasteImage();
        return true;
    case EditorKeys::Command::deleteSelected:
        model->deleteSelected();
        return true;
    case EditorKeys::Command::chooseTool:
        model->chooseTool(*Tools::forKey(key->key()));
        return true;
    case EditorKeys::Command::pass:
        break;
    }
    return QObject::eventFilter(watched, event);
}
