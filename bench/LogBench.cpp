// Log benchmark: records per second through the log library against a bare
// loop doing the same lock, open, append and close, written by one thread and
// by two processes into one file. Rounds alternate the two so that machine
// noise touches both alike; medians are reported.
//
//   log_bench                                         run the benchmark
//   log_bench --writer library|bare PATH COUNT NAME   second writer (internal)
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/BenchWriters.h"
#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"

namespace {

constexpr int kRounds = 7;
constexpr int kRecordsPerWriter = 4000;
constexpr DWORD kBoundMilliseconds = 120000;

void Write(bool library, const std::string& path, int count) {
    if (library) {
        bench::WriteLibraryRecords(count);
    } else {
        bench::WriteBareRecords(path, count);
    }
}

std::string OwnPath() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return path;
}

// Records per second of one thread.
double OneThread(bool library, const std::string& path) {
    const double start = bench::Seconds();
    Write(library, path, kRecordsPerWriter);
    return kRecordsPerWriter / (bench::Seconds() - start);
}

// Records per second of this process and a second copy of the program
// writing into the same file at the same time; 0 when the second writer failed.
double TwoProcesses(bool library, const std::string& path, int round) {
    char name[64];
    std::snprintf(name, sizeof name, "RavelinLogBench_%lu_%d_%d", ::GetCurrentProcessId(), round, library);
    lib::KernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, (std::string(name) + "_ready").c_str()));
    lib::KernelHandle go(::CreateEventA(nullptr, TRUE, FALSE, (std::string(name) + "_go").c_str()));

    std::string command = "\"" + OwnPath() + "\" --writer " + (library ? "library" : "bare") + " \"" + path + "\" " +
                          std::to_string(kRecordsPerWriter) + " " + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return 0;
    }
    lib::KernelHandle process(info.hProcess);
    lib::KernelHandle thread(info.hThread);
    const HANDLE startedOrGone[] = {ready.get(), process.get()};
    if (::WaitForMultipleObjects(2, startedOrGone, FALSE, kBoundMilliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return 0;
    }

    const double start = bench::Seconds();
    ::SetEvent(go.get());
    Write(library, path, kRecordsPerWriter);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(process.get(), kBoundMilliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return 0;
    }
    const double elapsed = bench::Seconds() - start;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return exitCode == 0 ? 2 * kRecordsPerWriter / elapsed : 0;
}

int RunSecondWriter(bool library, const std::string& path, int count, const std::string& name) {
    if (library) KILNLOG.Start(path.c_str(), 4096);
    lib::KernelHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "_ready").c_str()));
    lib::KernelHandle go(::OpenEventA(SYNCHRONIZE, FALSE, (name + "_go").c_str()));
    if (!ready || !go) return 2;
    ::SetEvent(ready.get());
    if (::WaitForSingleObject(go.get(), kBoundMilliseconds) != WAIT_OBJECT_0) return 3;
    Write(library, path, count);
    return 0;
}

struct Series {
    std::vector<double> library, bare, ratio;

    void Add(double libraryRate, double bareRate) {
        library.push_back(libraryRate);
        bare.push_back(bareRate);
        ratio.push_back(bareRate > 0 ? libraryRate / bareRate : 0);
    }

    void Print(const char* title) const {
        std::printf("%-14s library %8.0f records/s, bare loop %8.0f records/s, ratio %.2f (rounds:", title,
                    bench::Median(library), bench::Median(bare), bench::Median(ratio));
        for (double r : ratio) std::printf(" %.2f", r);
        std::printf(")\n");
    }
};

void RemoveFiles(const std::string& folder) {
    WIN32_FIND_DATAA found;
    lib::FindHandle find(::FindFirstFileA((folder + "*").c_str(), &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA((folder + found.cFileName).c_str());
        } while (::FindNextFileA(find.get(), &found));
    }
    find.reset();
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--writer") == 0) {
        return RunSecondWriter(std::strcmp(argv[2], "library") == 0, argv[3], std::atoi(argv[4]), argv[5]);
    }

    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    char folderName[64];
    std::snprintf(folderName, sizeof folderName, "ravelin-log-bench-%lu\\", ::GetCurrentProcessId());
    const std::string folder = std::string(temp) + folderName;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string libraryPath = folder + "library.log";
    const std::string barePath = folder + "bare.log";
    KILNLOG.Start(libraryPath.c_str(), 4096);

    std::printf("log_bench: %d rounds, %d records per writer per round; medians\n", kRounds, kRecordsPerWriter);
    Series oneThread, twoProcesses;
    for (int round = 0; round < kRounds; ++round) {
        const double library = OneThread(true, libraryPath);
        oneThread.Add(library, OneThread(false, barePath));
        const double libraryShared = TwoProcesses(true, libraryPath, round);
        twoProcesses.Add(libraryShared, TwoProcesses(false, barePath, round));
    }
    oneThread.Print("one thread:");
    twoProcesses.Print("two processes:");
    std::fflush(stdout);
    RemoveFiles(folder);
    return 0;
}
