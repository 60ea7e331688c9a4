// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QRectF>

#include <optional>

// Where on the image (in image pixels) a change of a layer or of the draft alters pixels, so that
// only that part of the canvas is painted again.
namespace Damage {

// The layer's bounds with room for outlines and smoothing; a focus veil reaches the whole image.
QRectF ofLayer(const Annotation &layer, const QRectF &imageRect);
// The draft replaced by another: both extents, or for a stroke that only grew, just the new
// stretch from its former last point.
QRectF ofDraft(const std::optional<Annotation> &before, const std::optional<Annotation> &after,
               const QRectF &imageRect);

} // namespace Damage
