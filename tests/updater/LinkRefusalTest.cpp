// Links on the elevated updater's paths. Wine 8 makes no links of its own
// (CreateSymbolicLinkW reports success and makes nothing, junctions are not
// supported), but shows a Unix symbolic link to a folder as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT; the tests make such links through /bin/ln.
// A Unix link to a file shows as a plain file, so links in place of the log
// file, its backup or a fatal copy cannot be made here.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "lib/UniqueHandle.h"
#include "log/CreateLogFolder.h"
#include "log/FatalCopy.h"
#include "log/KilnLog.h"
#include "log/KilnLogResult.h"
#include "log/KilnLogWrapper.h"
#include "log/LogFolders.h"
#include "log/PathLinks.h"
#include "tests/support/ScratchFolder.h"
#include "updater/HeldPackage.h"

namespace {

constexpr DWORD kCommandBound = 10000;

bool IsLink(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Runs a Unix program the way Wine starts one, by its path on drive Z:, until
// `path` is a link or not, as `link` says. Wine's 32-bit handle of a Unix
// process cannot be waited for, so the result is what is looked for.
bool RunUnix(const std::string& commandLine, const std::string& path, bool link) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) {
        return false;
    }
    const lib::KernelHandle process(created.hProcess);
    const lib::KernelHandle thread(created.hThread);
    const ULONGLONG start = ::GetTickCount64();
    while (IsLink(path) != link) {
        if (::GetTickCount64() - start > kCommandBound) return false;
        ::Sleep(20);
    }
    return true;
}

// The Unix name of a Windows path, "" outside Wine.
std::string UnixName(const std::string& path) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return "";
    const std::wstring wide(path.begin(), path.end());
    char* name = toUnix(wide.c_str());
    if (!name) return "";
    const std::string unix(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unix;
}

// A Unix symbolic link `folder`\`name` to `target`, removed with the object.
class UnixFolderLink {
public:
    UnixFolderLink(const std::string& target, const std::string& folder, const std::string& name)
        : path_(folder + name), link_(UnixName(folder) + "/" + name) {
        const std::string to = UnixName(target);
        made_ = link_.size() > name.size() + 1 && !to.empty() &&
                RunUnix("Z:\\bin\\ln -s \"" + to + "\" \"" + link_ + "\"", path_, true);
    }
    UnixFolderLink(const UnixFolderLink&) = delete;
    UnixFolderLink& operator=(const UnixFolderLink&) = delete;
    ~UnixFolderLink() {
        if (made_) RunUnix("Z:\\bin\\rm \"" + link_ + "\"", path_, false);
    }
    bool made() const { return made_; }

private:
    std::string path_;
    std::string link_;
    bool made_ = false;
};

class RefuseLinksSetting {
public:
    explicit RefuseLinksSetting(bool on) { kilnlog::SetRefuseLinks(on); }
    RefuseLinksSetting(const RefuseLinksSetting&) = delete;
    RefuseLinksSetting& operator=(const RefuseLinksSetting&) = delete;
    ~RefuseLinksSetting() { kilnlog::SetRefuseLinks(false); }
};

class LinkedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryA(real_.c_str(), nullptr));
        link_ = std::make_unique<UnixFolderLink>(scratch_.path() + "real", scratch_.path(), "link");
        if (!link_->made()) GTEST_SKIP() << "no Unix symbolic link could be made";
    }

    test::ScratchFolder scratch_;
    const std::string real_ = scratch_.path() + "real\\";
    const std::string linked_ = scratch_.path() + "link\\";
    std::unique_ptr<UnixFolderLink> link_;
};

TEST_F(LinkedFolder, TheUpdaterCreatesNoLogFileOrFolderAndNoFatalCopyThroughIt) {
    test::WriteWholeFile(real_ + "fatal.log", "record\r\n");
    {
        const RefuseLinksSetting refuse(true);
        CKilnLog log("Linked.cpp", 1, (linked_ + "updater.log").c_str());
        EXPECT_EQ(kilnlog::kFileFailed, log.Write(kLogInfo, "x"));
        EXPECT_EQ(kilnlog::kErrorStoppedOnLink, ::GetLastError());
        EXPECT_FALSE(CreateLogFolder(linked_ + "created"));
        EXPECT_FALSE(EnsureFolder(linked_ + "ensured\\"));
        EXPECT_EQ(kilnlog::kFatalCopyFailed, kilnlog::MakeFatalCopy((linked_ + "fatal.log").c_str()));
    }
    EXPECT_FALSE(test::FileExists(real_ + "updater.log"));
    EXPECT_FALSE(test::FolderExists(real_ + "created"));
    EXPECT_FALSE(test::FolderExists(real_ + "ensured"));
    WIN32_FIND_DATAA found;
    const lib::FindHandle copies(::FindFirstFileA((real_ + "fatal_fatal*").c_str(), &found));
    EXPECT_FALSE(copies.valid());

    // Without the setting (the launcher) the same calls go through the link.
    EXPECT_EQ(kilnlog::kWritten, CKilnLog("Linked.cpp", 1, (linked_ + "updater.log").c_str()).Write(kLogInfo, "x"));
    EXPECT_TRUE(test::FileExists(real_ + "updater.log"));
    EXPECT_TRUE(CreateLogFolder(linked_ + "created"));
    EXPECT_TRUE(test::FolderExists(real_ + "created"));
}

TEST_F(LinkedFolder, APackageOnAPathThroughItIsNotOpened) {
    test::WriteWholeFile(real_ + "package.msi", "package");
    const MsiInstaller::HeldPackage throughLink(linked_ + "package.msi");
    EXPECT_FALSE(throughLink.opened());
    EXPECT_EQ(kilnlog::kErrorStoppedOnLink, throughLink.error());
    const MsiInstaller::HeldPackage direct(real_ + "package.msi");
    EXPECT_TRUE(direct.opened());
}

}  // namespace
