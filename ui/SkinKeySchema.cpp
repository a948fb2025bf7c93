#include "ui/SkinKeySchema.h"

#include "ui/SkinError.h"

namespace ui {

void ValidateSkinKeys(const SkinItemDefinition& item, const std::vector<SkinKeySchema>& schemas) {
    for (const SkinKeySchema& schema : schemas) {
        const std::string key(schema.key);
        const auto found = item.keys.find(key);
        if (found == item.keys.end()) {
            ReportSkinError(FormatSkinText("%s/%sが定義されていません", item.name.c_str(), key.c_str()));
        }
        const auto needed = static_cast<unsigned long>(schema.count);
        const auto given = static_cast<unsigned long>(found->second.size());
        if (given < needed) {
            ReportSkinError(
                FormatSkinText("%s/%sのパラメータは %lu個必要です", item.name.c_str(), key.c_str(), needed));
        }
        if (given > needed) {
            ReportSkinError(FormatSkinText("%s/%sのパラメータは %lu個必要ですが、%lu個指定されています",
                                           item.name.c_str(), key.c_str(), needed, given));
        }
    }
}

void CopySkinKeyWhenMissing(SkinItemDefinition& item, const std::string& key, const std::string& fallback) {
    if (item.keys.count(key)) return;
    const auto found = item.keys.find(fallback);
    if (found != item.keys.end()) item.keys.emplace(key, found->second);
}

}  // namespace ui
