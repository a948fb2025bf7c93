#pragma once
// Helpers of the installer engine's tests: a window on the test thread that
// records the engine's notifications, install records, the test packages and
// the state they leave in the system.
#include <windows.h>
#include <msi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "updater/InstallRequestRecord.h"

namespace msitest {

struct Notification {
    WPARAM code;
    LPARAM value;
};

// Product codes and names of the packages in bin\packages.
constexpr char kTinyProduct[] = "{C575A87D-B616-4762-A8A7-0D276ABA8FD2}";
constexpr char kFailProduct[] = "{F5468F06-B2B7-41D4-A89A-5A11E4A75613}";
constexpr char kUserExitProduct[] = "{6D8DB7AE-E9FA-4F2B-BED8-C1E6BFB9FC19}";
constexpr char kTinyName[] = "RavelinTestTiny";

// A hidden window of the calling thread that records every notification sent
// or posted to it. Sent ones arrive while the thread pumps (PumpUntil) or at
// once when the sender is this thread.
class NotifyRecorder {
public:
    NotifyRecorder();
    NotifyRecorder(const NotifyRecorder&) = delete;
    NotifyRecorder& operator=(const NotifyRecorder&) = delete;
    ~NotifyRecorder();

    HWND window() const { return window_; }
    UINT message() const { return message_; }
    const std::vector<Notification>& notifications() const { return notifications_; }
    std::vector<WPARAM> codes() const;
    size_t Count(WPARAM code) const;
    void Clear() { notifications_.clear(); }

    // Handles this thread's messages until `endCount` INSTALL_NOTIFY_END
    // notifications have arrived in all; false when `milliseconds` pass first.
    bool PumpUntilEnds(size_t endCount, DWORD milliseconds) {
        return PumpUntil(INSTALL_NOTIFY_END, endCount, milliseconds);
    }
    // The same for `count` notifications with `code`.
    bool PumpUntil(WPARAM code, size_t count, DWORD milliseconds);
    // Handles the messages already waiting, without waiting for more.
    void Drain();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT message_;
    HWND window_ = nullptr;
    std::vector<Notification> notifications_;
};

// Ends the cancel that an earlier control's Stop left pending, as the end of
// an installation would, so that a test starts with no cancel in force.
void SettlePendingCancel();

// The protocol's value for an application type or total: 16 bits in the high word.
LPARAM HighWord(int value);

InstallRequestRecord MakeRecord(std::int32_t applicationType, std::int32_t installType, HWND notifyWindow,
                                UINT notifyMessage, const std::string& packagePath);

// Full path of a test package ("RavelinTestTiny" -> ...\bin\packages\RavelinTestTiny.msi).
std::string PackagePath(const std::string& name);
// Full path of a file the build signed for the tests (...\bin\signed\NAME).
std::string SignedPath(const std::string& fileName);

INSTALLSTATE ProductState(const char* productCode);
// Uninstalls the product quietly when it is installed; true when it is gone.
bool EnsureAbsent(const char* productCode);

// The file and the registry value a test product installs ("" when missing).
std::string InstalledPayloadPath(const std::string& productName);
std::string InstalledVersionValue(const std::string& productName);

// How many times `part` appears in `text`.
size_t Count(const std::string& text, const std::string& part);

// The records this test program's log gains from construction on.
class LogWatch {
public:
    LogWatch();
    std::string Added() const;

private:
    std::string path_;
    size_t start_;
};

}  // namespace msitest
