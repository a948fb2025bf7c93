// Installer engine benchmark: time from queueing an install request for the
// tiny test package to its INSTALL_NOTIFY_START and INSTALL_NOTIFY_END, and
// how much of it passes before the worker picks the request up (queuing
// wakes it). The product is uninstalled before each round, so every
// round is a first installation; each request is queued right after the one
// before has ended, as the launcher hands over its packages. Medians are reported.
#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "updater/InstallRequestRecord.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstallControl.h"

namespace {

constexpr int kRounds = 10;
constexpr double kRoundBound = 60.0;
constexpr char kTinyProduct[] = "{C575A87D-B616-4762-A8A7-0D276ABA8FD2}";
constexpr char kClassName[] = "RavelinMsiInstallBench";

// Moments of the current round, in bench::Seconds().
struct Round {
    double queued = 0;
    double pickedUp = 0;
    double started = 0;
    double ended = 0;
};

Round round;
MsiInstaller::MsiFunctions systemMsi;
UINT notifyMessage = 0;

// The system's MsiInstallProductA, noting when the worker calls it.
UINT WINAPI TimedInstallProduct(LPCSTR packagePath, LPCSTR commandLine) {
    round.pickedUp = bench::Seconds();
    return systemMsi.InstallProductA(packagePath, commandLine);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != notifyMessage) return ::DefWindowProcA(window, message, wParam, lParam);
    if (wParam == INSTALL_NOTIFY_START) round.started = bench::Seconds();
    if (wParam == INSTALL_NOTIFY_END) round.ended = bench::Seconds();
    return 0;
}

// Handles this thread's messages until the round has ended; false after the bound.
bool PumpUntilEnded() {
    const double deadline = bench::Seconds() + kRoundBound;
    while (round.ended == 0) {
        const double left = deadline - bench::Seconds();
        if (left <= 0) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    }
    return true;
}

void Uninstall() {
    if (systemMsi.QueryProductStateA(kTinyProduct) == INSTALLSTATE_DEFAULT) {
        ::MsiConfigureProductA(kTinyProduct, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
    }
}

std::string PackagePath() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "packages\\RavelinTestTiny.msi";
}

void Report(const char* what, const std::vector<double>& seconds) {
    std::printf("%-34s median %7.1f ms   (min %7.1f, max %7.1f)\n", what, bench::Median(seconds) * 1000,
                *std::min_element(seconds.begin(), seconds.end()) * 1000,
                *std::max_element(seconds.begin(), seconds.end()) * 1000);
}

}  // namespace

int main() {
    systemMsi = MsiInstaller::GetMsiFunctions();
    systemMsi.SetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MsiInstaller::MsiFunctions timed = systemMsi;
    timed.InstallProductA = &TimedInstallProduct;
    MsiInstaller::ReplaceMsiFunctions(timed);

    notifyMessage = ::RegisterWindowMessageA("InstallNotifyProgress");
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExA(&windowClass);
    HWND window = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                                    nullptr);
    if (!window) return 1;

    InstallRequestRecord record{};
    record.APLType = APLTYPE_UPDATEMANAGER;
    record.InstallType = INSTALLTYPE_FIRST;
    record.NotifyWindow = RecordWindowValue(window);
    record.NotifyMessage = notifyMessage;
    PackagePath().copy(record.PathPackage, sizeof record.PathPackage - 1);

    std::vector<double> toStart, toEnd, pickup, installation;
    int failures = 0;
    {
        MsiInstaller::MsiInstallControl control;
        control.Start();
        for (int i = 0; i < kRounds; ++i) {
            Uninstall();
            round = Round{};
            round.queued = bench::Seconds();
            control.QueueInstall(record);
            if (!PumpUntilEnded() || round.started == 0 || round.pickedUp == 0 ||
                systemMsi.QueryProductStateA(kTinyProduct) != INSTALLSTATE_DEFAULT) {
                ++failures;
                continue;
            }
            toStart.push_back(round.started - round.queued);
            toEnd.push_back(round.ended - round.queued);
            pickup.push_back(round.pickedUp - round.queued);
            installation.push_back(round.ended - round.pickedUp);
        }
        control.Stop();
    }
    Uninstall();
    ::DestroyWindow(window);

    std::printf("msi_install_bench: RavelinTestTiny.msi, %d rounds, %d failed\n", kRounds, failures);
    if (toEnd.empty()) return 1;
    Report("queued -> INSTALL_NOTIFY_START", toStart);
    Report("queued -> INSTALL_NOTIFY_END", toEnd);
    Report("  of which waiting for pickup", pickup);
    Report("  of which installing", installation);
    return failures == 0 ? 0 : 1;
}
