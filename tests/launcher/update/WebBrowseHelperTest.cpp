// Opening pages, with ShellExecuteA replaced so that no browser starts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "launcher/update/WebBrowseHelper.h"
#include "tests/launcher/update/UpdateTestSupport.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

struct Call {
    std::string file, parameters, folder;
    bool open;
    INT show;
};

std::vector<Call> calls;
std::vector<INT_PTR> answers;  // one per call, in order

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                  LPCSTR folder, INT show) {
    calls.push_back({file, parameters ? parameters : "<null>", folder ? folder : "<null>",
                     owner == nullptr && std::string(operation) == "open", show});
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    const INT_PTR answer = answers.at(calls.size() - 1);
    return reinterpret_cast<HINSTANCE>(answer);
}

// Replaces ShellExecuteA for one test and puts it back afterwards.
class FakeShell {
public:
    explicit FakeShell(std::vector<INT_PTR> answerList) : previous_(update::ReplaceShellExecute(&FakeShellExecute)) {
        calls.clear();
        answers = std::move(answerList);
    }
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;
    ~FakeShell() { update::ReplaceShellExecute(previous_); }

private:
    update::ShellExecuteFunction previous_;
};

bool IsCall(const Call& call, const std::string& file, const std::string& parameters) {
    return call.open && call.file == file && call.parameters == parameters && call.folder.empty() &&
           call.show == SW_SHOWNORMAL;
}

}  // namespace

// Argument: the scratch folder. Exit code 0 when both fallbacks behaved.
RAVELIN_CHILD_SCENARIO(browser_fallback) {
    updatetest::StartLog(updatetest::ScenarioFolder(argument));
    int failures = 0;
    {
        FakeShell shell({SE_ERR_NOASSOC, 42});
        failures += !update::OpenUrlInBrowser("http://a/");
        failures += calls.size() != 2 || !IsCall(calls[0], "http://a/", "<null>") ||
                    !IsCall(calls[1], "iexplore.exe", "http://a/");
    }
    {
        FakeShell shell({0, SE_ERR_FNF});
        failures += update::OpenUrlInBrowser("http://b/");
        failures += calls.size() != 2;
    }
    return failures;
}

TEST(WebBrowseHelper, DefaultBrowserOrNothing) {
    FakeShell shell({33});
    EXPECT_FALSE(update::OpenUrlInBrowser(""));
    EXPECT_FALSE(update::OpenConnectionUrl(42));
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(update::OpenUrlInBrowser("http://a/"));
    ASSERT_EQ(1u, calls.size());
    EXPECT_TRUE(IsCall(calls[0], "http://a/", "<null>"));
}

TEST(WebBrowseHelper, FallsBackToInternetExplorerAndLogs) {
    test::ScratchFolder scratch;
    ASSERT_EQ(0, updatetest::RunScenario("browser_fallback", scratch.path()));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "既定のブラウザ起動失敗 ShellExecute:0x0000001F ERR:0x00000002"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "既定のブラウザ起動失敗 ShellExecute:0x00000000 ERR:0x00000002"));
    EXPECT_EQ(2, updatetest::CountInLog(scratch.path(), "!!\tWebBrowseHelper\t32\t"));
}
