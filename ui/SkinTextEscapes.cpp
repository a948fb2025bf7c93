#include "ui/SkinTextEscapes.h"

#include "lib/AnsiText.h"

namespace ui {

std::string ReplaceSkinEscape(const std::string& text, std::string_view escape, std::string_view replacement) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (!escape.empty() && text.compare(at, escape.size(), escape) == 0) {
            result += replacement;
            at += escape.size();
        } else {
            const std::size_t length = lib::AnsiCharLength(text, at);
            result.append(text, at, length);
            at += length;
        }
    }
    return result;
}

std::string ResolveSkinLineBreaks(const std::string& text) { return ReplaceSkinEscape(text, "\\r\\n", "\r\n"); }

}  // namespace ui
