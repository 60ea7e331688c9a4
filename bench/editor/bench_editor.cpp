// SPDX-License-Identifier: MIT
// Saving and copying a 5K document: total time and how long the main thread stops, against a
// flatten on the main thread and a save done the plain way (flatten, then Qt's PNG writer on the
// main thread). The memory that 500 recorded edits add, against keeping the layer list by value
// in every step. And the frame time of a document with six blur sizes, against a blur cache that
// keeps only the latest sizes.
#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "editor/model/editormodel.h"
#include "editor/model/savelocation.h"
#include "image/png.h"
#include "screenshot.h"
#include "stallwatch.h"
#include "timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>

#include <cstdio>

namespace {

const QSize fiveK(5120, 2880);

// A screenshot with about 60 layers of every kind, drawn through the model's own gestures.
std::unique_ptr<EditorModel> document()
{
    auto model = std::make_unique<EditorModel>(BenchImage::screenshot(fiveK), 2.0);
    BenchImage::Random random(42);
    const auto point = [&] { return QPointF(random.below(5000) + 60, random.below(2760) + 60); };
    const auto drag = [&](Tool tool, QPointF from, QPointF to, int steps) {
        model->chooseTool(tool);
        for (int i = 1; i <= steps; ++i)
            model->dragChanged(from, from + (to - from) * i / steps);
        model->dragEnded(to);
    };
    for (int i = 0; i < 30; ++i)
        drag(i % 3 ? Tool::pen : Tool::highlighter, point(), point(), 50);
    for (int i = 0; i < 8; ++i)
        drag(Tool::arrow, point(), point(), 5);
    for (int i = 0; i < 10; ++i)
        drag(Tool::rect, point(), point(), 5);
    for (int i = 0; i < 4; ++i) {
        model->chooseTool(Tool::stamp);
        model->dragEnded(point());
    }
    for (int i = 0; i < 3; ++i) {
        model->chooseTool(Tool::text);
        model->dragEnded(point());
        model->commitText(QStringLiteral("Look here, this is broken #%1").arg(i));
    }
    drag(Tool::blur, QPointF(300, 300), QPointF(900, 500), 5);
    drag(Tool::blur, QPointF(3000, 1200), QPointF(3600, 1500), 5);
    drag(Tool::focus, QPointF(1000, 800), QPointF(4000, 2400), 5);
    model->addWatermark();
    model->addPicture(BenchImage::screenshot(QSize(800, 500), 7));
    return model;
}

// Runs the event loop until the model shows a notice starting with prefix.
void waitForToast(EditorModel &model, const QString &prefix)
{
    QEventLoop loop;
    const auto connection = QObject::connect(&model, &EditorModel::toastChanged, &loop, [&] {
        if (model.toast() && model.toast()->startsWith(prefix))
            loop.quit();
    });
    loop.exec();
    QObject::disconnect(connection);
}

struct Export
{
    double totalMs = 0;
    double stallMs = 0;
    double callMs = 0; // the synchronous part: the call itself
};

template<typename Start>
Export measureExport(EditorModel &model, const QString &toast, Start start)
{
    // The same notice shown again while it is still up announces nothing; let it clear first.
    while (model.toast())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    StallWatch watch;
    watch.start();
    QElapsedTimer total;
    double callMs = 0;
    QTimer::singleShot(20, &model, [&] {
        total.start();
        start();
        callMs = double(total.nsecsElapsed()) / 1e6;
    });
    waitForToast(model, toast);
    const double totalMs = double(total.nsecsElapsed()) / 1e6;
    return {totalMs, watch.stop(), callMs};
}

Export medianExport(int runs, const std::function<Export()> &once)
{
    std::vector<Export> results;
    for (int i = 0; i < runs; ++i)
        results.push_back(once());
    std::sort(results.begin(), results.end(),
              [](const Export &a, const Export &b) { return a.totalMs < b.totalMs; });
    Export median = results[results.size() / 2];
    const auto medianOf = [&](double Export::*field) {
        std::vector<double> values;
        for (const Export &r : results)
            values.push_back(r.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    median.stallMs = medianOf(&Export::stallMs);
    median.callMs = medianOf(&Export::callMs);
    return median;
}

void benchSave(const QString &folder)
{
    auto model = document();
    std::printf("Save and copy of a %dx%d screenshot with %lld layers\n", fiveK.width(),
                fiveK.height(), qlonglong(model->annotations().size()));
    SaveLocation::setFolder(folder);
    SaveLocation::setAskEachTime(false);

    const double flattenMs = medianMs(5, [&] { model->flatten(); });
    const QImage flat = model->flatten();

    // The plain way: everything on the main thread, Qt's writer at its default settings.
    const QString qtPath = QDir(folder).filePath(QStringLiteral("qt.png"));
    const double qtWriteMs = medianMs(3, [&] { QImageWriter(qtPath, "png").write(flat); });
    const double ourWriteMs =
        medianMs(5, [&] { Png::write(flat, QDir(folder).filePath(QStringLiteral("ours.png"))); });
    const qint64 qtSize = QFileInfo(qtPath).size();
    const qint64 ourSize = QFileInfo(QDir(folder).filePath(QStringLiteral("ours.png"))).size();

    const Export save = medianExport(5, [&] {
        return measureExport(*model, QStringLiteral("Saved "), [&] { model->save(); });
    });
    const Export copy = medianExport(5, [&] {
        return measureExport(*model, QStringLiteral("Copied!"), [&] { model->copyToClipboard(); });
    });
    const double plainSaveMs = flattenMs + qtWriteMs;

    printRow("flatten (main thread)", flattenMs);
    printRow("baseline: Qt QImageWriter default, file", qtWriteMs);
    printRow("Png::write, file", ourWriteMs);
    printRow("baseline: plain save (flatten + Qt writer, all blocking)", plainSaveMs);
    printRow("EditorModel::save, until the notice", save.totalMs);
    printRow("EditorModel::save, the call (snapshot and naming)", save.callMs);
    printRow("EditorModel::save, longest main-thread stall", save.stallMs);
    printRow("EditorModel::copyToClipboard, until the notice", copy.totalMs);
    printRow("EditorModel::copyToClipboard, the call (snapshot)", copy.callMs);
    printRow("EditorModel::copyToClipboard, longest stall", copy.stallMs);
    std::printf("  sizes: Qt %.2f MB, ours %.2f MB\n", qtSize / 1e6, ourSize / 1e6);
    printRatio("writer speed-up vs Qt default", qtWriteMs / ourWriteMs, "goal >= 3");
    printRatio("file size vs Qt default", double(ourSize) / qtSize, "goal <= 1.25");
    printRatio("save total vs plain save", save.totalMs / plainSaveMs, "goal < 1");
    printRatio("save stall vs main-thread flatten", save.stallMs / flattenMs,
               qPrintable(QStringLiteral("goal: stall <= 16 ms, %1").arg(16 / flattenMs, 0, 'f', 2)));
    printRatio("copy stall vs main-thread flatten", copy.stallMs / flattenMs,
               qPrintable(QStringLiteral("goal: stall <= 16 ms, %1").arg(16 / flattenMs, 0, 'f', 2)));
    std::printf("\n");
}

qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// 500 edits of five kinds in turn: a move, a restyle, a new box, a reorder, a resize.
void edit(EditorModel &model, int i, BenchImage::Random &random)
{
    const auto point = [&] { return QPointF(random.below(5000) + 60, random.below(2760) + 60); };
    switch (i % 5) {
    case 0: {
        const Annotation &layer = model.annotations().at(random.below(int(model.annotations().size())));
        model.select(layer.id);
        const QPointF from = layer.bounds().center();
        model.chooseTool(Tool::move);
        model.dragChanged(from, from);
        model.dragChanged(from, from + QPointF(40, 25));
        model.dragEnded(from + QPointF(40, 25));
        break;
    }
    case 1: {
        model.select(model.annotations().at(random.below(int(model.annotations().size()))).id);
        Style style = model.selected()->style;
        style.width += 1;
        model.setSelectedStyle(style);
        break;
    }
    case 2: {
        model.chooseTool(Tool::rect);
        const QPointF from = point();
        model.dragChanged(from, from + QPointF(200, 120));
        model.dragEnded(from + QPointF(200, 120));
        break;
    }
    case 3:
        model.select(model.annotations().at(random.below(int(model.annotations().size()))).id);
        model.shiftSelected(random.below(2) ? 3 : -3);
        break;
    default:
        model.select(model.annotations().last().id);
        model.bringSelectedToFront();
        model.sendSelectedToBack();
        break;
    }
}

void benchUndoMemory()
{
    auto model = document();
    const qsizetype startLayers = model->annotations().size();
    std::printf("Undo history: 500 recorded edits on a %dx%d document starting with %lld layers\n",
                fiveK.width(), fiveK.height(), qlonglong(startLayers));
    const qsizetype stepsBefore = model->undoStack().size();

    malloc_trim(0);
    const qint64 heapBefore = heapInUse();
    const qint64 rssBefore = residentBytes();
    BenchImage::Random random(9);
    int i = 0;
    while (model->undoStack().size() - stepsBefore < 500)
        edit(*model, i++, random);
    malloc_trim(0);
    const qint64 heapAdded = heapInUse() - heapBefore;
    const qint64 rssAdded = residentBytes() - rssBefore;

    // Baseline: the same history with the layer list copied by value into every step.
    const qint64 baselineBefore = heapInUse();
    std::vector<QList<Annotation>> byValue;
    for (qsizetype s = stepsBefore; s < model->undoStack().size(); ++s) {
        QList<Annotation> layers = model->undoStack().at(s).annotations();
        layers.detach();
        byValue.push_back(std::move(layers));
    }
    const qint64 baselineAdded = heapInUse() - baselineBefore;
    const qint64 frame = qint64(fiveK.width()) * fiveK.height() * 4;

    std::printf("  %-52s %9.2f MB\n", "history heap added (goal < 5 MB)", heapAdded / 1e6);
    std::printf("  %-52s %9.2f MB\n", "resident memory added", rssAdded / 1e6);
    std::printf("  %-52s %9.2f MB\n", "baseline: layer lists kept by value", baselineAdded / 1e6);
    std::printf("  %-52s %9lld\n", "layers at the end", qlonglong(model->annotations().size()));
    printRatio("history heap vs layer lists by value", double(heapAdded) / baselineAdded,
               "goal < 1");
    printRatio("history heap vs one 5K frame", double(heapAdded) / frame, "goal < 0.085");
    std::printf("  every step shares the base bitmap: %s\n\n", [&] {
        for (const Snapshot &s : model->undoStack())
            if (s.base.cacheKey() != model->base().cacheKey())
                return "NO";
        return "yes";
    }());
}

// Redraws of a document with blur layers of six block sizes, as the canvas repaints it.
void benchBlurFrames()
{
    auto model = std::make_unique<EditorModel>(BenchImage::screenshot(fiveK), 2.0);
    model->chooseTool(Tool::blur);
    for (int i = 0; i < 6; ++i) {
        Style style = model->toolStyle();
        style.blurBlock = 8 + 4 * i;
        model->setToolStyle(style);
        const QPointF from(200 + 800 * i, 300);
        model->dragChanged(from, from + QPointF(600, 400));
        model->dragEnded(from + QPointF(600, 400));
    }
    QImage frame = model->base().copy();
    const auto draw = [&](PixelCache &pixels) {
        QPainter painter(&frame);
        Renderer::draw(model->annotations(), pixels, fiveK, painter);
    };
    // Baseline: the same cache without the document's sizes pinned, as before; only the four
    // latest sizes stay, so six sizes in turn miss every time.
    PixelCache unpinned(model->base());
    draw(unpinned);
    draw(model->pixels());
    const std::vector<double> ms = interleavedMediansMs(5, {[&] { draw(unpinned); },
                                                            [&] { draw(model->pixels()); }});
    std::printf("Frames of a %dx%d document with six blur sizes\n", fiveK.width(), fiveK.height());
    printRow("baseline: latest four sizes kept", ms[0]);
    printRow("document's sizes kept", ms[1]);
    printRatio("frame time vs latest four kept", ms[1] / ms[0], "goal << 1");
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir sandbox;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, sandbox.filePath("config"));
    QDir().mkpath(sandbox.filePath("Saves"));

    benchSave(sandbox.filePath("Saves"));
    benchUndoMemory();
    benchBlurFrames();
    return 0;
}
