// Skin window benchmark, with the shipped skin:
// (a) a message box from Build to its first paint (ShowWindow, UpdateWindow)
//     against a bare CreateWindowEx window of the same size whose WM_PAINT
//     fills the client area; the skin definition is cached and its images
//     are held by another box, as while any box of the launcher is open.
//     Destroying the windows is not timed. The same with the images decoded
//     anew for each box is printed for comparison.
// (b) one full back-buffer rebuild of the 480 x 198 silent-install window
//     against memcpy of a buffer of the same size, then the rebuild's steps
//     one by one, each item painted over the pixels a rebuild gives it.
// Rounds alternate the contenders; medians of 20 are reported.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "lib/UniqueHandle.h"
#include "lib/wfc/Framework.h"
#include "lib/wfc/ThreadContext.h"
#include "tests/ui/SkinPreviewWindow.h"
#include "lib/wfc/RegionWindow.h"
#include "ui/CSkinWindowException.h"
#include "ui/MessageBoxWindow.h"
#include "ui/PixelBytes.h"
#include "ui/SkinError.h"

namespace {

constexpr int kSamples = 20;
constexpr int kRebuildsPerSample = 10;
constexpr int kCopiesPerSample = 100;
constexpr double kBoxGoal = 3.0;
constexpr double kRebuildGoal = 20.0;
constexpr const char* kBareClass = "SkinWindowBenchBare";
constexpr const char* kBoxText =
    "バージョンアップが完了するまではRavelinをお使いになれません。\r\n"
    "バージョンアップを中止してよろしいですか？";

// A benchmark must never wait on the "Skin Load" box.
void PrintSkinError(const std::string& text) { std::fprintf(stderr, "skin error: %s\n", text.c_str()); }

// Runs what is queued now (posted wake-ups and overlay messages of destroyed windows).
void PumpPending() {
    MSG message;
    for (int n = 0; n < 10000 && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (message.message == WM_QUIT) break;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
        ::EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterBareClass() {
    WNDCLASSA type{};
    type.lpfnWndProc = BareWindowProc;
    type.hInstance = ::GetModuleHandleA(nullptr);
    type.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    type.lpszClassName = kBareClass;
    return ::RegisterClassA(&type) != 0;
}

// Seconds from creation to the first paint of a bare window of width x height.
double BareToFirstPaint(int width, int height) {
    const double start = bench::Seconds();
    const HWND window = ::CreateWindowExA(WS_EX_TOPMOST, kBareClass, "bare", WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU,
                                          100, 100, width, height, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                                          nullptr);
    const lib::WindowHandle destroyer(window);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    return bench::Seconds() - start;
}

// Seconds from Build to the first paint of a message box (MB_OKCANCEL, two lines).
double BoxToFirstPaint(SIZE* size, std::vector<double> (*stepTimes)[3] = nullptr) {
    ui::CMessageBoxWindow box(true);
    const double start = bench::Seconds();
    box.Build(nullptr, kBoxText, MB_OKCANCEL);
    const double built = bench::Seconds();
    const lib::WindowHandle destroyer(box.GetHandle());
    box.ShowWindow(SW_SHOW);
    const double shown = bench::Seconds();
    box.UpdateWindow();
    const double elapsed = bench::Seconds() - start;
    if (stepTimes) {
        (*stepTimes)[0].push_back(built - start);
        (*stepTimes)[1].push_back(shown - built);
        (*stepTimes)[2].push_back(bench::Seconds() - shown);
    }
    if (size) {
        const RECT frame = box.GetWindowRect();
        *size = SIZE{frame.right - frame.left, frame.bottom - frame.top};
    }
    return elapsed;
}

// Median seconds of each contender; each round runs them in turn.
std::vector<double> Race(const std::vector<std::function<double()>>& contenders) {
    std::vector<std::vector<double>> times(contenders.size());
    for (const auto& run : contenders) {
        run();  // warm caches
        PumpPending();
    }
    for (int round = 0; round < kSamples; ++round) {
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            times[i].push_back(contenders[i]());
            PumpPending();
        }
    }
    std::vector<double> medians;
    for (const auto& t : times) medians.push_back(bench::Median(t));
    return medians;
}

// Median over the samples of the microseconds per call of `work`.
double MedianMicroseconds(const std::function<void()>& work, int calls = kRebuildsPerSample) {
    std::vector<double> samples;
    work();
    for (int round = 0; round < kSamples; ++round) {
        const double start = bench::Seconds();
        for (int n = 0; n < calls; ++n) work();
        samples.push_back((bench::Seconds() - start) / calls * 1e6);
    }
    return bench::Median(samples);
}

void BenchMessageBox() {
    SIZE size{};
    BoxToFirstPaint(&size);
    PumpPending();
    // Without a box alive its images go with the last one and are decoded anew.
    const std::vector<double> uncached = Race({[&] { return BareToFirstPaint(size.cx, size.cy); },
                                               [] { return BoxToFirstPaint(nullptr); }});
    // A box kept alive (hidden) holds the images in the cache.
    ui::CMessageBoxWindow holder(true);
    holder.Build(nullptr, kBoxText, MB_OKCANCEL);
    const lib::WindowHandle destroyer(holder.GetHandle());
    std::vector<double> steps[3];
    const std::vector<double> cached = Race({[&] { return BareToFirstPaint(size.cx, size.cy); },
                                             [&] { return BoxToFirstPaint(nullptr, &steps); }});

    std::printf("(a) message box %ldx%ld, MB_OKCANCEL, Build + ShowWindow + UpdateWindow; median of %d\n", size.cx,
                size.cy, kSamples);
    std::printf("    bare CreateWindowEx window      %8.1f us\n", cached[0] * 1e6);
    std::printf("    message box, skin cached        %8.1f us   ratio %.2f   goal <= %.0f: %s\n", cached[1] * 1e6,
                cached[1] / cached[0], kBoxGoal, cached[1] / cached[0] <= kBoxGoal ? "met" : "MISSED");
    std::printf("    message box, images decoded     %8.1f us   ratio %.2f   (bare %.1f us; for comparison)\n",
                uncached[1] * 1e6, uncached[1] / uncached[0], uncached[0] * 1e6);
    std::printf("    cached box by step: Build %.1f us, ShowWindow %.1f us, UpdateWindow %.1f us\n",
                bench::Median(steps[0]) * 1e6, bench::Median(steps[1]) * 1e6, bench::Median(steps[2]) * 1e6);
    // Parts of those steps: a box composes its buffer at creation, at its
    // sizing and at its activation, and makes a tooltip control.
    const RECT client = holder.GetClientRect();
    std::printf("    its parts: one full rebuild of the box %.1f us; one tooltip control made and destroyed %.1f us\n",
                MedianMicroseconds([&] { holder.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom); }),
                MedianMicroseconds([] {
                    const lib::WindowHandle tooltip(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                                                    CW_USEDEFAULT, nullptr, nullptr,
                                                                    ::GetModuleHandleA(nullptr), nullptr));
                }));
}

const char* ItemName(int id) {
    using W = skintest::CSkinPreviewWindow;
    switch (id) {
    case W::kBaseGroup: return "BaseGroup";
    case W::kImageBack: return "ImageBack";
    case W::kImageBar: return "ImageBar";
    case W::kApplicationIcon: return "ApplicationIcon";
    case W::kCloseButton: return "CloseButton";
    case W::kMinimizeButton: return "MinimizeButton";
    case W::kCancelButton: return "CancelButton";
    case W::kMessageText: return "MessageText";
    case W::kTimeText: return "TimeText";
    default: return "?";
    }
}

void BenchRebuild() {
    skintest::CSkinPreviewWindow window(skintest::PreviewKind::SilentInstall);
    window.Make();
    window.ShowProgress("新しいバージョンのRavelinをダウンロードしています。\r\nしばらくお待ちください...",
                        "キャンセル", 45);
    PumpPending();
    const RECT client = window.GetClientRect();
    window.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
    const lib::wfc::CDIB& buffer = window.GetBackBuffer();
    const std::size_t bytes = static_cast<std::size_t>(buffer.Stride()) * buffer.Height();
    std::vector<BYTE> copy(bytes);
    unsigned sink = 0;

    const std::vector<double> medians = Race({
        [&] {
            const double start = bench::Seconds();
            for (int n = 0; n < kCopiesPerSample; ++n) {
                std::memcpy(copy.data(), window.GetBackBuffer().Bits(), bytes);
                sink += copy[static_cast<std::size_t>(n) % bytes];
            }
            return (bench::Seconds() - start) / kCopiesPerSample;
        },
        [&] {
            const double start = bench::Seconds();
            for (int n = 0; n < kRebuildsPerSample; ++n) {
                window.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
            }
            return (bench::Seconds() - start) / kRebuildsPerSample;
        },
    });
    std::printf("(b) silent-install window %ldx%ld back buffer (%zu bytes), RebuildBackBuffer; median of %d\n",
                client.right, client.bottom, bytes, kSamples);
    std::printf("    memcpy of the buffer            %8.1f us\n", medians[0] * 1e6);
    std::printf("    full rebuild                    %8.1f us   ratio %.2f   goal <= %.0f: %s\n", medians[1] * 1e6,
                medians[1] / medians[0], kRebuildGoal, medians[1] / medians[0] <= kRebuildGoal ? "met" : "MISSED");
    if (sink == 0xFFFFFFFFu) std::printf("%u\n", sink);  // keeps the copies

    // Where a rebuild's time goes: the same steps one by one, each on the
    // pixels it meets in a rebuild (items whose drawing is remembered only
    // replay it over the same pixels).
    std::printf("    its steps:\n");
    lib::wfc::CDIB& own = window.GetBackBuffer();
    std::printf("      black fill of the kept buffer %8.1f us\n", MedianMicroseconds([&] { own.Fill(RGB(0, 0, 0)); }));
    lib::wfc::CDIB scratch;
    std::printf("      (a new buffer, first filled    %8.1f us)\n", MedianMicroseconds([&] {
                    scratch.Create(nullptr, client.right, client.bottom);
                    scratch.Fill(RGB(0, 0, 0));
                }));
    std::printf("      background nine-grid          %8.1f us\n", MedianMicroseconds([&] {
                    const ui::CLockedSkinImage image = window.GetActiveImage();
                    window.DrawBackground(0, 0, own, image.Image(), nullptr);
                }));
    const double restore = MedianMicroseconds([&] { std::memcpy(own.Bits(), copy.data(), bytes); }, 100);
    const auto& items = window.Items();
    for (std::size_t at = 0; at < items.size(); ++at) {
        ui::CSkinWindowItem& painted = *items[at];
        if (!painted.IsVisible()) continue;
        // The buffer as the rebuild leaves it just before this item.
        std::vector<ui::CSkinWindowItem*> hidden;
        for (std::size_t later = at; later < items.size(); ++later) {
            if (items[later]->IsVisible()) hidden.push_back(items[later].get());
        }
        for (ui::CSkinWindowItem* item : hidden) item->SetVisible(false);
        window.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
        std::memcpy(copy.data(), own.Bits(), bytes);
        for (ui::CSkinWindowItem* item : hidden) item->SetVisible(true);
        const double withRestore = MedianMicroseconds([&] {
            std::memcpy(own.Bits(), copy.data(), bytes);
            painted.Paint();
        });
        std::printf("      item %-24s %8.1f us\n", ItemName(painted.GetId()), std::max(0.0, withRestore - restore));
    }
    window.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
    // The shape is made again only when the composed pixels differ from those it was made from.
    std::memcpy(copy.data(), own.Bits(), bytes);
    std::printf("      shape kept: pixels compared   %8.1f us\n", MedianMicroseconds([&] {
                    sink += ui::SameBytes(copy.data(), own.Bits(), bytes) ? 1 : 0;
                }));
    std::printf("      (shape made from the buffer   %8.1f us)\n", MedianMicroseconds([&] {
                    lib::wfc::CRegionWindow::CreateRegionFromDIB(own, 0, 0, client.right, client.bottom,
                                                                 ui::CSkinWindow::kShapeKey);
                }));
    std::printf("      tooltip rectangles            %8.1f us\n", MedianMicroseconds([&] {
                    for (const auto& item : window.Items()) window.UpdateItemTooltip(*item);
                }));
}

}  // namespace

int main() {
    ui::SetSkinErrorReporter(&PrintSkinError);
    lib::wfc::Initialize(::GetModuleHandleA(nullptr), "skin_window_bench", nullptr, nullptr);
    lib::wfc::AttachThread();
    int result = 0;
    try {
        if (!RegisterBareClass()) throw std::runtime_error("RegisterClassA failed");
        BenchRebuild();
        BenchMessageBox();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "skin_window_bench: %s\n", failure.what());
        result = 1;
    }
    lib::wfc::DetachThread();
    lib::wfc::Terminate();
    return result;
}
