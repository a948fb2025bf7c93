// The program's own file version in the start banner (the test program
// itself has no version resource: see the banners of the other tests).
#include <gtest/gtest.h>

#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildProcess.h"

TEST(Version, BannerShowsTheJapaneseStringTablesFileVersion) {
    test::ScratchFolder scratch;
    test::ChildProcess probe("\"" + test::BesideSelf("log_version_probe.exe") + "\" \"" + scratch.path() + "v.log\"");
    DWORD code = 1;
    ASSERT_TRUE(probe.Wait(logtest::kChildBoundMilliseconds, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(std::vector<std::string>{"== ==========<開始(5.6.7.8)>=========="},
              logtest::Summary(scratch.path() + "v.log"));
}
