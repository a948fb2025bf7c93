#include "updater/HeldPackage.h"

#include "lib/AnsiText.h"
#include "log/PathLinks.h"

namespace MsiInstaller {

HeldPackage::HeldPackage(const std::string& path) : path_(path), widePath_(lib::FromAnsi(path)) {
    if (kilnlog::HasLinkOnPath(widePath_)) {
        error_ = kilnlog::kErrorStoppedOnLink;
        return;
    }
    // The reparse flag keeps a link made after the look above from being followed.
    file_.reset(::CreateFileW(widePath_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_) error_ = ::GetLastError();
}

}  // namespace MsiInstaller
