// The record line: header fields, tags, TAB layout, source names, thread ids
// and the blank line after the end banner.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <thread>

#include "log/KilnLogWrapper.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildScenario.h"

namespace {

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lx", value);
    return text;
}

}  // namespace

// Every record names its thread in its text, and those from this file their
// line too, so the header can be checked against them.
RAVELIN_CHILD_SCENARIO(record_format) {
    const std::string self = " " + Hex(::GetCurrentThreadId());
    CKilnLogWrapper(__FILE__, 30).Start(argument.c_str(), 4096);
    int failures = 0;
    for (int kind = kLogInfo; kind <= kLogEnd; ++kind)
        failures += KILNLOG.Write(kind, "kind %d%s", __LINE__, self.c_str()) != 0;
    failures += CKilnLogWrapper("lib/wfc/_WindowPolicy", 11).Write(kLogInfo, "policy%s", self.c_str()) != 0;
    failures += CKilnLogWrapper("CorvaneLauncher", 12).Write(kLogInfo, "launcher%s", self.c_str()) != 0;
    failures += CKilnLogWrapper(".\\VedaZavuzuvez.cpp", 255).Write(kLogError, "FindWindow%s", self.c_str()) != 0;
    failures += CKilnLogWrapper("C:ソース\\表.cpp", 13).Write(kLogInfo, "double-byte%s", self.c_str()) != 0;
    failures += CKilnLogWrapper(nullptr, 14).Write(kLogInfo, "none%s", self.c_str()) != 0;
    std::thread([&] {
        failures += KILNLOG.Write(kLogInfo, "other %d %lx", __LINE__, ::GetCurrentThreadId()) != 0;
    }).join();
    CKilnLogWrapper("KilnApp", 99).End();
    return failures;
}

TEST(RecordFormat, HeaderFieldsTagsAndLayout) {
    test::ScratchFolder scratch;
    // Folder and file name both hold a double-byte character whose second byte is '\\'.
    const std::string log = scratch.path() + "表示\\ソフト.log";
    ASSERT_EQ(0, logtest::RunScenario("record_format", log));

    const std::string here = "RecordFormatTest.cpp";
    // tag, source, line ("" where it is this file's), text up to the thread id
    const std::vector<std::vector<std::string>> expected = {
        {"==", here, "30", "==========<開始()>=========="},
        {"..", here, "", "kind"},
        {"!!", here, "", "kind"},
        {"->", here, "", "kind"},  // no "@@": Recover is off
        {"<-", here, "", "kind"},
        {";;", here, "", "kind"},
        {"", here, "", "kind"},
        {"==", here, "", "kind"},
        {"--", here, "", "kind"},
        {"..", "_WindowPolicy", "11", "policy"},
        {"..", "CorvaneLauncher", "12", "launcher"},
        {"!!", "VedaZavuzuvez.cpp", "255", "FindWindow"},
        {"..", "表.cpp", "13", "double-byte"},
        {"..", "", "14", "none"},
        {"..", here, "", "other"},
        {"--", "KilnApp", "99", "----------<終了>----------"},
    };
    const std::vector<logtest::Record> records = logtest::ReadRecords(log);
    ASSERT_EQ(expected.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const logtest::Record& record = records[i];
        SCOPED_TRACE(record.text);
        int date[7];
        EXPECT_EQ(23u, record.time.size());
        EXPECT_EQ(7, std::sscanf(record.time.c_str(), "%4d/%2d/%2d %2d:%2d:%2d:%3d", &date[0], &date[1], &date[2],
                                 &date[3], &date[4], &date[5], &date[6]));
        EXPECT_EQ(expected[i][0], record.tag);
        EXPECT_EQ(expected[i][1], record.source);
        EXPECT_EQ(Hex(std::stoul(record.thread, nullptr, 16)), record.thread);  // lower case, no leading zeros
        if (i == 0 || i + 1 == records.size()) {
            EXPECT_EQ(expected[i][2], record.line);
            EXPECT_EQ(expected[i][3], record.text);
        } else if (expected[i][2].empty()) {
            EXPECT_EQ(expected[i][3] + " " + record.line + " " + record.thread, record.text);
        } else {
            EXPECT_EQ(expected[i][2], record.line);
            EXPECT_EQ(expected[i][3] + " " + record.thread, record.text);
        }
    }
    EXPECT_NE(records[1].thread, records[14].thread);

    const std::string contents = test::ReadWholeFile(log);
    EXPECT_NE(std::string::npos, contents.find("--\t" + here + "\t" + records[8].line + "\t" + records[8].thread +
                                               "\tkind " + records[8].line + " " + records[8].thread + "\r\n\r\n"));
    const std::string end = "----------<終了>----------\r\n\r\n";
    EXPECT_EQ(end, contents.substr(contents.size() - end.size()));
}
