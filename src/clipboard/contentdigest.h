// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QList>
#include <QString>

// The key that merges repeated copies: SHA-256 over each representation's type (UTF-8) followed
// by its bytes, in order, with no separators or lengths; 64 lowercase hexadecimal digits. Plain
// text counts as "text/plain" whichever of its names it came under, and equal texts count once,
// so the same words copied as UTF8_STRING and as text/plain;charset=utf-8 are one entry.
// libcrypto does the hashing: with the CPU's SHA instructions it is about eight times faster than
// QCryptographicHash on a 30 MiB image.
QString contentDigest(const QList<Representation> &representations);
