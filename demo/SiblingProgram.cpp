// Stands in for one of the suite's sibling programs in the demo suite: a small
// window that shows which program this is, its file version (read from its
// own file, so it shows what is really installed) and how it was started.
// SIBLING_KIND selects the program: 2 update manager, 3 MSV title editor,
// 4 camera-unit manager (the launcher's component numbers).
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "lib/ProgramFiles.h"
#include "lib/UniqueHandle.h"

#ifndef SIBLING_KIND
#error SIBLING_KIND must be 2, 3 or 4
#endif

namespace {

struct Sibling {
    const wchar_t* programFile;
    const wchar_t* title;
    // The real program's window title, which the updater's remove-all mode
    // closes by name; a hidden window of that title ends this stand-in.
    const wchar_t* closeTitle;
    const wchar_t* mutexName;
};

#if SIBLING_KIND == 2
constexpr Sibling kSibling = {L"Ravelin_UpdateManager.exe", L"Ravelin アップデートマネージャー（デモ）", L"Ravelin",
                              L"RavelinDemo_UpdateManager"};
#elif SIBLING_KIND == 3
constexpr Sibling kSibling = {L"Ravelin_MSVTitleEditor.exe", L"MSV タイトルエディター（デモ）",
                              L"Corvane3 Lumora MSV Title Editor", L"RavelinDemo_MSVTitleEditor"};
#elif SIBLING_KIND == 4
constexpr Sibling kSibling = {L"Ravelin_VantorManager.exe", L"カメラユニットマネージャー（デモ）", L"VantorManager",
                              L"RavelinDemo_VantorManager"};
#else
#error SIBLING_KIND must be 2, 3 or 4
#endif

constexpr wchar_t kMainClass[] = L"RavelinDemoSibling";
constexpr wchar_t kCloseTargetClass[] = L"RavelinDemoSiblingCloseTarget";

struct FontHandleTraits {
    using handle_type = HFONT;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DeleteObject(h); }
};
using FontHandle = lib::UniqueHandle<FontHandleTraits>;

HWND mainWindow = nullptr;
FontHandle font;
std::vector<std::wstring> lines;

// "major.minor.build.revision" of the fixed file information, or a note.
std::wstring FileVersionOf(const std::wstring& path) {
    const std::string version = lib::FileVersionText(path, 4);
    return version.empty() ? L"(バージョン情報を読めません)" : std::wstring(version.begin(), version.end());
}

void BuildLines() {
    const std::wstring path = lib::OwnProgramPath();
    lines = {
        std::wstring(L"プログラム：") + kSibling.programFile,
        L"ファイルバージョン：" + FileVersionOf(path),
        std::wstring(L"コマンドライン：") + ::GetCommandLineW(),
        L"場所：" + path,
        L"Ravelin デモ用の代替プログラムです。",
    };
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    if (!dc) return;
    const HGDIOBJ previous = font ? ::SelectObject(dc, font.get()) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    RECT client;
    ::GetClientRect(window, &client);
    RECT line = {16, 16, client.right - 16, client.bottom};
    for (const std::wstring& text : lines) {
        RECT measured = line;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
                    DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        line.top += (measured.bottom - measured.top) + 8;
    }
    if (previous) ::SelectObject(dc, previous);
    ::EndPaint(window, &paint);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            mainWindow = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
        }
    } catch (const std::exception&) {
        // Painting needs memory for its texts; without it the window stays blank.
        if (message == WM_PAINT) ::ValidateRect(window, nullptr);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Closing the hidden window closes the program, as it would close the real one.
LRESULT CALLBACK CloseTargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (mainWindow) ::DestroyWindow(mainWindow);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = &MainProc;
    main.hInstance = instance;
    main.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW, which is narrow here
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    main.lpszClassName = kMainClass;
    WNDCLASSEXW target{};
    target.cbSize = sizeof target;
    target.lpfnWndProc = &CloseTargetProc;
    target.hInstance = instance;
    target.lpszClassName = kCloseTargetClass;
    return ::RegisterClassExW(&main) && ::RegisterClassExW(&target);
}

// A second start shows the running instance instead.
bool ShowRunningInstance() {
    HWND running = ::FindWindowW(kMainClass, kSibling.title);
    if (!running) return false;
    ::ShowWindow(running, SW_RESTORE);
    ::SetForegroundWindow(running);
    return true;
}

int Run(HINSTANCE instance, int show) {
    lib::KernelHandle single(::CreateMutexW(nullptr, FALSE, kSibling.mutexName));
    if (single && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowRunningInstance();
        return 0;
    }
    BuildLines();
    font.reset(::CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS PGothic"));
    if (!RegisterClasses(instance)) return 1;
    mainWindow = ::CreateWindowExW(0, kMainClass, kSibling.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                   620, 260, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return 1;
    // A hidden child holds the command line, so that it can be read from outside.
    ::CreateWindowExW(0, L"STATIC", ::GetCommandLineW(), WS_CHILD, 0, 0, 0, 0, mainWindow, nullptr, instance,
                      nullptr);
    HWND closeTarget = ::CreateWindowExW(0, kCloseTargetClass, kSibling.closeTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, instance, nullptr);
    ::ShowWindow(mainWindow, show);
    ::UpdateWindow(mainWindow);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (closeTarget) ::DestroyWindow(closeTarget);
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    try {
        return Run(instance, show);
    } catch (const std::exception&) {
        return 1;
    }
}
