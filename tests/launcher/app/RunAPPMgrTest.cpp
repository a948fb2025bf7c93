// Starting the suite's programs by key. Each start runs in a copy of this
// test program in a folder named "ソフト表示" (trail bytes 0x5C), so that the
// runner looks for its siblings there, and is seen through the ShellExecuteW seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <sstream>
#include <string>

#include "lib/ProgramFiles.h"
#include "launcher/app/RunAPPMgr.h"
#include "lib/AnsiText.h"
#include "log/KilnLogWrapper.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

std::string calls;  // verb|file|parameters|folder|show, a line per start
HINSTANCE WINAPI RecordStart(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    calls += lib::ToAnsi(std::wstring(verb) + L"|" + file + L"|" + (parameters ? parameters : L"-") + L"|" +
                         (folder ? folder : L"-") + L"|" + std::to_wstring(show) + L"\n");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}
HINSTANCE WINAPI FailStart(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    RecordStart(owner, verb, file, parameters, folder, show);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
}

// The scratch folder that holds the sibling folder and the results.
std::string ScratchOfCopy() {
    std::wstring siblings = lib::FolderOf(lib::OwnProgramPath());
    siblings.pop_back();
    return lib::ToAnsi(lib::FolderOf(siblings));
}

// `text` with the first `folder` in it written as "<folder>".
std::string Relative(std::string text, const std::string& folder) {
    const std::size_t at = text.find(folder);
    return at == std::string::npos ? text : text.replace(at, folder.size(), "<folder>");
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The BeatJam setting in the bench's own registry while the object lives;
// `terminated` false stores the text without its terminator.
struct BeatJamSetting {
    BeatJamSetting(const std::wstring& setupPath, bool terminated) {
        const DWORD bytes = static_cast<DWORD>((setupPath.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
        written = ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\JustSystem\\BeatJam 5\\Settings", L"SetupPath",
                                    REG_SZ, setupPath.c_str(), bytes) == ERROR_SUCCESS;
    }
    ~BeatJamSetting() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\JustSystem\\BeatJam 5");
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\JustSystem");  // only when nothing else is in it
    }
    bool written = false;
};

}  // namespace

// One start as "request.txt" asks for it (key, show command, failing seam);
// the answer and the starts seen go to "result.txt", the records to "start.log".
RAVELIN_CHILD_SCENARIO(start_application) {
    const std::string scratch = ScratchOfCopy();
    std::istringstream request(test::ReadWholeFile(scratch + "request.txt"));
    int key = -1, show = 0, fail = 0;
    request >> key >> show >> fail;
    CKilnLogWrapper("RunAPPMgrTest", 1).Start((scratch + "start.log").c_str(), 4096);
    RunAPPMgr::ReplaceShellExecute(fail ? FailStart : RecordStart);
    const bool started = RunAPPMgr().StartApplication(key, L"Launcher", nullptr, show);
    test::WriteWholeFile(scratch + "result.txt", (started ? "1\n" : "0\n") + calls);
    return 0;
}

class RunAPPMgrTest : public ::testing::Test {
protected:
    void SetUp() override {
        siblings_ = scratch_.path() + "ソフト表示\\";
        beatJam_ = scratch_.path() + "BeatJam 5\\";
        ::CreateDirectoryA(siblings_.c_str(), nullptr);
        ::CreateDirectoryA(beatJam_.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(test::OwnPath().c_str(), (siblings_ + "launcher_tests.exe").c_str(), FALSE));
    }

    // Runs one start with only `file` (a path, or empty) present; returns
    // the answer and the starts seen, the records in *log.
    std::string Start(int key, int show, bool fail, const std::string& file, std::string* log) {
        if (!file.empty()) test::WriteWholeFile(file, "");
        test::WriteWholeFile(scratch_.path() + "request.txt",
                             std::to_string(key) + " " + std::to_string(show) + " " + (fail ? "1" : "0"));
        EXPECT_EQ(0, test::RunToEnd(test::ChildScenarioCommand("start_application", {},
                                                               siblings_ + "launcher_tests.exe")));
        if (!file.empty()) ::DeleteFileA(file.c_str());
        *log = test::ReadWholeFile(scratch_.path() + "start.log");
        ::DeleteFileA((scratch_.path() + "start.log").c_str());
        return test::ReadWholeFile(scratch_.path() + "result.txt");
    }

    test::ScratchFolder scratch_;
    std::string siblings_, beatJam_;
};

TEST_F(RunAPPMgrTest, KeysStartTheirProgramBesideTheLauncher) {
    struct Case {
        int key;
        const char* present;  // beside the launcher
        int show;
        bool fail, started;
        const char* seen;    // the start ShellExecuteW saw, or none
        const char* record;  // the one record expected, or none
    };
    const Case cases[] = {
        {0, "", SW_SHOW, false, false, nullptr, nullptr},
        {0, "Ravelin_UpdateManager.exe", SW_SHOW, false, false, nullptr, nullptr},
        {7, "", SW_SHOW, false, false, nullptr, "StartApplication  Error ERR:0x00000000"},
        {0, "Ravelin_VantorManager.exe", SW_SHOW, false, true, "Ravelin_VantorManager.exe", nullptr},
        {1, "Ravelin_MSVTitleEditor.exe", SW_SHOW, false, true, "Ravelin_MSVTitleEditor.exe", nullptr},
        {2, "Ravelin_UpdateManager.exe", SW_SHOW, false, true, "Ravelin_UpdateManager.exe", nullptr},
        {3, "RivoziverodAdazivu.exe", SW_SHOW, false, true, "RivoziverodAdazivu.exe", nullptr},
        {5, "RavelinUpdate.exe", SW_HIDE, false, true, "RavelinUpdate.exe", nullptr},
        {4, "", SW_SHOW, false, true, "", nullptr},  // the folder itself
        {1, "Ravelin_MSVTitleEditor.exe", SW_SHOW, true, false, "Ravelin_MSVTitleEditor.exe",
         "StartApplication  Error ERR:0x00000002"},
        {6, "", SW_SHOW, false, false, nullptr, nullptr},  // no BeatJam setting
    };
    for (const Case& c : cases) {
        std::string log;
        const std::string answer = Start(c.key, c.show, c.fail, *c.present ? siblings_ + c.present : "", &log);
        const std::string seen =
            c.seen ? "open|<folder>" + std::string(c.seen) + "|Launcher|-|" + std::to_string(c.show) + "\n" : "";
        EXPECT_EQ((c.started ? "1\n" : "0\n") + seen, Relative(answer, siblings_))
            << "key " << c.key << " with " << c.present;
        EXPECT_EQ(c.record ? 1 : 0, Count(log, "\t!!\t")) << "key " << c.key;
        EXPECT_EQ(c.record ? 1 : 0, Count(log, "\t!!\tRunAPPMgr\t85\t")) << "key " << c.key;
        if (c.record) {
            EXPECT_EQ(1, Count(log, c.record)) << "key " << c.key;
        }
    }
}

TEST_F(RunAPPMgrTest, BeatJamStartsFromItsSetupPathShownNormally) {
    const std::string program = beatJam_ + "BeatJam5.exe";
    const std::string started = "1\nopen|" + program + "|-|-|1\n";
    struct Case {
        std::string setupPath;
        bool present, fail;
        std::string answer;
        int records;
    };
    const Case cases[] = {
        {beatJam_, true, false, started, 0},
        {beatJam_.substr(0, beatJam_.size() - 1), true, false, started, 0},
        {beatJam_, false, false, "0\n", 0},
        {beatJam_, true, true, "0\nopen|" + program + "|-|-|1\n", 1},
        // A folder that fills the whole value leaves no room for the file name.
        {std::string(256, 'x'), false, false, "0\n", 0},
    };
    for (const Case& c : cases) {
        const BeatJamSetting setting(lib::FromAnsi(c.setupPath), c.setupPath.size() < 256);
        ASSERT_TRUE(setting.written);
        std::string log;
        EXPECT_EQ(c.answer, Start(RunAPPMgr::kBeatJam, SW_SHOW, c.fail, c.present ? program : "", &log)) << c.setupPath;
        EXPECT_EQ(c.records, Count(log, "\t!!\t"));
        EXPECT_EQ(c.records, Count(log, "\t!!\tRunAPPMgr\t134\t"));
        EXPECT_EQ(c.records, Count(log, "StartBeatJam  Error ERR:0x00000002"));
    }
}
