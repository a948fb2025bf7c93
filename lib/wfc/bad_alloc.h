#pragma once
// The framework's allocation failure: thrown when a window, class or other
// handle cannot be created and by the new-handler that Initialize installs.
#include <new>

namespace lib::wfc {

class bad_alloc : public std::bad_alloc {
public:
    const char* what() const noexcept override;
};

}  // namespace lib::wfc
