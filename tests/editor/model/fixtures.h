// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

#include <memory>

// Shared set-up of the editor model tests: sandboxed preferences and small image files.
namespace Fixtures {

// Points the preference store and the standard folders at a fresh temporary folder.
class Sandbox
{
public:
    Sandbox()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath("config"));
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QSettings settings() const
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper",
                         "KiwanoSnapper");
    }

private:
    QTemporaryDir m_dir;
};

inline QImage solid(QColor color, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

inline QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A well-formed PNG whose header claims width x height pixels: a decoder that honours an
// allocation limit refuses it before touching the (tiny) pixel data.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = pngBytes(solid(Qt::red, 1, 1));
    // The IHDR chunk starts after the 8-byte signature: length, type, then width and height.
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

} // namespace Fixtures

#include "annotation/annotation.h"
#include "editor/model/editormodel.h"

namespace Fixtures {

// A model over a plain grey image, with pixelScale 1 unless given.
inline std::unique_ptr<EditorModel> model(int width = 400, int height = 300, qreal pixelScale = 1)
{
    return std::make_unique<EditorModel>(solid(QColor(200, 200, 200), width, height), pixelScale);
}

// One whole drag with the current tool, through a midpoint.
inline void drag(EditorModel &model, QPointF from, QPointF to, bool shiftHeld = false)
{
    model.dragChanged(from, (from + to) / 2, shiftHeld);
    model.dragChanged(from, to, shiftHeld);
    model.dragEnded(to);
}

// A box drawn with the rect tool; returns its id.
inline QUuid box(EditorModel &model, QRectF rect)
{
    model.chooseTool(Tool::rect);
    drag(model, rect.topLeft(), rect.bottomRight());
    return model.annotations().last().id;
}

} // namespace Fixtures
