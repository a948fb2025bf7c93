// Drawing benchmark: CDIB copies of a whole 480 x 198 24-bit frame (plain,
// colour-keyed, blended) as throughput relative to memcpy of the same bytes,
// and the anti-aliased glyph renderer against DrawTextA on one 40-character
// Japanese line. Rounds alternate the contenders; medians are reported.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/BenchTiming.h"
#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/Font.h"
#include "lib/wfc/GlyphText.h"

namespace {

using lib::wfc::CDIB;

constexpr int kWidth = 480;
constexpr int kHeight = 198;
constexpr int kRounds = 15;
constexpr COLORREF kKey = RGB(255, 0, 255);

// Seconds per call of `work`, timed over `calls` calls.
double PerCall(const std::function<void()>& work, int calls) {
    const double start = bench::Seconds();
    for (int i = 0; i < calls; ++i) work();
    return (bench::Seconds() - start) / calls;
}

// Median seconds per call of each contender, rounds alternating between them.
std::vector<double> Race(const std::vector<std::function<void()>>& contenders, int calls) {
    std::vector<std::vector<double>> times(contenders.size());
    for (const auto& work : contenders) PerCall(work, calls);  // warm caches and glyph caches
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < contenders.size(); ++i) times[i].push_back(PerCall(contenders[i], calls));
    }
    std::vector<double> medians;
    for (const auto& t : times) medians.push_back(bench::Median(t));
    return medians;
}

// A gradient inside an ellipse filling the frame; the corners outside it are
// the key, as in a shaped window. Returns the share of key pixels.
double PaintSource(CDIB& dib) {
    long long keyed = 0;
    for (int y = 0; y < kHeight; ++y) {
        BYTE* p = dib.Row(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const long long dx = 2 * x + 1 - kWidth, dy = 2 * y + 1 - kHeight;
            const bool key = dx * dx * kHeight * kHeight + dy * dy * kWidth * kWidth >
                             static_cast<long long>(kWidth) * kWidth * kHeight * kHeight;
            keyed += key;
            p[0] = key ? 255 : static_cast<BYTE>(x);
            p[1] = key ? 0 : static_cast<BYTE>(y);
            p[2] = key ? 255 : static_cast<BYTE>(x + y);
        }
    }
    return static_cast<double>(keyed) / (kWidth * kHeight);
}

void BenchFrames() {
    CDIB source, dest;
    source.Create(nullptr, kWidth, kHeight, 24);
    dest.Create(nullptr, kWidth, kHeight, 24);
    const double keyShare = PaintSource(source);
    dest.Fill(RGB(30, 60, 90));
    const std::size_t bytes = static_cast<std::size_t>(source.Stride()) * kHeight;
    const auto memcpyFrame = [&] { std::memcpy(dest.Bits(), source.Bits(), bytes); };
    const std::vector<std::function<void()>> contenders = {
        memcpyFrame,
        [&] { dest.Blit(0, 0, kWidth, kHeight, source, 0, 0); },
        [&] { dest.Blit(0, 0, kWidth, kHeight, source, 0, 0, kKey); },
        [&] { dest.BlendBlit(0, 0, kWidth, kHeight, source, 0, 0, 128); },
        [&] { dest.BlendBlit(0, 0, kWidth, kHeight, source, 0, 0, 128, kKey); },
    };
    const char* names[] = {"memcpy", "Blit", "Blit keyed", "BlendBlit 128", "BlendBlit 128 keyed"};
    const std::vector<double> medians = Race(contenders, 200);
    std::printf("frame %dx%d 24-bit, %zu bytes, %.0f%% key pixels (outside an ellipse); median of %d rounds\n",
                kWidth, kHeight, bytes, keyShare * 100, kRounds);
    for (std::size_t i = 0; i < medians.size(); ++i) {
        std::printf("  %-20s %8.1f us/frame  %6.2f GB/s  ratio to memcpy %.2f\n", names[i], medians[i] * 1e6,
                    bytes / medians[i] / 1e9, medians[0] / medians[i]);
    }
}

void BenchGlyphText() {
    CDIB dib;
    dib.Create(nullptr, kWidth, kHeight, 24);
    dib.Fill(RGB(255, 255, 255));
    lib::wfc::CMemDC dc;
    lib::wfc::CFont font;
    LOGFONTA description = lib::wfc::DefaultLogFont();
    description.lfHeight = -16;
    font.Create(description);
    lib::wfc::DCStateSaver saver(dc.Handle());
    saver.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, dib.Handle());
    saver.SelectObject(lib::wfc::DCStateSaver::kFontSlot, font.Handle());
    saver.SetBkMode(TRANSPARENT);
    saver.SetTextColor(RGB(20, 20, 80));

    const char* text =
        "最新の更新情報を確認しています。"
        "しばらくお待ちください。ナビ用ソフトを準備中です";
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    bool drawn = true;
    const std::vector<std::function<void()>> contenders = {
        [&] {
            RECT rect = {4, 80, kWidth - 4, 120};
            drawn = lib::wfc::DrawGlyphText(dc.Handle(), &dib.Header(), dib.Bits(), text, &rect, format, nullptr) &&
                    drawn;
        },
        [&] {
            RECT rect = {4, 80, kWidth - 4, 120};
            ::DrawTextA(dc.Handle(), text, -1, &rect, format | DT_NOPREFIX);
            ::GdiFlush();
        },
    };
    const std::vector<double> medians = Race(contenders, 100);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc.Handle(), sizeof face, face);
    std::printf("glyph text: 40-character Japanese line, %s -> %s, 16 px%s\n", description.lfFaceName, face,
                drawn ? "" : " (DrawGlyphText FAILED)");
    std::printf("  %-20s %8.1f us/call\n", "DrawGlyphText", medians[0] * 1e6);
    std::printf("  %-20s %8.1f us/call\n", "DrawTextA", medians[1] * 1e6);
    std::printf("  DrawGlyphText / DrawTextA time ratio %.2f\n", medians[0] / medians[1]);
}

}  // namespace

int main() {
    BenchFrames();
    BenchGlyphText();
    return 0;
}
