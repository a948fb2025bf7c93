#include "ui/SkinTextFile.h"

#include <cstring>

#include "lib/AnsiText.h"

namespace ui {
namespace {

template <typename Char, typename Decode>
std::vector<std::wstring> SplitAtCrLf(std::basic_string_view<Char> text, Decode decode) {
    static constexpr Char kCrLf[] = {Char('\r'), Char('\n')};
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(std::basic_string_view<Char>(kCrLf, 2), start);
        lines.push_back(decode(text.substr(start, end == text.npos ? text.npos : end - start)));
        if (end == text.npos) return lines;
        start = end + 2;
    }
}

}  // namespace

std::vector<std::wstring> SplitSkinText(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::wstring text((bytes.size() - 2) / sizeof(wchar_t), L'\0');
        if (!text.empty()) std::memcpy(&text[0], bytes.data() + 2, text.size() * sizeof(wchar_t));
        return SplitAtCrLf(std::wstring_view(text), [](std::wstring_view line) { return std::wstring(line); });
    }
    return SplitAtCrLf(bytes, [](std::string_view line) { return lib::FromAnsi(line); });
}

}  // namespace ui
