#include "updater/HeldPackage.h"

#include "log/PathLinks.h"

namespace MsiInstaller {
namespace {

std::wstring Widen(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

}  // namespace

HeldPackage::HeldPackage(const std::string& path) : path_(path), widePath_(Widen(path)) {
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
