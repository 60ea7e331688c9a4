// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

// Frames the size of a whole screenshot. A fresh 5K frame from the heap pays tens of thousands
// of 4 KiB page faults on first touch; frames from here are mapped with transparent huge pages.
namespace Bitmap {

// The longest side of an image the editor takes in or makes: a frame of any size up to it, in
// either direction, stays under allocate's limit, so whatever is opened or resized can be
// flattened and saved.
constexpr int largestSide = 16000;

// A frame of that size whose pixels are uninitialised, as with QImage(size, format); a null
// image when the size is empty, beyond 32768 pixels a side or 1 GiB, or memory runs out.
QImage allocate(QSize size, QImage::Format format = QImage::Format_ARGB32_Premultiplied);

} // namespace Bitmap
