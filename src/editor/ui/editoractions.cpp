// SPDX-License-Identifier: MIT
#include "editor/ui/editoractions.h"

#include "editor/model/editormodel.h"

#include <QAction>
#include <QWidget>

namespace {

// Ctrl+[ and Ctrl+] are written as key sequences so that they read the same in tooltips.
const EditorActions::Entry table[] = {
    {EditorActions::watermark, QT_TRANSLATE_NOOP("EditorActions", "Watermark"), "image", "", QT_TRANSLATE_NOOP("EditorActions", "Add the ZOG kiwano as a layer")},
    {EditorActions::resize, QT_TRANSLATE_NOOP("EditorActions", "Resize"), "expand", "", ""},
    {EditorActions::undo, QT_TRANSLATE_NOOP("EditorActions", "Undo"), "undo", "Ctrl+Z", ""},
    {EditorActions::redo, QT_TRANSLATE_NOOP("EditorActions", "Redo"), "redo", "Ctrl+Shift+Z", ""},
    {EditorActions::copy, QT_TRANSLATE_NOOP("EditorActions", "Copy"), "clone", "Ctrl+C", ""},
    {EditorActions::pin, QT_TRANSLATE_NOOP("EditorActions", "Pin"), "bookmark", "", QT_TRANSLATE_NOOP("EditorActions", "Pin the grab on the screen, above other windows")},
    {EditorActions::save, QT_TRANSLATE_NOOP("EditorActions", "Save"), "arrow-down-to-bracket", "Ctrl+S", ""},
    {EditorActions::bringForward, "", "arrow-up", "Ctrl+]", QT_TRANSLATE_NOOP("EditorActions", "Bring forward (Ctrl+])")},
    {EditorActions::sendBackward, "", "arrow-down", "Ctrl+[", QT_TRANSLATE_NOOP("EditorActions", "Send backward (Ctrl+[)")},
    {EditorActions::deleteLayer, "", "trash", "", QT_TRANSLATE_NOOP("EditorActions", "Delete layer (\u232B)")},
    {EditorActions::flatten, "", "compress", "", QT_TRANSLATE_NOOP("EditorActions", "Flatten: bake every layer into the image")},
};
static_assert(std::size(table) == EditorActions::count);

} // namespace

const EditorActions::Entry &EditorActions::entry(Id id)
{
    return table[id];
}

EditorActions::EditorActions(EditorModel *model, QWidget *view)
    : QObject(view)
    , m_model(model)
{
    for (const Entry &e : table) {
        auto *action = new QAction(tr(e.title), view);
        if (*e.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut),
                                             QKeySequence::PortableText));
            // The whole window: the grab strip or a sidebar panel may hold the focus. A text
            // field still takes its own keys (copy, undo...) before these.
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setToolTip(*e.toolTip ? tr(e.toolTip) : QString());
        const Id id = e.id;
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        view->addAction(action);
        m_actions[id] = action;
    }
    connect(model, &EditorModel::changed, this, &EditorActions::updateEnabled);
    updateEnabled();
}

void EditorActions::trigger(Id id)
{
    switch (id) {
    case watermark: m_model->addWatermark(); break;
    case resize:
        m_model->setQuote(std::nullopt);
        emit resizeRequested();
        break;
    case undo: m_model->undo(); break;
    case redo: m_model->redo(); break;
    case copy: m_model->copyToClipboard(); break;
    case pin: emit pinRequested(); break;
    case save: m_model->save(); break;
    case bringForward: m_model->shiftSelected(1); break;
    case sendBackward: m_model->shiftSelected(-1); break;
    case deleteLayer: m_model->deleteSelected(); break;
    case flatten: m_model->flattenLayers(); break;
    case count: break;
    }
}

void EditorActions::updateEnabled()
{
    const bool layerCommands = m_model->selectedID().has_value()
        && !m_model->textEntry().has_value();
    m_actions[undo]->setEnabled(m_model->canUndo());
    m_actions[redo]->setEnabled(m_model->canRedo());
    m_actions[bringForward]->setEnabled(layerCommands);
    m_actions[sendBackward]->setEnabled(layerCommands);
    m_actions[deleteLayer]->setEnabled(layerCommands);
    m_actions[flatten]->setEnabled(!m_model->annotations().isEmpty());
}
