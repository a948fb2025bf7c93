#pragma once
// The process-wide cache of decoded skin images. Windows of any thread share
// one decoded image per name (ASCII case folded); each window keeps the list
// of names its items acquired, and the last list to release a name frees the
// image. One lock guards the map, and each image has its own lock, held while
// it is drawn from.
#include <cstddef>
#include <string>
#include <vector>

#include "lib/wfc/CriticalSection.h"
#include "lib/wfc/DIB.h"

namespace ui {

class CCachedDIBImpl : public lib::wfc::CCriticalSection {
public:
    explicit CCachedDIBImpl(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const noexcept { return name_; }
    lib::wfc::CDIB& Image() noexcept { return image_; }
    // Lists holding this image; changed under the image's own lock.
    int references = 1;

private:
    std::string name_;
    lib::wfc::CDIB image_;
};

// A cached image held locked for drawing; empty when the name is not cached.
class CLockedSkinImage {
public:
    explicit CLockedSkinImage(CCachedDIBImpl* entry) noexcept;
    CLockedSkinImage(CLockedSkinImage&& other) noexcept;
    CLockedSkinImage(const CLockedSkinImage&) = delete;
    CLockedSkinImage& operator=(const CLockedSkinImage&) = delete;
    CLockedSkinImage& operator=(CLockedSkinImage&&) = delete;
    ~CLockedSkinImage();

    explicit operator bool() const noexcept { return entry_ != nullptr; }
    const lib::wfc::CDIB& Image() const noexcept { return entry_->Image(); }

private:
    CCachedDIBImpl* entry_;
};

// The image names one window acquired; releases them when it goes.
class CSkinImageList {
public:
    CSkinImageList() = default;
    CSkinImageList(const CSkinImageList&) = delete;
    CSkinImageList& operator=(const CSkinImageList&) = delete;
    ~CSkinImageList();

    // Decodes the image on its first use in the process. A name ending in
    // "/lang" comes from the language module, others from the image module.
    // An image that cannot be decoded is reported as "<name>が読み込めません.".
    void Acquire(const std::string& name);
    void Release() noexcept;
    // The image of an acquired name, locked for drawing.
    CLockedSkinImage Lock(const std::string& name) const;

    const std::vector<std::string>& Names() const noexcept { return names_; }

private:
    std::vector<std::string> names_;
};

// Decoded images in the cache now.
std::size_t CachedSkinImageCount();

}  // namespace ui
