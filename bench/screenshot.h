// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

// A deterministic picture that compresses and pixellates like a real desktop screenshot: flat
// window chrome, lines of glyph-like noise, gradients and one photo-like patch.
namespace BenchImage {

class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return std::uint32_t(m_state >> 11);
    }
    int below(int n) { return int(next() % std::uint32_t(n)); }

private:
    std::uint64_t m_state;
};

// Lines of 7 × 11 glyph cells with anti-aliased grey ink, word gaps and ragged line ends.
inline void glyphLines(QImage &image, QRect area, QRgb ink, Random &random)
{
    const int cellWidth = 7, cellHeight = 11, lineHeight = 18;
    for (int y = area.top() + 4; y + cellHeight <= area.bottom(); y += lineHeight) {
        const int lineEnd = area.right() - random.below(std::max(1, area.width() / 3));
        for (int x = area.left() + 6; x + cellWidth <= lineEnd; x += cellWidth + 1) {
            if (random.below(6) == 0) {
                x += cellWidth;
                continue;
            }
            for (int gy = 0; gy < cellHeight; ++gy) {
                auto *row = reinterpret_cast<QRgb *>(image.scanLine(y + gy));
                for (int gx = 0; gx < cellWidth; ++gx) {
                    const int roll = random.below(10);
                    if (roll < 6)
                        continue;
                    const int strength = roll == 9 ? 255 : roll == 8 ? 170 : 90;
                    const QRgb under = row[x + gx];
                    const auto mix = [strength](int a, int b) {
                        return (a * (255 - strength) + b * strength) / 255;
                    };
                    row[x + gx] = qRgb(mix(qRed(under), qRed(ink)), mix(qGreen(under), qGreen(ink)),
                                       mix(qBlue(under), qBlue(ink)));
                }
            }
        }
    }
}

// Smooth colour fields with fine grain, like a photograph.
inline void photoPatch(QImage &image, QRect area, Random &random)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const double u = double(x - area.left()) / area.width();
            const double v = double(y - area.top()) / area.height();
            const int grain = random.below(17) - 8;
            const int r = int(120 + 90 * std::sin(u * 7.1 + v * 2.3)) + grain;
            const int g = int(140 + 70 * std::sin(u * 3.7 - v * 5.9 + 1.0)) + grain;
            const int b = int(110 + 80 * std::cos(u * 2.2 + v * 8.1)) + grain;
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
}

// The screenshot at any size, opaque, in premultiplied ARGB32.
inline QImage screenshot(QSize size, std::uint64_t seed = 0x6b6977616e6fULL)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    Random random(seed);
    const int w = size.width(), h = size.height();
    QPainter painter(&image);
    QLinearGradient desktop(0, 0, w, h);
    desktop.setColorAt(0, QColor(38, 70, 112));
    desktop.setColorAt(1, QColor(150, 86, 120));
    painter.fillRect(image.rect(), desktop);
    painter.fillRect(QRect(0, 0, w, h / 40), QColor(30, 30, 34));

    // Three overlapping windows: title bar, sidebar, content.
    const QRect windows[] = {QRect(w / 20, h / 12, w / 2, h * 2 / 3),
                             QRect(w * 2 / 5, h / 5, w / 2, h * 3 / 5),
                             QRect(w / 8, h / 2, w / 3, h * 2 / 5)};
    painter.end();
    for (const QRect &window : windows) {
        painter.begin(&image);
        painter.fillRect(window.adjusted(6, 6, 6, 6), QColor(0, 0, 0, 60));
        painter.fillRect(window, QColor(250, 250, 248));
        const QRect title(window.topLeft(), QSize(window.width(), h / 36));
        QLinearGradient bar(title.topLeft(), title.bottomLeft());
        bar.setColorAt(0, QColor(236, 236, 236));
        bar.setColorAt(1, QColor(214, 214, 214));
        painter.fillRect(title, bar);
        const QRect sidebar(window.left(), title.bottom(), window.width() / 5,
                            window.bottom() - title.bottom());
        painter.fillRect(sidebar, QColor(232, 236, 242));
        painter.end();
        glyphLines(image, sidebar.adjusted(4, 8, -4, -8), QRgb(0xff3c4043), random);
        glyphLines(image,
                   QRect(sidebar.right() + 12, title.bottom() + 12,
                         window.right() - sidebar.right() - 24, window.bottom() - title.bottom() - 24),
                   QRgb(0xff202124), random);
    }
    // The photo sits in the front window's content.
    photoPatch(image,
               QRect(windows[2].left() + windows[2].width() / 4, windows[2].top() + h / 20,
                     windows[2].width() * 2 / 3, windows[2].height() / 2),
               random);
    return image;
}

} // namespace BenchImage
