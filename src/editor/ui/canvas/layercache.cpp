// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/layercache.h"

#include "annotation/renderer.h"

#include <QPainter>

void LayerCache::setView(QSize devicePixels, qreal devicePixelRatio, qreal scale)
{
    if (devicePixels == m_deviceSize && devicePixelRatio == m_ratio && scale == m_scale)
        return;
    m_deviceSize = devicePixels;
    m_ratio = devicePixelRatio;
    m_scale = scale;
    m_baseView = QImage();
    drop();
}

void LayerCache::dropBase()
{
    m_baseView = QImage();
    drop();
}

bool LayerCache::takeLayers(const QList<Annotation> &layers)
{
    bool same = layers.size() == m_layers.size();
    for (qsizetype i = 0; same && i < layers.size(); ++i) {
        if (m_live == i)
            same = layers[i].id == m_layers[i].id;
        else
            same = layers[i] == m_layers[i];
    }
    m_layers = layers;
    if (m_live && *m_live >= m_layers.size())
        m_live.reset();
    if (!same)
        drop();
    return same;
}

void LayerCache::setLive(std::optional<qsizetype> index)
{
    if (index && (*index < 0 || *index >= m_layers.size()))
        index.reset();
    if (index == m_live)
        return;
    m_live = index;
    drop();
}

bool LayerCache::blendsWithBackdrop(const Annotation &layer)
{
    return std::holds_alternative<Shapes::Highlighter>(layer.shape);
}

void LayerCache::drop()
{
    m_below = QImage();
    m_above = QImage();
    m_aboveDirect = false;
    m_valid = false;
}

void LayerCache::paintLayers(QImage &target, qsizetype from, qsizetype to, PixelCache &pixels,
                             QSize imageSize) const
{
    if (from >= to)
        return;
    QPainter painter(&target);
    painter.scale(m_ratio * m_scale, m_ratio * m_scale);
    Renderer::draw(m_layers.mid(from, to - from), pixels, imageSize, painter);
}

void LayerCache::prepare(const QImage &base, PixelCache &pixels)
{
    if (base.cacheKey() != m_baseKey) {
        m_baseKey = base.cacheKey();
        dropBase();
    }
    if (m_valid || m_deviceSize.isEmpty() || base.isNull())
        return;
    if (m_baseView.isNull()) {
        // An opaque base stays opaque under any layer, and an opaque picture is copied to the
        // screen without blending.
        const QImage::Format format = base.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32;
        m_baseView = base.scaled(m_deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(format);
    }
    const qsizetype count = m_layers.size();
    const qsizetype split = m_live ? *m_live : count;
    m_below = m_baseView.copy();
    paintLayers(m_below, 0, split, pixels, base.size());
    m_below.setDevicePixelRatio(m_ratio);

    m_aboveDirect = false;
    m_above = QImage();
    if (m_live && split + 1 < count) {
        for (qsizetype i = split + 1; i < count && !m_aboveDirect; ++i)
            m_aboveDirect = blendsWithBackdrop(m_layers[i]);
        if (!m_aboveDirect) {
            m_above = QImage(m_deviceSize, QImage::Format_ARGB32_Premultiplied);
            m_above.fill(Qt::transparent);
            paintLayers(m_above, split + 1, count, pixels, base.size());
            m_above.setDevicePixelRatio(m_ratio);
        }
    }
    m_valid = true;
    ++m_builds;
}
