// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"
#include "editor/model/snapshot.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class PixelCache;

// The picture being edited: the base bitmap, its layers bottom first, and unlimited undo over
// both. Every coordinate is in pixels of the base image. Main thread only.
class EditorDocument : public QObject
{
    Q_OBJECT
public:
    explicit EditorDocument(const QImage &image, QObject *parent = nullptr);
    ~EditorDocument() override;

    const QImage &base() const { return m_base; }
    const QList<Annotation> &annotations() const { return m_annotations; }
    QSizeF imageSize() const { return QSizeF(m_base.size()); }
    QRectF fullRect() const { return QRectF(QPointF(0, 0), imageSize()); }
    // Pixellated copies of the base for blur layers; replaced whenever the base is.
    PixelCache &pixels() const { return *m_pixels; }
    // The position of the first layer with that id.
    std::optional<qsizetype> index(const QUuid &id) const;
    // The layer with that id, as it is now.
    std::optional<Annotation> layer(const QUuid &id) const;

    void setBase(const QImage &image);
    void setAnnotations(const QList<Annotation> &annotations);
    void replaceLayer(qsizetype at, const Annotation &annotation);
    // Adds a finished layer on top with one undo step.
    void add(const Annotation &annotation);

    bool canUndo() const { return !m_undoStack.isEmpty(); }
    bool canRedo() const { return !m_redoStack.isEmpty(); }
    const QList<Snapshot> &undoStack() const { return m_undoStack; }
    const QList<Snapshot> &redoStack() const { return m_redoStack; }
    // Records the present before a change and empties the redo stack.
    void pushUndo();
    void undo();
    void redo();
    // Makes a snapshot the present.
    void restore(const Snapshot &snapshot);
    // A step taken before a change whose end is not known yet (a drag): recordHeldStep makes it
    // the undo step, dropHeldStep forgets it, leaving the history alone.
    void holdStep();
    void recordHeldStep();
    void dropHeldStep();

    // Crop, resize and flatten; each records one undo step when it changes the image.
    // Cuts the base to the whole pixels area covers and moves the layers with it; false when
    // that would change nothing or the bitmap cannot be made.
    bool cropTo(const QRectF &area);
    // Scales image and layers to the size rounded to whole pixels; sizes that are not positive
    // and finite, or longer than Bitmap::largestSide on a side, do nothing. The new size, if any.
    std::optional<QSize> resize(QSizeF size);
    // The base with every layer drawn on it; a null image when the bitmap cannot be made.
    QImage flatten() const;
    // Burns every layer into the base; false when there were none or the bitmap failed.
    bool flattenLayers();

    // While another grab is shown, the document lets go of the picture its file holds: every use
    // of it (the base, undo and redo steps, a held step) drops it, and so do the pixellated
    // copies. False when nothing was let go.
    bool releaseBase();
    bool isReleased() const { return m_released; }
    // Puts the file's picture back wherever it was let go. False, changing nothing, for a null
    // image.
    bool restoreBase(const QImage &image);

signals:
    void baseChanged();
    void annotationsChanged();
    // canUndo or canRedo may have changed.
    void historyChanged();
    // An undo or redo has put an earlier state in place.
    void restored();

private:
    Snapshot present();
    void recordUndo(const Snapshot &before);
    void pinBlurSizes();
    // Every place a base image is held: the document's, the undo and redo steps', a held step's.
    void forEachBase(const std::function<void(QImage &)> &visit);

    QImage m_base;
    // The bitmap read from the file (the one releaseBase lets go), known by its cache key.
    qint64 m_sourceKey = 0;
    bool m_released = false;
    std::unique_ptr<PixelCache> m_pixels;
    QList<Annotation> m_annotations;
    QList<Snapshot> m_undoStack;
    QList<Snapshot> m_redoStack;
    std::optional<Snapshot> m_held;
    // The newest shared copy of each layer, so that snapshots of unchanged layers share it. Weak:
    // a layer no snapshot holds any more (a paste undone and then dropped from redo) lets go.
    QHash<QUuid, std::weak_ptr<const Annotation>> m_sharedLayers;
};
