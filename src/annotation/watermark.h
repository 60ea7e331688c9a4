// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <optional>

// The mascot picture that watermark layers show, read once per process from the resources.
// (The watermark layer's geometry is Shapes::Watermark; code that opens namespace Shapes writes
// ::Watermark for this one.)
namespace Watermark {

// The mascot bitmap; nothing when the resource is missing or cannot be decoded.
const std::optional<QImage> &image();
// The mascot's pixel height divided by its pixel width; 1 when there is no mascot.
qreal aspect();

} // namespace Watermark
