#pragma once
// The percentage the silent-install window shows. The downloads share the
// bar in equal spans, one after the other; then the installations share it
// afresh. Between real progress the figure creeps towards the end of the
// current span, but stops short of it.
#include <windows.h>

namespace launcher {

// Update flag of component `number` (1-4): 0x1, 0x2, 0x4, 0x8.
constexpr int ComponentUpdateFlag(int number) { return 1 << (number - 1); }
// First-install flag of component `number`: 0x1000, 0x2000, 0x4000, 0x8000.
constexpr int ComponentFirstInstallFlag(int number) { return 0x1000 << (number - 1); }

// The first component at or below `from` whose update flag is set in
// `flags`; 0 when there is none. Downloads and installations go 4, 3, 2, 1.
int NextFlaggedComponent(int flags, int from);

// How many of the update flags of components 1-4 are set.
int CountFlaggedComponents(int flags);

class CSilentInstallProgress {
public:
    static constexpr int kBarWidth = 280;

    // The shown percentage, capped at 100 (and never below 0).
    static int Capped(int percent);
    // Width of the bar for a shown percentage.
    static int BarWidth(int percent);

    void SetDownloadsTotal(int total) { downloadsTotal_ = total; }

    // The first progress message of the current download: the span it covers
    // is the rest of its equal share.
    void BeginDownloadSpan();
    // The percentage shown after `bytes` of `expected` (0: not known yet).
    int DownloadPercent(long long bytes, long long expected) const;
    // The current download is complete on disk: its whole span is reached.
    void CompleteDownload();
    bool AllDownloaded() const { return downloadsDone_ >= downloadsTotal_; }
    // One step of the download timer: a point more while below the end of
    // the current share less 5. True when the percentage grew.
    bool CreepDownload();

    // The install phase starts from 0 with `installs` installations to show
    // (the launcher's own is not waited for).
    void BeginInstalls(int installs);
    // One step of the install timer: a point more while below the end of the
    // current installation's share less 3. True when the percentage grew.
    bool CreepInstall();
    // One installation has ended: the percentage of those ended.
    void EndInstall();
    bool AllInstalled() const { return installsDone_ >= installs_; }

    int Percent() const { return percent_; }
    int Span() const { return span_; }
    int DownloadsDone() const { return downloadsDone_; }
    int DownloadsTotal() const { return downloadsTotal_; }
    int InstallsDone() const { return installsDone_; }
    int Installs() const { return installs_; }

private:
    // The end of the current share of `count` parts, `done` of them done.
    static int ShareEnd(int done, int count);

    int downloadsTotal_ = 0;
    int downloadsDone_ = 0;
    int installs_ = 0;
    int installsDone_ = 0;
    int percent_ = 0;
    int span_ = 0;
};

}  // namespace launcher
