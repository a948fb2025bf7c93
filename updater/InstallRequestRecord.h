#pragma once
// The launcher-updater protocol: the WM_COPYDATA install record, the request
// kinds and the progress notification codes. The record crosses processes
// (and a 64-bit updater may serve a 32-bit launcher), so its layout is fixed
// to the byte and checked at compile time.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// COPYDATASTRUCT::dwData of the launcher's requests.
constexpr ULONG_PTR COPYDATAINSTALL = 0;
constexpr ULONG_PTR MSG_REQUEST_CANCELINSTALL = 1;

// InstallRequestRecord::APLType: the suite's component numbers.
constexpr std::int32_t APLTYPE_LAUNCHER = 1;
constexpr std::int32_t APLTYPE_UPDATEMANAGER = 2;
constexpr std::int32_t APLTYPE_MSVTITLEEDITOR = 3;
constexpr std::int32_t APLTYPE_VANTORMANAGER = 4;

// InstallRequestRecord::InstallType (0 makes the record void).
constexpr std::int32_t INSTALLTYPE_FIRST = 1;
constexpr std::int32_t INSTALLTYPE_REINSTALL = 2;

// wParam of the progress notifications.
constexpr WPARAM INSTALL_NOTIFY_START = 0;
constexpr WPARAM INSTALL_NOTIFY_RESET = 1;
constexpr WPARAM INSTALL_NOTIFY_POSITION = 2;
constexpr WPARAM INSTALL_NOTIFY_ADDTOTAL = 3;
constexpr WPARAM INSTALL_NOTIFY_END = 4;

constexpr std::size_t kInstallRecordPathSize = 260;

#pragma pack(push, 1)
struct InstallRequestRecord {
    std::int32_t APLType;
    std::int32_t InstallType;
    // A window handle as its 32 significant bits (see RecordWindowHandle).
    std::uint32_t NotifyWindow;
    std::uint32_t NotifyMessage;
    // NUL-terminated, system ANSI code page; zero after the terminator.
    char PathPackage[kInstallRecordPathSize];
};
#pragma pack(pop)

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the record is little-endian on the wire");
static_assert(sizeof(InstallRequestRecord) == 276, "record size");
static_assert(offsetof(InstallRequestRecord, APLType) == 0, "APLType offset");
static_assert(offsetof(InstallRequestRecord, InstallType) == 4, "InstallType offset");
static_assert(offsetof(InstallRequestRecord, NotifyWindow) == 8, "NotifyWindow offset");
static_assert(offsetof(InstallRequestRecord, NotifyMessage) == 12, "NotifyMessage offset");
static_assert(offsetof(InstallRequestRecord, PathPackage) == 16, "PathPackage offset");

// Window handles have 32 significant bits, sign-extended in a 64-bit process.
inline HWND RecordWindowHandle(std::uint32_t value) noexcept {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<std::int32_t>(value)));
}

inline std::uint32_t RecordWindowValue(HWND window) noexcept {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(window));
}
