// SPDX-License-Identifier: MIT
// Main-thread cost of recording copies, saving the index and filtering the picker, beside
// baselines measured in the same run.
#include "clipboard/clipboard.h"
#include "clipboard/clipindex.h"
#include "clipboard/cliptitle.h"
#include "clipboard/contentdigest.h"
#include "clipboard/picker/clipboardpickermodel.h"
#include "clipboard/store.h"
#include "clipboard/storefiles.h"
#include "fakes/fakeclipboardservice.h"
#include "fakes/fakefrontapp.h"
#include "fakes/fakekeysender.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

double median(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.at(samples.size() / 2);
}

// Milliseconds of the median run; setup runs before each, untimed.
double measure(int runs, const std::function<void()> &body, const std::function<void()> &setup = {})
{
    QList<double> samples;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer timer;
        timer.start();
        body();
        samples.append(timer.nsecsElapsed() / 1e6);
    }
    return median(samples);
}

void report(const char *what, double ms, double baseline, const char *baselineName, double goal = 0)
{
    std::printf("%-46s %9.2f ms  %7.2fx %s", what, ms, ms / baseline, baselineName);
    if (goal > 0)
        std::printf("  (goal < %.0f ms: %s)", goal, ms < goal ? "met" : "MISSED");
    std::printf("\n");
}

QByteArray noisePng(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    auto *generator = QRandomGenerator::global();
    for (int y = 0; y < side; ++y)
        generator->fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), side);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return png;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));

    FakeClipboardService board;
    FakeFrontApp front;
    FakeKeySender keys;
    Clipboard clipboard(&board, &front, &keys, home.filePath("Clipboard"));
    clipboard.setLimit(1000);

    // Baselines: moving 30 MiB in memory, and writing 1 KB to a file the plain way (no rename,
    // no sync).
    const QByteArray big(30 * 1024 * 1024, 'x');
    QByteArray target(big.size(), Qt::Uninitialized);
    const double memcpyMs = measure(9, [&] { std::memcpy(target.data(), big.constData(), size_t(big.size())); });
    int plain = 0;
    const double plainWriteMs = measure(21, [&] {
        QFile file(home.filePath(QString("plain-%1.bin").arg(++plain)));
        file.open(QIODevice::WriteOnly);
        file.write(big.left(1024));
    });

    std::printf("%-46s %9.2f ms\n", "baseline: memcpy 30 MiB", memcpyMs);
    std::printf("%-46s %9.2f ms\n", "baseline: plain 1 KB file write", plainWriteMs);

    // SHA-256 of 30 MiB: Qt's portable code against libcrypto.
    const double qtHashMs = measure(5, [&] { QCryptographicHash::hash(big, QCryptographicHash::Sha256); });
    const double digestMs = measure(5, [&] { contentDigest({{QStringLiteral("image/png"), big}}); });
    report("SHA-256 30 MiB, QCryptographicHash", qtHashMs, memcpyMs, "memcpy");
    report("SHA-256 30 MiB, contentDigest (libcrypto)", digestMs, memcpyMs, "memcpy");
    std::printf("%-46s %9.2fx\n", "  libcrypto speed-up over Qt", qtHashMs / digestMs);

    // A poll when nothing changed: one integer compared.
    const double idleMs = measure(5, [&] {
        for (int i = 0; i < 100000; ++i)
            clipboard.check();
    });
    std::printf("%-46s %9.1f ns\n", "idle poll (check, nothing changed)", idleMs * 1e6 / 100000);

    // Recording a 1 KB text copy: hash, title, content file, index rewrite.
    int serial = 0;
    const double textMs = measure(31, [&] { clipboard.check(); }, [&] {
        QByteArray text = QByteArray::number(++serial) + ' ' + QByteArray(1020, 'a');
        board.offer({{QStringLiteral("text/plain"), text}});
    });
    report("record a 1 KB text copy (check)", textMs, plainWriteMs, "plain write", 5);

    // Recording a ~30 MiB PNG copy: the main thread's share, then until the thumbnail is there.
    const QByteArray png = noisePng(2790);
    std::printf("%-46s %9.2f MiB\n", "  image copy size", png.size() / 1048576.0);
    QByteArray variant = png;
    const double imageMs = measure(5, [&] { clipboard.check(); }, [&] {
        clipboard.finishPendingCopies();
        clipboard.store().waitForThumbnails();
        variant = png + QByteArray::number(++serial); // bytes after IEND: new content, same image
        board.offer({{QStringLiteral("image/png"), variant}});
    });
    report("record a 30 MiB image copy (main thread)", imageMs, memcpyMs, "memcpy");
    const double writeMs = measure(5, [&] { clipboard.store().write({{QStringLiteral("image/png"), variant}}, QUuid::createUuid()); });
    report("  Store::write of it (now on a worker)", writeMs, memcpyMs, "memcpy");
    const double titleMs = measure(5, [&] { clipTitle({{QStringLiteral("image/png"), variant}}, variant); });
    report("  its title (image header only)", titleMs, memcpyMs, "memcpy");
    const double thumbnailMs = measure(3, [&] {
        clipboard.check();
        clipboard.finishPendingCopies();
        clipboard.store().waitForThumbnails();
    }, [&] {
        clipboard.store().waitForThumbnails();
        variant = png + QByteArray::number(++serial);
        board.offer({{QStringLiteral("image/png"), variant}});
    });
    report("  ... until written, with its thumbnail", thumbnailMs, memcpyMs, "memcpy");
    clipboard.finishPendingCopies();
    clipboard.clear(true);

    // sortAndSave with 1,000 entries.
    for (int i = 0; i < 1000; ++i)
        clipboard.add({{QStringLiteral("text/plain"), QByteArray("entry ") + QByteArray::number(i) + QByteArray(60, 'b')}},
                      QStringLiteral("org.gnome.TextEditor"));
    const double saveMs = measure(21, [&] { clipboard.sortAndSave(); });
    report("sortAndSave, 1,000 entries", saveMs, plainWriteMs, "plain write", 20);
    const double encodeMs = measure(21, [&] { ClipIndex::encode(clipboard.items()); });
    report("  of which encoding the index", encodeMs, plainWriteMs, "plain write");
    // What keeping the index durable costs the thread that does it: file and folder synced.
    const QByteArray index = ClipIndex::encode(clipboard.items().mid(0, 200));
    const QString indexCopy = home.filePath("Clipboard/bench-index.json");
    const double renameMs = measure(21, [&] { StoreFiles::writeAtomically(indexCopy, index, false); });
    const double syncedMs = measure(21, [&] { StoreFiles::writeAtomically(indexCopy, index, true); });
    clipboard.store().waitForWrites();
    report("replace a 200-entry index, renamed only", renameMs, plainWriteMs, "plain write");
    report("  the same, synced (done off the main thread)", syncedMs, renameMs, "renamed only");

    // One keystroke in the picker over 1,000 titles.
    ClipboardPickerModel picker(clipboard);
    picker.pointerLocation = [] { return QPoint(); };
    const QStringList queries{"e", "en", "ent", "entr", "entry 9", "entry 99"};
    int q = 0;
    const double filterMs = measure(31, [&] {
        picker.setQuery(queries.at(q++ % queries.size()));
        volatile auto count = picker.visible().size();
        (void)count;
    });
    report("filter 1,000 titles, one keystroke", filterMs, plainWriteMs, "plain write", 2);
    clipboard.store().waitForWrites();
    return 0;
}
