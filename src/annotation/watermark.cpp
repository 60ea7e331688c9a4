// SPDX-License-Identifier: MIT
#include "annotation/watermark.h"

#include <QImageReader>

namespace Watermark {

const std::optional<QImage> &image()
{
    static const std::optional<QImage> mascot = []() -> std::optional<QImage> {
        QImageReader reader(QStringLiteral(":/Images/zog-kiwano.png"));
        QImage decoded = reader.read();
        if (decoded.isNull() || decoded.width() <= 0 || decoded.height() <= 0)
            return std::nullopt;
        return decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }();
    return mascot;
}

qreal aspect()
{
    const std::optional<QImage> &mascot = image();
    if (!mascot)
        return 1;
    return qreal(mascot->height()) / mascot->width();
}

} // namespace Watermark
