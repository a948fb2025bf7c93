#pragma once
#include <windows.h>

namespace lib::wfc {

// What an image load found, or why it failed.
struct ImageLoadInfo {
    enum Format : int {
        kUnknown = 0, kMemoryBitmap = 1, kBmp = 2, kEmf = 3, kWmf = 4, kJpeg = 5,
        kPng = 6, kGif = 7, kTiff = 8, kExif = 9, kIcon = 10
    };
    enum Error : int { kNone = 0, kNotFound = 1, kReadFailed = 2, kDecodeFailed = 3 };

    int format = kUnknown;
    bool hasTransparentColor = false;
    COLORREF transparentColor = 0;  // meaningful with hasTransparentColor
    int error = kNone;
};

}  // namespace lib::wfc
