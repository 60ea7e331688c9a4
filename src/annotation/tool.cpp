// SPDX-License-Identifier: MIT
#include "annotation/tool.h"

#include <QCoreApplication>

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
    {Tool::move, "move", QT_TRANSLATE_NOOP("Tool", "Move"), "hand"},
    {Tool::pen, "pen", QT_TRANSLATE_NOOP("Tool", "Pen"), "pencil"},
    {Tool::highlighter, "highlighter", QT_TRANSLATE_NOOP("Tool", "Highlight"), "magic-wand-sparkles"},
    {Tool::arrow, "arrow", QT_TRANSLATE_NOOP("Tool", "Arrow"), "arrow-right"},
    {Tool::rect, "rect", QT_TRANSLATE_NOOP("Tool", "Box"), "rectangle"},
    {Tool::text, "text", QT_TRANSLATE_NOOP("Tool", "Text"), "font"},
    {Tool::blur, "blur", QT_TRANSLATE_NOOP("Tool", "Blur"), "eye-slash"},
    {Tool::focus, "focus", QT_TRANSLATE_NOOP("Tool", "Focus"), "eye"},
    {Tool::stamp, "stamp", QT_TRANSLATE_NOOP("Tool", "Stamp"), "kiwano"},
    {Tool::crop, "crop", QT_TRANSLATE_NOOP("Tool", "Crop"), "scissors"},
    {Tool::watermark, "watermark", QT_TRANSLATE_NOOP("Tool", "Watermark"), "image"},
    {Tool::picture, "picture", QT_TRANSLATE_NOOP("Tool", "Image"), "images"},
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
    return QCoreApplication::translate("Tool", info(tool).label);
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
