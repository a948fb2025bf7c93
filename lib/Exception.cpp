#include "lib/Exception.h"

namespace lib {

RuntimeException::~RuntimeException() = default;

const char* RuntimeException::what() const noexcept { return std::runtime_error::what(); }

void RuntimeException::Throw() const { throw RuntimeException(*this); }

LogicalException::~LogicalException() = default;

const char* LogicalException::what() const noexcept { return std::logic_error::what(); }

void LogicalException::Throw() const { throw LogicalException(*this); }

}  // namespace lib
