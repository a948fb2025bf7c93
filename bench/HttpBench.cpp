// Download benchmark: a 200 MB package over loopback HTTP and HTTPS through
// CWinHttpWrapper in memory mode and in file mode, each against a bare
// WinHTTP loop (query available, read) on the same URL in the same run.
// Rounds alternate the three so that machine noise touches all alike;
// medians are reported. The peak private memory of the memory-mode rounds is
// sampled while they run.
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

#include "bench/BenchTiming.h"
#include "launcher/update/InternetHandle.h"
#include "launcher/update/WinHttpWrapper.h"
#include "lib/UniqueHandle.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr std::uint64_t kPackageSize = 200ull * 1024 * 1024;
constexpr int kRounds = 3;
constexpr DWORD kRequestBound = 300000;
const char kPackageName[] = "bench_package_200mb.bin";

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A file of the package size with content that does not compress.
bool MakePackage(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA existing{};
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &existing) &&
        ((std::uint64_t(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow) == kPackageSize)
        return true;
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

// Bytes read by a bare loop: query available, read at most 102400, discard.
std::uint64_t BareDownload(const test::ServiceInstance& service) {
    update::InternetHandle session(::WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                                 WINHTTP_NO_PROXY_BYPASS, 0));
    update::InternetHandle connection(
        ::WinHttpConnect(session.get(), L"localhost", static_cast<INTERNET_PORT>(service.port), 0));
    const std::wstring path = Wide(std::string("/") + kPackageName);
    const DWORD flags = WINHTTP_FLAG_REFRESH | (service.name == "http" ? 0 : WINHTTP_FLAG_SECURE);
    update::InternetHandle request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request || !::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                          0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        std::printf("%s: bare request failed with %lu\n", service.name.c_str(), ::GetLastError());
        return 0;
    }
    std::vector<char> buffer(102400);
    std::uint64_t total = 0;
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available) || available == 0) break;
        DWORD read = 0;
        if (!::WinHttpReadData(request.get(), buffer.data(), std::min<DWORD>(available, 102400), &read) || read == 0)
            break;
        total += read;
    }
    return total;
}

// Bytes CWinHttpWrapper wrote to the target file, 0 on failure.
std::uint64_t WrapperDownload(const test::ServiceInstance& service, bool memoryMode, const std::string& target) {
    ::DeleteFileA(target.c_str());
    CWinHttpWrapper http;
    const std::wstring url = Wide(service.baseUrl + "/" + kPackageName);
    if (!http.Initialize(url.c_str(), 0, target.c_str(), memoryMode) ||
        !http.Connect(0, L"27KexLPNI/1.000000", nullptr))
        return 0;
    lib::KernelHandle worker(http.SendRequest(nullptr, nullptr));
    if (!worker || ::WaitForSingleObject(worker.get(), kRequestBound) != WAIT_OBJECT_0 || http.GetResult() != 0) {
        std::printf("%s: client request failed with %d\n", service.name.c_str(), http.GetResult());
        return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA written{};
    if (!::GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &written)) return 0;
    return (std::uint64_t(written.nFileSizeHigh) << 32) | written.nFileSizeLow;
}

// Private bytes where the system reports them; Wine 8 reports none, and there
// the working set stands in, which counts the same freshly touched pages.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.WorkingSetSize;
}

// The highest private memory seen while `work` runs, above what it was before.
template <typename Work>
SIZE_T PeakGrowth(Work work) {
    const SIZE_T before = PrivateBytes();
    std::atomic<bool> done{false};
    std::atomic<SIZE_T> peak{before};
    std::thread sampler([&] {
        while (!done) {
            const SIZE_T now = PrivateBytes();
            if (now > peak) peak = now;
            ::Sleep(20);
        }
    });
    work();
    done = true;
    sampler.join();
    return peak > before ? peak - before : 0;
}

struct Figures {
    std::vector<double> bare, memory, file;
    SIZE_T peakGrowth = 0;
    bool complete = true;
};

double MegabytesPerSecond(double seconds) { return kPackageSize / 1048576.0 / seconds; }

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

        std::printf("http_bench: %llu MB package over loopback, median of %d rounds, ratio = bare time / client time\n",
                    static_cast<unsigned long long>(kPackageSize >> 20), kRounds);
        for (const char* name : {"http", "https"}) {
            const test::ServiceInstance& service = test::Service(name);
            Figures figures;
            for (int round = 0; round < kRounds; ++round) {
                double start = bench::Seconds();
                figures.complete &= BareDownload(service) == kPackageSize;
                figures.bare.push_back(bench::Seconds() - start);

                std::uint64_t size = 0;
                start = bench::Seconds();
                figures.peakGrowth = std::max(figures.peakGrowth,
                                              PeakGrowth([&] { size = WrapperDownload(service, true, target); }));
                figures.memory.push_back(bench::Seconds() - start);
                figures.complete &= size == kPackageSize;

                start = bench::Seconds();
                figures.complete &= WrapperDownload(service, false, target) == kPackageSize;
                figures.file.push_back(bench::Seconds() - start);
            }
            const double bare = bench::Median(figures.bare);
            const double memory = bench::Median(figures.memory);
            const double file = bench::Median(figures.file);
            std::printf("%-5s bare loop   %7.1f MB/s\n", name, MegabytesPerSecond(bare));
            std::printf("%-5s memory mode %7.1f MB/s  ratio %.3f (goal 0.95)\n", name, MegabytesPerSecond(memory),
                        bare / memory);
            std::printf("%-5s file mode   %7.1f MB/s  ratio %.3f (goal 0.95)\n", name, MegabytesPerSecond(file),
                        bare / file);
            std::printf("%-5s peak private memory of memory mode: %.1f MB above the start (goal <= %llu MB)\n", name,
                        figures.peakGrowth / 1048576.0, static_cast<unsigned long long>((kPackageSize >> 20) + 16));
            if (!figures.complete) std::printf("%-5s SOME DOWNLOADS FAILED OR WERE INCOMPLETE\n", name);
        }
        ::DeleteFileA(target.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::printf("http_bench: %s\n", e.what());
        return 1;
    }
}
