// SPDX-License-Identifier: MIT
// A native Wayland window that fills an output with the test pattern, for the capture tests.
//   kiwano-test-patternwindow [OUTPUT|-] [SEED] [--tiled] [--picture=FILE]
// fills the output, or with --tiled takes the place the compositor gives it, with the pattern
// or with the picture in FILE; prints "ready" once it is on screen.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include "platform/testpattern.h"

namespace {

class PatternWindow : public QRasterWindow
{
public:
    PatternWindow(int seed, const QImage &picture) : m_seed(seed), m_picture(picture) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_picture.isNull() ? TestPattern::image(size(), m_seed) : m_picture);
        if (!m_told) {
            m_told = true;
            // The compositor shows the frame after this paint is committed.
            QTimer::singleShot(200, [] { QTextStream(stdout) << "ready" << Qt::endl; });
        }
    }

private:
    int m_seed;
    QImage m_picture;
    bool m_told = false;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "wayland");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QImage picture;
    for (const QString &arg : args)
        if (arg.startsWith(QLatin1String("--picture=")))
            picture.load(arg.mid(10));
    PatternWindow window(args.size() > 2 ? args.at(2).toInt() : 0, picture);
    window.setTitle(QStringLiteral("kiwano-test-pattern"));
    for (QScreen *screen : QGuiApplication::screens())
        if (args.size() > 1 && screen->name() == args.at(1)) {
            // Qt takes the screen from where the window is: both are set.
            window.setScreen(screen);
            window.setGeometry(screen->geometry());
        }
    if (args.contains(QLatin1String("--tiled")))
        window.show();
    else
        window.showFullScreen();
    return app.exec();
}
