#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

const char* bad_alloc::what() const noexcept { return "メモリが不足しています。"; }

}  // namespace lib::wfc
