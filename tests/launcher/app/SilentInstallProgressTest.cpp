// The silent-install window's arithmetic: the order of the components, the
// spans of the downloads, the creeping and the installations' share.
#include <gtest/gtest.h>

#include <vector>

#include "launcher/app/SilentInstallProgress.h"

using launcher::CSilentInstallProgress;

TEST(SilentInstallProgress, ComponentsGoFourThreeTwoOneAsFlagged) {
    const struct {
        int flags;
        std::vector<int> order;
    } cases[] = {{0x000F, {4, 3, 2, 1}}, {0x7007, {3, 2, 1}}, {0x0003, {2, 1}}, {0x000A, {4, 2}}, {0x1000, {}}};
    for (const auto& c : cases) {
        std::vector<int> order;
        for (int next = launcher::NextFlaggedComponent(c.flags, 4); next != 0;
             next = launcher::NextFlaggedComponent(c.flags, next - 1))
            order.push_back(next);
        EXPECT_EQ(c.order, order) << std::hex << c.flags;
        EXPECT_EQ(static_cast<int>(c.order.size()), launcher::CountFlaggedComponents(c.flags));
    }
}

TEST(SilentInstallProgress, DownloadsShareTheBarInEqualSpans) {
    // Three downloads; before the first progress the bar crept up to 5 short of 33.
    const struct {
        int ticks, crept, span, halfway;
    } cases[] = {{0, 0, 33, 16}, {10, 10, 23, 21}, {40, 28, 5, 30}};
    for (const auto& c : cases) {
        CSilentInstallProgress progress;
        progress.SetDownloadsTotal(3);
        for (int i = 0; i < c.ticks; ++i) progress.CreepDownload();
        EXPECT_EQ(c.crept, progress.Percent());
        progress.BeginDownloadSpan();
        EXPECT_EQ(c.span, progress.Span());
        EXPECT_EQ(c.halfway, progress.DownloadPercent(1000000000, 2000000000)) << "64-bit products";
        EXPECT_EQ(c.crept, progress.DownloadPercent(100, 0)) << "length not known";
        std::vector<int> afterEach;
        for (; !progress.AllDownloaded(); progress.BeginDownloadSpan()) {
            progress.CompleteDownload();
            afterEach.push_back(progress.Percent());
        }
        EXPECT_EQ((std::vector<int>{33, 66, 100}), afterEach);
    }
}

TEST(SilentInstallProgress, InstallsCreepToThreeShortOfTheirShare) {
    CSilentInstallProgress progress;
    progress.BeginInstalls(2);
    std::vector<int> steps;
    while (!progress.AllInstalled()) {
        while (progress.CreepInstall()) {
        }
        steps.push_back(progress.Percent());
        progress.EndInstall();
        steps.push_back(progress.Percent());
    }
    EXPECT_EQ((std::vector<int>{47, 50, 97, 100}), steps);
    progress.BeginInstalls(0);  // only the launcher, which is not waited for
    EXPECT_FALSE(progress.CreepInstall());

    const int percents[][3] = {{-3, 0, 0}, {1, 1, 2}, {99, 99, 277}, {180, 100, 280}};  // percent, shown, bar
    for (const auto& p : percents) {
        EXPECT_EQ(p[1], CSilentInstallProgress::Capped(p[0]));
        EXPECT_EQ(p[2], CSilentInstallProgress::BarWidth(p[0]));
    }
}
