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
};

// Indexed by the enumeration's value.
constexpr std::array<ToolInfo, 12> infos{{
    {Tool::move, "move", "Move", "hand"},
    {Tool::pen, "pen", "Pen", "pencil"},
    {Tool::highlighter, "highlighter", "Highlight", "magic-wand-sparkles"},
    {Tool::arrow, "arrow", "Arrow", "arrow-right"},
    {Tool::rect, "rect", "Box", "rectangle"},
    {Tool::text, "text", "Text", "font"},
    {Tool::blur, "blur", "Blur", "eye-slash"},
    {Tool::focus, "focus", "Focus", "eye"},
    {Tool::stamp, "stamp", "Stamp", "kiwano"},
    {Tool::crop, "crop", "Crop", "scissors"},
    {Tool::watermark, "watermark", "Watermark", "image"},
    {Tool::picture, "picture", "Image", "images"},
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

std::optional<Tool> fromRaw(const QString &raw)
{
    for (const ToolInfo &i : infos) {
        if (raw == QLatin1String(i.raw))
            return i.tool;
    }
    return std::nullopt;
}

} // namespace Tools
