#include "ui/SkinStringTable.h"

#include <string_view>

#include "lib/AnsiText.h"
#include "ui/SkinItemAccess.h"

namespace ui {
namespace {

// Steps by characters, so that a Shift-JIS character whose trail byte is '\\'
// never starts an escape.
std::string Unescape(const std::string& text, std::string_view escape, char replacement) {
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, escape.size(), escape) == 0) {
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

}  // namespace

SkinStringTable GetSkinStringTable(const SkinDefinition& definition) {
    SkinStringTable table;
    for (const auto& [key, values] : GetSkinItem(definition, "StringTable").keys) {
        if (values.empty()) continue;
        table[key] = Unescape(Unescape(Unescape(values.front(), "\\n", '\n'), "\\r", '\r'), "\\0x22", '"');
    }
    return table;
}

}  // namespace ui
