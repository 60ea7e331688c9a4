// SPDX-License-Identifier: MIT
// The baseline of the browsing-memory benchmark: a bare Qt program that decodes one PNG with
// QImage and shows it scaled to a maximized window, as a plain image viewer would.
// decodeprobe FILE
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {

class Viewer : public QWidget
{
public:
    explicit Viewer(const QImage &image)
        : m_image(image)
    {
        setWindowTitle(QStringLiteral("decode probe"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(), fitted), m_image);
    }

private:
    QImage m_image;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: decodeprobe FILE\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "decodeprobe: cannot read %s\n", argv[1]);
        return 1;
    }
    Viewer viewer(image);
    viewer.showMaximized();
    return app.exec();
}
