// Package downloads against the stand-in service: whole files that appear
// only when complete, failures that write nothing, and stopping.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "launcher/update/DownLoadCtrl.h"
#include "launcher/update/InstallerDownloader.h"
#include "launcher/update/DownloadFile.h"
#include "tests/launcher/update/PostedMessages.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr DWORD kDownloadBound = 60000;

// A package of `size` bytes served under `name`; its contents.
std::string ServePackage(const std::string& name, std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string contents(size, '\0');
    for (char& c : contents) c = static_cast<char>(random());
    test::WriteWholeFile(test::ServiceFilesFolder() + name, contents);
    return contents;
}

std::string SevenFieldReply(const std::string& launcherUrl, const std::string& updateManagerUrl) {
    return "RET=0&DLVER=1.2.0&DLURL=" + launcherUrl + "&UMVER=1.2.0&UMURL=" + updateManagerUrl + "&MEVER=&MEURL=";
}

bool ParseInto(CDownLoadCtrl& control, const std::string& reply) {
    return control.ParseURLData(reinterpret_cast<const BYTE*>(reply.data()), static_cast<int>(reply.size()));
}

class Download : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(test::TrustTestCa()); }

    std::size_t Errors() const {
        return posted_.Named(updatetest::Registered(CInstallerDownloader::kDownloadErrorMessage)).size();
    }
    std::string folder() const { return scratch_.path() + "Download\\"; }
    // Neither the package nor its part file is in the download folder.
    bool Absent(const std::string& name) const {
        return !test::FileExists(folder() + name) && !test::FileExists(update::CDownloadFile::UnfinishedPath(folder() + name));
    }

    test::ScratchFolder scratch_;
    updatetest::PostedMessages posted_;
};

}  // namespace

TEST_F(Download, PackageIsWrittenWholeWithProgress) {
    const std::string contents = ServePackage("dl_whole.msi", 700 * 1024 + 13);
    const UINT progress = updatetest::Registered("LancherProgress");
    for (const char* instance : {"http", "https"}) {
        test::ScratchFolder scratch;
        updatetest::PostedMessages posted;
        const std::string downloads = scratch.path() + "Download";  // without a backslash
        CInstallerDownloader downloader(posted.window(), downloads);
        downloader.SetProgressTarget(posted.window(), progress);
        ASSERT_TRUE(downloader.Start(test::Service(instance).baseUrl + "/dl_whole.msi?from=test#top"));
        ASSERT_TRUE(downloader.Wait(kDownloadBound));
        posted.Collect();

        EXPECT_TRUE(posted.Named(updatetest::Registered(CInstallerDownloader::kDownloadErrorMessage)).empty());
        EXPECT_EQ(CInstallerDownloader::kIdle, downloader.GetState());
        EXPECT_EQ(downloads + "\\dl_whole.msi", downloader.GetPackagePath());
        EXPECT_TRUE(contents == test::ReadWholeFile(downloader.GetPackagePath())) << instance;
        std::size_t bytes = 0;
        for (const MSG& msg : posted.Named(progress)) {
            EXPECT_EQ(contents.size(), msg.wParam);
            bytes += static_cast<std::size_t>(msg.lParam);
        }
        EXPECT_EQ(contents.size(), bytes) << instance;
    }
}

TEST_F(Download, FailuresAreReportedAndWriteNothing) {
    const test::ServiceInstance& http = test::Service("http");
    test::SetServiceConfig(http, R"({"faults": {"/dl_short.msi": {"kind": "short", "bytes": 30000},
                                                "/dl_reset.msi": {"kind": "reset", "bytes": 30000}}})");
    ServePackage("dl_short.msi", 50000);
    ServePackage("dl_reset.msi", 50000);
    for (const char* name : {"dl_missing.msi", "dl_short.msi", "dl_reset.msi"}) {
        CInstallerDownloader downloader(posted_.window(), folder());
        ASSERT_TRUE(downloader.Start(http.baseUrl + "/" + name));
        ASSERT_TRUE(downloader.Wait(kDownloadBound));
        EXPECT_EQ(-1, downloader.GetCompletedSize()) << name;
        EXPECT_TRUE(Absent(name)) << name;
    }
    posted_.Collect();
    EXPECT_EQ(3u, Errors());
}

TEST_F(Download, UnsafePackageNamesAreRefusedBeforeAnyRequest) {
    const test::ServiceInstance& http = test::Service("http");
    test::ClearServiceRequests(http);
    const std::string base = http.baseUrl + "/";
    for (const std::string& url : {base + "..\\escape.msi", base + "a\\b.msi", base + "..", base + "C:x.msi",
                                   base + "a|b.msi", base + "NUL", base, std::string("no-slash.msi")}) {
        CInstallerDownloader downloader(posted_.window(), folder());
        ASSERT_TRUE(downloader.Start(url));
        ASSERT_TRUE(downloader.Wait(kDownloadBound));
        EXPECT_EQ("", downloader.GetPackagePath()) << url;
    }
    posted_.Collect();
    EXPECT_EQ(8u, Errors());
    EXPECT_FALSE(test::FolderExists(folder()));
    EXPECT_FALSE(test::FileExists(scratch_.path() + "escape.msi"));
    EXPECT_TRUE(test::ServiceRequests(http).empty());
}

TEST_F(Download, StopEndsAFlowingDownloadAtOnce) {
    const test::ServiceInstance& http = test::Service("http");
    test::SetServiceConfig(http, R"({"faults": {"/dl_slow.msi": {"kind": "slow", "chunk": 1000, "interval": 0.05}}})");
    ServePackage("dl_slow.msi", 200000);
    const UINT progress = updatetest::Registered("UpdateProgress");
    CInstallerDownloader downloader(posted_.window(), folder());
    downloader.SetProgressTarget(posted_.window(), progress);
    ASSERT_TRUE(downloader.Start(http.baseUrl + "/dl_slow.msi"));
    EXPECT_FALSE(downloader.Start(http.baseUrl + "/dl_slow.msi"));
    ASSERT_TRUE(posted_.WaitFor(progress, kDownloadBound));

    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(downloader.Stop(CInstallerDownloader::kStopTimeout));
    EXPECT_LT(::GetTickCount() - start, 1000u);
    EXPECT_EQ(CInstallerDownloader::kIdle, downloader.GetState());
    EXPECT_TRUE(Absent("dl_slow.msi"));
    // A stopped download says nothing more.
    posted_.Collect();
    const std::size_t progressSeen = posted_.Named(progress).size();
    ::Sleep(200);
    posted_.Collect();
    EXPECT_EQ(0u, Errors());
    EXPECT_EQ(progressSeen, posted_.Named(progress).size());
}

// The package file appears once, whole: an older one of the same name stays
// as it is while the new one streams to the part file.
TEST_F(Download, PackageAppearsOnlyWhenComplete) {
    const test::ServiceInstance& http = test::Service("http");
    test::SetServiceConfig(http, R"({"faults": {"/dl_new.msi": {"kind": "slow", "chunk": 20000, "interval": 0.05}}})");
    const std::string contents = ServePackage("dl_new.msi", 400000);
    ASSERT_TRUE(::CreateDirectoryA(folder().c_str(), nullptr));
    test::WriteWholeFile(folder() + "dl_new.msi", "older package");
    const UINT progress = updatetest::Registered("VantorProgress");
    const UINT complete = updatetest::Registered(CInstallerDownloader::kDownloadCompleteMessage);
    CInstallerDownloader downloader(posted_.window(), folder());
    downloader.SetProgressTarget(posted_.window(), progress);
    ASSERT_TRUE(downloader.Start(http.baseUrl + "/dl_new.msi"));
    // The file is renamed into place just before the thread ends and posts.
    int looksAtOlder = 0;
    for (int look = 0; !posted_.WaitFor(complete, 30); ++look) {
        ASSERT_LT(look, 1000);
        const std::string seen = test::ReadWholeFile(folder() + "dl_new.msi");
        ASSERT_TRUE(seen == "older package" || seen == contents) << seen.size() << " bytes";
        if (seen == "older package") ++looksAtOlder;
    }
    EXPECT_GT(looksAtOlder, 5);
    EXPECT_GT(posted_.Named(progress).size(), 1u);
    EXPECT_TRUE(contents == test::ReadWholeFile(folder() + "dl_new.msi"));
    EXPECT_FALSE(test::FileExists(update::CDownloadFile::UnfinishedPath(folder() + "dl_new.msi")));
    EXPECT_EQ(static_cast<long long>(contents.size()), downloader.GetCompletedSize());
    EXPECT_EQ(0u, Errors());
}

TEST_F(Download, ControlDownloadsByComponentNumber) {
    const test::ServiceInstance& http = test::Service("http");
    const std::string contents = ServePackage("dl_um.msi", 4096);
    CDownLoadCtrl control(folder());
    control.SetOwner(posted_.window(), updatetest::Registered(CDownLoadCtrl::kQueryEndMessage));
    ASSERT_TRUE(ParseInto(control, SevenFieldReply(http.baseUrl + "/dl_launcher.msi", http.baseUrl + "/dl_um.msi")));

    EXPECT_FALSE(control.StartDownload(0));
    EXPECT_FALSE(control.StartDownload(5));
    ASSERT_TRUE(control.StartDownload(2));
    ASSERT_NE(nullptr, control.GetDownloader(2));
    ASSERT_TRUE(control.GetDownloader(2)->Wait(kDownloadBound));
    EXPECT_EQ(folder() + "dl_um.msi", control.GetPackagePath(2));
    EXPECT_TRUE(contents == test::ReadWholeFile(control.GetPackagePath(2)));
    EXPECT_EQ("", control.GetPackagePath(0));
    EXPECT_EQ("", control.GetPackagePath(1));
    EXPECT_EQ(nullptr, control.GetDownloader(1));

    // A component without a package URL cannot be installed: reported like a failed download.
    EXPECT_FALSE(control.StartDownload(3));
    posted_.Collect();
    EXPECT_EQ(1u, Errors());

    control.StopAll();
    EXPECT_EQ(nullptr, control.GetDownloader(2));
    EXPECT_TRUE(test::FileExists(folder() + "dl_um.msi"));
}

TEST_F(Download, ReplyDataIsTheGivenBytesUpToAZero) {
    CDownLoadCtrl control(folder());
    EXPECT_FALSE(control.ParseURLData(nullptr, 10));
    EXPECT_EQ(153, control.GetServiceResult());
    const std::string seven = SevenFieldReply("http://h/a.msi", "http://h/b.msi");
    const std::string eight = seven + "&VMVER=1";
    EXPECT_FALSE(ParseInto(control, eight));
    EXPECT_TRUE(control.ParseURLData(reinterpret_cast<const BYTE*>(eight.data()), static_cast<int>(seven.size())));
    EXPECT_EQ(0, control.GetServiceResult());
    const std::string zero = std::string("RET=7", 5) + '\0' + seven.substr(5);
    EXPECT_FALSE(ParseInto(control, zero));
    EXPECT_EQ(7, control.GetServiceResult());
}
