// SPDX-License-Identifier: MIT
#include "platform/x11/x11clipboardservice.h"

#include "platform/x11/x11clipboardwatcher.h"
#include "platform/x11/x11selectionowner.h"
#include "platform/x11/x11selectionreader.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

bool isProtocolTarget(const QString &type)
{
    return X11ClipboardWatcher::isProtocolTarget(type);
}

const QString pngType = QStringLiteral("image/png");

} // namespace

X11ClipboardService::X11ClipboardService(QObject *parent)
    : QObject(parent)
    , m_reader(std::make_unique<X11SelectionReader>())
    , m_owner(std::make_unique<X11SelectionOwner>())
{
    // QClipboard::dataChanged is the Clipboard mode only; the primary selection has its own signal.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { ++m_changeCount; });
}

X11ClipboardService::~X11ClipboardService() = default;

qint64 X11ClipboardService::changeCount() const
{
    return m_changeCount;
}

QStringList X11ClipboardService::types()
{
    QStringList types;
    if (const QMimeData *mime = qtOwnedData()) {
        for (const QString &format : mime->formats()) {
            if (!isProtocolTarget(format))
                types << format;
        }
        if (mime->hasImage() && !types.contains(pngType))
            types << pngType;
        return types;
    }

    const uint32_t owner = m_reader->owner();
    if (!owner || knownToStall(owner))
        return {};
    const auto targets = m_reader->targets();
    if (!targets) {
        if (m_reader->timedOut())
            noteStall(owner);
        return {};
    }
    for (const QByteArray &target : *targets) {
        const QString type = QString::fromUtf8(target);
        if (!isProtocolTarget(type))
            types << type;
    }
    return types;
}

std::optional<QByteArray> X11ClipboardService::data(const QString &type)
{
    if (isProtocolTarget(type))
        return std::nullopt;
    if (const QMimeData *mime = qtOwnedData()) {
        if (mime->hasFormat(type))
            return mime->data(type);
        if (type == pngType && mime->hasImage()) {
            QByteArray png;
            QBuffer buffer(&png);
            if (qvariant_cast<QImage>(mime->imageData()).save(&buffer, "PNG"))
                return png;
        }
        return std::nullopt;
    }

    const uint32_t owner = m_reader->owner();
    if (!owner || knownToStall(owner))
        return std::nullopt;
    auto bytes = m_reader->read(type.toUtf8());
    if (!bytes && m_reader->timedOut())
        noteStall(owner);
    return bytes;
}

void X11ClipboardService::write(const QList<Item> &items)
{
    m_owner->own(items);
}

ClipboardWatcher *X11ClipboardService::watcher()
{
    if (!m_watcher)
        m_watcher = std::make_unique<X11ClipboardWatcher>();
    return m_watcher.get();
}

// Qt answers for its own clipboard from the GUI thread, which is the one asking: take Qt's data
// directly instead of through the server. Qt may still think it owns the clipboard for a moment
// after our own owner took it, so the server has the last word.
const QMimeData *X11ClipboardService::qtOwnedData()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->ownsClipboard())
        return nullptr;
    const uint32_t owner = m_reader->owner();
    if (owner == 0 || owner == m_owner->window())
        return nullptr;
    return clipboard->mimeData(QClipboard::Clipboard);
}

bool X11ClipboardService::knownToStall(uint32_t owner) const
{
    return owner == m_stalledOwner && m_stalledAt == m_changeCount;
}

void X11ClipboardService::noteStall(uint32_t owner)
{
    m_stalledOwner = owner;
    m_stalledAt = m_changeCount;
}
