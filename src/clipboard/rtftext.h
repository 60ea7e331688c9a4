// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The plain characters of an RTF document: paragraphs and line breaks as line feeds, tabs kept,
// font tables, pictures and other destinations left out. Nothing when the bytes are not RTF.
std::optional<QString> rtfPlainText(const QByteArray &rtf);
