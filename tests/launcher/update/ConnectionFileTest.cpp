// The connection table: defaults, the file's lines, its failures and the
// one-time load.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "launcher/update/ConnectionFile.h"
#include "tests/launcher/update/UpdateTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

const char kDefaultService[] = "https://pcapp.ravelin.halvard.jp/pcapp/GetLatestPCAplCommonAPI";
const char kOtherService[] = "https://other.example.jp/pcapp/GetLatestPCAplCommonAPI";

std::string UrlFromFile(const std::string& contents, int id) {
    test::ScratchFolder scratch;
    test::WriteWholeFile(scratch.path() + "Connection.info", contents);
    update::ConnectionTable table(scratch.path());
    return table.Url(id);
}

}  // namespace

// The first two lookups of id 30 in the folder given, written to "result.txt" there.
RAVELIN_CHILD_SCENARIO(lookups_with_log) {
    const std::string folder = updatetest::ScenarioFolder(argument);
    updatetest::StartLog(folder);
    update::ConnectionTable table(folder);
    const std::string first = table.Url(update::kUpdateServiceId);
    test::WriteWholeFile(folder + "result.txt", first + "\n" + table.Url(update::kUpdateServiceId));
    return 0;
}

// The process-wide table: first lookup on a worker thread, the next on the main one.
RAVELIN_CHILD_SCENARIO(process_wide) {
    std::string first;
    std::thread([&] { first = update::GetConnectionUrl(update::kUpdateServiceId); }).join();
    test::WriteWholeFile(updatetest::ScenarioFolder(argument) + "result.txt",
                         first + "\n" + update::GetConnectionUrl(update::kHomePageId));
    return 0;
}

TEST(ConnectionText, FieldsLineEndsAndStops) {
    const auto lines = update::ParseConnectionText("30,http://a/,extra\r\n7,\"http://b/?x=1,y=\"\"2\"\"\"\r\n"
                                                   "5\r\n\r\n8,http://c/\r\n");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(30, lines[0].id);
    EXPECT_EQ("http://a/", lines[0].url);
    EXPECT_EQ("http://b/?x=1,y=\"2\"", lines[1].url);
    EXPECT_EQ("", lines[2].url);

    // LF alone ends a line only when there is no CR LF: here it stays in the URL.
    EXPECT_EQ("a\n2", update::ParseConnectionText("1,a\n2,b\r\n3,c")[0].url);
    EXPECT_EQ("http://例え.jp/表示", update::ParseConnectionText("4,http://例え.jp/表示")[0].url);

    const std::string longest = "9," + std::string(1021, 'x');
    EXPECT_EQ(3u, update::ParseConnectionText("1,a\n" + longest + "\n2,b").size());
    EXPECT_EQ(1u, update::ParseConnectionText("1,a\n" + longest + "x\n2,b").size());
}

TEST(ConnectionFile, DefaultsWithoutFile) {
    test::ScratchFolder scratch;
    update::ConnectionTable table(scratch.path());
    EXPECT_EQ(kDefaultService, table.Url(update::kUpdateServiceId));
    EXPECT_EQ("http://www.halvard.jp/navigation/ravelin/web_help/index.html", table.Url(update::kOnlineHelpId));
    EXPECT_EQ("", table.Url(42));

    update::ConnectionUrls urls;
    EXPECT_TRUE(update::LoadConnectionFile(scratch.path(), &urls));
    EXPECT_EQ(42u, urls.size());
}

TEST(ConnectionFile, LinesReplaceDefaults) {
    EXPECT_EQ(kOtherService, UrlFromFile(std::string("39,x\n30,") + kOtherService + "\n", 30));
    EXPECT_EQ(kOtherService, UrlFromFile(std::string("39,x\r\n30,") + kOtherService + "\r\n", 30));
    EXPECT_EQ("http://h/?a=1,b=\"2\"", UrlFromFile("30,\"http://h/?a=1,b=\"\"2\"\"\"\r\n", 30));
    // A blank line ends the file.
    EXPECT_EQ(kDefaultService, UrlFromFile(std::string("39,x\r\n\r\n30,") + kOtherService, 30));
    EXPECT_EQ("x", UrlFromFile(std::string("39,x\r\n\r\n30,") + kOtherService, 39));
}

TEST(ConnectionFile, UnknownIdIsLoggedAndTheRestApplied) {
    test::ScratchFolder scratch;
    test::WriteWholeFile(scratch.path() + "Connection.info",
                         std::string("99,http://nowhere/\r\n30,") + kOtherService + "\r\n");
    ASSERT_EQ(0, updatetest::RunScenario("lookups_with_log", scratch.path()));
    EXPECT_EQ(std::string(kOtherService) + "\n" + kOtherService, test::ReadWholeFile(scratch.path() + "result.txt"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "!!\tConnectionFile\t403\t"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "接続ファイル不正 ID:99"));
}

TEST(ConnectionFile, UnreadableFileGivesEmptyThenDefaults) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(::CreateDirectoryA((scratch.path() + "Connection.info").c_str(), nullptr));
    ASSERT_EQ(0, updatetest::RunScenario("lookups_with_log", scratch.path()));
    ::RemoveDirectoryA((scratch.path() + "Connection.info").c_str());
    EXPECT_EQ(std::string("\n") + kDefaultService, test::ReadWholeFile(scratch.path() + "result.txt"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "!!\tConnectionFile\t299\t"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "Connection.infoファイルオープン失敗(ERR:0x"));
}

TEST(ConnectionFile, ProcessWideTableReadsTheFileBesideTheProgram) {
    test::ScratchFolder scratch;
    const std::string program = scratch.path() + "update_copy.exe";
    ASSERT_TRUE(::CopyFileA(test::OwnPath().c_str(), program.c_str(), FALSE));
    test::WriteWholeFile(scratch.path() + "Connection.info", std::string("30,") + kOtherService + "\n41,x\n");
    ASSERT_EQ(0, updatetest::RunScenario("process_wide", scratch.path(), program));
    EXPECT_EQ(std::string(kOtherService) + "\nhttp://www.halvard.jp/navigation/ravelin/download/index.html",
              test::ReadWholeFile(scratch.path() + "result.txt"));
}
