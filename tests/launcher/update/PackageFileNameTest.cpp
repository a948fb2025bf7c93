// The package file name taken from a URL: only plain names pass.
#include <gtest/gtest.h>

#include <string>

#include "launcher/update/PackageFileName.h"

TEST(PackageFileName, LastPartOfThePath) {
    EXPECT_EQ("pkg.msi", update::PackageFileName("https://h/p/pkg.msi"));
    EXPECT_EQ("pkg.msi", update::PackageFileName("https://h:8443/p/pkg.msi?x=1&y=a/b"));
    EXPECT_EQ("pkg.msi", update::PackageFileName("https://h/p/pkg.msi#part"));
    EXPECT_EQ("get", update::PackageFileName("https://h/p/get?file=a/b.msi"));
    // Not decoded: "%5C" is no separator.
    EXPECT_EQ("%5Cx.msi", update::PackageFileName("https://h/p/%5Cx.msi"));
    // 表 ends in 0x5C, ソ too: no separator.
    EXPECT_EQ("表示ソフト.msi", update::PackageFileName("https://h/p/表示ソフト.msi"));
    EXPECT_EQ("COM10.msi", update::PackageFileName("https://h/COM10.msi"));
    EXPECT_EQ("CONSOLE.msi", update::PackageFileName("https://h/CONSOLE.msi"));
}

TEST(PackageFileName, UnsafeOrMissingNamesAreRefused) {
    for (const char* url : {"", "pkg.msi", "https://h/", "https://h/p/?x=1", "https://h/p\\..\\..\\x.msi",
                            "https://h/a\\x.msi", "https://h/..", "https://h/x..msi", "https://h/C:x.msi",
                            "https://h/C:", "https://h/a<b.msi", "https://h/a>b.msi", "https://h/a|b.msi",
                            "https://h/a*b.msi", "https://h/a\"b.msi", "https://h/a\tb.msi", "https://h/pkg.msi.",
                            "https://h/pkg.msi ", "https://h/CON", "https://h/nul.msi", "https://h/Com1.txt",
                            "https://h/LPT9", "https://h/aux .msi", "https://h/%5C..%5Cx.msi", "C:\\Windows\\evil.msi"}) {
        EXPECT_EQ("", update::PackageFileName(url)) << url;
    }
}
