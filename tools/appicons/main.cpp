// SPDX-License-Identifier: MIT
// Makes the application's hicolor icons from the mascot picture: whole-number reductions keep
// the pixel grid sharp, the rest are smoothed.
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: kiwano-appicons SOURCE.png OUTPUT-FOLDER NAME [SIZE...]\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull() || source.width() != source.height()) {
        std::fprintf(stderr, "kiwano-appicons: %s is not a square picture\n", argv[1]);
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0)
            return 2;
        const bool whole = source.width() % size == 0 || size % source.width() == 0;
        const QImage icon = source.scaled(size, size, Qt::KeepAspectRatio,
                                          whole ? Qt::FastTransformation : Qt::SmoothTransformation);
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!output.mkpath(folder) || !icon.save(output.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png")))) {
            std::fprintf(stderr, "kiwano-appicons: cannot write the %d pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
