#include "ui/SkinStringTable.h"

#include "ui/SkinItemAccess.h"
#include "ui/SkinTextEscapes.h"

namespace ui {

SkinStringTable GetSkinStringTable(const SkinDefinition& definition) {
    SkinStringTable table;
    for (const auto& [key, values] : GetSkinItem(definition, "StringTable").keys) {
        if (values.empty()) continue;
        table[key] = ReplaceSkinEscape(
            ReplaceSkinEscape(ReplaceSkinEscape(values.front(), "\\n", "\n"), "\\r", "\r"), "\\0x22", "\"");
    }
    return table;
}

}  // namespace ui
