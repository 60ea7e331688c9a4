// SPDX-License-Identifier: MIT
#include "look/pixel.h"

#include <QFontDatabase>

namespace Pixel {

namespace {
QString &registeredFamily()
{
    static QString family;
    return family;
}
} // namespace

QString registerFont()
{
    return registerFont(QStringLiteral(":/Fonts/Minecraft.ttf"));
}

QString registerFont(const QString &path)
{
    QString &family = registeredFamily();
    if (family.isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(path);
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        if (!families.isEmpty())
            family = families.first();
    }
    return family;
}

QFont font(qreal pixelSize)
{
    QFont f;
    if (!registeredFamily().isEmpty()) {
        f.setFamily(registeredFamily());
    } else {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setBold(true);
    }
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    // The pixel font's ligatures (fi, fl) draw broken glyphs: every letter stands alone.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QFont uiFont(TextSize size)
{
    QFont f = font(pixelSize(size));
    // Smoothing would only blur the grid: each cell of the font covers a whole device pixel here.
    if (!registeredFamily().isEmpty())
        f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
    return f;
}

} // namespace Pixel
