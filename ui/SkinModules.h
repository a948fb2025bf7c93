#pragma once
// The modules skin files and images come from. Null, the default, means the
// program's own executable; the shipped program never sets them.
#include <windows.h>

namespace ui {

struct SkinModules {
    HMODULE main = nullptr;
    HMODULE language = nullptr;  // "#language" files, and files it holds
    HMODULE image = nullptr;
};

void SetSkinModules(const SkinModules& modules);
SkinModules GetSkinModules();

}  // namespace ui
