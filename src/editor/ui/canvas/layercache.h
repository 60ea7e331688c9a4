// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QImage>
#include <QList>
#include <QSize>

#include <optional>

class PixelCache;

// View-scale pictures of the committed document, so that a frame during a drag costs a copy of
// the cached pixels plus the one thing that moves. The picture is split around an optional live
// layer: below holds the base and every layer under it, above every layer over it (transparent).
// Layers that blend with what lies under them (the highlighter multiplies) cannot be composed
// apart from it; when one lies above the live layer, above stays empty and those layers must be
// drawn each frame instead (drawsAboveDirectly).
class LayerCache
{
public:
    // The view the pictures are made for: the frame in device pixels, the ratio of device pixels
    // to view points and the view points per image pixel. A change drops the pictures.
    void setView(QSize devicePixels, qreal devicePixelRatio, qreal scale);
    // The base image changed (crop, resize, undo...): everything is made again.
    void dropBase();
    // Takes the new layer list. Returns false when it differs from the cached one in more than
    // the live layer, which drops the pictures; true when they are still good.
    bool takeLayers(const QList<Annotation> &layers);
    // The layer drawn every frame, by position; nothing to cache all layers together.
    void setLive(std::optional<qsizetype> index);
    std::optional<qsizetype> live() const { return m_live; }

    // Makes what is missing. pixels is the base's cache of pixellated copies.
    void prepare(const QImage &base, PixelCache &pixels);
    const QImage &below() const { return m_below; }
    // Null when nothing lies over the live layer or when those layers are drawn directly.
    const QImage &above() const { return m_above; }
    bool drawsAboveDirectly() const { return m_aboveDirect; }
    const QList<Annotation> &layers() const { return m_layers; }
    // How many times the pictures were made; lets tests see that a drag reuses them.
    int builds() const { return m_builds; }

    // True for layers whose look depends on the pixels under them.
    static bool blendsWithBackdrop(const Annotation &layer);

private:
    void drop();
    void paintLayers(QImage &target, qsizetype from, qsizetype to, PixelCache &pixels,
                     QSize imageSize) const;

    QSize m_deviceSize;
    qreal m_ratio = 1;
    qreal m_scale = 1;
    QList<Annotation> m_layers;
    std::optional<qsizetype> m_live;
    QImage m_baseView;
    QImage m_below;
    QImage m_above;
    bool m_aboveDirect = false;
    bool m_valid = false;
    qint64 m_baseKey = 0;
    int m_builds = 0;
};
