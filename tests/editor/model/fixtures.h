// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <functional>

#include "editor/model/editormodel.h"
#include "image/png.h"
#include "support/files.h"

namespace Fixtures {

struct Sandbox
{
    Sandbox()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

inline QImage solid(QColor color, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// A well-formed PNG (valid checksum) whose header claims width x height pixels.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = Png::encode(solid(Qt::red, 1, 1));
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xffffffffu;
    for (char c : png.mid(12, 17)) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

inline std::unique_ptr<EditorModel> model(int width = 400, int height = 300, qreal pixelScale = 1)
{
    return std::make_unique<EditorModel>(solid(QColor(200, 200, 200), width, height), pixelScale);
}

// A whole drag with the current tool, through a midpoint.
inline void drag(EditorModel &model, QPointF from, QPointF to, bool shiftHeld = false)
{
    model.dragChanged(from, (from + to) / 2, shiftHeld);
    model.dragChanged(from, to, shiftHeld);
    model.dragEnded(to);
}

// Chooses the tool and changes its style; returns the style.
inline Style restyleTool(EditorModel &model, Tool tool, const std::function<void(Style &)> &change)
{
    model.chooseTool(tool);
    Style style = model.toolStyle();
    change(style);
    model.setToolStyle(style);
    return style;
}

inline QUuid box(EditorModel &model, QRectF rect)
{
    model.chooseTool(Tool::rect);
    drag(model, rect.topLeft(), rect.bottomRight());
    return model.annotations().last().id;
}

} // namespace Fixtures
