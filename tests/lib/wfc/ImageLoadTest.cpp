// Image decoding: pixels round-tripped through GDI+ encoders, the GIF
// transparent palette key, and every error path.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/wfc/DIB.h"
#include "lib/wfc/Gdiplus.h"
#include "lib/wfc/ImageDecoder.h"
#include "tests/lib/wfc/DrawingTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace {

using lib::wfc::CDIB;
using lib::wfc::ImageLoadInfo;
namespace flat = Gdiplus::DllExports;

class ImageLoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib::wfc::StartupGdiplus()); }
    void TearDown() override { lib::wfc::ShutdownGdiplus(); }
};

// `dib` encoded by the GDI+ encoder of `mimeType`.
std::string Encode(const CDIB& dib, const wchar_t* mimeType) {
    std::vector<BYTE> topDown;
    for (int y = 0; y < dib.Height(); ++y) topDown.insert(topDown.end(), dib.Row(y), dib.Row(y) + dib.Stride());
    Gdiplus::GpBitmap* bitmap = nullptr;
    flat::GdipCreateBitmapFromScan0(dib.Width(), dib.Height(), dib.Stride(), PixelFormat24bppRGB, topDown.data(),
                                    &bitmap);
    UINT count = 0, size = 0;
    flat::GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    flat::GdipGetImageEncoders(count, size, codecs);
    lib::wfc::ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
            flat::GdipSaveImageToStream(bitmap, stream.Get(), &codecs[i].Clsid, nullptr);
        }
    }
    flat::GdipDisposeImage(bitmap);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string bytes(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    stream->Read(&bytes[0], static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

bool LoadBytes(CDIB& dib, const std::string& bytes, ImageLoadInfo* info) {
    return dib.LoadFromStream(lib::wfc::StreamOverCopy(bytes.data(), bytes.size()).Get(), info);
}

TEST_F(ImageLoad, PngAndBmpRoundTripPixelForPixel) {
    CDIB original;
    test::CreatePattern(original, 5, 3, 11);  // odd width: padded rows
    for (const auto& [mime, format] : {std::pair{L"image/png", 6}, std::pair{L"image/bmp", 2}}) {
        CDIB loaded;
        ImageLoadInfo info;
        info.error = 99;
        ASSERT_TRUE(LoadBytes(loaded, Encode(original, mime), &info));
        EXPECT_EQ(format, info.format);
        EXPECT_FALSE(info.hasTransparentColor);
        EXPECT_EQ(0, info.error);
        EXPECT_EQ(3, loaded.Header().biHeight);
        EXPECT_TRUE(test::SamePixels(original, loaded));
    }
}

TEST_F(ImageLoad, GifTransparentEntryGetsAColourNoOtherEntryUses) {
    // Palette black, (0, 0, 1), transparent black, white: the smallest free
    // RGB value is 2, so transparent pixels become blue 2, unlike black ones.
    CDIB dib;
    ImageLoadInfo info;
    ASSERT_TRUE(dib.LoadFromResource("keyed", "SKIN", &info, ::GetModuleHandleA(nullptr)));
    EXPECT_EQ(7, info.format);
    EXPECT_TRUE(info.hasTransparentColor);
    EXPECT_EQ(RGB(0, 0, 2), info.transparentColor);
    ASSERT_EQ((RECT{0, 0, 3, 2}), dib.ClipRect());
    const COLORREF expected[2][3] = {{RGB(0, 0, 0), RGB(0, 0, 2), RGB(0, 0, 1)},
                                     {RGB(255, 255, 255), RGB(0, 0, 2), RGB(0, 0, 0)}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(expected[y][x], test::PixelAt(dib, x, y)) << x << "," << y;
    }
}

TEST_F(ImageLoad, FilesLoadAndEveryFailureHasItsReasonAndLeavesNoBitmap) {
    test::ScratchFolder folder;
    CDIB original, dib;
    test::CreatePattern(original, 9, 7, 4);
    const std::string png = Encode(original, L"image/png");
    test::WriteWholeFile(folder.path() + "image.png", png);
    test::WriteWholeFile(folder.path() + "empty.png", "");
    ImageLoadInfo info;
    ASSERT_TRUE(dib.LoadFromFile((folder.path() + "image.png").c_str(), &info));
    EXPECT_TRUE(test::SamePixels(original, dib));

    const std::pair<std::string, int> files[] = {
        {folder.path() + "missing.png", 1}, {folder.path() + "no folder\\missing.png", 1},
        {folder.path() + "empty.png", 2},   {folder.path(), 2},  // a folder cannot be read as a file
    };
    for (const auto& [path, error] : files) {
        EXPECT_FALSE(dib.LoadFromFile(path.c_str(), &info) || dib.Bits()) << path;
        EXPECT_EQ(error, info.error) << path;
    }
    const std::pair<std::string, int> streams[] = {
        {"", 2}, {"\x89P", 2}, {"just some text, not an image", 3}, {png.substr(0, 3), 3}, {png.substr(0, 40), 3},
    };
    for (const auto& [bytes, error] : streams) {
        EXPECT_FALSE(LoadBytes(dib, bytes, &info) || dib.Bits()) << bytes.size();
        EXPECT_EQ(error, info.error) << bytes.size();
    }
    EXPECT_FALSE(dib.LoadFromStream(nullptr, &info));
    EXPECT_EQ(2, info.error);
    EXPECT_FALSE(dib.LoadFromResource("absent", "SKIN", &info, ::GetModuleHandleA(nullptr)));
    EXPECT_EQ(1, info.error);

    // Damaged anywhere after the signature: no crash, and a bitmap exactly when it succeeds.
    for (std::size_t at = 8; at < png.size(); at += 7) {
        std::string damaged = png;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        const bool loaded = LoadBytes(dib, damaged, nullptr);
        EXPECT_EQ(loaded, dib.Bits() != nullptr) << at;
    }
}

}  // namespace
