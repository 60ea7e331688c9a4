// SPDX-License-Identifier: MIT
// kiwano-clipfill COUNT: records COUNT texts in the clipboard history the way the app records a
// copy (its own history class and store, in the XDG folders of the environment), and raises the
// number of entries kept to hold them all.
#include <QCoreApplication>

#include "clipboard/clipboard.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 0;
    if (count <= 0) {
        std::fprintf(stderr, "usage: kiwano-clipfill COUNT\n");
        return 2;
    }
    Clipboard clipboard(nullptr, nullptr, nullptr);
    clipboard.setLimit(qMax(count, 200));
    for (int i = 0; i < count; ++i)
        clipboard.add({{QStringLiteral("text/plain"),
                        QStringLiteral("clip number %1 of the bench, copied from somewhere else").arg(i).toUtf8()}},
                      std::nullopt);
    clipboard.finishPendingCopies();
    const qsizetype kept = clipboard.items().size();
    std::printf("%lld entries in the clipboard history\n", static_cast<long long>(kept));
    return kept == count ? 0 : 1;
}
