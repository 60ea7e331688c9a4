// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"
#include "annotation/style.h"
#include "annotation/tool.h"
#include "editor/model/croparea.h"
#include "editor/model/cropgrab.h"
#include "editor/model/document.h"
#include "editor/model/exporter.h"
#include "editor/model/gestures.h"
#include "editor/model/notices.h"
#include "editor/model/selection.h"
#include "editor/model/snapshot.h"
#include "editor/model/toolbox.h"
#include "editor/model/zogquote.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QUuid>

#include <functional>
#include <optional>
#include <utility>

// One open image in the editor, as its views see it: the document and its undo (EditorDocument),
// the tool and its styles (EditorToolbox), the selection (EditorSelection), the pointer's
// gestures and the crop rectangle (EditorGestures, CropArea), copy and save (EditorExporter) and
// the notices (EditorNotices). It keeps the rules between them (choosing a tool ends a text
// entry, leaving crop drops the rectangle) and passes every part's signals on. Every coordinate
// is in pixels of the base image; the model never calls a view. Main thread only.
class EditorModel : public QObject
{
    Q_OBJECT
public:
    using SaveDialog = EditorExporter::SaveDialog;
    using FileRevealer = EditorNotices::FileRevealer;

    // A model whose pixelScale is the primary screen's device pixel ratio (2 without a screen).
    explicit EditorModel(const QImage &image, QObject *parent = nullptr);
    EditorModel(const QImage &image, qreal pixelScale, QObject *parent = nullptr);
    ~EditorModel() override;

    // Published state; each has a change signal below.
    const QImage &base() const { return m_document.base(); }
    const QList<Annotation> &annotations() const { return m_document.annotations(); }
    const std::optional<Annotation> &draft() const { return m_gestures.draft(); }
    std::optional<QRectF> cropRect() const { return m_crop.rect(); }
    std::optional<QUuid> selectedID() const { return m_selection.id(); }
    Tool tool() const { return m_toolbox.tool(); }
    // Assigning runs the tool-change rule: entering crop starts with the whole image, leaving it
    // drops the unapplied crop.
    void setTool(Tool tool);
    const QMap<Tool, Style> &toolStyles() const { return m_toolbox.styles(); }
    void setToolStyles(const QMap<Tool, Style> &styles) { m_toolbox.setStyles(styles); }
    std::optional<QPointF> textEntry() const { return m_gestures.textEntry(); }
    // Opening or closing the entry starts it empty; closing it this way drops what was typed.
    void setTextEntry(std::optional<QPointF> point) { m_gestures.setTextEntry(point); }
    // What has been typed at textEntry so far; the view keeps it current.
    const QString &typedText() const { return m_gestures.typedText(); }
    void setTypedText(const QString &text) { m_gestures.setTypedText(text); }
    std::optional<QString> toast() const { return m_notices.toast(); }
    const std::optional<ZogQuote> &quote() const { return m_notices.quote(); }
    void setQuote(const std::optional<ZogQuote> &quote) { m_notices.setQuote(quote); }

    // While another grab is shown, the model lets go of the picture its file holds (see
    // EditorDocument::releaseBase), keeping layers, undo history, tool and styles. Nothing else
    // may be asked of the model until restoreBase hands the file's picture back; false when
    // nothing was let go.
    bool releaseBase() { return m_document.releaseBase(); }
    bool isReleased() const { return m_document.isReleased(); }
    // Puts the file's picture, read again, wherever it was let go. False, changing nothing, for a
    // null image.
    bool restoreBase(const QImage &image);

    PixelCache &pixels() const { return m_document.pixels(); }
    // View points per image pixel; the canvas keeps it current.
    qreal viewScale() const { return m_gestures.viewScale(); }
    void setViewScale(qreal scale) { m_gestures.setViewScale(scale); }
    // Device pixels per point of the screen the per-tool defaults are sized for.
    qreal pixelScale() const { return m_toolbox.pixelScale(); }

    QSizeF imageSize() const { return m_document.imageSize(); }
    QRectF fullRect() const { return m_document.fullRect(); }
    bool canUndo() const { return m_document.canUndo(); }
    bool canRedo() const { return m_document.canRedo(); }
    const QList<Snapshot> &undoStack() const { return m_document.undoStack(); }
    const QList<Snapshot> &redoStack() const { return m_document.redoStack(); }
    std::optional<Annotation> selected() const { return m_selection.layer(); }
    std::optional<qsizetype> index(const QUuid &id) const { return m_document.index(id); }
    // The style new layers of the current tool get. Writing it changes only future layers.
    Style toolStyle() const { return m_toolbox.style(tool()); }
    void setToolStyle(const Style &style) { m_toolbox.setStyle(tool(), style); }

    void pushUndo() { m_document.pushUndo(); }
    void undo() { m_document.undo(); }
    void redo() { m_document.redo(); }
    // Makes a snapshot the present; an active crop starts over with the whole restored image.
    void restore(const Snapshot &snapshot) { m_document.restore(snapshot); }
    // Adds a finished layer on top with one undo step, and selects it.
    void commit(const Annotation &annotation);

    // Toolbar and keyboard tool choice: clears the quote and the selection; text being typed
    // becomes a layer when another tool is chosen.
    void chooseTool(Tool tool);
    // Selects a layer (switching to the move tool; text being typed becomes a layer first) or
    // nothing (keeping the tool).
    void select(std::optional<QUuid> id);
    // Makes style the tool's style here and its saved default for new documents.
    void saveDefault(const Style &style, Tool tool);
    void showToast(const QString &text) { m_notices.showToast(text); }
    void showToast(const QString &text, const QString &actionTitle, std::function<void()> action)
    {
        m_notices.showToast(text, actionTitle, std::move(action));
    }
    std::optional<QString> toastAction() const { return m_notices.toastAction(); }
    void triggerToastAction() { m_notices.triggerToastAction(); }
    void announceSaved(const QString &path) { m_notices.announceSaved(path); }
    // Reveals a saved file in the file manager; without one, the save notice offers no "Show".
    void setFileRevealer(FileRevealer revealer) { m_notices.setFileRevealer(std::move(revealer)); }

    // Pointer gestures, in image pixels (see EditorGestures).
    void dragChanged(QPointF start, QPointF current, bool shiftHeld = false);
    void dragEnded(QPointF at) { m_gestures.dragEnded(at); }
    std::optional<qsizetype> handleAt(QPointF p) const { return m_gestures.handleAt(p); }
    std::optional<std::pair<QPointF, QPointF>> resizeCorner(QPointF p) const
    {
        return m_gestures.resizeCorner(p);
    }

    // Layer commands on the selection; each records one undo step when it changes something.
    void shiftSelected(qsizetype places) { m_selection.shift(places); }
    void bringSelectedToFront() { m_selection.shift(annotations().size()); }
    void sendSelectedToBack() { m_selection.shift(-annotations().size()); }
    void deleteSelected() { m_selection.remove(); }
    // The current tool's style follows when the layer is of that tool.
    void setSelectedStyle(const Style &style);
    void setSelectedSize(QSizeF size) { m_selection.setSize(size); }
    // Replaces the selected text layer's text; blank text is refused.
    void setSelectedText(const QString &text);
    void setLayerText(const QUuid &id, const QString &text) { m_selection.setLayerText(id, text); }
    // Adds the text typed at textEntry as a layer unless blank, and closes the entry.
    void commitText(const QString &text) { m_gestures.commitText(text); }
    // commitText with typedText: what a click elsewhere does to a text being typed.
    void finishTextEntry() { m_gestures.commitText(typedText()); }
    void nudgeSelected(QPointF offset, bool continuing = false)
    {
        m_selection.nudge(offset, continuing);
    }

    // Adds the mascot in the middle of the image, 30 % of its width by default.
    void addWatermark();
    // Adds a picture centred on at (or the image centre), shrunk to fit 80 % of the image.
    void addPicture(const QImage &image, std::optional<QPointF> at = std::nullopt);
    // Adds the clipboard's image as a picture; false, with a notice, when it holds none.
    bool pasteImage();

    // Crop, resize and flatten; each records one undo step when it changes the image.
    CropGrab cropGrab(QPointF p) const { return m_crop.grab(p, viewScale()); }
    void applyCrop();
    void cancelCrop() { setTool(m_toolBeforeCrop); }
    // Scales image and layers (see EditorDocument::resize) and says the new size.
    void resize(QSizeF size);
    QImage flatten() const { return m_document.flatten(); }
    void flattenLayers();

    void copyToClipboard() { m_exporter.copyToClipboard(); }
    void save() { m_exporter.save(); }
    ExportJob exportJob() const { return m_exporter.job(); }
    // The editor's view gives the desktop's file dialog.
    void setSaveDialog(SaveDialog dialog) { m_exporter.setSaveDialog(std::move(dialog)); }
    bool hasSaveDialog() const { return m_exporter.hasSaveDialog(); }
    // Copies and saves queue behind those of every editor given the same queue.
    void setExportQueue(ExportQueue *queue) { m_exporter.setQueue(queue); }

signals:
    void baseChanged();
    void annotationsChanged();
    void draftChanged();
    void cropRectChanged();
    void selectedIDChanged();
    void toolChanged();
    void toolStylesChanged();
    void textEntryChanged();
    void toastChanged();
    void quoteChanged();
    // canUndo or canRedo may have changed.
    void historyChanged();
    // Any of the above: for views that simply redraw.
    void changed();

private:
    // Passes a part's signal on as this model's, followed by changed().
    template<typename Part, typename Signal>
    void relay(const Part *part, void (Part::*from)(), Signal to);

    EditorDocument m_document;
    EditorToolbox m_toolbox;
    EditorSelection m_selection;
    CropArea m_crop;
    EditorGestures m_gestures;
    EditorNotices m_notices;
    EditorExporter m_exporter;
    Tool m_toolBeforeCrop = Tool::arrow;
};
