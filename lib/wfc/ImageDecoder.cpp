#include "lib/wfc/ImageDecoder.h"

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "lib/UniqueHandle.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/DIBPixels.h"
#include "lib/wfc/Gdiplus.h"

namespace lib::wfc {
namespace {

namespace flat = Gdiplus::DllExports;

struct GlobalTraits {
    using handle_type = HGLOBAL;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::GlobalFree(h); }
};
using GlobalBlock = lib::UniqueHandle<GlobalTraits>;

// GDI+ running for the lifetime of the object, when it could be started.
class GdiplusSession {
public:
    GdiplusSession() : started_(StartupGdiplus()) {}
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (started_) ShutdownGdiplus();
    }
    bool started() const noexcept { return started_; }

private:
    bool started_;
};

struct BitmapDisposer {
    void operator()(Gdiplus::GpBitmap* bitmap) const noexcept { flat::GdipDisposeImage(bitmap); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::GpBitmap, BitmapDisposer>;

bool Fail(CDIB* dib, ImageLoadInfo* info, int error) {
    dib->Release();
    if (info) info->error = error;
    return false;
}

// The GDI+ raw formats share all but the first part of their GUID:
// b96b3caa-0728-11d3-9d7b-0000f81ef32e (memory bitmap) onwards.
int FormatOf(const GUID& raw) {
    constexpr GUID kMemoryBitmap = {0xb96b3caa, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    if (raw.Data2 != kMemoryBitmap.Data2 || raw.Data3 != kMemoryBitmap.Data3 ||
        std::memcmp(raw.Data4, kMemoryBitmap.Data4, sizeof raw.Data4) != 0) {
        return ImageLoadInfo::kUnknown;
    }
    switch (raw.Data1 - kMemoryBitmap.Data1) {
        case 0: return ImageLoadInfo::kMemoryBitmap;
        case 1: return ImageLoadInfo::kBmp;
        case 2: return ImageLoadInfo::kEmf;
        case 3: return ImageLoadInfo::kWmf;
        case 4: return ImageLoadInfo::kJpeg;
        case 5: return ImageLoadInfo::kPng;
        case 6: return ImageLoadInfo::kGif;
        case 7: return ImageLoadInfo::kTiff;
        case 8: return ImageLoadInfo::kExif;
        case 11: return ImageLoadInfo::kIcon;
        default: return ImageLoadInfo::kUnknown;
    }
}

// The image's palette as GDI+ stores it (header and entries); empty when it
// has none or reports one that does not fit its own size.
std::vector<BYTE> PaletteOf(Gdiplus::GpBitmap* bitmap) {
    INT size = 0;
    if (flat::GdipGetImagePaletteSize(bitmap, &size) != Gdiplus::Ok ||
        size < static_cast<INT>(sizeof(Gdiplus::ColorPalette))) {
        return {};
    }
    std::vector<BYTE> buffer(static_cast<std::size_t>(size));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
    if (flat::GdipGetImagePalette(bitmap, palette, size) != Gdiplus::Ok) return {};
    const std::size_t room = (buffer.size() - offsetof(Gdiplus::ColorPalette, Entries)) / sizeof(Gdiplus::ARGB);
    if (palette->Count > room) return {};
    return buffer;
}

// Index of the first fully transparent entry of a palette with alpha, or -1.
int TransparentEntry(const Gdiplus::ColorPalette& palette) {
    if (!(palette.Flags & Gdiplus::PaletteFlagsHasAlpha)) return -1;
    for (UINT i = 0; i < palette.Count; ++i) {
        if ((palette.Entries[i] >> 24) == 0) return static_cast<int>(i);
    }
    return -1;
}

// Gives the transparent entry the smallest colour no other entry has, so
// that it keys exactly the transparent pixels once alpha is gone.
void MakeUnique(Gdiplus::ColorPalette& palette, int entry) {
    for (Gdiplus::ARGB rgb = 0;; ++rgb) {
        bool used = false;
        for (UINT i = 0; i < palette.Count && !used; ++i) {
            used = static_cast<int>(i) != entry && (palette.Entries[i] & 0xFFFFFF) == rgb;
        }
        if (!used) {
            palette.Entries[entry] = (palette.Entries[entry] & 0xFF000000) | rgb;
            return;
        }
    }
}

bool Decode(IStream* stream, CDIB* dib, ImageLoadInfo* info) {
    BYTE head[3];
    ULONG read = 0;
    if (!stream || FAILED(stream->Read(head, sizeof head, &read)) || read < sizeof head) {
        return Fail(dib, info, ImageLoadInfo::kReadFailed);
    }
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr))) {
        return Fail(dib, info, ImageLoadInfo::kReadFailed);
    }

    Gdiplus::GpBitmap* created = nullptr;
    if (flat::GdipCreateBitmapFromStream(stream, &created) != Gdiplus::Ok || !created) {
        return Fail(dib, info, ImageLoadInfo::kDecodeFailed);
    }
    const BitmapPtr bitmap(created);

    GUID raw{};
    const int format = flat::GdipGetImageRawFormat(bitmap.get(), &raw) == Gdiplus::Ok ? FormatOf(raw)
                                                                                       : ImageLoadInfo::kUnknown;
    std::vector<BYTE> paletteBuffer = PaletteOf(bitmap.get());
    auto* palette = paletteBuffer.empty() ? nullptr : reinterpret_cast<Gdiplus::ColorPalette*>(paletteBuffer.data());
    const int transparent = palette ? TransparentEntry(*palette) : -1;
    if (format == ImageLoadInfo::kGif && transparent >= 0) {
        const Gdiplus::ARGB original = palette->Entries[transparent];
        MakeUnique(*palette, transparent);
        // Unchanged, the key stays the colour the pixels really get.
        if (flat::GdipSetImagePalette(bitmap.get(), palette) != Gdiplus::Ok) palette->Entries[transparent] = original;
    }

    UINT width = 0, height = 0;
    if (flat::GdipGetImageWidth(bitmap.get(), &width) != Gdiplus::Ok ||
        flat::GdipGetImageHeight(bitmap.get(), &height) != Gdiplus::Ok || width == 0 || height == 0 ||
        width > INT_MAX || height > INT_MAX) {
        return Fail(dib, info, ImageLoadInfo::kDecodeFailed);
    }
    dib->Create(nullptr, static_cast<int>(width), static_cast<int>(height), 24);

    const Gdiplus::GpRect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = dib->Stride();
    data.PixelFormat = PixelFormat24bppRGB;
    data.Scan0 = dib->Bits();
    if (flat::GdipBitmapLockBits(bitmap.get(), &whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                 PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
        return Fail(dib, info, ImageLoadInfo::kDecodeFailed);
    }
    flat::GdipBitmapUnlockBits(bitmap.get(), &data);

    if (info) {
        info->format = format;
        info->hasTransparentColor = transparent >= 0;
        if (transparent >= 0) info->transparentColor = pixels::UnpackColor(palette->Entries[transparent]);
    }
    // GDI+ wrote the top row first; the bitmap keeps it last.
    const std::size_t rowBytes = static_cast<std::size_t>(dib->Stride());
    for (int i = 0; i < dib->Height() / 2; ++i) {
        BYTE* upper = dib->Bits() + i * rowBytes;
        std::swap_ranges(upper, upper + rowBytes, dib->Bits() + (dib->Height() - 1 - i) * rowBytes);
    }
    return true;
}

// A stream that owns `block`, exactly `size` bytes long.
ComPtr<IStream> StreamOverBlock(GlobalBlock block, std::size_t size) {
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, stream.Receive()))) return {};
    block.release();
    ULARGE_INTEGER length{};
    length.QuadPart = size;
    if (FAILED(stream->SetSize(length))) return {};
    return stream;
}

// A fixed block of at least one byte, so that empty data still has one.
GlobalBlock AllocateBlock(std::size_t size) {
    return GlobalBlock(::GlobalAlloc(GMEM_FIXED, std::max<std::size_t>(size, 1)));
}

}  // namespace

bool DecodeImage(IStream* stream, CDIB* dib, ImageLoadInfo* info) {
    if (info) *info = ImageLoadInfo{};
    const GdiplusSession gdiplus;
    if (!gdiplus.started()) return Fail(dib, info, ImageLoadInfo::kDecodeFailed);
    try {
        return Decode(stream, dib, info);
    } catch (const std::bad_alloc&) {
        return Fail(dib, info, ImageLoadInfo::kDecodeFailed);
    }
}

ComPtr<IStream> StreamOverCopy(const void* data, std::size_t size) {
    GlobalBlock block = AllocateBlock(size);
    if (!block) return {};
    if (size) std::memcpy(block.get(), data, size);
    return StreamOverBlock(std::move(block), size);
}

bool DecodeImageFile(const char* path, CDIB* dib, ImageLoadInfo* info) {
    if (info) *info = ImageLoadInfo{};
    lib::FileHandle file(path ? ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                              : INVALID_HANDLE_VALUE);
    if (!file) {
        const DWORD error = path ? ::GetLastError() : ERROR_FILE_NOT_FOUND;
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return Fail(dib, info, missing ? ImageLoadInfo::kNotFound : ImageLoadInfo::kReadFailed);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX) {
        return Fail(dib, info, ImageLoadInfo::kReadFailed);
    }
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    GlobalBlock block = AllocateBlock(length);
    DWORD read = 0;
    if (!block || !::ReadFile(file.get(), block.get(), length, &read, nullptr) || read != length) {
        return Fail(dib, info, ImageLoadInfo::kReadFailed);
    }
    const ComPtr<IStream> stream = StreamOverBlock(std::move(block), length);
    if (!stream.Get()) return Fail(dib, info, ImageLoadInfo::kReadFailed);
    return DecodeImage(stream.Get(), dib, info);
}

bool DecodeImageResource(HMODULE module, const char* name, const char* type, CDIB* dib, ImageLoadInfo* info) {
    if (info) *info = ImageLoadInfo{};
    HRSRC found = ::FindResourceA(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return Fail(dib, info, ImageLoadInfo::kNotFound);
    const ComPtr<IStream> stream = StreamOverCopy(data, size);
    if (!stream.Get()) return Fail(dib, info, ImageLoadInfo::kReadFailed);
    return DecodeImage(stream.Get(), dib, info);
}

}  // namespace lib::wfc
