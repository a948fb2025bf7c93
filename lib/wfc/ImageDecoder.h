#pragma once
// Image decoding through GDI+ into a 24-bit CDIB. Bad data never throws: the
// functions return false with the reason in info->error (info may be null)
// and leave the bitmap empty.
#include <windows.h>
#include <objidl.h>

#include <cstddef>

#include "lib/wfc/ComPtr.h"
#include "lib/wfc/ImageLoadInfo.h"

namespace lib::wfc {

class CDIB;

bool DecodeImage(IStream* stream, CDIB* dib, ImageLoadInfo* info);
bool DecodeImageFile(const char* path, CDIB* dib, ImageLoadInfo* info);
bool DecodeImageResource(HMODULE module, const char* name, const char* type, CDIB* dib, ImageLoadInfo* info);

// A stream over a copy of `size` bytes (null when memory runs out).
ComPtr<IStream> StreamOverCopy(const void* data, std::size_t size);

}  // namespace lib::wfc
