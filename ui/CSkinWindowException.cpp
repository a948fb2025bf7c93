#include "ui/CSkinWindowException.h"

namespace ui {

CSkinWindowException::~CSkinWindowException() = default;

}  // namespace ui
