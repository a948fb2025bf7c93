#pragma once
// Every skin failure ends here: the user is told, then CSkinWindowException
// carries the same text to the window that asked for the skin.
#include <string>

namespace ui {

// Tells the user about a skin error. The shipped reporter shows the modal
// "Skin Load" box; tests install one that only records the text.
using SkinErrorReporter = void (*)(const std::string& text);

// Installs `reporter` for the whole process and returns the one it replaces.
SkinErrorReporter SetSkinErrorReporter(SkinErrorReporter reporter);

// Hands the text to the reporter, then throws CSkinWindowException with it.
[[noreturn]] void ReportSkinError(const std::string& text);

// printf-style formatting of a message text, of any length.
std::string FormatSkinText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace ui
