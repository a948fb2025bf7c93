#include "ui/SkinValues.h"

#include <climits>
#include <cstdint>

#include "lib/wfc/DefaultLogFont.h"

namespace ui {
namespace {

int Saturated(std::int64_t value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int SkinInteger(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    std::int64_t magnitude = 0;
    // Past the int range the value only saturates, so the digits can stop counting.
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[at] - '0');
    }
    return Saturated(negative ? -magnitude : magnitude);
}

int SkinIntegerAt(const SkinValueList& values, std::size_t index) { return SkinInteger(values.at(index)); }

POINT SkinPointAt(const SkinValueList& values, std::size_t first) {
    return POINT{SkinIntegerAt(values, first), SkinIntegerAt(values, first + 1)};
}

SIZE SkinSizeAt(const SkinValueList& values, std::size_t first) {
    return SIZE{SkinIntegerAt(values, first), SkinIntegerAt(values, first + 1)};
}

std::array<int, 4> SkinFourIntegersAt(const SkinValueList& values, std::size_t first) {
    return {SkinIntegerAt(values, first), SkinIntegerAt(values, first + 1), SkinIntegerAt(values, first + 2),
            SkinIntegerAt(values, first + 3)};
}

COLORREF SkinColorAt(const SkinValueList& values, std::size_t first) {
    auto low8 = [&values](std::size_t index) { return static_cast<BYTE>(SkinIntegerAt(values, index) & 0xFF); };
    return RGB(low8(first), low8(first + 1), low8(first + 2));
}

LOGFONTA SkinFontAt(const SkinValueList& values, std::size_t first) {
    LOGFONTA font = lib::wfc::DefaultLogFont();
    font.lfHeight = Saturated(-static_cast<std::int64_t>(SkinIntegerAt(values, first + 1)));
    font.lfWidth = 0;
    font.lfWeight = SkinIntegerAt(values, first + 2);
    return font;
}

RECT SkinItemRect(const SkinKeyMap& keys) {
    const POINT position = SkinPointAt(keys.at("Position"));
    const SIZE size = SkinSizeAt(keys.at("Size"));
    return RECT{position.x, position.y, Saturated(std::int64_t{position.x} + size.cx),
                Saturated(std::int64_t{position.y} + size.cy)};
}

}  // namespace ui
