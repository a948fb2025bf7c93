#pragma once
// The system's Authenticode check: WinVerifyTrust with the generic verify
// action, no UI and no revocation look-up, on an open file handle, so that
// the file checked is the one the caller goes on to use.
#include "updater/SignatureVerifier.h"

namespace MsiInstaller {

class WinTrustVerifier : public SignatureVerifier {
public:
    Signature Verify(HANDLE file, const std::wstring& path) const override;
};

}  // namespace MsiInstaller
