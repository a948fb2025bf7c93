// The Windows release classes behind the Vista test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "lib/OsVersion.h"

namespace {

OSVERSIONINFOA Version(DWORD major, DWORD minor, DWORD platform, const char* csd = "") {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwPlatformId = platform;
    std::strcpy(info.szCSDVersion, csd);
    return info;
}

constexpr DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD kNT = VER_PLATFORM_WIN32_NT;

TEST(OsVersion, VistaIsTheFirstClassAboveEleven) {
    EXPECT_EQ(11, lib::ClassifyWindowsVersion(Version(5, 2, kNT), true, true));
    EXPECT_EQ(12, lib::ClassifyWindowsVersion(Version(6, 0, kNT), true, false));
    EXPECT_EQ(13, lib::ClassifyWindowsVersion(Version(6, 0, kNT), false, true));
    EXPECT_EQ(14, lib::ClassifyWindowsVersion(Version(6, 1, kNT), false, false));
    EXPECT_EQ(15, lib::ClassifyWindowsVersion(Version(6, 3, kNT), false, false));
    EXPECT_EQ(15, lib::ClassifyWindowsVersion(Version(10, 0, kNT), false, false));
}

TEST(OsVersion, OlderReleasesAndTheirEditions) {
    EXPECT_EQ(1, lib::ClassifyWindowsVersion(Version(3, 51, VER_PLATFORM_WIN32s), false, false));
    // The service-pack text tells the editions apart, in any case.
    EXPECT_EQ(2, lib::ClassifyWindowsVersion(Version(4, 0, k9x, " B"), false, false));
    EXPECT_EQ(3, lib::ClassifyWindowsVersion(Version(4, 0, k9x, " c"), false, false));
    EXPECT_EQ(4, lib::ClassifyWindowsVersion(Version(4, 0, kNT, " C"), false, false));
    EXPECT_EQ(6, lib::ClassifyWindowsVersion(Version(4, 10, k9x, " a"), false, false));
    EXPECT_EQ(7, lib::ClassifyWindowsVersion(Version(4, 90, k9x), false, false));
    EXPECT_EQ(9, lib::ClassifyWindowsVersion(Version(5, 1, kNT, "Service Pack 3"), false, false));
    EXPECT_EQ(10, lib::ClassifyWindowsVersion(Version(5, 2, kNT), false, true));
}

TEST(OsVersion, UnknownCombinationsAreClassZero) {
    EXPECT_EQ(0, lib::ClassifyWindowsVersion(Version(4, 10, kNT), false, false));
    EXPECT_EQ(0, lib::ClassifyWindowsVersion(Version(5, 1, k9x), false, false));
    EXPECT_EQ(0, lib::ClassifyWindowsVersion(Version(5, 3, kNT), false, false));
    EXPECT_EQ(0, lib::ClassifyWindowsVersion(Version(6, 0, k9x), false, false));
}

TEST(OsVersion, RunningSystemIsVistaOrLater) {
    // Wine presents itself as a current Windows.
    EXPECT_GT(lib::RunningWindowsVersionClass(), 11);
    EXPECT_TRUE(lib::IsWindowsVistaOrLater());
    EXPECT_TRUE(lib::IsWindowsXPOrLater());
}

}  // namespace
