#pragma once
// The one failure of the skin subsystem; what() is the text the user was shown.
#include <stdexcept>
#include <string>

namespace ui {

class CSkinWindowException : public std::runtime_error {
public:
    explicit CSkinWindowException(const std::string& text) : std::runtime_error(text) {}
    ~CSkinWindowException() override;
};

}  // namespace ui
