#include "tests/launcher/app/SilentInstallTestSupport.h"

#include "launcher/app/LauncherMessages.h"
#include "tests/support/TestWindow.h"
#include "ui/MessageBoxWindow.h"

namespace silenttest {
namespace {

// The object given as the window's creation parameter.
template <typename Self>
Self* SelfOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    return reinterpret_cast<Self*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

long long FileSizeOf(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

UpdaterStandIn::~UpdaterStandIn() {
    if (window_) ::DestroyWindow(window_);
}

void UpdaterStandIn::Launch(HWND launcher, int announcements) {
    OpenWindow();
    Announce(launcher, announcements);
}

void UpdaterStandIn::Announce(HWND launcher, int announcements) {
    for (int i = 0; i < announcements; ++i)
        ::PostMessageA(launcher, ::RegisterWindowMessageA("Launcher_VERUPSTART"), 0, 0);
}

void UpdaterStandIn::OpenWindow() {
    if (!window_)
        window_ = test::CreateTestWindow("VEDAZAVUZUVEZ", &WindowProc, "VedaZavuzuvez", WS_OVERLAPPEDWINDOW, nullptr, this);
}

LRESULT CALLBACK UpdaterStandIn::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UpdaterStandIn* self = SelfOf<UpdaterStandIn>(window, message, lParam);
    if (message != WM_COPYDATA || !self) return ::DefWindowProcA(window, message, wParam, lParam);
    self->Receive(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    return TRUE;
}

void UpdaterStandIn::Receive(const COPYDATASTRUCT& data) {
    ReceivedRequest request{data.dwData, data.cbData, {}, -1};
    if (data.lpData && data.cbData == sizeof(InstallRequestRecord)) {
        request.record = *static_cast<const InstallRequestRecord*>(data.lpData);
        request.fileSize = FileSizeOf(request.record.PathPackage);
    }
    requests.push_back(request);
    const InstallRequestRecord& record = request.record;
    if (finishInstalls && request.kind == COPYDATAINSTALL && record.APLType >= 2 && record.APLType <= 4) {
        const HWND notify = RecordWindowHandle(record.NotifyWindow);
        const LPARAM type = static_cast<LPARAM>(record.APLType) << 16;
        ::PostMessageA(notify, record.NotifyMessage, INSTALL_NOTIFY_START, type);
        ::PostMessageA(notify, record.NotifyMessage, INSTALL_NOTIFY_POSITION, 100);
        ::PostMessageA(notify, record.NotifyMessage, INSTALL_NOTIFY_END, type);
    }
}

OwnerStandIn::OwnerStandIn()
    : window_(test::CreateTestWindow("RavelinLaunchWindowStandIn", &WindowProc, "", 0, HWND_MESSAGE, this)) {}

OwnerStandIn::~OwnerStandIn() { ::DestroyWindow(window_); }

LRESULT CALLBACK OwnerStandIn::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    OwnerStandIn* self = SelfOf<OwnerStandIn>(window, message, lParam);
    char line[32] = "";
    if (message == LWM_SERVERSTARTFINISH) {
        wsprintfA(line, "finish");
    } else if (message == LWM_PRCWINDOWCLOSE) {
        wsprintfA(line, "close %u", static_cast<unsigned>(wParam));
    } else if (message == ::RegisterWindowMessageA("CVLNotifyError")) {
        wsprintfA(line, "error %08X", static_cast<unsigned>(wParam));
    }
    if (!self || !*line) return ::DefWindowProcA(window, message, wParam, lParam);
    self->log.push_back(line);
    return 0;
}

namespace {

HWND boxOwner = nullptr;
int boxButton = 0;

BOOL CALLBACK PressIfBox(HWND window, LPARAM) {
    if (!::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER) != boxOwner) return TRUE;
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(boxButton, 1), 0);
    return FALSE;
}

void CALLBACK Press(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!::EnumThreadWindows(::GetCurrentThreadId(), PressIfBox, 0)) ::KillTimer(nullptr, timer);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    boxButton = ui::CSkinMessageBox::kCloseButton;
    ::EnumThreadWindows(::GetCurrentThreadId(), PressIfBox, 0);
}

}  // namespace

int AnswerBox(HWND owner, const std::string& text, UINT type, int button) {
    boxOwner = owner;
    boxButton = button;
    const UINT_PTR press = ::SetTimer(nullptr, 0, 50, Press);
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 10000, Watchdog);
    const int answer = ui::CMessageBoxWindow(true).DoModal(owner, text, type);
    ::KillTimer(nullptr, press);
    ::KillTimer(nullptr, watchdog);
    return answer;
}

}  // namespace silenttest
