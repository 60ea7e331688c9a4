// SPDX-License-Identifier: MIT
// A native Wayland window that fills an output with the test pattern, for the capture tests.
//   kiwano-test-patternwindow [OUTPUT|-] [SEED] [--tiled]
// fills the output, or with --tiled takes the place the compositor gives it; prints "ready"
// once the pattern is on screen.
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
    explicit PatternWindow(int seed) : m_seed(seed) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, TestPattern::image(size(), m_seed));
        if (!m_told) {
            m_told = true;
            // The compositor shows the frame after this paint is committed.
            QTimer::singleShot(200, [] { QTextStream(stdout) << "ready" << Qt::endl; });
        }
    }

private:
    int m_seed;
    bool m_told = false;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "wayland");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    PatternWindow window(args.size() > 2 ? args.at(2).toInt() : 0);
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
