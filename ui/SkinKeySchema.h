#pragma once
// What an item reads from its block: each key with the exact number of
// values it needs, and the checks that report a block that does not fit.
#include <string>
#include <vector>

#include "ui/SkinDefinition.h"

namespace ui {

enum class SkinParameter { String, Integer };

struct SkinKeySchema {
    std::string key;
    // One kind per value; only the count is checked (an Integer slot holding
    // other text reads as 0).
    std::vector<SkinParameter> parameters;
};

// Class = (String): the block a block inherits from.
extern const SkinKeySchema kSkinClassSchema;

// Checks the schemas in order and reports the first key that is missing or
// has too few or too many values (ReportSkinError).
void ValidateSkinKeys(const SkinItemDefinition& item, const std::vector<SkinKeySchema>& schemas);

// A block without `key` gets a copy of the values of `fallback`, when it has that.
void CopySkinKeyWhenMissing(SkinItemDefinition& item, const std::string& key, const std::string& fallback);

}  // namespace ui
