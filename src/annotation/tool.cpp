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
    char key; // the letter that chooses the tool; 0 for none
};

// Indexed by the enumeration's value.
constexpr std::array<ToolInfo, 12> infos{{
    {Tool::move, "move", QT_TRANSLATE_NOOP("Tool", "Move"), "hand", 'M'},
    {Tool::pen, "pen", QT_TRANSLATE_NOOP("Tool", "Pen"), "pencil", 'P'},
    {Tool::highlighter, "highlighter", QT_TRANSLATE_NOOP("Tool", "Highlight"), "magic-wand-sparkles", 'H'},
    {Tool::arrow, "arrow", QT_TRANSLATE_NOOP("Tool", "Arrow"), "arrow-right", 'A'},
    {Tool::rect, "rect", QT_TRANSLATE_NOOP("Tool", "Box"), "rectangle", 'B'},
    {Tool::text, "text", QT_TRANSLATE_NOOP("Tool", "Text"), "font", 'T'},
    {Tool::blur, "blur", QT_TRANSLATE_NOOP("Tool", "Blur"), "eye-slash", 'U'},
    {Tool::focus, "focus", QT_TRANSLATE_NOOP("Tool", "Focus"), "eye", 'F'},
    {Tool::stamp, "stamp", QT_TRANSLATE_NOOP("Tool", "Stamp"), "kiwano", 'S'},
    {Tool::crop, "crop", QT_TRANSLATE_NOOP("Tool", "Crop"), "scissors", 'C'},
    {Tool::watermark, "watermark", QT_TRANSLATE_NOOP("Tool", "Watermark"), "image", 0},
    {Tool::picture, "picture", QT_TRANSLATE_NOOP("Tool", "Image"), "images", 0},
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
