// Download benchmark: a 200 MB package over loopback HTTP and HTTPS through
// CWinHttpWrapper in file mode (streamed to a part file, renamed when whole)
// against a bare WinHTTP loop (query available, read, write) that writes the
// same file in the same way, on the same URL in the same run. Rounds
// alternate the two so that machine noise touches both alike; medians are
// reported, with the client's peak memory above its start.
//
// Then stopping: StopAll of the update control while the service stalls the
// query and a download before their headers, median of 10, and how long the
// workers those stops left behind take to end by themselves.
//
// Needs the stand-in service bench (tools/servicebench run DIR -- ...).
#include <windows.h>
#include <psapi.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "bench/BareDownload.h"
#include "bench/BenchTiming.h"
#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/DownLoadCtrl.h"
#include "launcher/update/InternetHandle.h"
#include "launcher/update/DownloadFile.h"
#include "launcher/update/WinHttpWrapper.h"
#include "lib/UniqueHandle.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr std::uint64_t kPackageSize = 200ull * 1024 * 1024;
constexpr int kRounds = 5;
constexpr int kStopRounds = 10;
constexpr DWORD kRequestBound = 300000;
const char kPackageName[] = "bench_package_200mb.bin";
const char kStalledPackage[] = "bench_stalled.msi";
const char kStalledQuery[] = "/bench/stalled-query";

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A file of the package size with content that does not compress.
bool MakePackage(const std::string& path) {
    if (FileSize(path) == kPackageSize) return true;
    lib::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    std::vector<std::uint64_t> block(1 << 17);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t written = 0; written < kPackageSize; written += block.size() * 8) {
        for (auto& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        DWORD done = 0;
        if (!::WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size() * 8), &done, nullptr)) return false;
    }
    return true;
}

// The bare loop: query available, read at most 102400, append to the part
// file opened as the client opens it, rename it when done. Bytes written.
std::uint64_t BareDownload(const test::ServiceInstance& service, const std::string& target) {
    update::InternetHandle session(::WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                                 WINHTTP_NO_PROXY_BYPASS, 0));
    update::InternetHandle connection(
        ::WinHttpConnect(session.get(), L"localhost", static_cast<INTERNET_PORT>(service.port), 0));
    const update::InternetHandle request =
        bench::SendBareGet(connection.get(), Wide(std::string("/") + kPackageName), service.name != "http");
    if (!request) {
        std::printf("%s: bare request failed with %lu\n", service.name.c_str(), ::GetLastError());
        return 0;
    }
    const std::string part = update::CDownloadFile::UnfinishedPath(target);
    lib::FileHandle file(::CreateFileA(part.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return 0;
    const std::uint64_t total = bench::CopyBody(request.get(), file.get());
    if (total == 0) return 0;
    file.reset();
    if (!::MoveFileExA(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
    return total;
}

// Bytes CWinHttpWrapper put in the target file, 0 on failure.
std::uint64_t ClientDownload(const test::ServiceInstance& service, const std::string& target) {
    CWinHttpWrapper http;
    const std::wstring url = Wide(service.baseUrl + "/" + kPackageName);
    if (!http.Initialize(url.c_str(), 0, target.c_str(), false) || !http.Connect(0, L"27KexLPNI/1.000000", nullptr))
        return 0;
    lib::KernelHandle worker(http.SendRequest(nullptr, nullptr));
    if (!worker || ::WaitForSingleObject(worker.get(), kRequestBound) != WAIT_OBJECT_0 || http.GetResult() != 0) {
        std::printf("%s: client request failed with %d\n", service.name.c_str(), http.GetResult());
        return 0;
    }
    return FileSize(target);
}

// Working set and private bytes (Wine 8 reports no private bytes: 0 there).
struct Memory {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
};

Memory MemoryNow() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return {counters.WorkingSetSize, counters.PrivateUsage};
}

// The highest growth of each figure seen while `work` runs, sampled every 10 ms.
template <typename Work>
Memory PeakGrowth(Work work) {
    const Memory before = MemoryNow();
    std::atomic<bool> done{false};
    Memory peak = before;
    std::thread sampler([&] {
        while (!done) {
            const Memory now = MemoryNow();
            peak.workingSet = std::max(peak.workingSet, now.workingSet);
            peak.privateBytes = std::max(peak.privateBytes, now.privateBytes);
            ::Sleep(10);
        }
    });
    work();
    done = true;
    sampler.join();
    return {peak.workingSet - before.workingSet, peak.privateBytes - before.privateBytes};
}

double MegabytesPerSecond(double seconds) { return kPackageSize / 1048576.0 / seconds; }
double Megabytes(SIZE_T bytes) { return bytes / 1048576.0; }

void Throughput(const std::string& target) {
    std::printf("http_bench: %llu MB package over loopback, file mode, median of %d alternating rounds,\n"
                "ratio = bare time / client time (goal >= 0.95)\n",
                static_cast<unsigned long long>(kPackageSize >> 20), kRounds);
    for (const char* name : {"http", "https"}) {
        const test::ServiceInstance& service = test::Service(name);
        std::vector<double> bare, client;
        Memory peak;
        bool complete = true;
        for (int round = 0; round < kRounds; ++round) {
            double start = bench::Seconds();
            complete &= BareDownload(service, target) == kPackageSize;
            bare.push_back(bench::Seconds() - start);

            std::uint64_t size = 0;
            start = bench::Seconds();
            const Memory growth = PeakGrowth([&] { size = ClientDownload(service, target); });
            client.push_back(bench::Seconds() - start);
            complete &= size == kPackageSize;
            peak.workingSet = std::max(peak.workingSet, growth.workingSet);
            peak.privateBytes = std::max(peak.privateBytes, growth.privateBytes);
        }
        const double bareMedian = bench::Median(bare);
        const double clientMedian = bench::Median(client);
        std::printf("%-5s bare loop %7.1f MB/s   client %7.1f MB/s   ratio %.3f\n", name,
                    MegabytesPerSecond(bareMedian), MegabytesPerSecond(clientMedian), bareMedian / clientMedian);
        std::printf("%-5s client peak above its start: working set %.1f MB, private bytes %.1f MB%s (goal <= 16 MB)\n",
                    name, Megabytes(peak.workingSet), Megabytes(peak.privateBytes),
                    peak.privateBytes == 0 ? " (not reported here)" : "");
        if (!complete) std::printf("%-5s SOME DOWNLOADS FAILED OR WERE INCOMPLETE\n", name);
    }
}

// Waits until the service has recorded `count` requests; false after 5 s.
bool ServiceSaw(const test::ServiceInstance& service, std::size_t count) {
    for (int i = 0; i < 250; ++i) {
        if (test::ServiceRequests(service).size() >= count) return true;
        ::Sleep(20);
    }
    return false;
}

void Stopping(const std::string& folder) {
    const test::ServiceInstance& http = test::Service("http");
    test::SetServiceConfig(http, std::string(R"({"faults": {")") + kStalledQuery +
                                     R"(": {"kind": "stall_headers"}, "/)" + kStalledPackage +
                                     R"(": {"kind": "stall_headers"}}})");
    const std::string reply = "RET=0&DLVER=1.2.0&DLURL=" + http.baseUrl + "/" + kStalledPackage +
                              "&UMVER=&UMURL=&MEVER=&MEURL=";
    std::vector<double> stops;
    DWORD lastStop = 0;
    bool started = true;
    for (int round = 0; round < kStopRounds; ++round) {
        test::ClearServiceRequests(http);
        CDownLoadCtrl control(folder);
        control.SetServiceUrl(http.baseUrl + kStalledQuery);
        started &= control.ParseURLData(reinterpret_cast<const BYTE*>(reply.data()), static_cast<int>(reply.size()));
        started &= control.StartDownload(1) && control.StartQuery() && ServiceSaw(http, 2);
        const double start = bench::Seconds();
        control.StopAll();
        stops.push_back(bench::Seconds() - start);
        lastStop = ::GetTickCount();
    }
    const bool ended = update::WaitForAbandonedThreads(update::kAbandonedThreadBound + 5000);
    const DWORD untilEnded = ::GetTickCount() - lastStop;
    std::printf("stop: StopAll with the query and a download stalled before their headers, median of %d: %.0f ms "
                "(max %.0f ms, goal <= 1000 ms)\n",
                kStopRounds, bench::Median(stops) * 1000, *std::max_element(stops.begin(), stops.end()) * 1000);
    std::printf("stop: last abandoned worker ended %lu ms after the last StopAll (goal <= 25000 ms)%s\n",
                static_cast<unsigned long>(untilEnded), ended ? "" : " - SOME STILL RUNNING");
    if (!started) std::printf("stop: SOME REQUESTS DID NOT START\n");
    test::SetServiceConfig(http, "{}");
}

}  // namespace

int main() {
    try {
        const std::string package = test::ServiceFilesFolder() + kPackageName;
        if (!MakePackage(package)) {
            std::printf("cannot write the package %s\n", package.c_str());
            return 1;
        }
        if (!test::TrustTestCa()) {
            std::printf("cannot trust the test CA\n");
            return 1;
        }
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        const std::string target = std::string(temp) + "ravelin_http_bench.bin";
        Throughput(target);
        ::DeleteFileA(target.c_str());
        Stopping(std::string(temp) + "ravelin_http_bench_stop\\");
        return 0;
    } catch (const std::exception& e) {
        std::printf("http_bench: %s\n", e.what());
        return 1;
    }
}
