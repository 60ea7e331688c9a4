// SPDX-License-Identifier: MIT
// Hit testing a busy document, the editor's work on every pointer move, against the cheapest
// possible test (precomputed rectangles); and measuring text with and without remembered sizes.
#include "annotation/annotation.h"
#include "annotation/textlayout.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>

#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QList<Annotation> busyDocument()
{
    QList<Annotation> layers;
    for (int i = 0; i < 40; ++i) {
        const qreal x = (i * 97) % 1800;
        const qreal y = (i * 53) % 1000;
        QList<QPointF> stroke;
        for (int p = 0; p < 120; ++p)
            stroke.append(QPointF(x + p * 2, y + (p % 17) * 3));
        layers.append(Annotation(Shapes::Pen{stroke}));
        layers.append(Annotation(Shapes::Rect{QRectF(x, y, 180, 90)}));
        layers.append(Annotation(Shapes::Arrow{QPointF(x, y), QPointF(x + 150, y + 60)}));
        layers.append(Annotation(Shapes::Text{QPointF(x + 20, y + 40),
                                              QStringLiteral("Note %1\nsecond line").arg(i)}));
        layers.append(Annotation(Shapes::Stamp{QPointF(x + 60, y + 60)}));
    }
    return layers;
}

// The topmost layer under the pointer, as the editor picks it.
int topmostHit(const QList<Annotation> &layers, QPointF p)
{
    for (qsizetype i = layers.size() - 1; i >= 0; --i) {
        if (layers[i].contains(p, 12))
            return int(i);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QList<Annotation> layers = busyDocument();
    std::vector<QRectF> rects;
    for (const Annotation &a : layers)
        rects.push_back(a.bounds().adjusted(-12, -12, 12, 12));
    std::vector<QPointF> pointer;
    for (int i = 0; i < 500; ++i)
        pointer.push_back(QPointF((i * 37) % 1920, (i * 71) % 1080));

    std::printf("Hit testing %d layers at %d pointer positions\n", int(layers.size()), int(pointer.size()));
    int sink = 0;
    const double baseline = medianMs(15, [&] {
        for (QPointF p : pointer) {
            for (size_t i = rects.size(); i-- > 0;) {
                if (rects[i].contains(p)) {
                    sink += int(i);
                    break;
                }
            }
        }
    });
    const double hits = medianMs(15, [&] {
        for (QPointF p : pointer)
            sink += topmostHit(layers, p);
    });
    std::printf("  %-52s %9.3f ms\n", "baseline: precomputed rectangles", baseline);
    std::printf("  %-52s %9.3f ms\n", "Annotation::contains, topmost first", hits);
    std::printf("  %-52s %9.3f ms\n", "  per pointer move", hits / pointer.size());
    std::printf("  %-52s %9.1f x\n", "contains / baseline", hits / std::max(baseline, 1e-6));

    const TextAttributes attributes = textAttributes(Style());
    const QString text = QStringLiteral("Kiwano Snapper\nmeasures this");
    QSizeF size;
    const int repeats = 2000;
    const double direct = medianMs(9, [&] {
        for (int i = 0; i < repeats; ++i) {
            const QFontMetricsF metrics(attributes.font);
            size = QSizeF(metrics.horizontalAdvance(QStringLiteral("Kiwano Snapper")),
                          2 * metrics.lineSpacing());
        }
    });
    const double remembered = medianMs(9, [&] {
        for (int i = 0; i < repeats; ++i)
            size = measuredSize(text, attributes);
    });
    std::printf("Measuring a two-line text %d times\n", repeats);
    std::printf("  %-52s %9.3f ms\n", "baseline: font metrics each time", direct);
    std::printf("  %-52s %9.3f ms\n", "measuredSize (remembered sizes)", remembered);
    std::printf("  %-52s %9.2f x\n", "measuredSize / baseline", remembered / std::max(direct, 1e-6));
    return sink == 42 && size.isEmpty() ? 1 : 0;
}
