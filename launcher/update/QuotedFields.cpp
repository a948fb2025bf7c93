#include "launcher/update/QuotedFields.h"

#include "lib/AnsiText.h"

namespace update {

std::vector<std::string> SplitQuoted(const std::string& text, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = lib::AnsiCharLength(text, i);
        const char c = text[i];
        std::string& field = fields.back();
        if (length == 2) {
            field.append(text, i, 2);
        } else if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == separator && !quoted) {
            fields.emplace_back();
        } else {
            field += c;
        }
        i += length;
    }
    return fields;
}

}  // namespace update
