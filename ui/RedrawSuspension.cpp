#include "ui/RedrawSuspension.h"

#include "ui/SkinWindowItemAccessor.h"

namespace ui {

RedrawSuspension::RedrawSuspension(ISkinWindowItemAccessor& window)
    : window_(window), previous_(window.SetRedrawSuspended(true)) {}

RedrawSuspension::~RedrawSuspension() {
    // A destructor may run during unwinding; an update that fails then is not worth a second exception.
    try {
        window_.SetRedrawSuspended(previous_);
    } catch (...) {
    }
}

}  // namespace ui
