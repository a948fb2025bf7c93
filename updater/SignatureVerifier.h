#pragma once
// What an Authenticode check says about one file. The updater asks through
// this interface so that what the test system cannot check for real (chains,
// expiry, a changed Windows Installer package) can be played by a stand-in.
#include <windows.h>

#include <string>

namespace MsiInstaller {

struct Signature {
    enum class Status { kSigned, kUnsigned, kInvalid };
    Status status = Status::kUnsigned;
    // WinVerifyTrust's result.
    LONG error = 0;
    // The signing certificate's SHA-1 thumbprint in hex ("" unless kSigned).
    std::string signer;
};

class SignatureVerifier {
public:
    SignatureVerifier() = default;
    SignatureVerifier(const SignatureVerifier&) = delete;
    SignatureVerifier& operator=(const SignatureVerifier&) = delete;
    virtual ~SignatureVerifier() = default;

    // Checks the file open as `file` (read access); `path` names it.
    virtual Signature Verify(HANDLE file, const std::wstring& path) const = 0;
};

}  // namespace MsiInstaller
