#pragma once
// What an item reads from its block: each key with the exact number of
// values it needs, and the checks that report a block that does not fit.
// Schemas are constant-initialised, so that schemas and lists of them in any
// file can be used from any other file's static initialisation.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "ui/SkinDefinition.h"

namespace ui {

enum class SkinParameter { String, Integer };

struct SkinKeySchema {
    // The most values any key takes (a nine-grid image: file and eight cuts).
    static constexpr std::size_t kMaxParameters = 9;

    constexpr SkinKeySchema(std::string_view keyName, std::initializer_list<SkinParameter> kinds)
        : key(keyName), count(kinds.size()) {
        // In a constant expression this stops the build instead.
        if (count > kMaxParameters) throw std::length_error("too many skin key parameters");
        std::size_t at = 0;
        for (SkinParameter kind : kinds) parameters[at++] = kind;
    }

    std::string_view key;
    // One kind per value; only the count is checked (an Integer slot holding
    // other text reads as 0).
    std::array<SkinParameter, kMaxParameters> parameters{};
    std::size_t count;
};

// Class = (String): the block a block inherits from.
inline constexpr SkinKeySchema kSkinClassSchema{"Class", {SkinParameter::String}};
// Position = (x, y) and Size = (width, height): the rectangle of an item.
inline constexpr SkinKeySchema kSkinPositionSchema{"Position", {SkinParameter::Integer, SkinParameter::Integer}};
inline constexpr SkinKeySchema kSkinSizeSchema{"Size", {SkinParameter::Integer, SkinParameter::Integer}};

// Checks the schemas in order and reports the first key that is missing or
// has too few or too many values (ReportSkinError).
void ValidateSkinKeys(const SkinItemDefinition& item, const std::vector<SkinKeySchema>& schemas);

// A block without `key` gets a copy of the values of `fallback`, when it has that.
void CopySkinKeyWhenMissing(SkinItemDefinition& item, const std::string& key, const std::string& fallback);

}  // namespace ui
