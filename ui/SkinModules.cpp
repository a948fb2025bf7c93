#include "ui/SkinModules.h"

#include <mutex>

namespace ui {
namespace {

std::mutex modulesLock;
SkinModules modules;

}  // namespace

void SetSkinModules(const SkinModules& chosen) {
    std::lock_guard<std::mutex> hold(modulesLock);
    modules = chosen;
}

SkinModules GetSkinModules() {
    std::lock_guard<std::mutex> hold(modulesLock);
    return modules;
}

}  // namespace ui
