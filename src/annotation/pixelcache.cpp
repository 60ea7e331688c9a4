// SPDX-License-Identifier: MIT
#include "annotation/pixelcache.h"

#include "image/pixellate.h"

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

QImage PixelCache::image(qreal block)
{
    const int k = key(block);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == k) {
            if (i > 0)
                m_entries.move(i, 0);
            return m_entries.first().image;
        }
    }
    QImage pixellated = pixellate(m_base, k);
    // A failed pixellation shows the plain image, and is kept so that it is not retried on
    // every redraw.
    if (pixellated.isNull())
        pixellated = m_base;
    m_entries.prepend({k, pixellated});
    trim();
    return pixellated;
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
    // The oldest sizes no layer uses go first.
    qsizetype unpinned = 0;
    for (qsizetype i = 0; i < m_entries.size();) {
        if (m_pinned.contains(m_entries[i].key) || ++unpinned <= capacity)
            ++i;
        else
            m_entries.removeAt(i);
    }
}

QList<int> PixelCache::keys() const
{
    QList<int> result;
    for (const Entry &entry : m_entries)
        result.append(entry.key);
    return result;
}
