// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// A copy of base (premultiplied ARGB32, same size) made of block × block squares, each filled
// with the mean of the original pixels it covers, so no single pixel of the original survives
// inside a square of several. The grid starts at the bottom-left corner; the squares along the
// top and right edges are cut short. Null when base is null, block is below 1 or no frame can
// be allocated.
QImage pixellate(const QImage &base, int block);
