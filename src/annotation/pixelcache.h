// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>

#include <memory>

// Pixellated copies of one base image for blur layers, so that dragging a blur or redrawing the
// canvas never pixellates again. One cache per base image: when the base changes, make a new one.
class PixelCache
{
public:
    // Block sizes kept besides the pinned ones; one more evicts the least recently used.
    static constexpr int capacity = 4;

    explicit PixelCache(const QImage &base);
    PixelCache(const PixelCache &) = delete;
    PixelCache &operator=(const PixelCache &) = delete;

    const QImage &base() const { return m_base; }
    // The base pixellated in squares of key(block) pixels; the base itself when that fails.
    QImage image(qreal block);
    // Noise for redaction in squares of key(block) pixels: one opaque grey pixel of random level
    // per square, drawn from the system's secure random source, ceil(width / key) by
    // ceil(height / key) pixels, to be drawn magnified key times without smoothing. It is made once
    // per block size and kept like the pixellations, so a redaction shows the same noise on every
    // redraw and in its exports.
    QImage noise(qreal block);
    // The whole block size a requested size uses: rounded half away from zero, at least 2.
    static int key(qreal block);
    // The block sizes held, most recently used first.
    QList<int> keys() const;
    // Block sizes that are never evicted, whatever else is asked for: those of the document's
    // layers, so that a frame with many blur sizes never pixellates again.
    void pin(const QList<qreal> &blocks);
    // A cache of the same base holding the same pixellations, sharing their pixels, for a
    // worker thread to render from while this one carries on.
    std::unique_ptr<PixelCache> clone() const;

private:
    struct Entry
    {
        int key;
        QImage image;
        bool noise = false;
    };

    QImage cached(int key, bool noise);

    void trim();

    QImage m_base;
    QList<Entry> m_entries;
    QList<int> m_pinned;
};
