// SPDX-License-Identifier: MIT
// Copying the flattened image to the clipboard and saving it as a PNG file. Flattening, encoding
// and writing run on the export queue's one worker thread from a copy of the document, so the
// editor stays responsive and outcomes are told in the order the commands were given.
#include "editor/model/exporter.h"

#include "editor/model/document.h"
#include "editor/model/exportqueue.h"
#include "editor/model/notices.h"

#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "editor/model/savelocation.h"
#include "image/png.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent>
#include <QtEndian>

namespace {

quint32 crc32(const char *data, qsizetype size)
{
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Adds the pixel density to a PNG, so that an application pasting it shows it at the size it
// had on this screen: pixelScale device pixels per point of 1/72 inch.
QByteArray withDensity(QByteArray png, qreal pixelScale)
{
    constexpr qsizetype afterHeader = 8 + 25; // signature, then the IHDR chunk
    if (png.size() < afterHeader)
        return png;
    const quint32 dotsPerMeter = quint32(std::lround(pixelScale * 72 / 0.0254));
    QByteArray chunk(4 + 4 + 9 + 4, '\0');
    char *p = chunk.data();
    qToBigEndian<quint32>(9, p);
    memcpy(p + 4, "pHYs", 4);
    qToBigEndian(dotsPerMeter, p + 8);
    qToBigEndian(dotsPerMeter, p + 12);
    p[16] = 1; // unit: metre
    qToBigEndian(crc32(p + 4, 4 + 9), p + 17);
    png.insert(afterHeader, chunk);
    return png;
}

QString flattenFailure()
{
    return QCoreApplication::translate("EditorModel", "not enough memory to flatten the image");
}

} // namespace

EditorExporter::EditorExporter(const EditorDocument &document, EditorNotices &notices,
                               qreal pixelScale, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_notices(notices)
    , m_pixelScale(pixelScale)
{
}

EditorExporter::~EditorExporter() = default;

void EditorExporter::setQueue(ExportQueue *queue)
{
    m_sharedQueue = queue;
}

ExportQueue *EditorExporter::queue()
{
    if (m_sharedQueue)
        return m_sharedQueue;
    // Made when first needed: most grabs are never copied or saved from their editor.
    if (!m_ownQueue)
        m_ownQueue = std::make_unique<ExportQueue>();
    return m_ownQueue.get();
}

ExportJob EditorExporter::job() const
{
    return ExportJob{m_document.base(), m_document.annotations(),
                     std::shared_ptr<PixelCache>(m_document.pixels().clone())};
}

void EditorExporter::copyToClipboard()
{
    const qreal scale = m_pixelScale;
    QtConcurrent::run(queue()->pool(), [job = job(), scale] {
        const QImage image = job.flatten();
        return image.isNull() ? QByteArray() : withDensity(Png::encode(image), scale);
    }).then(qApp, [notices = QPointer<EditorNotices>(&m_notices)](const QByteArray &png) {
        // The clipboard is filled even when the editor has gone meanwhile (its grab released or
        // closed): the copy was asked for.
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!png.isEmpty() && clipboard) {
            auto *mime = new QMimeData;
            mime->setData(QStringLiteral("image/png"), png);
            clipboard->setMimeData(mime, QClipboard::Clipboard);
        }
        if (!notices)
            return;
        if (png.isEmpty())
            notices->showToast(QCoreApplication::translate("EditorModel", "Couldn't copy: %1")
                                   .arg(flattenFailure()));
        else if (clipboard)
            notices->showToast(QCoreApplication::translate("EditorModel", "Copied!"));
    });
}

void EditorExporter::save()
{
    // The document as it is now, whatever happens to it while the dialog is open.
    ExportJob job = this->job();

    const QString stem = QStringLiteral("Kiwano ") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss"));
    const QString folder = SaveLocation::folder();

    QString target;
    // The default folder is made when first used; a stored one that is gone is asked about.
    if (folder == SaveLocation::defaultFolder())
        QDir().mkpath(folder);
    if (!SaveLocation::askEachTime() && QFileInfo(folder).isDir()) {
        target = SaveLocation::unusedURL(folder, stem, queue()->pendingTargets());
    } else {
        // Without a view there is nobody to ask: nothing is saved.
        const auto chosen = m_saveDialog ? m_saveDialog(folder, stem + QStringLiteral(".png")) : std::nullopt;
        if (!chosen || chosen->isEmpty())
            return;
        target = *chosen;
        SaveLocation::setFolder(QFileInfo(target).absolutePath());
    }
    writePng(std::move(job), target);
}

void EditorExporter::writePng(ExportJob job, const QString &target)
{
    queue()->reserve(target);
    struct Outcome
    {
        bool written = false;
        QString error;
    };
    QtConcurrent::run(queue()->pool(), [job = std::move(job), target] {
        Outcome outcome;
        const QImage image = job.flatten();
        if (image.isNull())
            outcome.error = flattenFailure();
        else
            outcome.written = Png::write(image, target, &outcome.error);
        return outcome;
    }).then(qApp, [notices = QPointer<EditorNotices>(&m_notices),
                   exports = QPointer<ExportQueue>(queue()), target](const Outcome &outcome) {
        if (exports)
            exports->release(target);
        if (!notices)
            return;
        if (outcome.written)
            notices->announceSaved(target);
        else
            notices->showToast(QCoreApplication::translate("EditorModel", "Couldn't save: %1")
                                   .arg(outcome.error));
    });
}

QImage ExportJob::flatten() const
{
    return Renderer::composite(base, layers, *pixels);
}
