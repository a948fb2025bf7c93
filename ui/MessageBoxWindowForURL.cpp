#include "ui/MessageBoxWindowForURL.h"

#include "launcher/update/WebBrowseHelper.h"

namespace ui {
namespace {

// The connection entry of the online help page.
constexpr int kOnlineHelpEntry = 41;

}  // namespace

CMessageBoxWindowForURL::CMessageBoxWindowForURL(bool topmost)
    : CSkinMessageBox(topmost, "MessageBoxWindowForURL.txt") {}

int CMessageBoxWindowForURL::ResultOf(int itemId) {
    switch (itemId) {
    case kOkButton:
        update::OpenConnectionUrl(kOnlineHelpEntry);
        return IDOK;
    case kYesButton: return IDYES;
    case kNoButton: return IDNO;
    case kRetryButton: return IDRETRY;
    default: return IDOK;
    }
}

}  // namespace ui
