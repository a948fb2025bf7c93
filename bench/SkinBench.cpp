// Skin definition benchmark: LoadSkinDefinition of a window file with 50
// blocks and two includes, read from this program's resources. A first load
// happens once per process, so each is timed in a fresh copy of the program;
// cached copies are timed in this one. Medians are reported, in microseconds.
//
//   skin_bench           run the benchmark
//   skin_bench --first   time one first load (internal); exit code = microseconds
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "lib/UniqueHandle.h"
#include "ui/CSkinWindowException.h"
#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinError.h"

namespace {

constexpr const char* kFile = "BenchWindow.txt";
constexpr int kFirstLoads = 9;
constexpr int kRounds = 9;
constexpr int kCopiesPerRound = 200;
constexpr DWORD kBoundMilliseconds = 60000;
constexpr DWORD kFailed = 0xFFFFFFFF;

double Microseconds() { return bench::Seconds() * 1e6; }

// A skin error is printed; a benchmark must never wait on a message box.
void PrintSkinError(const std::string& text) { std::fprintf(stderr, "skin error: %s\n", text.c_str()); }

DWORD TimeFirstLoad() {
    const double start = Microseconds();
    const std::size_t blocks = ui::LoadSkinDefinition(kFile).items.size();
    const double elapsed = Microseconds() - start;
    return blocks == 0 ? kFailed : static_cast<DWORD>(elapsed);
}

std::string OwnPath() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return path;
}

// Microseconds of the first load in a fresh process; negative when it failed.
double FirstLoadInChild() {
    std::string command = "\"" + OwnPath() + "\" --first";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return -1;
    }
    lib::KernelHandle process(info.hProcess);
    lib::KernelHandle thread(info.hThread);
    DWORD exitCode = kFailed;
    if (::WaitForSingleObject(process.get(), kBoundMilliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), kFailed);
        return -1;
    }
    ::GetExitCodeProcess(process.get(), &exitCode);
    return exitCode == kFailed ? -1 : static_cast<double>(exitCode);
}

// Microseconds per cached copy over one round.
double CachedCopy() {
    const double start = Microseconds();
    std::size_t blocks = 0;
    for (int n = 0; n < kCopiesPerRound; ++n) blocks += ui::LoadSkinDefinition(kFile).items.size();
    const double elapsed = Microseconds() - start;
    return blocks == 0 ? -1 : elapsed / kCopiesPerRound;
}

}  // namespace

int main(int argc, char** argv) {
    ui::SetSkinErrorReporter(&PrintSkinError);
    try {
        if (argc > 1 && std::strcmp(argv[1], "--first") == 0) return static_cast<int>(TimeFirstLoad());

        std::vector<double> first, cached;
        for (int n = 0; n < kFirstLoads; ++n) first.push_back(FirstLoadInChild());
        const std::size_t blocks = ui::LoadSkinDefinition(kFile).items.size();
        for (int n = 0; n < kRounds; ++n) cached.push_back(CachedCopy());
        if (*std::min_element(first.begin(), first.end()) < 0) {
            std::fprintf(stderr, "a first load failed\n");
            return 1;
        }
        std::printf("skin definition %s: %u blocks after merging (includes BenchCommon.txt, BenchButtons.txt)\n", kFile,
                    static_cast<unsigned>(blocks));
        std::printf("first load (fresh process) %8.1f us   median of %d\n", bench::Median(first), kFirstLoads);
        std::printf("cached copy                %8.1f us   median of %d rounds of %d\n", bench::Median(cached), kRounds,
                    kCopiesPerRound);
        return 0;
    } catch (const ui::CSkinWindowException& failure) {
        std::fprintf(stderr, "skin_bench: %s\n", failure.what());
        return 1;
    }
}
