// SPDX-License-Identifier: MIT
#include "platform/wayland/whileactiveclipboardservice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Qt adds its own image type beside any image; never content.
const QString qtImageType = QStringLiteral("application/x-qt-image");

} // namespace

WhileActiveClipboardService::WhileActiveClipboardService(QObject *parent)
    : QObject(parent)
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ++m_changeCount; });
}

QStringList WhileActiveClipboardService::types()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!mime)
        return {};
    QStringList types = mime->formats();
    types.removeAll(qtImageType);
    return types;
}

std::optional<QByteArray> WhileActiveClipboardService::data(const QString &type)
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!mime || type == qtImageType || !mime->hasFormat(type))
        return std::nullopt;
    return mime->data(type);
}

void WhileActiveClipboardService::write(const QList<Item> &items)
{
    auto *mime = new QMimeData;
    for (const Item &item : items)
        mime->setData(item.type, item.data);
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}
