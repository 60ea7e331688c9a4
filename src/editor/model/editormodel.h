// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"
#include "annotation/style.h"
#include "annotation/tool.h"
#include "editor/model/cropgrab.h"
#include "editor/model/snapshot.h"
#include "editor/model/zogquote.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class PixelCache;

// What copy and save flatten on a worker thread: the document as it was when asked, with its own
// copy of the blur cache, which shares the pixellations already made.
struct ExportJob
{
    QImage base;
    QList<Annotation> layers;
    std::shared_ptr<PixelCache> pixels;

    // The composite, or a null image when its bitmap cannot be made.
    QImage flatten() const;
};

// The document of one open image: the base bitmap, its layers, the current tool with a style per
// tool, the selection, the state of a pointer gesture, unlimited undo, and the short notices
// (toast and quote). Every coordinate is in pixels of the base image. Views observe the signals
// and call the operations; the model never calls a view. Main thread only.
class EditorModel : public QObject
{
    Q_OBJECT
public:
    // Asks where to save: the folder to open in and the proposed file name; the chosen file, or
    // nothing when the user cancels.
    using SaveDialog =
        std::function<std::optional<QString>(const QString &folder, const QString &fileName)>;

    // A model whose pixelScale is the primary screen's device pixel ratio (2 without a screen).
    explicit EditorModel(const QImage &image, QObject *parent = nullptr);
    EditorModel(const QImage &image, qreal pixelScale, QObject *parent = nullptr);
    ~EditorModel() override;

    // Published state; each has a change signal below.
    const QImage &base() const { return m_base; }
    const QList<Annotation> &annotations() const { return m_annotations; }
    const std::optional<Annotation> &draft() const { return m_draft; }
    std::optional<QRectF> cropRect() const { return m_cropRect; }
    std::optional<QUuid> selectedID() const { return m_selectedID; }
    Tool tool() const { return m_tool; }
    // Assigning runs the tool-change rule: entering crop starts with the whole image, leaving it
    // drops the unapplied crop.
    void setTool(Tool tool);
    const QMap<Tool, Style> &toolStyles() const { return m_toolStyles; }
    void setToolStyles(const QMap<Tool, Style> &styles);
    std::optional<QPointF> textEntry() const { return m_textEntry; }
    // Opening or closing the entry starts it empty; closing it this way drops what was typed.
    void setTextEntry(std::optional<QPointF> point);
    // What has been typed at textEntry so far; the view keeps it current.
    const QString &typedText() const { return m_typedText; }
    void setTypedText(const QString &text);
    std::optional<QString> toast() const { return m_toast; }
    const std::optional<ZogQuote> &quote() const { return m_quote; }
    void setQuote(const std::optional<ZogQuote> &quote);

    // While another grab is shown, the model lets go of the picture its file holds: every use of
    // it (the base, undo and redo steps) drops it, and so do the pixellated copies, so that only
    // what the file cannot give back stays (layers, the undo history's layers, bitmaps that
    // crops and resizes made, tool and styles). Nothing else may be asked of the model until
    // restoreBase hands the file's picture back; false when nothing was let go.
    bool releaseBase();
    bool isReleased() const { return m_released; }
    // Puts the file's picture, read again, wherever it was let go, and pixellates anew on demand.
    // False, changing nothing, for a null image.
    bool restoreBase(const QImage &image);

    // Pixellated copies of the base for blur layers; replaced whenever the base is.
    PixelCache &pixels() const { return *m_pixels; }
    // View points per image pixel; the canvas keeps it current.
    qreal viewScale() const { return m_viewScale; }
    void setViewScale(qreal scale);
    // Device pixels per point of the screen the per-tool defaults are sized for.
    qreal pixelScale() const { return m_pixelScale; }

    QSizeF imageSize() const { return QSizeF(m_base.size()); }
    QRectF fullRect() const { return QRectF(QPointF(0, 0), imageSize()); }
    bool canUndo() const { return !m_undoStack.isEmpty(); }
    bool canRedo() const { return !m_redoStack.isEmpty(); }
    const QList<Snapshot> &undoStack() const { return m_undoStack; }
    const QList<Snapshot> &redoStack() const { return m_redoStack; }
    // The selected layer; nothing when none is selected or it is no longer in the list.
    std::optional<Annotation> selected() const;
    // The position of the first layer with that id.
    std::optional<qsizetype> index(const QUuid &id) const;
    // The style new layers of the current tool get: its entry in toolStyles, else the built-in
    // default. Writing it changes only future layers of that tool.
    Style toolStyle() const;
    void setToolStyle(const Style &style);

    // Undo history. pushUndo records the present before a change and empties the redo stack.
    void pushUndo();
    void undo();
    void redo();
    // Makes a snapshot the present; an active crop starts over with the whole restored image.
    void restore(const Snapshot &snapshot);
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
    // Shows text for 1.5 s, longer when the text is long (about 15 characters a second); a newer
    // notice is not cut short by an older one's timer.
    void showToast(const QString &text);
    // A notice with one button (titled actionTitle) that runs action; it stays at least 6 s.
    void showToast(const QString &text, const QString &actionTitle, std::function<void()> action);
    // The button of the notice shown, if it has one.
    std::optional<QString> toastAction() const { return m_toastActionTitle; }
    // What the notice's button does; the notice goes with it.
    void triggerToastAction();
    // The notice of a finished save: the file's name, and "Show" where files can be revealed.
    void announceSaved(const QString &path);
    // Reveals a saved file in the file manager; without one, the save notice offers no "Show".
    // The host sets it once for every model.
    static void setFileRevealer(std::function<void(const QString &path)> revealer);

    // Pointer gestures, in image pixels: dragChanged for every pointer move of one drag (always
    // with the drag's start), dragEnded once at its end. shiftHeld frees a picture's proportions
    // while a corner is dragged.
    void dragChanged(QPointF start, QPointF current, bool shiftHeld = false);
    void dragEnded(QPointF at);
    // The handle of the selected layer near p (an index into its handles()); nothing outside the
    // move tool or away from the handles.
    std::optional<qsizetype> handleAt(QPointF p) const;
    // The handle near p and the point that stays while it is dragged (the opposite corner, the
    // arrow's other end).
    std::optional<std::pair<QPointF, QPointF>> resizeCorner(QPointF p) const;

    // Layer commands on the selection; each records one undo step when it changes something.
    void shiftSelected(qsizetype places);
    void bringSelectedToFront();
    void sendSelectedToBack();
    void deleteSelected();
    void setSelectedStyle(const Style &style);
    // Gives a selected watermark or picture this size, keeping its top-left corner; a
    // watermark's height follows the mascot's proportions.
    void setSelectedSize(QSizeF size);
    // Replaces the selected text layer's text; blank text is refused.
    void setSelectedText(const QString &text);
    // Replaces the text of the text layer with that id, selected or not; blank text is refused.
    void setLayerText(const QUuid &id, const QString &text);
    // Adds the text typed at textEntry as a layer unless blank, and closes the entry.
    void commitText(const QString &text);
    // commitText with typedText: what a click elsewhere does to a text being typed.
    void finishTextEntry();
    // Moves the selected layer by the offset. Each call is one undo step, except that a call
    // continuing the one before on the same layer (a held key repeating) joins its step.
    void nudgeSelected(QPointF offset, bool continuing = false);

    // Adds the mascot in the middle of the image, 30 % of its width by default.
    void addWatermark();
    // Adds a picture centred on at (or the image centre), shrunk to fit 80 % of the image.
    void addPicture(const QImage &image, std::optional<QPointF> at = std::nullopt);
    // Adds the clipboard's image as a picture; false, with a notice, when it holds none.
    bool pasteImage();

    // Crop, resize and flatten; each records one undo step when it changes the image.
    CropGrab cropGrab(QPointF p) const;
    void applyCrop();
    void cancelCrop();
    // Scales image and layers to the size rounded to whole pixels; sizes that are not positive
    // and finite, or longer than Bitmap::largestSide on a side, do nothing.
    void resize(QSizeF size);
    // The base with every layer drawn on it; a null image when the bitmap cannot be made.
    QImage flatten() const;
    // Burns every layer into the base.
    void flattenLayers();

    // Puts the flattened image on the clipboard as PNG, flattened and encoded off the main
    // thread; the notice "Copied!" follows once it is there, or says that flattening failed.
    void copyToClipboard();
    // Writes the flattened image as a PNG into the save folder or where the dialog says,
    // flattened, encoded and written off the main thread; the outcome is shown as a notice when
    // the write ends.
    void save();
    // The document as copy and save see it.
    ExportJob exportJob() const;
    // The dialog save() opens where the user asked to choose each time; the editor's view gives
    // the desktop's file dialog. Without one such a save does nothing.
    void setSaveDialog(SaveDialog dialog);
    bool hasSaveDialog() const { return bool(m_saveDialog); }

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
    // Every place a base image is held: the document's, the undo and redo steps', a gesture's.
    void forEachBase(const std::function<void(QImage &)> &visit);

    struct Moving
    {
        Annotation original;
        Snapshot before;
    };
    struct Resizing
    {
        Annotation original;
        qsizetype handle;
        Snapshot before;
    };
    struct CropDrag
    {
        CropGrab grab;
        QRectF original;
    };

    Snapshot present();
    void setBase(const QImage &image);
    void setAnnotations(const QList<Annotation> &annotations);
    void pinBlurSizes();
    void replaceLayer(qsizetype at, const Annotation &annotation);
    void setDraft(const std::optional<Annotation> &draft);
    void setCropRect(std::optional<QRectF> rect);
    void setSelectedID(std::optional<QUuid> id);
    void setToast(std::optional<QString> text);
    void showToastFor(const QString &text, std::optional<QString> actionTitle,
                      std::function<void()> action, int milliseconds);
    void recordUndo(const Snapshot &before);

    void dragMove(QPointF start, QPointF current, bool first, bool shiftHeld);
    void dragDraw(QPointF start, QPointF current);
    void dragCrop(QPointF start, QPointF current, bool first);
    void endCropDrag();
    void writePng(ExportJob job, const QString &target);

    QImage m_base;
    // The bitmap read from the file (the one releaseBase lets go), known by its cache key.
    qint64 m_sourceKey = 0;
    bool m_released = false;
    std::unique_ptr<PixelCache> m_pixels;
    QList<Annotation> m_annotations;
    std::optional<Annotation> m_draft;
    std::optional<QRectF> m_cropRect;
    std::optional<QUuid> m_selectedID;
    Tool m_tool = Tool::arrow;
    QMap<Tool, Style> m_toolStyles;
    std::optional<QPointF> m_textEntry;
    QString m_typedText;
    // The layer the last nudge moved and the undo depth it left, so a repeat can join its step.
    std::optional<std::pair<QUuid, qsizetype>> m_lastNudge;
    std::optional<QString> m_toast;
    std::optional<QString> m_toastActionTitle;
    std::function<void()> m_toastAction;
    quint64 m_toastSerial = 0;
    std::optional<ZogQuote> m_quote;
    QList<Snapshot> m_undoStack;
    QList<Snapshot> m_redoStack;
    std::optional<QPointF> m_dragStart;
    std::optional<Moving> m_moving;
    std::optional<Resizing> m_resizing;
    std::optional<CropDrag> m_cropDrag;
    Tool m_toolBeforeCrop = Tool::arrow;
    qreal m_viewScale = 1;
    qreal m_pixelScale = 2;
    SaveDialog m_saveDialog;
    // The newest shared copy of each layer, so that snapshots of unchanged layers share it. Weak:
    // a layer no snapshot holds any more (a paste undone and then dropped from redo) lets go.
    QHash<QUuid, std::weak_ptr<const Annotation>> m_sharedLayers;
};
