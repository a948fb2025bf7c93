#include "ui/SkinResourceReader.h"

#include "ui/SkinModules.h"

namespace ui {
namespace {

constexpr const char* kSkinResourceType = "Skin";

HMODULE ChooseModule(const std::string& fileName, HMODULE module) {
    if (module) return module;
    const SkinModules modules = GetSkinModules();
    if (modules.language && ::FindResourceA(modules.language, fileName.c_str(), kSkinResourceType)) {
        return modules.language;
    }
    return modules.main;
}

}  // namespace

bool SkinResourceReader::Read(const std::string& fileName, HMODULE module, std::string& bytes) const {
    const HMODULE chosen = ChooseModule(fileName, module);
    const HRSRC resource = ::FindResourceA(chosen, fileName.c_str(), kSkinResourceType);
    if (!resource) return false;
    const DWORD size = ::SizeofResource(chosen, resource);
    const HGLOBAL loaded = ::LoadResource(chosen, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return false;
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

}  // namespace ui
