// SPDX-License-Identifier: MIT
#pragma once
// Stand-ins for the renderer and the PNG writer until those libraries land; removed then.

#include "annotation/annotation.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QSaveFile>

class PixelCache
{
public:
    explicit PixelCache(const QImage &base) : m_base(base) {}
    const QImage &base() const { return m_base; }

private:
    QImage m_base;
};

namespace Renderer {
inline QImage composite(const QImage &base, const QList<Annotation> &layers, PixelCache &)
{
    QImage out(base.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return {};
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.drawImage(0, 0, base);
    for (const Annotation &layer : layers)
        painter.fillRect(layer.bounds(), layer.style.color);
    return out;
}
} // namespace Renderer

namespace Png {
inline QByteArray encode(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}
inline bool write(const QImage &image, const QString &path, QString *error = nullptr)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(image)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
} // namespace Png
