// Adds a private test CA to the current user's Root store of the Wine prefix
// it runs in, so that the launcher trusts the demo's stand-in update service:
//   demo_trust_ca.exe CA.pem
// Demo prefixes only: on Windows, adding a root asks the user.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

struct CertStoreCloser {
    void operator()(HCERTSTORE store) const { ::CertCloseStore(store, 0); }
};

int Run(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_trust_ca.exe CA.pem\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::ostringstream read;
    read << file.rdbuf();
    const std::string pem = read.str();
    DWORD size = 0;
    if (pem.empty() || !::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                               nullptr, &size, nullptr, nullptr)) {
        std::fprintf(stderr, "demo_trust_ca: %s is no PEM certificate\n", argv[1]);
        return 1;
    }
    std::string der(size, '\0');
    if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                reinterpret_cast<BYTE*>(&der[0]), &size, nullptr, nullptr)) {
        std::fprintf(stderr, "demo_trust_ca: cannot decode %s\n", argv[1]);
        return 1;
    }
    std::unique_ptr<void, CertStoreCloser> root(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    if (!root || !::CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING,
                                                     reinterpret_cast<const BYTE*>(der.data()), size,
                                                     CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
        std::fprintf(stderr, "demo_trust_ca: cannot add the CA [ERR:0x%08lX]\n", ::GetLastError());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_trust_ca: %s\n", error.what());
        return 1;
    }
}
