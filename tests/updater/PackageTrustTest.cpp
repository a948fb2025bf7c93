// Which packages a request installs, decided through the verifier seam: the
// outcomes the test system's WinVerifyTrust cannot produce (a chain to no
// trusted root, an expired certificate, a changed Windows Installer package)
// played by a stand-in verifier, with a stand-in for msi.dll.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>
#include <wintrust.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstallCommonRequest.h"
#include "updater/PackageTrust.h"

namespace {

using MsiInstaller::Signature;
using Status = MsiInstaller::Signature::Status;

constexpr char kOwnSigner[] = "d00173f6f83381ccd614415d3442851ddbe9d533";
constexpr char kOtherSigner[] = "0f2bf4626060240ea3a88f3e63823190619a9f33";

class FakeVerifier : public MsiInstaller::SignatureVerifier {
public:
    explicit FakeVerifier(Signature answer) : answer_(std::move(answer)) {}
    Signature Verify(HANDLE file, const std::wstring&) const override {
        handles.push_back(file);
        return answer_;
    }
    mutable std::vector<HANDLE> handles;

private:
    Signature answer_;
};

struct StandIn {
    INSTALLUI_HANDLERA handler = nullptr;
    LPVOID context = nullptr;
    std::vector<std::string> installed;
};
StandIn* standIn = nullptr;

INSTALLUI_HANDLERA WINAPI StandInSetExternalUI(INSTALLUI_HANDLERA handler, DWORD, LPVOID context) {
    standIn->handler = handler;
    standIn->context = context;
    return nullptr;
}
INSTALLUILEVEL WINAPI StandInSetInternalUI(INSTALLUILEVEL, HWND*) { return INSTALLUILEVEL_NONE; }
UINT WINAPI StandInInstallProduct(LPCSTR path, LPCSTR) {
    standIn->installed.push_back(path);
    standIn->handler(standIn->context, INSTALLMESSAGE_INITIALIZE, nullptr);
    standIn->handler(standIn->context, INSTALLMESSAGE_TERMINATE, nullptr);
    return ERROR_SUCCESS;
}
INSTALLSTATE WINAPI StandInQueryProductState(LPCSTR) { return INSTALLSTATE_UNKNOWN; }

struct Row {
    const char* name;
    Signature own;
    Signature package;
    bool present;
    bool installs;
    std::string record;
};

Signature Signed(const char* signer) { return {Status::kSigned, 0, signer}; }
Signature Invalid(HRESULT error) { return {Status::kInvalid, static_cast<LONG>(error), ""}; }
Signature Unsigned() { return {Status::kUnsigned, static_cast<LONG>(TRUST_E_NOSIGNATURE), ""}; }
const std::string kRefused = "PackageTrust::Admit refused: ";

const Row kRows[] = {
    {"same signer", Signed(kOwnSigner), Signed(kOwnSigner), true, true,
     std::string("PackageTrust::Admit signer[") + kOwnSigner + "]  PathPackage:"},
    {"chain to no trusted root", Signed(kOwnSigner), Invalid(CERT_E_UNTRUSTEDROOT), true, false,
     kRefused + "signature invalid[ERR:0x800B0109]  PathPackage:"},
    {"expired certificate", Signed(kOwnSigner), Invalid(CERT_E_EXPIRED), true, false,
     kRefused + "signature invalid[ERR:0x800B0101]  PathPackage:"},
    {"package changed after signing", Signed(kOwnSigner), Invalid(TRUST_E_BAD_DIGEST), true, false,
     kRefused + "signature invalid[ERR:0x80096010]  PathPackage:"},
    {"no signature", Signed(kOwnSigner), Unsigned(), true, false,
     kRefused + "no signature[ERR:0x800B0100]  PathPackage:"},
    {"other signer", Signed(kOwnSigner), Signed(kOtherSigner), true, false,
     kRefused + "other signer[" + kOtherSigner + "]  PathPackage:"},
    {"package missing", Signed(kOwnSigner), Signed(kOwnSigner), false, false,
     kRefused + "cannot open[ERR:0x00000002]  PathPackage:"},
    {"updater's own signature broken", Invalid(TRUST_E_BAD_DIGEST), Signed(kOwnSigner), true, false,
     kRefused + "updater signature invalid[ERR:0x80096010]  PathPackage:"},
    // Its warning goes to the main log, which this test program does not
    // start; the updater's own tests look for it.
    {"unsigned updater", Unsigned(), Invalid(TRUST_E_BAD_DIGEST), false, true, ""},
};

TEST(PackageTrust, EachVerdictInstallsOrRefusesWithItsRecordAndAlwaysEndsTheRequest) {
    StandIn installer;
    standIn = &installer;
    const MsiInstaller::MsiFunctions previous = MsiInstaller::ReplaceMsiFunctions(
        {&StandInSetExternalUI, &StandInSetInternalUI, &StandInInstallProduct, &StandInQueryProductState});
    msitest::SettlePendingCancel();
    const test::ScratchFolder scratch;
    msitest::NotifyRecorder recorder;

    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::string path = scratch.path() + "package.msi";
        ::DeleteFileA(path.c_str());
        if (row.present) test::WriteWholeFile(path, "package");
        installer.installed.clear();
        recorder.Clear();
        auto verifier = std::make_shared<FakeVerifier>(row.package);
        const msitest::LogWatch log;

        MsiInstaller::MsiInstallCommonRequest(std::make_shared<MsiInstaller::PackageTrust>(verifier, row.own), 1, 3,
                                              recorder.window(), recorder.message(), path)
            .DoAction();
        recorder.Drain();

        EXPECT_EQ(row.installs ? 1u : 0u, installer.installed.size());
        // Refused or not, the launcher sees the request start and end.
        EXPECT_EQ((std::vector<WPARAM>{INSTALL_NOTIFY_START, INSTALL_NOTIFY_END}), recorder.codes());
        if (recorder.notifications().size() == 2) {
            EXPECT_EQ(msitest::HighWord(3), recorder.notifications()[0].value);
            EXPECT_EQ(msitest::HighWord(3), recorder.notifications()[1].value);
        }
        const std::string added = log.Added();
        EXPECT_EQ(row.record.empty() ? 0u : 1u, msitest::Count(added, "PackageTrust::Admit")) << added;
        EXPECT_NE(std::string::npos, added.find(row.record)) << added;
        // The stand-in saw the package as the request holds it open.
        const bool checked = row.present && row.own.status == Status::kSigned;
        ASSERT_EQ(checked ? 1u : 0u, verifier->handles.size());
        if (checked) {
            EXPECT_NE(INVALID_HANDLE_VALUE, verifier->handles[0]);
        }
    }
    MsiInstaller::ReplaceMsiFunctions(previous);
}

}  // namespace
