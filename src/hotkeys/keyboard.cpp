// SPDX-License-Identifier: MIT
#include "hotkeys/keyboard.h"

#include "platform/keyboardlayout.h"
#include "platform/keycodes.h"

#include <array>
#include <utility>

namespace Keyboard {

namespace {

KeyboardLayout *currentLayout = nullptr;

constexpr std::array<std::pair<quint32, const char16_t *>, 27> fixedNames{{
    {36, u"↩"}, {48, u"⇥"}, {49, u"Space"}, {51, u"⌫"}, {117, u"⌦"}, {53, u"⎋"},
    {123, u"←"}, {124, u"→"}, {126, u"↑"}, {125, u"↓"}, {115, u"↖"}, {119, u"↘"},
    {116, u"⇞"}, {121, u"⇟"}, {122, u"F1"}, {120, u"F2"}, {99, u"F3"}, {118, u"F4"},
    {96, u"F5"}, {97, u"F6"}, {98, u"F7"}, {100, u"F8"}, {101, u"F9"}, {109, u"F10"},
    {103, u"F11"}, {111, u"F12"}, {105, u"Print"},
}};

// Bits 0..26 stand for the codes 96..122; set where the code is F1 to F12.
constexpr quint32 functionKeyMask = (1u << (96 - 96)) | (1u << (97 - 96)) | (1u << (98 - 96))
    | (1u << (99 - 96)) | (1u << (100 - 96)) | (1u << (101 - 96)) | (1u << (103 - 96))
    | (1u << (109 - 96)) | (1u << (111 - 96)) | (1u << (118 - 96)) | (1u << (120 - 96))
    | (1u << (122 - 96));

} // namespace

void setLayout(KeyboardLayout *layout)
{
    currentLayout = layout;
}

std::optional<QString> character(quint32 keyCode)
{
    if (!currentLayout)
        return std::nullopt;
    auto text = currentLayout->text(keyCode);
    if (!text || text->isEmpty())
        return std::nullopt;
    return text;
}

namespace {

std::optional<QString> knownName(quint32 keyCode)
{
    for (const auto &[code, fixed] : fixedNames) {
        if (code == keyCode)
            return QString::fromUtf16(fixed);
    }
    if (const auto text = character(keyCode))
        return text->toUpper();
    return std::nullopt;
}

} // namespace

QString name(quint32 keyCode)
{
    if (const auto known = knownName(keyCode))
        return *known;
    // With no layout to read (a Wayland session that names none), the key's character on a US
    // layout says more than its number.
    if (!currentLayout) {
        for (const KeyCodes::Position &p : KeyCodes::positions) {
            if (p.virtualKey == keyCode && p.qtKey > Qt::Key_Space && p.qtKey <= Qt::Key_AsciiTilde)
                return QString(QChar(p.qtKey)).toUpper();
        }
    }
    return QLatin1Char('#') + QString::number(keyCode);
}

bool hasName(quint32 keyCode)
{
    return knownName(keyCode).has_value();
}

std::optional<quint16> keyCode(const QString &wanted)
{
    if (!currentLayout || wanted.isEmpty())
        return std::nullopt;
    for (quint16 code = 0; code < 128; ++code) {
        if (character(code) == wanted)
            return code;
    }
    return std::nullopt;
}

bool isFunctionKey(quint32 keyCode)
{
    return keyCode >= 96 && keyCode <= 122 && (functionKeyMask >> (keyCode - 96)) & 1u;
}

} // namespace Keyboard
