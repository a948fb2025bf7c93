#pragma once
// Reads skin files from resources of type "Skin"; resource names and types
// match without regard to case (the executable stores them upper-cased).
#include "ui/SkinFileSource.h"

namespace ui {

class SkinResourceReader : public SkinFileSource {
public:
    // From `module` when given; otherwise from the language module when it
    // holds the file, else from the main module (see SkinModules).
    bool Read(const std::string& fileName, HMODULE module, std::string& bytes) const override;
};

}  // namespace ui
