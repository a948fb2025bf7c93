#pragma once
// The library's exception family. Every member carries a text; Throw lets a
// holder of a base reference rethrow by value.
#include <stdexcept>
#include <string>

namespace lib {

// Marks the library's own exceptions; carries nothing.
class Exception {};

class RuntimeException : public std::runtime_error, public Exception {
public:
    explicit RuntimeException(const std::string& text) : std::runtime_error(text) {}
    explicit RuntimeException(const char* text) : std::runtime_error(text) {}
    ~RuntimeException() override;

    const char* what() const noexcept override;
    // Throws a copy of this object as a RuntimeException.
    [[noreturn]] virtual void Throw() const;
};

class IOException : public RuntimeException {
public:
    using RuntimeException::RuntimeException;
};

class LogicalException : public std::logic_error, public Exception {
public:
    LogicalException() : std::logic_error("") {}
    explicit LogicalException(const std::string& text) : std::logic_error(text) {}
    explicit LogicalException(const char* text) : std::logic_error(text) {}
    ~LogicalException() override;

    const char* what() const noexcept override;
    // Throws a copy of this object as a LogicalException.
    [[noreturn]] virtual void Throw() const;
};

class IlligalArgumentException : public LogicalException {
public:
    using LogicalException::LogicalException;
};

}  // namespace lib
