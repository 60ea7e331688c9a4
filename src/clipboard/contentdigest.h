// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QList>
#include <QString>

// The key that merges repeated copies: SHA-256 over each representation's type (UTF-8) followed
// by its bytes, in order, with no separators or lengths; 64 lowercase hexadecimal digits.
// libcrypto does the hashing: with the CPU's SHA instructions it is about eight times faster than
// QCryptographicHash on a 30 MiB image.
QString contentDigest(const QList<Representation> &representations);
