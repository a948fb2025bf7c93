#pragma once
// Escapes written in skin texts. Replacement steps through the text by
// characters, so a Shift-JIS character whose trail byte is '\\' (表, ソ, 能)
// never starts an escape and comes through unchanged.
#include <string>
#include <string_view>

namespace ui {

// Every `escape` in `text` becomes `replacement`.
std::string ReplaceSkinEscape(const std::string& text, std::string_view escape, std::string_view replacement);

// Backslash-r-backslash-n becomes a carriage return and line feed, as static
// texts, button captions and message-box texts take it.
std::string ResolveSkinLineBreaks(const std::string& text);

}  // namespace ui
