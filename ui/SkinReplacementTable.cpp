#include "ui/SkinReplacementTable.h"

#include <string_view>

#include "lib/AnsiText.h"

namespace ui {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Double-byte characters compare exactly: their trail bytes may look like letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t at = 0; at < a.size();) {
        const std::size_t length = lib::AnsiCharLength(a, at);
        if (length == 1 ? AsciiLower(a[at]) != AsciiLower(b[at]) : a.compare(at, length, b, at, length) != 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace

void ApplySkinReplacementTable(SkinDefinition& definition) {
    const auto table = definition.items.find("ReplacementTable");
    if (table == definition.items.end()) return;
    const SkinKeyMap replacements = std::move(table->second.keys);
    definition.items.erase(table);

    for (const auto& [key, values] : replacements) {
        const std::string replacement = values.empty() ? std::string() : values.front();
        for (auto& [name, item] : definition.items) {
            for (auto& [itemKey, itemValues] : item.keys) {
                for (std::string& value : itemValues) {
                    if (EqualIgnoringAsciiCase(value, key)) value = replacement;
                }
            }
        }
    }
}

}  // namespace ui
