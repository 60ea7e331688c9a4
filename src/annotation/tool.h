// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The editor's tools. The declaration order is the order of Tools::allCases() and of the toolbar.
enum class Tool {
    move,
    pen,
    highlighter,
    arrow,
    rect,
    text,
    blur,
    focus,
    stamp,
    crop,
    watermark,
    picture,
};

// The stable name of a tool ("pen"); also its identifier in preference keys.
QString rawValue(Tool tool);
// The text shown for the tool in the toolbar and the properties panel ("Box" for rect).
QString label(Tool tool);
// The name of the tool's pixel icon.
QString icon(Tool tool);
// The single letter that chooses the tool from the keyboard ("P" for the pen); empty for the
// tools that have commands of their own.
QString shortcutKey(Tool tool);

namespace Tools {

// Every tool in declaration order.
const QList<Tool> &allCases();
// The tools the toolbar offers: all but watermark and picture, which have commands of their own.
const QList<Tool> &toolbar();
// The tool chosen by a key (a Qt::Key: Qt::Key_P for the pen); nothing for other keys.
std::optional<Tool> forKey(int key);
// The tool whose raw value is exactly raw; nothing for any other string.
std::optional<Tool> fromRaw(const QString &raw);

} // namespace Tools
