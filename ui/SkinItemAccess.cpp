#include "ui/SkinItemAccess.h"

#include "ui/SkinError.h"

namespace ui {
namespace {

[[noreturn]] void ReportMissingItem(const std::string& name) {
    ReportSkinError(FormatSkinText("%sが記述されていません", name.c_str()));
}

}  // namespace

SkinItemDefinition GetSkinItem(const SkinDefinition& definition, const std::string& name) {
    const auto found = definition.items.find(name);
    if (found == definition.items.end()) ReportMissingItem(name);
    return found->second;
}

void RequireSkinItems(const SkinDefinition& definition, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (!definition.items.count(name)) ReportMissingItem(name);
    }
}

}  // namespace ui
