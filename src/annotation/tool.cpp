// SPDX-License-Identifier: MIT
#include "annotation/tool.h"

#include <array>

namespace {

struct ToolInfo
{
    Tool tool;
    const char *raw;
    const char *label;
    const char *icon;
    char key; // the letter that chooses the tool; 0 for none
};

// Indexed by the enumeration's value.
constexpr std::array<ToolInfo, 12> infos{{
    {Tool::move, "move", "Move", "hand", 'M'},
    {Tool::pen, "pen", "Pen", "pencil", 'P'},
    {Tool::highlighter, "highlighter", "Highlight", "magic-wand-sparkles", 'H'},
    {Tool::arrow, "arrow", "Arrow", "arrow-right", 'A'},
    {Tool::rect, "rect", "Box", "rectangle", 'B'},
    {Tool::text, "text", "Text", "font", 'T'},
    {Tool::blur, "blur", "Blur", "eye-slash", 'U'},
    {Tool::focus, "focus", "Focus", "eye", 'F'},
    {Tool::stamp, "stamp", "Stamp", "kiwano", 'S'},
    {Tool::crop, "crop", "Crop", "scissors", 'C'},
    {Tool::watermark, "watermark", "Watermark", "image", 0},
    {Tool::picture, "picture", "Image", "images", 0},
}};

const ToolInfo &info(Tool tool)
{
    return infos[static_cast<size_t>(tool)];
}

} // namespace

QString rawValue(Tool tool)
{
    return QString::fromLatin1(info(tool).raw);
}

QString label(Tool tool)
{
    return QString::fromLatin1(info(tool).label);
}

QString icon(Tool tool)
{
    return QString::fromLatin1(info(tool).icon);
}

QString shortcutKey(Tool tool)
{
    const char key = info(tool).key;
    return key ? QString(QLatin1Char(key)) : QString();
}

namespace Tools {

const QList<Tool> &allCases()
{
    static const QList<Tool> tools = [] {
        QList<Tool> list;
        for (const ToolInfo &i : infos)
            list.append(i.tool);
        return list;
    }();
    return tools;
}

const QList<Tool> &toolbar()
{
    static const QList<Tool> tools = [] {
        QList<Tool> list = allCases();
        list.removeAll(Tool::watermark);
        list.removeAll(Tool::picture);
        return list;
    }();
    return tools;
}

std::optional<Tool> forKey(int key)
{
    for (const ToolInfo &i : infos) {
        if (i.key && key == int(i.key))
            return i.tool;
    }
    return std::nullopt;
}

std::optional<Tool> fromRaw(const QString &raw)
{
    for (const ToolInfo &i : infos) {
        if (raw == QLatin1String(i.raw))
            return i.tool;
    }
    return std::nullopt;
}

} // namespace Tools
