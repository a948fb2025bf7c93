#include "ui/MessageBoxWindow.h"

namespace ui {

CMessageBoxWindow::CMessageBoxWindow(bool topmost) : CSkinMessageBox(topmost, "MessageBoxWindow.txt") {}

int CMessageBoxWindow::ResultOf(int itemId) {
    switch (itemId) {
    case kOkButton: return IDOK;
    case kYesButton: return IDYES;
    case kNoButton: return IDNO;
    case kRetryButton: return IDRETRY;
    default: return IDCANCEL;
    }
}

}  // namespace ui
