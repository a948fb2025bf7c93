// Stopping the update query and the downloads while the service stalls or
// trickles: each stop returns at once, a worker still blocked ends by itself
// within its bound, and nothing of a stopped request reaches a window or the
// download folder, nor stops a request it was not meant for.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/DownLoadCtrl.h"
#include "launcher/update/InstallerDownloader.h"
#include "tests/launcher/update/PostedMessages.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr DWORD kStopGoal = 1000;
const char kServicePath[] = "/pcapp/GetLatestPCAplCommonAPI";

// Calls `stop` and returns how long it took.
template <typename Stop>
DWORD Timed(Stop stop) {
    const DWORD start = ::GetTickCount();
    stop();
    return ::GetTickCount() - start;
}

// Waits until the service has recorded `count` requests.
bool ServiceSaw(const test::ServiceInstance& service, std::size_t count) {
    for (int i = 0; i < 250; ++i) {
        if (test::ServiceRequests(service).size() >= count) return true;
        ::Sleep(20);
    }
    return false;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

class Stop : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(test::TrustTestCa()); }

    std::size_t Count(const char* name) { return posted_.Named(updatetest::Registered(name)).size(); }

    test::ScratchFolder scratch_;
    updatetest::PostedMessages posted_;
};

}  // namespace

TEST_F(Stop, StopsAnswerAtOnceAndLeaveNothingBehind) {
    const test::ServiceInstance& http = test::Service("http");
    const test::ServiceInstance& https = test::Service("https");
    test::SetServiceConfig(http, std::string(R"({"faults": {
        "/pcapp/stall": {"kind": "stall_headers"},
        ")") + kServicePath + R"(": {"kind": "slow", "chunk": 1, "interval": 0.2},
        "/st_stall.msi": {"kind": "stall_headers"},
        "/st_slow.msi": {"kind": "slow", "chunk": 2000, "interval": 0.05},
        "/st_body.msi": {"kind": "stall_body", "bytes": 50000}}})");
    test::SetServiceConfig(https, "{}");
    test::ClearServiceRequests(http);
    for (const char* name : {"st_stall.msi", "st_slow.msi", "st_body.msi"})
        test::WriteWholeFile(test::ServiceFilesFolder() + name, std::string(200000, 'p'));
    const std::string folder = scratch_.path() + "Download\\";
    const UINT end = updatetest::Registered(CDownLoadCtrl::kQueryEndMessage);
    const UINT launcherProgress = updatetest::Registered("LancherProgress");
    const UINT updateProgress = updatetest::Registered("UpdateProgress");

    // A query and a download both waiting for headers, and a download whose body flows.
    CDownLoadCtrl control(folder);
    control.SetOwner(posted_.window(), end);
    control.SetProgressTarget(2, posted_.window(), updateProgress);
    const std::string reply = "RET=0&DLVER=1.2.0&DLURL=" + http.baseUrl + "/st_stall.msi&UMVER=1.2.0&UMURL=" +
                              http.baseUrl + "/st_slow.msi&MEVER=&MEURL=";
    ASSERT_TRUE(control.ParseURLData(reinterpret_cast<const BYTE*>(reply.data()), static_cast<int>(reply.size())));
    ASSERT_TRUE(control.StartDownload(1));
    ASSERT_TRUE(control.StartDownload(2));
    control.SetServiceUrl(http.baseUrl + "/pcapp/stall");
    ASSERT_TRUE(control.StartQuery());
    ASSERT_TRUE(posted_.WaitFor(updateProgress, 10000));
    ASSERT_TRUE(ServiceSaw(http, 3));
    const DWORD firstStop = ::GetTickCount();
    const DWORD stalled = Timed([&] { control.StopAll(); });
    posted_.Collect();
    const std::size_t updateSeen = posted_.Named(updateProgress).size();

    // A new query at once, while the stopped one's worker still waits for its headers.
    control.SetServiceUrl(https.baseUrl + kServicePath);
    ASSERT_TRUE(control.StartQuery());
    ASSERT_TRUE(posted_.WaitFor(end, 10000));
    EXPECT_EQ(0, posted_.Named(end).back().lParam);
    EXPECT_EQ(0, control.GetServiceResult());

    // A query whose reply trickles in.
    CDownLoadCtrl trickling(folder);
    trickling.SetOwner(posted_.window(), end);
    trickling.SetServiceUrl(http.baseUrl + kServicePath);
    ASSERT_TRUE(trickling.StartQuery());
    ASSERT_TRUE(ServiceSaw(http, 4));
    ::Sleep(500);
    const DWORD flowing = Timed([&] { trickling.StopAll(); });

    // Two downloads, stopped in turn: the first stop leaves the second running.
    CInstallerDownloader slow(posted_.window(), folder);
    CInstallerDownloader silent(posted_.window(), folder);
    slow.SetProgressTarget(posted_.window(), updateProgress);
    silent.SetProgressTarget(posted_.window(), launcherProgress);
    ASSERT_TRUE(slow.Start(http.baseUrl + "/st_slow.msi"));
    ASSERT_TRUE(silent.Start(http.baseUrl + "/st_body.msi"));
    ASSERT_TRUE(posted_.WaitFor(launcherProgress, 10000));
    ASSERT_TRUE(posted_.WaitFor(updateProgress, 10000));
    const DWORD first = Timed([&] { EXPECT_TRUE(slow.Stop(CInstallerDownloader::kStopTimeout)); });
    EXPECT_FALSE(test::FileExists(folder + "st_slow.msi.part"));
    EXPECT_EQ(CInstallerDownloader::kDownloading, silent.GetState());
    const DWORD second = Timed([&] { silent.Stop(CInstallerDownloader::kStopTimeout); });
    posted_.Collect();
    const std::size_t launcherSeen = posted_.Named(launcherProgress).size();
    const std::size_t updateSeenAgain = posted_.Named(updateProgress).size();
    EXPECT_GT(updateSeenAgain, updateSeen);

    std::cout << "  StopAll: stalled query and downloads " << stalled << " ms, trickling query " << flowing
              << " ms; downloads stopped in turn " << first << " ms, " << second << " ms\n";
    for (DWORD took : {stalled, flowing, first, second}) EXPECT_LT(took, kStopGoal);

    EXPECT_TRUE(update::WaitForAbandonedThreads(update::kAbandonedThreadBound));
    const DWORD last = ::GetTickCount() - firstStop;
    std::cout << "  last abandoned worker ended " << last << " ms after the first stop\n";
    EXPECT_LE(last, update::kAbandonedThreadBound);
    EXPECT_TRUE(FilesIn(folder).empty()) << FilesIn(folder).front();
    posted_.Collect();
    EXPECT_EQ(0u, Count(CInstallerDownloader::kDownloadErrorMessage));
    EXPECT_EQ(0u, Count(CInstallerDownloader::kDownloadCompleteMessage));
    EXPECT_EQ(0u, Count(CDownLoadCtrl::kNotifyErrorMessage));
    EXPECT_EQ(1u, posted_.Named(end).size());
    EXPECT_EQ(launcherSeen, posted_.Named(launcherProgress).size());
    EXPECT_EQ(updateSeenAgain, posted_.Named(updateProgress).size());
}
