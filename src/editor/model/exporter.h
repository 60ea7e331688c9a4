// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class EditorDocument;
class EditorNotices;
class ExportQueue;
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

// Copies the flattened document to the clipboard and saves it as a PNG file, flattening,
// encoding and writing on one worker thread; each outcome is told as a notice.
class EditorExporter : public QObject
{
    Q_OBJECT
public:
    // Asks where to save: the folder to open in and the proposed file name; the chosen file, or
    // nothing when the user cancels.
    using SaveDialog =
        std::function<std::optional<QString>(const QString &folder, const QString &fileName)>;

    EditorExporter(const EditorDocument &document, EditorNotices &notices, qreal pixelScale,
                   QObject *parent = nullptr);
    ~EditorExporter() override;

    // The document as copy and save see it.
    ExportJob job() const;
    // Puts the flattened image on the clipboard as PNG; "Copied!" follows once it is there, or
    // a notice that flattening failed.
    void copyToClipboard();
    // Writes the flattened image as a PNG into the save folder or where the dialog says; the
    // outcome is shown as a notice when the write ends.
    void save();
    // The dialog save() opens where the user asked to choose each time. Without one such a save
    // does nothing.
    void setSaveDialog(SaveDialog dialog) { m_saveDialog = std::move(dialog); }
    bool hasSaveDialog() const { return bool(m_saveDialog); }
    // The queue shared with the other editors, which must outlive this exporter; until one is
    // given (or with none), copies and saves queue on a thread of this exporter's own.
    void setQueue(ExportQueue *queue);

private:
    ExportQueue *queue();
    void writePng(ExportJob job, const QString &target);

    const EditorDocument &m_document;
    EditorNotices &m_notices;
    qreal m_pixelScale;
    SaveDialog m_saveDialog;
    std::unique_ptr<ExportQueue> m_ownQueue;
    QPointer<ExportQueue> m_sharedQueue;
};
