#include "updater/MsiInstallCallback.h"

#include <msi.h>

#include <cstdlib>
#include <cstring>

#include "updater/InstallRequestRecord.h"

namespace MsiInstaller {
namespace {

// A hung launcher window slows an installation down but cannot stop it.
constexpr UINT kSendTimeout = 10000;

// The numbered fields of a PROGRESS text such as "1: 0 2: 37219 3: 0 4: 0 ".
struct ProgressFields {
    int kind = 0;
    std::int32_t second = 0;
    std::int32_t third = 0;
};

std::int32_t NumberAfter(LPCSTR text, const char* label) {
    const char* at = std::strstr(text, label);
    return at ? static_cast<std::int32_t>(std::strtol(at + 2, nullptr, 10)) : 0;
}

ProgressFields ParseProgress(LPCSTR text) {
    ProgressFields fields;
    const char* first = text ? std::strstr(text, "1:") : nullptr;
    if (!first) return fields;
    // The digit stands three places after the label; never read past the text's end.
    if (first[2] != '\0') fields.kind = first[3] - '0';
    fields.second = NumberAfter(text, "2:");
    fields.third = NumberAfter(text, "3:");
    return fields;
}

// Tick counts wrap around instead of overflowing; positions are not clamped.
std::int32_t Wrapped(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// A 16-bit value in the high word, as the launcher reads totals and types.
LPARAM HighWord(std::int32_t value) { return MAKELPARAM(0, static_cast<WORD>(value & 0xFFFF)); }

}  // namespace

void MsiInstallCallback::Reset() {
    total_ = 0;
    forward_ = true;
    actionDataEnabled_ = false;
    position_ = 0;
    step_ = 0;
}

void MsiInstallCallback::Bind(HWND notifyWindow, UINT notifyMessage, std::int32_t applicationType) {
    notifyWindow_ = notifyWindow;
    notifyMessage_ = notifyMessage;
    applicationType_ = applicationType;
}

int MsiInstallCallback::Dispatch(UINT messageType, LPCSTR text) {
    const UINT flags = messageType & 0x00FFFFFFu;
    switch (messageType >> 24) {
    case INSTALLMESSAGE_FATALEXIT >> 24: return OnFatalExit(flags, text);
    case INSTALLMESSAGE_ERROR >> 24: return OnError(flags, text);
    case INSTALLMESSAGE_WARNING >> 24: return OnWarning(flags, text);
    case INSTALLMESSAGE_USER >> 24: return OnUser(flags, text);
    case INSTALLMESSAGE_INFO >> 24: return OnInfo(flags, text);
    case INSTALLMESSAGE_FILESINUSE >> 24: return OnFilesInUse(flags, text);
    case INSTALLMESSAGE_RESOLVESOURCE >> 24: return OnResolveSource(flags, text);
    case INSTALLMESSAGE_OUTOFDISKSPACE >> 24: return OnOutOfDiskSpace(flags, text);
    case INSTALLMESSAGE_ACTIONSTART >> 24: return OnActionStart(flags, text);
    case INSTALLMESSAGE_ACTIONDATA >> 24: return OnActionData(flags, text);
    case INSTALLMESSAGE_PROGRESS >> 24: return OnProgress(flags, text);
    case INSTALLMESSAGE_COMMONDATA >> 24: return OnCommonData(flags, text);
    case INSTALLMESSAGE_INITIALIZE >> 24: return OnInitialize(flags, text);
    case INSTALLMESSAGE_TERMINATE >> 24: return OnTerminate(flags, text);
    case INSTALLMESSAGE_SHOWDIALOG >> 24: return OnShowDialog(flags, text);
    default: return 0;
    }
}

void MsiInstallCallback::EndRefused() {
    OnInitialize(0, nullptr);
    OnTerminate(0, nullptr);
}

int MsiInstallCallback::OnFatalExit(UINT, LPCSTR) {
    Reset();
    return 0;
}

int MsiInstallCallback::OnActionData(UINT, LPCSTR) {
    if (!actionDataEnabled_) return 0;
    Advance(step_);
    Send(INSTALL_NOTIFY_POSITION, position_);
    return 0;
}

int MsiInstallCallback::OnProgress(UINT, LPCSTR text) {
    const ProgressFields fields = ParseProgress(text);
    switch (fields.kind) {
    case 0:  // reset: a new total, running backwards during a rollback
        total_ = fields.second;
        forward_ = fields.third == 0;
        position_ = forward_ ? 0 : total_;
        Send(INSTALL_NOTIFY_RESET, HighWord(total_));
        Send(INSTALL_NOTIFY_POSITION, position_);
        break;
    case 1:  // action info: whether action data messages move the position, and by how much
        actionDataEnabled_ = fields.third == 1;
        if (actionDataEnabled_) step_ = fields.second;
        break;
    case 2:  // progress report
        if (total_ == 0) break;
        Advance(fields.second);
        Send(INSTALL_NOTIFY_POSITION, position_);
        break;
    case 3:  // add to total
        if (fields.second == 0) break;
        total_ = Wrapped(static_cast<std::uint32_t>(total_) + static_cast<std::uint32_t>(fields.second));
        Send(INSTALL_NOTIFY_ADDTOTAL, HighWord(total_));
        break;
    default:
        break;
    }
    return 0;
}

// The INITIALIZE and TERMINATE texts are not read: Wine does not pass valid strings there.
int MsiInstallCallback::OnInitialize(UINT, LPCSTR) {
    Reset();
    Send(INSTALL_NOTIFY_START, HighWord(applicationType_));
    return 0;
}

int MsiInstallCallback::OnTerminate(UINT, LPCSTR) {
    terminated_ = true;
    Post(INSTALL_NOTIFY_END, HighWord(applicationType_));
    Reset();
    return 0;
}

void MsiInstallCallback::Send(WPARAM code, LPARAM value) const {
    if (!::IsWindow(notifyWindow_)) return;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(notifyWindow_, notifyMessage_, code, value, SMTO_BLOCK, kSendTimeout, &answer);
}

void MsiInstallCallback::Post(WPARAM code, LPARAM value) const {
    if (!::IsWindow(notifyWindow_)) return;
    ::PostMessageA(notifyWindow_, notifyMessage_, code, value);
}

void MsiInstallCallback::Advance(std::int32_t ticks) {
    const std::uint32_t position = static_cast<std::uint32_t>(position_);
    const std::uint32_t amount = static_cast<std::uint32_t>(ticks);
    position_ = Wrapped(forward_ ? position + amount : position - amount);
}

}  // namespace MsiInstaller
