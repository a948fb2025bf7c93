#include "ui/SkinValues.h"

#include <climits>
#include <cstdint>
#include <new>

#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/bad_alloc.h"
#include "ui/SkinError.h"

namespace ui {
namespace {

int Saturated(std::int64_t value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The values of `key`, holding at least `needed`; reported as the schema check would.
const SkinValueList& ValuesOf(const SkinItemDefinition& item, const char* key, std::size_t needed) {
    const auto found = item.keys.find(key);
    if (found == item.keys.end()) {
        ReportSkinError(FormatSkinText("%s/%sが定義されていません", item.name.c_str(), key));
    }
    if (found->second.size() < needed) {
        ReportSkinError(FormatSkinText("%s/%sのパラメータは %lu個必要です", item.name.c_str(), key,
                                       static_cast<unsigned long>(needed)));
    }
    return found->second;
}

// `count` integers of `key` from `first` on.
template <std::size_t count>
std::array<int, count> IntegersAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    const SkinValueList& values = ValuesOf(item, key, first + count);
    std::array<int, count> result{};
    for (std::size_t at = 0; at < count; ++at) result[at] = SkinInteger(values[first + at]);
    return result;
}

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

const std::string& SkinTextAt(const SkinItemDefinition& item, const char* key, std::size_t index) {
    return ValuesOf(item, key, index + 1)[index];
}

int SkinIntegerAt(const SkinItemDefinition& item, const char* key, std::size_t index) {
    return IntegersAt<1>(item, key, index)[0];
}

POINT SkinPointAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    const auto [x, y] = IntegersAt<2>(item, key, first);
    return POINT{x, y};
}

SIZE SkinSizeAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    const auto [cx, cy] = IntegersAt<2>(item, key, first);
    return SIZE{cx, cy};
}

std::array<int, 4> SkinFourIntegersAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    return IntegersAt<4>(item, key, first);
}

COLORREF SkinColorAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    const auto [r, g, b] = IntegersAt<3>(item, key, first);
    return RGB(static_cast<BYTE>(r & 0xFF), static_cast<BYTE>(g & 0xFF), static_cast<BYTE>(b & 0xFF));
}

LOGFONTA SkinFontAt(const SkinItemDefinition& item, const char* key, std::size_t first) {
    // The face name is required but never applied.
    ValuesOf(item, key, first + 3);
    const auto [size, weight] = IntegersAt<2>(item, key, first + 1);
    LOGFONTA font = lib::wfc::DefaultLogFont();
    font.lfHeight = Saturated(-static_cast<std::int64_t>(size));
    font.lfWidth = 0;
    font.lfWeight = weight;
    return font;
}

RECT SkinItemRect(const SkinItemDefinition& item) {
    const POINT position = SkinPointAt(item, "Position");
    const SIZE size = SkinSizeAt(item, "Size");
    return RECT{position.x, position.y, Saturated(std::int64_t{position.x} + size.cx),
                Saturated(std::int64_t{position.y} + size.cy)};
}

void ReportSkinMemoryShortage() { ReportSkinError(lib::wfc::bad_alloc().what()); }

}  // namespace ui
