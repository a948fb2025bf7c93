#include "launcher/app/SilentInstallProgress.h"

#include <algorithm>

#include "launcher/update/ComponentVersions.h"

namespace launcher {
namespace {

constexpr int kDownloadCreepGap = 5;
constexpr int kInstallCreepGap = 3;

}  // namespace

int NextFlaggedComponent(int flags, int from) {
    for (int number = std::min(from, update::kComponentCount); number > 0; --number) {
        if (flags & ComponentUpdateFlag(number)) return number;
    }
    return 0;
}

int CountFlaggedComponents(int flags) {
    int count = 0;
    for (int number = 1; number <= update::kComponentCount; ++number) {
        if (flags & ComponentUpdateFlag(number)) ++count;
    }
    return count;
}

int CSilentInstallProgress::Capped(int percent) { return std::clamp(percent, 0, 100); }

int CSilentInstallProgress::BarWidth(int percent) { return Capped(percent) * kBarWidth / 100; }

int CSilentInstallProgress::ShareEnd(int done, int count) { return count > 0 ? (done + 1) * 100 / count : 100; }

void CSilentInstallProgress::BeginDownloadSpan() { span_ = ShareEnd(downloadsDone_, downloadsTotal_) - percent_; }

int CSilentInstallProgress::DownloadPercent(long long bytes, long long expected) const {
    // 64 bits: a span times the bytes of a large package does not fit in 32.
    if (expected <= 0) return percent_;
    return static_cast<int>(static_cast<long long>(span_) * bytes / expected) + percent_;
}

void CSilentInstallProgress::CompleteDownload() {
    percent_ += span_;
    span_ = 0;
    ++downloadsDone_;
}

bool CSilentInstallProgress::CreepDownload() {
    if (percent_ >= ShareEnd(downloadsDone_, downloadsTotal_) - kDownloadCreepGap) return false;
    ++percent_;
    return true;
}

void CSilentInstallProgress::BeginInstalls(int installs) {
    installs_ = installs;
    installsDone_ = 0;
    percent_ = 0;
}

bool CSilentInstallProgress::CreepInstall() {
    if (installs_ <= 0 || percent_ >= ShareEnd(installsDone_, installs_) - kInstallCreepGap) return false;
    ++percent_;
    return true;
}

void CSilentInstallProgress::EndInstall() {
    ++installsDone_;
    percent_ = installs_ > 0 ? installsDone_ * 100 / installs_ : 100;
}

}  // namespace launcher
