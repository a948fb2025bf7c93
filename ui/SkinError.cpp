#include "ui/SkinError.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "ui/CSkinWindowException.h"

namespace ui {
namespace {

void ShowSkinLoadBox(const std::string& text) { ::MessageBoxA(nullptr, text.c_str(), "Skin Load", MB_ICONERROR); }

std::atomic<SkinErrorReporter> currentReporter{&ShowSkinLoadBox};

}  // namespace

SkinErrorReporter SetSkinErrorReporter(SkinErrorReporter reporter) { return currentReporter.exchange(reporter); }

void ReportSkinError(const std::string& text) {
    currentReporter.load()(text);
    throw CSkinWindowException(text);
}

std::string FormatSkinText(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}

}  // namespace ui
