// Real signed packages through the engine and the system's Windows
// Installer: the package is held against writers from its check until the
// installer is done, so a file changed after it was queued is checked in its
// changed form and one that is being installed cannot be changed at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "tests/support/ScratchFolder.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstallControl.h"
#include "updater/PackageTrust.h"
#include "updater/WinTrustVerifier.h"

namespace {

constexpr DWORD kInstallBound = 30000;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Trust anchored in the signed copy of the updater, as the signed updater has it.
std::shared_ptr<const MsiInstaller::PackageTrust> SignedUpdaterTrust() {
    const std::string path = msitest::SignedPath("RavelinUpdate.exe");
    auto verifier = std::make_shared<MsiInstaller::WinTrustVerifier>();
    const lib::FileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return std::make_shared<MsiInstaller::PackageTrust>(verifier, verifier->Verify(file.get(), Wide(path)));
}

// What another process could do to the package while Windows Installer has it.
struct Interference {
    DWORD writeError = 0;
    BOOL renamed = FALSE;
    BOOL deleted = FALSE;
};

// Stands in for MsiInstallProductA: optionally waits to be released, tries to
// change the package, then hands it to the real function.
struct Probe {
    MsiInstaller::MsiFunctions real = MsiInstaller::GetMsiFunctions();
    lib::KernelHandle started{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    lib::KernelHandle release{::CreateEventA(nullptr, TRUE, TRUE, nullptr)};
    std::vector<std::string> paths;
    std::vector<Interference> interference;
};
Probe* probe = nullptr;

UINT WINAPI ProbeInstallProduct(LPCSTR path, LPCSTR properties) {
    probe->paths.push_back(path);
    ::SetEvent(probe->started.get());
    ::WaitForSingleObject(probe->release.get(), kInstallBound);
    Interference seen;
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const lib::FileHandle writer(::CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    seen.writeError = writer ? ERROR_SUCCESS : ::GetLastError();
    const std::string moved = std::string(path) + ".moved";
    seen.renamed = ::MoveFileExA(path, moved.c_str(), 0);
    if (seen.renamed) ::MoveFileExA(moved.c_str(), path, 0);
    seen.deleted = ::DeleteFileA(path);
    probe->interference.push_back(seen);
    return probe->real.InstallProductA(path, properties);
}

class SignedPackages : public ::testing::Test {
protected:
    SignedPackages() {
        probe = &probe_;
        MsiInstaller::MsiFunctions functions = probe_.real;
        functions.InstallProductA = &ProbeInstallProduct;
        MsiInstaller::ReplaceMsiFunctions(functions);
        msitest::SettlePendingCancel();
    }
    ~SignedPackages() override {
        ::SetEvent(probe_.release.get());
        EXPECT_TRUE(control_.Stop());
        MsiInstaller::ReplaceMsiFunctions(probe_.real);
        EXPECT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
    }
    void SetUp() override { ASSERT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct)); }

    std::string Place(const std::string& signedName, const std::string& name) const {
        const std::string path = scratch_.path() + name;
        EXPECT_TRUE(::CopyFileA(msitest::SignedPath(signedName).c_str(), path.c_str(), FALSE)) << signedName;
        return path;
    }
    void Queue(std::int32_t installType, const std::string& path) {
        control_.QueueInstall(msitest::MakeRecord(2, installType, recorder_.window(), recorder_.message(), path));
    }

    Probe probe_;
    test::ScratchFolder scratch_;
    msitest::NotifyRecorder recorder_;
    MsiInstaller::MsiInstallControl control_{SignedUpdaterTrust()};
};

TEST_F(SignedPackages, APackageOfTheOwnSignerIsInstalledAndCannotBeChangedWhileItIs) {
    const msitest::LogWatch log;
    const std::string package = Place("RavelinTestTiny.msi", "tiny.msi");
    Queue(INSTALLTYPE_FIRST, package);
    ASSERT_TRUE(recorder_.PumpUntilEnds(1, kInstallBound));

    ASSERT_EQ(1u, probe_.interference.size());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), probe_.interference[0].writeError);
    EXPECT_FALSE(probe_.interference[0].renamed);
    EXPECT_FALSE(probe_.interference[0].deleted);
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    EXPECT_EQ(1u, msitest::Count(log.Added(), "PackageTrust::Admit signer[")) << log.Added();
    EXPECT_EQ(0u, msitest::Count(log.Added(), "DoAction[ERROR")) << log.Added();

    // Released once the request has ended.
    EXPECT_TRUE(control_.Stop());
    EXPECT_TRUE(::DeleteFileA(package.c_str()));
}

TEST_F(SignedPackages, APackageReplacedAfterItWasQueuedIsCheckedAsItIsNowAndRefused) {
    const msitest::LogWatch log;
    const std::string first = Place("RavelinTestTiny.msi", "first.msi");
    const std::string second = Place("RavelinTestTiny2.msi", "second.msi");
    ::ResetEvent(probe_.release.get());
    Queue(INSTALLTYPE_FIRST, first);
    Queue(INSTALLTYPE_REINSTALL, second);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(probe_.started.get(), kInstallBound));

    // The queued one is not held yet: it can be swapped for a foreign package.
    EXPECT_TRUE(::CopyFileA(msitest::SignedPath("RavelinTestTiny2_other.msi").c_str(), second.c_str(), FALSE));
    ::SetEvent(probe_.release.get());
    ASSERT_TRUE(recorder_.PumpUntilEnds(2, 2 * kInstallBound));

    EXPECT_EQ(std::vector<std::string>{first}, probe_.paths);
    EXPECT_EQ("1.0.0", msitest::InstalledVersionValue(msitest::kTinyName));
    const std::string added = log.Added();
    EXPECT_EQ(1u, msitest::Count(added, "PackageTrust::Admit refused: other signer[")) << added;
    EXPECT_EQ(1u, msitest::Count(added, "]  PathPackage:" + second + "\r\n")) << added;
    EXPECT_EQ(2u, recorder_.Count(INSTALL_NOTIFY_START));
}

}  // namespace
