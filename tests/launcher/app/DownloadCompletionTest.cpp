// What the silent-install window relies on from a download: progress that
// comes coalesced and adds up exactly, and an end message that follows the
// last progress message and finds the whole package on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "launcher/update/InstallerDownloader.h"
#include "launcher/update/ProgressCoalescer.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

TEST(ProgressCoalescer, GathersReadsAndLosesNoByte) {
    const struct {
        const char* name;
        DWORD start;
        std::vector<std::pair<DWORD, DWORD>> reads;  // bytes, tick
        std::vector<DWORD> posts;                      // 0: nothing posted for that read
        DWORD rest;
    } cases[] = {
        {"first read at once", 1000, {{10, 1000}, {20, 1005}, {30, 1019}, {40, 1020}}, {10, 0, 0, 90}, 0},
        {"rest at the end", 1000, {{10, 1000}, {20, 1001}, {30, 1002}}, {10, 0, 0}, 50},
        {"one per interval", 0, {{5, 0}, {5, 20}, {5, 40}, {5, 45}}, {5, 5, 5, 0}, 5},
        {"tick count wraps", 0xFFFFFFF0u, {{7, 0xFFFFFFF0u}, {7, 0xFFFFFFFAu}, {7, 4}}, {7, 0, 14}, 0},
    };
    for (const auto& c : cases) {
        update::ProgressCoalescer coalescer(c.start);
        std::vector<DWORD> posts;
        DWORD read = 0, posted = 0;
        for (const auto& [bytes, tick] : c.reads) {
            posts.push_back(coalescer.Add(bytes, tick));
            read += bytes;
            posted += posts.back();
        }
        EXPECT_EQ(c.posts, posts) << c.name;
        const DWORD rest = coalescer.Flush();
        EXPECT_EQ(c.rest, rest) << c.name;
        EXPECT_EQ(read, posted + rest) << c.name;
        EXPECT_EQ(0u, coalescer.Flush()) << c.name;
    }
}

// A message-only window of this thread whose queue is read directly.
class DownloadCompletion : public testing::Test {
protected:
    DownloadCompletion()
        : window_(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~DownloadCompletion() override { ::DestroyWindow(window_); }

    // Messages of the window until `last` arrives or `bound` passes.
    std::vector<MSG> CollectUntil(UINT last, DWORD bound) {
        std::vector<MSG> messages;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < bound) {
            MSG message;
            while (::PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
                messages.push_back(message);
                if (message.message == last) return messages;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return messages;
    }

    test::ScratchFolder scratch_;
    HWND window_;
};

TEST_F(DownloadCompletion, ProgressIsCoalescedAndTheEndComesLastWithTheFileWritten) {
    // 200 reads of 1000 bytes, about 5 ms apart: one message each would be 200.
    const std::size_t size = 200000;
    const test::ServiceInstance& http = test::Service("http");
    test::WriteWholeFile(test::ServiceFilesFolder() + "dc_slow.msi", std::string(size, 'p'));
    test::SetServiceConfig(http, R"({"faults": {"/dc_slow.msi": {"kind": "slow", "chunk": 1000, "interval": 0.005}}})");
    const UINT progress = ::RegisterWindowMessageA("MaintenaceProgress");
    const UINT complete = ::RegisterWindowMessageA(CInstallerDownloader::kDownloadCompleteMessage);

    CInstallerDownloader downloader(window_, scratch_.path() + "表示\\");
    downloader.SetProgressTarget(window_, progress);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(downloader.Start(http.baseUrl + "/dc_slow.msi"));
    const std::vector<MSG> messages = CollectUntil(complete, 30000);
    const DWORD elapsed = ::GetTickCount() - start;
    ASSERT_FALSE(messages.empty());
    ASSERT_EQ(complete, messages.back().message);

    std::size_t posts = 0, bytes = 0;
    for (const MSG& message : messages) {
        if (message.message != progress) continue;
        ++posts;
        bytes += static_cast<std::size_t>(message.lParam);
        EXPECT_EQ(size, message.wParam);
    }
    EXPECT_EQ(size, bytes);
    EXPECT_LE(posts, elapsed / update::ProgressCoalescer::kInterval + 2) << elapsed << " ms";
    EXPECT_LT(posts, 100u);
    EXPECT_EQ(static_cast<long long>(size), downloader.GetCompletedSize());
    EXPECT_EQ(size, test::ReadWholeFile(downloader.GetPackagePath()).size());
}
