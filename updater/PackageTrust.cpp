#include "updater/PackageTrust.h"

#include <utility>

#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"
#include "updater/WinTrustVerifier.h"

namespace MsiInstaller {
namespace {

std::wstring OwnPath() {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2 - 1);
    return std::wstring(path, length < MAX_PATH * 2 - 1 ? length : 0);
}

void Refuse(const HeldPackage& package, const char* reason, unsigned error) {
    KILNLOG.Write(kLogError, "PackageTrust::Admit refused: %s[ERR:0x%08X]  PathPackage:%s", reason, error,
                  package.path().c_str());
}

}  // namespace

PackageTrust::PackageTrust(std::shared_ptr<const SignatureVerifier> verifier, Signature own)
    : verifier_(std::move(verifier)), own_(std::move(own)) {}

std::shared_ptr<const PackageTrust> PackageTrust::OfThisProgram() {
    auto verifier = std::make_shared<const WinTrustVerifier>();
    const std::wstring path = OwnPath();
    // The running program's file: nobody can write it, so sharing is no concern here.
    const lib::FileHandle own(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    Signature signature;
    if (own) {
        signature = verifier->Verify(own.get(), path);
    } else {
        // A file that cannot be read cannot vouch for anything.
        signature.status = Signature::Status::kInvalid;
        signature.error = static_cast<LONG>(::GetLastError());
    }
    return std::make_shared<const PackageTrust>(std::move(verifier), std::move(signature));
}

bool PackageTrust::Admit(const HeldPackage& package) const {
    if (own_.status == Signature::Status::kUnsigned) {
        KILNLOG.Write(kLogWarning, "PackageTrust::Admit unchecked: the updater is unsigned  PathPackage:%s",
                      package.path().c_str());
        return true;
    }
    if (own_.status != Signature::Status::kSigned) {
        Refuse(package, "updater signature invalid", static_cast<unsigned>(own_.error));
        return false;
    }
    if (!package.opened()) {
        Refuse(package, "cannot open", package.error());
        return false;
    }
    const Signature signature = verifier_->Verify(package.handle(), package.widePath());
    switch (signature.status) {
    case Signature::Status::kUnsigned:
        Refuse(package, "no signature", static_cast<unsigned>(signature.error));
        return false;
    case Signature::Status::kInvalid:
        Refuse(package, "signature invalid", static_cast<unsigned>(signature.error));
        return false;
    case Signature::Status::kSigned:
        break;
    }
    if (signature.signer != own_.signer) {
        KILNLOG.Write(kLogError, "PackageTrust::Admit refused: other signer[%s]  PathPackage:%s",
                      signature.signer.c_str(), package.path().c_str());
        return false;
    }
    KILNLOG.Write(kLogInfo, "PackageTrust::Admit signer[%s]  PathPackage:%s", signature.signer.c_str(),
                  package.path().c_str());
    return true;
}

}  // namespace MsiInstaller
