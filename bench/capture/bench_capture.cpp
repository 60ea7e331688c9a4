// SPDX-License-Identifier: MIT
// A whole-screen grab from start to PNG on disk, against ImageMagick's import and Flameshot on
// the same Xvfb screens; and reading a 5K grab back at full size and as a thumbnail.
#include "capture/pngfile.h"
#include "capture/thumbnailcache.h"
#include "image/png.h"
#include "screenshot.h"
#include "timing.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <optional>

namespace {

constexpr int runs = 7;

class XvfbScreen
{
public:
    explicit XvfbScreen(QSize size)
    {
        for (int n = 150; n < 400; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))
                || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_display = QStringLiteral(":%1").arg(n);
            m_server.start(QStringLiteral("Xvfb"),
                           {m_display, "-screen", "0",
                            QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                            "-nolisten", "tcp"});
            if (!m_server.waitForStarted())
                break;
            for (int i = 0; i < 200 && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); ++i)
                QThread::msleep(25);
            return;
        }
        m_display.clear();
    }
    ~XvfbScreen()
    {
        for (QProcess *p : {&m_picture, &m_server}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished();
        }
    }
    bool isUp() const { return !m_display.isEmpty() && m_server.state() == QProcess::Running; }

    // Puts a screenshot-like picture over the whole screen, as a desktop full of windows.
    void show(const QString &picture)
    {
        m_picture.setProcessEnvironment(environment());
        m_picture.start(QStringLiteral("display"),
                        {"-geometry", "+0+0", "-borderwidth", "0", picture});
        m_picture.waitForStarted();
        QThread::msleep(2500);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

    // Median milliseconds of a command that must leave a file behind; nothing when it fails.
    std::optional<double> time(const QString &program, const QStringList &arguments,
                               const QString &product, int count = runs)
    {
        bool ok = true;
        const double ms = medianMs(count, [&] {
            QDir(QFileInfo(product).absolutePath()).removeRecursively();
            QDir().mkpath(QFileInfo(product).absolutePath());
            QProcess process;
            process.setProcessEnvironment(environment());
            process.start(program, arguments);
            ok = ok && process.waitForFinished(60000) && process.exitCode() == 0;
            ok = ok && !QDir(QFileInfo(product).absolutePath()).isEmpty();
        });
        return ok ? std::optional<double>(ms) : std::nullopt;
    }

private:
    QString m_display;
    QProcess m_server;
    QProcess m_picture;
};

void compareGrabs(QSize size)
{
    std::printf("Whole-screen grab to PNG, %dx%d Xvfb screen (median of %d)\n", size.width(),
                size.height(), runs);
    XvfbScreen screen(size);
    if (!screen.isUp()) {
        std::printf("  no Xvfb could be started\n\n");
        return;
    }
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("desktop.png"));
    Png::write(BenchImage::screenshot(size), picture);
    screen.show(picture);

    const QString ours = dir.filePath(QStringLiteral("ours/grab.png"));
    const auto kiwano = screen.time(QStringLiteral(KIWANO_CAPTURE_TOOL), {"-m", "-x", ours}, ours);
    const QString imported = dir.filePath(QStringLiteral("import/grab.png"));
    const auto import = screen.time(QStringLiteral("import"), {"-window", "root", imported}, imported, 3);
    std::optional<double> flameshot;
    const bool haveFlameshot = !QStandardPaths::findExecutable(QStringLiteral("flameshot")).isEmpty();
    if (haveFlameshot) {
        const QString folder = dir.filePath(QStringLiteral("flameshot"));
        flameshot = screen.time(QStringLiteral("flameshot"), {"full", "-p", folder},
                                folder + QStringLiteral("/x"), 3);
    }

    if (kiwano)
        printRow("kiwano-capture -m", *kiwano);
    else
        std::printf("  kiwano-capture -m failed\n");
    if (import)
        printRow("ImageMagick import -window root", *import);
    if (flameshot)
        printRow("Flameshot full -p", *flameshot);
    else
        std::printf("  Flameshot: %s\n", haveFlameshot ? "failed" : "not installed");
    if (kiwano && import)
        printRatio("time kiwano-capture / import", *kiwano / *import, "goal < 1");
    if (kiwano && flameshot)
        printRatio("time kiwano-capture / Flameshot", *kiwano / *flameshot, "goal <= 0.5");
    if (kiwano) {
        const QImage grab(ours);
        std::printf("  grab: %dx%d, %.2f MB, identical to the screen: %s\n\n", grab.width(),
                    grab.height(), QFileInfo(ours).size() / 1e6,
                    grab.convertToFormat(QImage::Format_RGB32)
                            == QImage(picture).convertToFormat(QImage::Format_RGB32)
                        ? "yes" : "NO");
    }
}

void compareReading()
{
    const QSize size(5120, 2880);
    std::printf("Reading a %dx%d grab back (median of %d)\n", size.width(), size.height(), runs);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grab.png"));
    const QImage original = BenchImage::screenshot(size);
    Png::write(original, path);

    QImage image;
    const double qtMs = medianMs(runs, [&] {
        QImageReader reader(path);
        image = reader.read();
    });
    const double oursMs = medianMs(runs, [&] { image = PngFile::read(path); });
    const bool lossless = image == original;
    const double naiveThumbMs = medianMs(runs, [&] {
        image = QImage(path).scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    });
    const double qtScaledMs = medianMs(runs, [&] {
        QImageReader reader(path);
        reader.setScaledSize(QSize(240, 135));
        image = reader.read();
    });
    const double thumbMs = medianMs(runs, [&] { image = ThumbnailCache::make(path); });

    printRow("Qt QImageReader::read (baseline)", qtMs);
    printRow("History::image", oursMs);
    printRatio("speed-up History::image vs QImageReader", qtMs / oursMs, "goal > 1");
    std::printf("  lossless: %s\n", lossless ? "yes" : "NO");
    printRow("full decode + smooth scale (baseline)", naiveThumbMs);
    printRow("QImageReader with setScaledSize (baseline)", qtScaledMs);
    printRow("History thumbnail (scaled while inflating)", thumbMs);
    printRatio("speed-up thumbnail vs full decode + scale", naiveThumbMs / thumbMs, "goal > 1");
    printRatio("speed-up thumbnail vs setScaledSize", qtScaledMs / thumbMs, "goal > 1");
    std::printf("  thumbnail: %dx%d\n\n", image.width(), image.height());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // "grab" or "read" runs one half only.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only != QLatin1String("read")) {
        compareGrabs(QSize(1920, 1080));
        compareGrabs(QSize(3840, 2160));
    }
    if (only != QLatin1String("grab"))
        compareReading();
    return 0;
}
