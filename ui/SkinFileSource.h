#pragma once
// Where the loader gets the bytes of a skin file: the program's resources in
// the shipped program (SkinResourceReader), a table of texts in the tests.
#include <windows.h>

#include <string>

namespace ui {

class SkinFileSource {
public:
    virtual ~SkinFileSource() = default;

    // Puts the file's bytes into `bytes`; false when there is no such file.
    // `module` is the module the loader asks for, null for the default choice.
    virtual bool Read(const std::string& fileName, HMODULE module, std::string& bytes) const = 0;
};

}  // namespace ui
