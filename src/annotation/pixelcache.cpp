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
    if (m_entries.size() > capacity)
        m_entries.removeLast();
    return pixellated;
}

QList<int> PixelCache::keys() const
{
    QList<int> result;
    for (const Entry &entry : m_entries)
        result.append(entry.key);
    return result;
}
