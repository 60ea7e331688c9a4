// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <Qt>

#include <array>
#include <optional>

// Stored shortcuts keep the virtual key numbering of the format they were designed with: a key
// position, not a character. One table relates it to the Linux input layer's numbering (evdev,
// which X11 offsets by 8) and, for windows that carry no native code, to Qt's key of the US
// layout at that position.
namespace KeyCodes {

struct Position
{
    quint16 virtualKey;
    quint16 evdev;
    int qtKey;  // 0 where Qt has no key of its own for the position (keypad digits, JIS keys)
};

inline constexpr std::array<Position, 119> positions{{
    {0, 30, Qt::Key_A}, {1, 31, Qt::Key_S}, {2, 32, Qt::Key_D}, {3, 33, Qt::Key_F},
    {4, 35, Qt::Key_H}, {5, 34, Qt::Key_G}, {6, 44, Qt::Key_Z}, {7, 45, Qt::Key_X},
    {8, 46, Qt::Key_C}, {9, 47, Qt::Key_V}, {10, 86, 0}, {11, 48, Qt::Key_B},
    {12, 16, Qt::Key_Q}, {13, 17, Qt::Key_W}, {14, 18, Qt::Key_E}, {15, 19, Qt::Key_R},
    {16, 21, Qt::Key_Y}, {17, 20, Qt::Key_T}, {18, 2, Qt::Key_1}, {19, 3, Qt::Key_2},
    {20, 4, Qt::Key_3}, {21, 5, Qt::Key_4}, {22, 7, Qt::Key_6}, {23, 6, Qt::Key_5},
    {24, 13, Qt::Key_Equal}, {25, 10, Qt::Key_9}, {26, 8, Qt::Key_7}, {27, 12, Qt::Key_Minus},
    {28, 9, Qt::Key_8}, {29, 11, Qt::Key_0}, {30, 27, Qt::Key_BracketRight}, {31, 24, Qt::Key_O},
    {32, 22, Qt::Key_U}, {33, 26, Qt::Key_BracketLeft}, {34, 23, Qt::Key_I}, {35, 25, Qt::Key_P},
    {36, 28, Qt::Key_Return}, {37, 38, Qt::Key_L}, {38, 36, Qt::Key_J},
    {39, 40, Qt::Key_Apostrophe}, {40, 37, Qt::Key_K}, {41, 39, Qt::Key_Semicolon},
    {42, 43, Qt::Key_Backslash}, {43, 51, Qt::Key_Comma}, {44, 53, Qt::Key_Slash},
    {45, 49, Qt::Key_N}, {46, 50, Qt::Key_M}, {47, 52, Qt::Key_Period}, {48, 15, Qt::Key_Tab},
    {49, 57, Qt::Key_Space}, {50, 41, Qt::Key_QuoteLeft}, {51, 14, Qt::Key_Backspace},
    {53, 1, Qt::Key_Escape}, {54, 126, 0}, {55, 125, Qt::Key_Meta}, {56, 42, Qt::Key_Shift},
    {57, 58, Qt::Key_CapsLock}, {58, 56, Qt::Key_Alt}, {59, 29, Qt::Key_Control},
    {60, 54, 0}, {61, 100, Qt::Key_AltGr}, {62, 97, 0}, {64, 187, Qt::Key_F17},
    {65, 83, 0}, {67, 55, 0}, {69, 78, 0}, {71, 69, Qt::Key_NumLock},
    {72, 115, Qt::Key_VolumeUp}, {73, 114, Qt::Key_VolumeDown}, {74, 113, Qt::Key_VolumeMute},
    {75, 98, 0}, {76, 96, Qt::Key_Enter}, {78, 74, 0}, {79, 188, Qt::Key_F18},
    {80, 189, Qt::Key_F19}, {81, 117, 0}, {82, 82, 0}, {83, 79, 0}, {84, 80, 0}, {85, 81, 0},
    {86, 75, 0}, {87, 76, 0}, {88, 77, 0}, {89, 71, 0}, {90, 190, Qt::Key_F20}, {91, 72, 0},
    {92, 73, 0}, {93, 124, Qt::Key_yen}, {94, 89, 0}, {95, 95, 0}, {96, 63, Qt::Key_F5},
    {97, 64, Qt::Key_F6}, {98, 65, Qt::Key_F7}, {99, 61, Qt::Key_F3}, {100, 66, Qt::Key_F8},
    {101, 67, Qt::Key_F9}, {102, 123, 0}, {103, 87, Qt::Key_F11}, {104, 122, 0},
    // The other format's F13 to F15 sit where a PC keyboard has Print, Scroll Lock and Pause.
    {105, 99, Qt::Key_Print}, {106, 186, Qt::Key_F16}, {107, 70, Qt::Key_ScrollLock},
    {109, 68, Qt::Key_F10}, {110, 127, Qt::Key_Menu}, {111, 88, Qt::Key_F12},
    {113, 119, Qt::Key_Pause}, {114, 110, Qt::Key_Insert}, {115, 102, Qt::Key_Home},
    {116, 104, Qt::Key_PageUp}, {117, 111, Qt::Key_Delete}, {118, 62, Qt::Key_F4},
    {119, 107, Qt::Key_End}, {120, 60, Qt::Key_F2}, {121, 109, Qt::Key_PageDown},
    {122, 59, Qt::Key_F1}, {123, 105, Qt::Key_Left}, {124, 106, Qt::Key_Right},
    {125, 108, Qt::Key_Down}, {126, 103, Qt::Key_Up},
}};

// Keys Qt reports for a position when Shift (or Alt, for Print) is held on the US layout.
inline constexpr std::array<std::pair<int, quint16>, 25> shiftedQtKeys{{
    {Qt::Key_Exclam, 18}, {Qt::Key_At, 19}, {Qt::Key_NumberSign, 20}, {Qt::Key_Dollar, 21},
    {Qt::Key_Percent, 23}, {Qt::Key_AsciiCircum, 22}, {Qt::Key_Ampersand, 26},
    {Qt::Key_Asterisk, 28}, {Qt::Key_ParenLeft, 25}, {Qt::Key_ParenRight, 29},
    {Qt::Key_Underscore, 27}, {Qt::Key_Plus, 24}, {Qt::Key_BraceLeft, 33},
    {Qt::Key_BraceRight, 30}, {Qt::Key_Bar, 42}, {Qt::Key_Colon, 41}, {Qt::Key_QuoteDbl, 39},
    {Qt::Key_Less, 43}, {Qt::Key_Greater, 47}, {Qt::Key_Question, 44},
    {Qt::Key_AsciiTilde, 50}, {Qt::Key_Backtab, 48}, {Qt::Key_SysReq, 105},
    {Qt::Key_Super_L, 55}, {Qt::Key_Super_R, 54},
}};

// X11 numbers keys as the input layer does, plus 8.
inline constexpr quint32 x11Offset = 8;

// The virtual key at an evdev position; nothing for positions the stored format cannot name.
constexpr std::optional<quint16> fromEvdev(quint32 evdev)
{
    for (const Position &p : positions) {
        if (p.evdev == evdev)
            return p.virtualKey;
    }
    return std::nullopt;
}

// The evdev position of a virtual key; nothing for codes that name no key.
constexpr std::optional<quint32> toEvdev(quint32 virtualKey)
{
    for (const Position &p : positions) {
        if (p.virtualKey == virtualKey)
            return p.evdev;
    }
    return std::nullopt;
}

// The virtual key of an X11 keycode; nothing outside the table.
constexpr std::optional<quint16> fromX11(quint32 x11KeyCode)
{
    if (x11KeyCode < x11Offset)
        return std::nullopt;
    return fromEvdev(x11KeyCode - x11Offset);
}

// The X11 keycode of a virtual key; nothing for codes that name no key.
constexpr std::optional<quint32> toX11(quint32 virtualKey)
{
    const auto evdev = toEvdev(virtualKey);
    return evdev ? std::optional<quint32>(*evdev + x11Offset) : std::nullopt;
}

// The keysym name desktops take in their shortcut strings for the key at this position on a US
// layout ("c", "6", "F5", "Print", "space"); nothing for the keys they are not given.
inline std::optional<QString> keysymName(quint32 virtualKey)
{
    int qtKey = 0;
    for (const Position &p : positions) {
        if (p.virtualKey == virtualKey)
            qtKey = p.qtKey;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return QString(QChar(qtKey).toLower());
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return QStringLiteral("F%1").arg(qtKey - Qt::Key_F1 + 1);
    if (qtKey == Qt::Key_Print)
        return QStringLiteral("Print");
    if (qtKey == Qt::Key_Space)
        return QStringLiteral("space");
    return std::nullopt;
}

// Whether the key at this position does something rather than type (Escape, Return, arrows,
// modifiers), on a US layout.
constexpr bool isNamedKey(quint32 virtualKey)
{
    for (const Position &p : positions) {
        if (p.virtualKey == virtualKey)
            return p.qtKey >= Qt::Key_Escape;
    }
    return false;
}

// The virtual key of a Qt key as the US layout places it; letters in either case.
constexpr std::optional<quint16> fromQtKey(int qtKey)
{
    if (qtKey >= 'a' && qtKey <= 'z')
        qtKey -= 'a' - 'A';
    if (qtKey == 0)
        return std::nullopt;
    for (const Position &p : positions) {
        if (p.qtKey == qtKey)
            return p.virtualKey;
    }
    for (const auto &[key, virtualKey] : shiftedQtKeys) {
        if (key == qtKey)
            return virtualKey;
    }
    return std::nullopt;
}

} // namespace KeyCodes
