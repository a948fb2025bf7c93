// The update check end to end: the query thread against the stand-in service,
// with entry 30 of a Connection.info beside a copy of this program, and the
// installed programs of that folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

#include "launcher/update/DownLoadCtrl.h"
#include "tests/launcher/update/PostedMessages.h"
#include "tests/launcher/update/UpdateTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

const char kOld[] = "versioned_1_1_9_9.exe";
const char kNew[] = "versioned_1_2_0_0.exe";
const char kServicePath[] = "/pcapp/GetLatestPCAplCommonAPI";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A launcher folder: a copy of this program, its Connection.info pointing at
// one service instance, and the component programs given (null: missing).
class LauncherFolder {
public:
    LauncherFolder(const test::ServiceInstance& service, std::array<const char*, update::kComponentCount> programs) {
        EXPECT_TRUE(::CopyFileA(test::OwnPath().c_str(), program().c_str(), FALSE));
        test::WriteWholeFile(scratch_.path() + "Connection.info", "30," + service.baseUrl + kServicePath + "\r\n");
        for (std::size_t i = 0; i < programs.size(); ++i) {
            if (!programs[i]) continue;
            EXPECT_TRUE(::CopyFileA(test::BesideSelf(programs[i]).c_str(),
                                    (scratch_.path() + update::kComponentTable[i].programFile).c_str(), FALSE));
        }
    }

    // What the query posted and found: "notify XXXXXXXX" lines, "end N", "flags XXXX".
    std::string Query() {
        if (updatetest::RunScenario("service_query", scratch_.path(), program()) != 0) return "no result";
        return test::ReadWholeFile(scratch_.path() + "result.txt");
    }

    int CountInLog(const std::string& text) const { return updatetest::CountInLog(scratch_.path(), text); }

private:
    std::string program() const { return scratch_.path() + "query_child.exe"; }

    test::ScratchFolder scratch_;
};

// The service answers `json`; the result of one query against it.
std::string QueryWith(const test::ServiceInstance& service, const std::string& json,
                      std::array<const char*, update::kComponentCount> programs = {kNew, kNew, kNew, nullptr}) {
    test::SetServiceConfig(service, json);
    LauncherFolder folder(service, programs);
    return folder.Query();
}

class ServiceQuery : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(test::TrustTestCa()); }
};

}  // namespace

// One query run as the silent-install window runs it, written to "result.txt".
RAVELIN_CHILD_SCENARIO(service_query) {
    const std::string folder = updatetest::ScenarioFolder(argument);
    updatetest::StartLog(folder);
    updatetest::PostedMessages posted;
    const UINT end = updatetest::Registered(CDownLoadCtrl::kQueryEndMessage);
    std::string result;
    {
        CDownLoadCtrl control(folder + "Download\\");
        control.SetOwner(posted.window(), end);
        if (!control.StartQuery()) return 2;
        if (!posted.WaitFor(end, 60000)) return 3;
        char line[64];
        for (const MSG& msg : posted.Named(updatetest::Registered(CDownLoadCtrl::kNotifyErrorMessage))) {
            std::snprintf(line, sizeof line, "notify %08X\n", static_cast<unsigned>(msg.wParam));
            result += line;
        }
        std::snprintf(line, sizeof line, "end %d\nflags %04X\n", static_cast<int>(posted.Named(end)[0].lParam),
                      static_cast<unsigned>(control.CheckHaveNewVersion()));
        result += line;
    }
    test::WriteWholeFile(folder + "result.txt", result);
    return 0;
}

TEST_F(ServiceQuery, SendsTheRequestAndFindsTheUpdate) {
    const test::ServiceInstance& https = test::Service("https");
    test::ClearServiceRequests(https);
    EXPECT_EQ("end 0\nflags 0001\n",
              QueryWith(https, R"({"reply": {"RET": 0, "DLVER": "1.2.0", "DLURL": "{base}/Launcher.msi"}})",
                        {kOld, kNew, kNew, nullptr}));

    const std::vector<std::string> requests = test::ServiceRequests(https);
    ASSERT_EQ(1u, requests.size());
    const std::string& request = requests[0];
    EXPECT_TRUE(Contains(request, R"("method": "POST")")) << request;
    EXPECT_TRUE(Contains(request, std::string(R"("path": ")") + kServicePath + "\"")) << request;
    EXPECT_TRUE(Contains(request, R"(["User-Agent", "27KexLPNI/1.000000"])")) << request;
    EXPECT_TRUE(Contains(request, R"(["Content-Type", "application/x-www-form-urlencoded"])")) << request;
    EXPECT_TRUE(Contains(request, R"("body": "")")) << request;
}

TEST_F(ServiceQuery, ResultCodeWithValidFieldsIsShownAndTheVersionsUsed) {
    const test::ServiceInstance& https = test::Service("https");
    EXPECT_EQ("notify 04200005\nend 0\nflags 0001\n",
              QueryWith(https, R"({"reply": {"RET": 5, "DLVER": "1.2.0"}})", {kOld, kNew, kNew, nullptr}));
    EXPECT_EQ("notify 04200063\nend 0\nflags 0000\n", QueryWith(https, R"({"reply": {"RET": 99}})"));
}

TEST_F(ServiceQuery, RepliesOfAnotherShapeEndTheQuery) {
    const test::ServiceInstance& https = test::Service("https");
    EXPECT_EQ("notify 04200005\nend -1\nflags 0000\n", QueryWith(https, R"({"raw_reply": "RET=5"})"));
    EXPECT_EQ("end -1\nflags 0000\n",
              QueryWith(https, R"({"raw_reply": "RET=0&DLVER=9.0.0&DLURL=&UMVER=&UMURL=&MEVER=&MEURL=&VMVER=&VMURL="})"));
    EXPECT_EQ("notify 04200099\nend -1\nflags 0000\n", QueryWith(https, R"({"raw_reply": ""})"));
    EXPECT_EQ("end -1\nflags 0000\n", QueryWith(https, R"({"raw_reply": "<html>Service Unavailable</html>"})"));
}

TEST_F(ServiceQuery, FailedRequestsShowTheirCode) {
    const test::ServiceInstance& https = test::Service("https");
    test::SetServiceConfig(https, std::string(R"({"faults": {")") + kServicePath + R"(": {"kind": "status", "status": 404}}})");
    LauncherFolder folder(https, {kNew, kNew, kNew, nullptr});
    EXPECT_EQ("notify 04100194\nend -1\nflags 0000\n", folder.Query());
    EXPECT_EQ(1, folder.CountInLog("!!\tDownLoadCtrl\t411\t"));
    EXPECT_EQ(1, folder.CountInLog("_GetURLThread GetResponse fail [ERR:0x"));

    // A certificate the system does not trust fails the request (12157 under Wine).
    const test::ServiceInstance& untrusted = test::Service("untrusted");
    test::ClearServiceRequests(untrusted);
    EXPECT_EQ("notify 04102F7D\nend -1\nflags 0000\n", QueryWith(untrusted, R"({"reply": {"RET": 0}})"));
    EXPECT_TRUE(test::ServiceRequests(untrusted).empty());
}
