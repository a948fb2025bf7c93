#include "updater/WinTrustVerifier.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

namespace MsiInstaller {
namespace {

// The provider's state of one verification, released when the scope ends.
class TrustState {
public:
    TrustState(HANDLE file, const std::wstring& path) {
        file_.cbStruct = sizeof file_;
        file_.pcwszFilePath = path.c_str();
        file_.hFile = file;
        data_.cbStruct = sizeof data_;
        data_.dwUIChoice = WTD_UI_NONE;
        data_.fdwRevocationChecks = WTD_REVOKE_NONE;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        result_ = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    TrustState(const TrustState&) = delete;
    TrustState& operator=(const TrustState&) = delete;
    ~TrustState() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }

    LONG result() const { return result_; }

    // The SHA-1 thumbprint of the certificate that signed the file, "" when unknown.
    std::string SignerThumbprint() const {
        CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(data_.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        if (!signer || signer->csCertChain == 0 || !signer->pasCertChain[0].pCert) return "";
        BYTE hash[20];
        DWORD size = sizeof hash;
        if (!::CertGetCertificateContextProperty(signer->pasCertChain[0].pCert, CERT_SHA1_HASH_PROP_ID, hash, &size)) {
            return "";
        }
        std::string text;
        for (DWORD i = 0; i < size; ++i) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", hash[i]);
            text += digits;
        }
        return text;
    }

private:
    GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG result_ = 0;
};

}  // namespace

Signature WinTrustVerifier::Verify(HANDLE file, const std::wstring& path) const {
    const TrustState state(file, path);
    Signature signature;
    signature.error = state.result();
    if (state.result() == TRUST_E_NOSIGNATURE) {
        signature.status = Signature::Status::kUnsigned;
    } else if (state.result() != ERROR_SUCCESS) {
        signature.status = Signature::Status::kInvalid;
    } else {
        signature.signer = state.SignerThumbprint();
        // Trusted, yet no certificate to compare with: nothing to go by.
        signature.status = signature.signer.empty() ? Signature::Status::kInvalid : Signature::Status::kSigned;
    }
    return signature;
}

}  // namespace MsiInstaller
