// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The JSON form of the history index: an array of entries, dates in whole UTC seconds.
namespace ClipIndex {

// The index bytes for these entries, in this order.
QByteArray encode(const QList<ClipItem> &items);
// The entries of an index, or nothing when any part of it is malformed (the file is all or nothing).
std::optional<QList<ClipItem>> decode(const QByteArray &json);

} // namespace ClipIndex
