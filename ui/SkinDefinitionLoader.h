#pragma once
// The finished skin definition of one file: includes and language files
// merged, the ReplacementTable applied, Class resolved; cached per process.
#include <windows.h>

#include <string>

#include "ui/SkinDefinition.h"
#include "ui/SkinFileSource.h"

namespace ui {

// A private copy of the definition of `fileName`, read from the "Skin"
// resources of `module` (null: the default modules). Loaded once per
// (module, file name) and process; a file whose load failed is not kept.
// Throws CSkinWindowException after reporting any failure.
SkinDefinition LoadSkinDefinition(const std::string& fileName, HMODULE module = nullptr);

// The same work without the cache, reading from any source.
SkinDefinition BuildSkinDefinition(const SkinFileSource& source, const std::string& fileName, HMODULE module);

}  // namespace ui
