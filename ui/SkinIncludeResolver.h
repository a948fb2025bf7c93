#pragma once
// Loads one skin file together with the files it names in "#include" and
// "#language", recursively, and merges them into one definition.
#include <windows.h>

#include <set>
#include <string>

#include "ui/SkinDefinition.h"
#include "ui/SkinFileSource.h"

namespace ui {

// Names loaded so far in one load, one set per directive: a name already in
// the set of its directive is not loaded again.
struct SkinLoadedNames {
    std::set<std::string> includes;
    std::set<std::string> languages;
};

// Priority, highest first: the file itself, its includes in order, its
// language files in order; what an included file includes ranks just below
// it. Includes are read with `module`, language files with `module` or,
// when null, the language module. Failures go through ReportSkinError; a
// failing nested file adds "[<name>の取り込みエラー]" at each level.
SkinDefinition LoadSkinFileWithIncludes(const SkinFileSource& source, const std::string& fileName, HMODULE module,
                                        SkinLoadedNames& loaded);

}  // namespace ui
