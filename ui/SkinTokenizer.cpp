#include "ui/SkinTokenizer.h"

#include <utility>

namespace ui {
namespace {

constexpr std::wstring_view kDelimiters = L" \t{},;=\\";

bool IsDelimiter(wchar_t c) { return kDelimiters.find(c) != std::wstring_view::npos; }

}  // namespace

std::vector<SkinToken> TokenizeSkinLine(std::wstring_view line) {
    std::vector<SkinToken> tokens;
    SkinToken building;
    bool inQuotes = false;
    auto finish = [&tokens, &building] {
        if (!building.text.empty()) tokens.push_back(std::move(building));
        building = SkinToken{};
    };
    for (const wchar_t c : line) {
        if (inQuotes) {
            if (c == L'"') {
                inQuotes = false;
                finish();
            } else {
                building.text += c;
            }
        } else if (c == L'"') {
            inQuotes = true;
            building.quoted = true;
        } else if (IsDelimiter(c)) {
            finish();
            if (c != L' ' && c != L'\t') tokens.push_back(SkinToken{std::wstring(1, c), false});
        } else {
            building.text += c;
        }
    }
    finish();
    return tokens;
}

bool IsSkinDelimiterToken(const SkinToken& token) { return token.text.size() == 1 && IsDelimiter(token.text[0]); }

}  // namespace ui
