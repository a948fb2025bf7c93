#pragma once
// Splits one line of a skin file (comment already removed) into tokens.
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct SkinToken {
    std::wstring text;
    bool quoted = false;  // the token came from a double-quoted string
};

// Space and tab separate; "{", "}", ",", ";", "=" and '\\' are tokens of
// their own. Inside double quotes every character is kept; an empty pair of
// quotes gives no token and a quote left open runs to the end of the line.
std::vector<SkinToken> TokenizeSkinLine(std::wstring_view line);

// True when the token's whole text is one of the eight delimiter characters,
// quoted or not.
bool IsSkinDelimiterToken(const SkinToken& token);

}  // namespace ui
