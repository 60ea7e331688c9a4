// SPDX-License-Identifier: MIT
#include "app/sampledocument.h"

#include "annotation/renderer.h"
#include "look/kiwano.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace {

constexpr QSize sampleSize(1600, 900);

QImage sampleScreenshot()
{
    QImage image(sampleSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient desktop(0, 0, sampleSize.width(), sampleSize.height());
    desktop.setColorAt(0, QColor(38, 70, 112));
    desktop.setColorAt(1, QColor(150, 86, 120));
    painter.fillRect(image.rect(), desktop);
    const QRect window(120, 90, 1100, 680);
    painter.fillRect(window.translated(8, 8), QColor(0, 0, 0, 70));
    painter.fillRect(window, QColor(250, 250, 248));
    painter.fillRect(QRect(window.topLeft(), QSize(window.width(), 36)), QColor(226, 226, 226));
    painter.fillRect(QRect(window.left(), window.top() + 36, 220, window.height() - 36),
                     QColor(232, 236, 242));
    QFont font = painter.font();
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(QColor(32, 33, 36));
    painter.drawText(window.left() + 16, window.top() + 24, QStringLiteral("Release notes — Kiwano"));
    for (int line = 0; line < 22; ++line) {
        painter.drawText(window.left() + 250, window.top() + 80 + line * 26,
                         QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog, "
                                        "account 4711-0815-%2")
                             .arg(line + 1)
                             .arg(1000 + line * 37));
        if (line < 14)
            painter.drawText(window.left() + 20, window.top() + 80 + line * 26,
                             QStringLiteral("Folder %1").arg(line + 1));
    }
    return image;
}

Style styled(QColor color, qreal width)
{
    Style style;
    style.color = color;
    style.width = width;
    return style;
}

QList<Annotation> sampleLayers()
{
    const QList<QColor> &palette = Kiwano::palette();
    QList<Annotation> layers;
    Style focus;
    focus.dim = 0.45;
    layers.append(Annotation(Shapes::Focus{{100, 70, 1140, 720}}, focus));
    layers.append(Annotation(Shapes::Blur{{620, 400, 380, 60}}, Style()));
    layers.append(Annotation(Shapes::Highlighter{{{372, 196}, {900, 196}}},
                             styled(palette.value(1, Qt::yellow), 6)));
    QList<QPointF> scribble;
    for (int i = 0; i <= 40; ++i)
        scribble.append(QPointF(380 + i * 12, 640 + 18 * std::sin(i / 3.0)));
    layers.append(Annotation(Shapes::Pen{scribble}, styled(palette.value(0, Qt::red), 6)));
    Style box = styled(palette.value(0, Qt::red), 6);
    box.cornerRadius = 14;
    layers.append(Annotation(Shapes::Rect{{360, 250, 560, 70}}, box));
    layers.append(Annotation(Shapes::Arrow{{1380, 180}, {940, 280}}, styled(palette.value(0, Qt::red), 8)));
    Style text = styled(palette.value(0, Qt::red), 8);
    text.fontSize = 64;
    layers.append(Annotation(Shapes::Text{{1260, 60}, QStringLiteral("Look!")}, text));
    layers.append(Annotation(Shapes::Stamp{{1400, 420}}, styled(Qt::black, 8)));
    QImage picture(320, 200, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Kiwano::cream);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Kiwano::green);
    painter.setPen(QPen(Kiwano::peel, 6));
    painter.drawEllipse(QRectF(90, 30, 140, 140));
    painter.end();
    layers.append(Annotation(Shapes::Picture{{1280, 560, 240, 150}, picture}, Style()));
    layers.append(Annotation(Shapes::Watermark{{1470, 770}, 600}, Style()));
    return layers;
}

} // namespace

SampleDocumentView::SampleDocumentView(QWidget *parent)
    : QWidget(parent)
    , m_base(sampleScreenshot())
    , m_layers(sampleLayers())
    , m_pixels(std::make_unique<PixelCache>(m_base))
{
    setWindowTitle(QStringLiteral("Kiwano Snapper"));
    resize(sampleSize / 1.25);
}

void SampleDocumentView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
    // Fit the image into the window, keeping its proportions, then draw in image pixels.
    const qreal scale = std::min(qreal(width()) / m_base.width(), qreal(height()) / m_base.height());
    const QSizeF shown = QSizeF(m_base.size()) * scale;
    painter.translate((width() - shown.width()) / 2, (height() - shown.height()) / 2);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPointF(0, 0), m_base);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Renderer::draw(m_layers, *m_pixels, m_base.size(), painter);
}
