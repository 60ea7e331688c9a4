// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <optional>

// The display title of a new entry: the file names, else the start of its text (plain, then RTF,
// then HTML), else "Image W × H" from the image bytes, else "Clipping".
QString clipTitle(const QList<Representation> &representations,
                  const std::optional<QByteArray> &imageBytes);
