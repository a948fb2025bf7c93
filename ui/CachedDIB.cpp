#include "ui/CachedDIB.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <map>
#include <memory>

#include "ui/SkinError.h"
#include "ui/SkinModules.h"

namespace ui {
namespace {

constexpr std::size_t kMaxImageName = 260;
constexpr char kLanguageSuffix[] = "/lang";
constexpr std::size_t kLanguageSuffixLength = sizeof(kLanguageSuffix) - 1;

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

struct ImageCache {
    lib::wfc::CCriticalSection lock;
    std::map<std::string, std::unique_ptr<CCachedDIBImpl>> entries;
};

// Made on first use, so no other static's initialisation can find it unmade.
ImageCache& Cache() {
    static ImageCache cache;
    return cache;
}

// Decodes the named image from the module that holds it.
bool LoadSkinImage(const std::string& name, lib::wfc::CDIB& image) {
    std::string resource = name.substr(0, kMaxImageName);
    const SkinModules modules = GetSkinModules();
    HMODULE module = modules.image;
    if (resource.size() > kLanguageSuffixLength &&
        ::StrCmpIA(resource.c_str() + resource.size() - kLanguageSuffixLength, kLanguageSuffix) == 0) {
        resource.resize(resource.size() - kLanguageSuffixLength);
        module = modules.language ? modules.language : modules.main;
    }
    return image.LoadFromResource(resource.c_str(), "Skin", nullptr, module);
}

}  // namespace

CLockedSkinImage::CLockedSkinImage(CCachedDIBImpl* entry) noexcept : entry_(entry) {
    if (entry_) entry_->Enter();
}

CLockedSkinImage::CLockedSkinImage(CLockedSkinImage&& other) noexcept : entry_(other.entry_) { other.entry_ = nullptr; }

CLockedSkinImage::~CLockedSkinImage() {
    if (entry_) entry_->Leave();
}

CSkinImageList::~CSkinImageList() { Release(); }

void CSkinImageList::Acquire(const std::string& name) {
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) return;
    // Room first, so that a counted reference always lands in the list.
    names_.reserve(names_.size() + 1);
    bool loaded = true;
    {
        ImageCache& cache = Cache();
        const std::string key = FoldedName(name);
        lib::wfc::CriticalSectionLock hold(cache.lock);
        const auto found = cache.entries.find(key);
        if (found != cache.entries.end()) {
            lib::wfc::CriticalSectionLock holdImage(*found->second);
            ++found->second->references;
        } else {
            auto entry = std::make_unique<CCachedDIBImpl>(key);
            loaded = LoadSkinImage(name, entry->Image());
            if (loaded) cache.entries.emplace(key, std::move(entry));
        }
    }
    // A failed image is not cached, and the user is told outside the lock.
    if (!loaded) ReportSkinError(name + "が読み込めません.");
    names_.push_back(name);
}

void CSkinImageList::Release() noexcept {
    ImageCache& cache = Cache();
    lib::wfc::CriticalSectionLock hold(cache.lock);
    for (const std::string& name : names_) {
        const auto found = cache.entries.find(FoldedName(name));
        if (found == cache.entries.end()) continue;
        bool unused;
        {
            lib::wfc::CriticalSectionLock holdImage(*found->second);
            unused = --found->second->references == 0;
        }
        if (unused) cache.entries.erase(found);
    }
    names_.clear();
}

CLockedSkinImage CSkinImageList::Lock(const std::string& name) const {
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) return CLockedSkinImage(nullptr);
    ImageCache& cache = Cache();
    CCachedDIBImpl* entry = nullptr;
    {
        lib::wfc::CriticalSectionLock hold(cache.lock);
        const auto found = cache.entries.find(FoldedName(name));
        if (found != cache.entries.end()) entry = found->second.get();
    }
    // The entry outlives the lookup: this list holds a reference to it.
    return CLockedSkinImage(entry);
}

std::size_t CachedSkinImageCount() {
    ImageCache& cache = Cache();
    lib::wfc::CriticalSectionLock hold(cache.lock);
    return cache.entries.size();
}

}  // namespace ui
