// SPDX-License-Identifier: MIT
#include "annotation/pixelcache.h"

#include "image/pixellate.h"

#include <QRandomGenerator>

#include <cmath>

namespace {

// Blocks past this are one square over any image a frame can hold; capping keeps the key an int.
constexpr int largestKey = 1 << 16;

} // namespace

PixelCache::PixelCache(const QImage &base)
    : m_base(base)
{
}

int PixelCache::key(qreal block)
{
    if (std::isnan(block) || block <= 2)
        return 2;
    if (block >= largestKey)
        return largestKey;
    return std::max(2, int(std::round(block)));
}

QImage PixelCache::cached(int key, bool noise)
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == key && m_entries[i].noise == noise) {
            if (i > 0)
                m_entries.move(i, 0);
            return m_entries.first().image;
        }
    }
    return {};
}

QImage PixelCache::image(qreal block)
{
    const int k = key(block);
    if (QImage hit = cached(k, false); !hit.isNull())
        return hit;
    QImage pixellated = pixellate(m_base, k);
    // A failed pixellation shows the plain image, and is kept so that it is not retried on
    // every redraw.
    if (pixellated.isNull())
        pixellated = m_base;
    m_entries.prepend({k, pixellated});
    trim();
    return pixellated;
}

QImage PixelCache::noise(qreal block)
{
    const int k = key(block);
    if (QImage hit = cached(k, true); !hit.isNull())
        return hit;
    const QSize size((m_base.width() + k - 1) / k, (m_base.height() + k - 1) / k);
    QImage noise(size, QImage::Format_RGB32);
    if (noise.isNull())
        return {};
    QRandomGenerator *random = QRandomGenerator::system();
    for (int y = 0; y < noise.height(); ++y) {
        auto *row = reinterpret_cast<quint32 *>(noise.scanLine(y));
        random->fillRange(row, noise.width());
        // Mid greys, so the squares read as noise on light and dark pictures alike.
        for (int x = 0; x < noise.width(); ++x) {
            const quint32 level = 48 + (row[x] & 0xff) * 160 / 255;
            row[x] = 0xff000000u | level << 16 | level << 8 | level;
        }
    }
    m_entries.prepend({k, noise, true});
    trim();
    return noise;
}

void PixelCache::pin(const QList<qreal> &blocks)
{
    m_pinned.clear();
    for (qreal block : blocks) {
        const int k = key(block);
        if (!m_pinned.contains(k))
            m_pinned.append(k);
    }
    trim();
}

std::unique_ptr<PixelCache> PixelCache::clone() const
{
    auto copy = std::make_unique<PixelCache>(m_base);
    copy->m_entries = m_entries;
    copy->m_pinned = m_pinned;
    return copy;
}

void PixelCache::trim()
{
    // The oldest sizes no layer uses go first. Noise stays: a redaction must not change its noise
    // between redraws, and it is small (a quarter of the base's pixels at most, and less than
    // the base's for all block sizes together).
    qsizetype unpinned = 0;
    for (qsizetype i = 0; i < m_entries.size();) {
        if (m_entries[i].noise || m_pinned.contains(m_entries[i].key) || ++unpinned <= capacity)
            ++i;
        else
            m_entries.removeAt(i);
    }
}

QList<int> PixelCache::keys() const
{
    QList<int> result;
    for (const Entry &entry : m_entries)
        if (!entry.noise)
            result.append(entry.key);
    return result;
}
