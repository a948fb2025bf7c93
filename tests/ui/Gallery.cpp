#include "tests/ui/Gallery.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdlib>
#include <memory>

#include "lib/AnsiText.h"
#include "lib/wfc/Gdiplus.h"
#include "tests/support/ScratchFolder.h"

namespace skintest {
namespace {

namespace flat = Gdiplus::DllExports;

// The PNG encoder of GDI+ ({557CF406-1A04-11D3-9A73-0000F81EF32E}).
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Pictures differ by at most this much per channel and still match: font
// smoothing may differ in the last bit between the 32- and 64-bit builds.
constexpr int kChannelTolerance = 24;
// and at most this share of pixels may differ by more.
constexpr double kDifferingShare = 0.002;

struct BitmapDisposer {
    void operator()(Gdiplus::GpBitmap* bitmap) const noexcept { flat::GdipDisposeImage(bitmap); }
};

std::string HtmlEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '<') escaped += "&lt;";
        else if (c == '>') escaped += "&gt;";
        else if (c == '&') escaped += "&amp;";
        else escaped += c;
    }
    return escaped;
}

// The page is UTF-8; captions are written in the ANSI code page.
std::string Utf8(const std::string& ansi) {
    const std::wstring wide = lib::FromAnsi(ansi);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

}  // namespace

bool SaveDibAsPng(const lib::wfc::CDIB& dib, const std::string& path) {
    if (!dib.IsDrawable() || !lib::wfc::StartupGdiplus()) return false;
    bool saved = false;
    {
        Gdiplus::GpBitmap* raw = nullptr;
        // Rows from the top: a negative stride walks a bottom-up DIB upwards.
        if (flat::GdipCreateBitmapFromScan0(dib.Width(), dib.Height(), -dib.Stride(), PixelFormat24bppRGB,
                                            dib.Row(0), &raw) == Gdiplus::Ok) {
            const std::unique_ptr<Gdiplus::GpBitmap, BitmapDisposer> bitmap(raw);
            saved = flat::GdipSaveImageToFile(bitmap.get(), lib::FromAnsi(path).c_str(), &kPngEncoder, nullptr) ==
                    Gdiplus::Ok;
        }
    }
    lib::wfc::ShutdownGdiplus();
    return saved;
}

ImageDifference CompareImages(const lib::wfc::CDIB& actual, const lib::wfc::CDIB& expected, int tolerance) {
    ImageDifference difference;
    difference.sameSize = actual.Width() == expected.Width() && actual.Height() == expected.Height();
    if (!difference.sameSize) return difference;
    difference.total = actual.Width() * actual.Height();
    for (int y = 0; y < actual.Height(); ++y) {
        const BYTE* a = actual.Row(y);
        const BYTE* b = expected.Row(y);
        for (int x = 0; x < actual.Width() * 3; x += 3) {
            for (int channel = 0; channel < 3; ++channel) {
                if (std::abs(a[x + channel] - b[x + channel]) > tolerance) {
                    ++difference.differing;
                    break;
                }
            }
        }
    }
    return difference;
}

Gallery::Gallery(std::string outputFolder, std::string referenceFolder)
    : output_(std::move(outputFolder)), reference_(std::move(referenceFolder)) {
    const char* update = std::getenv("RAVELIN_GALLERY_UPDATE");
    updating_ = update && std::string(update) == "1";
    ::CreateDirectoryA(output_.c_str(), nullptr);
}

std::string Gallery::Add(const std::string& name, const std::string& caption, const lib::wfc::CDIB& picture) {
    const std::string file = name + ".png";
    Shot shot{file, caption, ""};
    if (!SaveDibAsPng(picture, output_ + file)) {
        shot.result = "could not be saved";
    } else if (updating_) {
        if (!SaveDibAsPng(picture, reference_ + file)) shot.result = "reference could not be written";
    } else {
        lib::wfc::CDIB expected;
        if (!expected.LoadFromFile((reference_ + file).c_str(), nullptr)) {
            shot.result = "no reference " + reference_ + file;
        } else {
            const ImageDifference difference = CompareImages(picture, expected, kChannelTolerance);
            if (!difference.sameSize) {
                shot.result = "size differs from the reference";
            } else if (difference.differing > difference.total * kDifferingShare) {
                shot.result = std::to_string(difference.differing) + " of " + std::to_string(difference.total) +
                              " pixels differ from the reference";
            }
        }
    }
    shots_.push_back(shot);
    return shot.result;
}

void Gallery::WriteIndex() const {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>Ravelin windows</title>\n"
        "<style>body{font-family:sans-serif;background:#e8ecf1;margin:24px}"
        "figure{display:inline-block;vertical-align:top;margin:12px;padding:12px;background:#fff;"
        "border-radius:8px;box-shadow:0 1px 4px #0003}img{background:repeating-conic-gradient(#ddd 0 25%,#fff 0 50%)"
        " 0 0/16px 16px}figcaption{margin-top:8px;font-size:14px}.bad{color:#c00}</style></head><body>\n"
        "<h1>Ravelin windows</h1>\n";
    for (const Shot& shot : shots_) {
        page += "<figure><img src=\"" + shot.name + "\" alt=\"\"><figcaption><b>" + HtmlEscaped(Utf8(shot.caption)) +
                "</b> &middot; " + shot.name;
        if (!shot.result.empty()) page += "<br><span class=\"bad\">" + HtmlEscaped(shot.result) + "</span>";
        page += "</figcaption></figure>\n";
    }
    page += "</body></html>\n";
    test::WriteWholeFile(output_ + "index.html", page);
}

}  // namespace skintest
