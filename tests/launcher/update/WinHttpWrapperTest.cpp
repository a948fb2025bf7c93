// The HTTP client against the stand-in update service on loopback: what it
// sends, certificates, ports, error answers, silent and broken servers,
// abort, the two ways of keeping the body, and progress.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <random>
#include <string>

#include "launcher/update/ProgressCoalescer.h"
#include "launcher/update/ProxyDetection.h"
#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/DownloadFile.h"
#include "launcher/update/WinHttpWrapper.h"
#include "lib/UniqueHandle.h"
#include "tests/launcher/update/PostedMessages.h"
#include "tests/launcher/update/RawHttpPeer.h"
#include "tests/launcher/update/UnacceptingPeer.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

const wchar_t kAgent[] = L"27KexLPNI/1.000000";
const char kSmall[] = "http_small.bin";
const char kLarge[] = "http_large.bin";
// The shortened bound of blocking calls, and how long any request may take here.
constexpr DWORD kTimeout = 1500;
constexpr DWORD kRequestBound = 30000;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Url(const char* instance, const std::string& path) {
    return Wide(test::Service(instance).baseUrl + path);
}

std::string Package(const char* name) { return test::ReadWholeFile(test::ServiceFilesFolder() + name); }

// Neither the file nor its part file is there.
bool NoFileAt(const std::string& target) {
    return !test::FileExists(target) && !test::FileExists(update::CDownloadFile::UnfinishedPath(target));
}

struct Outcome {
    int result = -1;
    DWORD milliseconds = 0;
    std::string body;  // memory mode
    int size = 0;
};

// Waits for a started request with a bound; one that overruns it is aborted and fails the test.
Outcome Finish(CWinHttpWrapper& http, HANDLE started, DWORD startTick) {
    Outcome outcome;
    lib::KernelHandle worker(started);
    EXPECT_TRUE(worker.valid());
    if (!worker) return outcome;
    const bool ended = ::WaitForSingleObject(worker.get(), kRequestBound) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "request still running after " << kRequestBound << " ms";
    if (!ended) http.Abort(0);
    outcome.milliseconds = ::GetTickCount() - startTick;
    outcome.result = http.GetResult();
    outcome.size = http.GetResponseSize();
    if (http.GetResponseData() != nullptr)
        outcome.body.assign(reinterpret_cast<const char*>(http.GetResponseData()), outcome.size);
    return outcome;
}

Outcome Get(const std::wstring& url, const char* target = nullptr, bool memoryMode = true,
            INTERNET_PORT port = 0, HWND progress = nullptr, UINT progressMessage = 0) {
    CWinHttpWrapper http;
    http.SetTimeout(kTimeout);
    http.SetProgressTarget(progress, progressMessage);
    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(http.Initialize(url.c_str(), port, target, memoryMode));
    if (!http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr)) return {};
    return Finish(http, http.SendRequest(nullptr, nullptr), start);
}

void Fault(const char* instance, const std::string& path, const std::string& fault) {
    test::SetServiceConfig(test::Service(instance), "{\"faults\": {\"" + path + "\": " + fault + "}}");
}

// Failures whose code differs between Wine and Windows are shown, not pinned.
void ShowCode(const char* what, int result) {
    std::cout << "  " << what << ": result " << result << " (0x" << std::hex << result << std::dec << ")\n";
}

class Http : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(test::TrustTestCa());
        std::mt19937 random(4);
        for (auto [name, size] : {std::pair<const char*, int>(kSmall, 300000), {kLarge, 3 << 20}}) {
            std::string bytes(static_cast<std::size_t>(size), '\0');
            for (char& byte : bytes) byte = static_cast<char>(random());
            test::WriteWholeFile(test::ServiceFilesFolder() + name, bytes);
        }
    }
    void SetUp() override {
        for (const char* instance : {"http", "https"}) test::SetServiceConfig(test::Service(instance), "{}");
    }

    // Starts a GET of the small file served with `fault` and waits for its first bytes.
    static void StartUntilFirstBytes(const std::string& fault, updatetest::PostedMessages* posted,
                                     CWinHttpWrapper* http, lib::KernelHandle* worker) {
        const std::string path = std::string("/") + kSmall;
        Fault("http", path, fault);
        const UINT progress = updatetest::Registered("LancherProgress");
        const std::wstring url = Url("http", path);
        ASSERT_TRUE(http->Initialize(url.c_str(), 0, nullptr, true));
        ASSERT_TRUE(http->Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
        http->SetProgressTarget(posted->window(), progress);
        worker->reset(http->SendRequest(nullptr, nullptr));
        ASSERT_TRUE(worker->valid());
        ASSERT_TRUE(posted->WaitFor(progress, 5000));
    }
};

TEST_F(Http, RequestAsSent) {
    const test::ServiceInstance& service = test::Service("https");
    test::SetServiceConfig(service, R"({"reply": {"RET": 0, "DLVER": "1.2.0"}})");
    test::ClearServiceRequests(service);
    CWinHttpWrapper http;
    const std::wstring url = Url("https", "/pcapp/GetLatestPCAplCommonAPI?id=7");
    ASSERT_TRUE(http.Initialize(url.c_str(), 0, nullptr, true));
    ASSERT_TRUE(http.Connect(CWinHttpWrapper::kPost, kAgent, nullptr));
    EXPECT_EQ(nullptr, http.SendRequestWithBody(nullptr, 0, nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), ::GetLastError());
    const Outcome outcome = Finish(
        http, http.SendRequestWithBody(nullptr, 0, L"application/x-www-form-urlencoded", nullptr, nullptr),
        ::GetTickCount());
    EXPECT_EQ(0, outcome.result);
    EXPECT_EQ("RET=0&DLVER=1.2.0&DLURL=&UMVER=&UMURL=&MEVER=&MEURL=", outcome.body);

    const std::vector<std::string> requests = test::ServiceRequests(service);
    ASSERT_EQ(1u, requests.size());
    for (const char* part : {R"("method": "POST")", R"("path": "/pcapp/GetLatestPCAplCommonAPI?id=7")",
                             R"(["User-Agent", "27KexLPNI/1.000000"])",
                             R"(["Content-Type", "application/x-www-form-urlencoded"])", R"(["Accept", "*/*"])",
                             R"("body": "")"})
        EXPECT_NE(std::string::npos, requests[0].find(part)) << part << " not in " << requests[0];
}

TEST_F(Http, CertificatesAreChecked) {
    const Outcome trusted = Get(Url("https", std::string("/") + kSmall));
    EXPECT_EQ(0, trusted.result);
    EXPECT_TRUE(Package(kSmall) == trusted.body);
    for (const char* instance : {"untrusted", "expired", "wronghost"}) {
        const Outcome refused = Get(Url(instance, std::string("/") + kSmall));
        EXPECT_NE(0, refused.result) << instance;
        EXPECT_EQ(0, refused.size) << instance;
        ShowCode(instance, refused.result);
    }
}

TEST_F(Http, PortOfUrlThenArgumentThenScheme) {
    const int port = test::Service("http").port;
    const std::wstring noPort = Wide(std::string("http://localhost/") + kSmall);
    EXPECT_EQ(0, Get(noPort, nullptr, true, static_cast<INTERNET_PORT>(port)).result);
    // The URL's port wins over any argument.
    EXPECT_EQ(0, Get(Url("http", std::string("/") + kSmall), nullptr, true, 443).result);
    const Outcome closed = Get(Wide(std::string("https://localhost/") + kSmall), nullptr, true, 8443);
    EXPECT_EQ(ERROR_WINHTTP_CANNOT_CONNECT, closed.result);
}

// A stand-in for the current user's registry in this process, so that proxy
// settings written here reach no other program of the prefix.
class UserRegistryStandIn {
public:
    UserRegistryStandIn() {
        // Keys under a volatile key must be volatile too.
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &root_,
                          nullptr);
        if (root_ == nullptr || ::RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS) return;
        overridden_ = true;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                          nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &settings_, nullptr);
    }
    ~UserRegistryStandIn() {
        if (settings_ != nullptr) ::RegCloseKey(settings_);
        if (overridden_) ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (root_ == nullptr) return;
        ::RegDeleteTreeW(root_, nullptr);
        ::RegCloseKey(root_);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kRoot);
    }
    bool ready() const { return settings_ != nullptr; }

    void SetNumber(const wchar_t* name, DWORD value) {
        ::RegSetValueExW(settings_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    void SetText(const wchar_t* name, const std::wstring& text) {
        ::RegSetValueExW(settings_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    static constexpr const wchar_t* kRoot = L"Software\\RavelinHttpTest";
    HKEY root_ = nullptr;
    HKEY settings_ = nullptr;
    bool overridden_ = false;
};

// The plain service also answers requests in proxy form, so it serves as the proxy.
TEST_F(Http, ProxyGivenOrDetected) {
    const std::string port = std::to_string(test::Service("http").port);
    const std::wstring proxy = Wide("localhost:" + port);
    const std::wstring url = Wide(std::string("http://update.invalid/") + kSmall);
    {
        CWinHttpWrapper http(proxy.c_str());
        ASSERT_TRUE(http.Initialize(url.c_str(), 0, nullptr, true));
        ASSERT_TRUE(http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
        EXPECT_EQ(proxy, update::GetDetectedProxy());
        EXPECT_TRUE(Package(kSmall) == Finish(http, http.SendRequest(nullptr, nullptr), ::GetTickCount()).body);
    }

    UserRegistryStandIn registry;
    ASSERT_TRUE(registry.ready());
    registry.SetNumber(L"ProxyEnable", 0);
    registry.SetText(L"ProxyServer", proxy);
    EXPECT_EQ(L"", update::DetectProxy(url, kTimeout));
    registry.SetNumber(L"ProxyEnable", 1);
    EXPECT_TRUE(Package(kSmall) == Get(url).body);
    EXPECT_EQ(proxy, update::GetDetectedProxy());

    // A configuration script comes first.
    test::WriteWholeFile(test::ServiceFilesFolder() + "http_proxy.pac",
                         "function FindProxyForURL(url, host) { return \"PROXY 127.0.0.1:" + port + "\"; }");
    registry.SetText(L"AutoConfigURL", Url("http", "/http_proxy.pac"));
    EXPECT_EQ(Wide("127.0.0.1:" + port), update::DetectProxy(url, kTimeout));
}

TEST_F(Http, ErrorStatusWritesNoFile) {
    test::ScratchFolder scratch;
    const std::string target = scratch.path() + "package.bin";
    EXPECT_EQ(0x10000194, Get(Url("http", "/missing.bin"), target.c_str(), false).result);
    EXPECT_TRUE(NoFileAt(target));
    Fault("https", "/broken.bin", R"({"kind": "status", "status": 500})");
    EXPECT_EQ(0x100001F4, Get(Url("https", "/broken.bin"), target.c_str(), false).result);
    EXPECT_TRUE(NoFileAt(target));
}

TEST_F(Http, SilentServersEndWithinTheTimeout) {
    const std::string path = std::string("/") + kSmall;
    struct Case {
        const char* instance;
        const char* fault;
    };
    for (const Case& c : {Case{"http", R"({"kind": "stall_headers"})"}, Case{"https", R"({"kind": "stall_headers"})"},
                          Case{"http", R"({"kind": "stall_body", "bytes": 50000})"},
                          Case{"https", R"({"kind": "stall_body", "bytes": 0})"}}) {
        Fault(c.instance, path, c.fault);
        const Outcome outcome = Get(Url(c.instance, path));
        EXPECT_EQ(ERROR_WINHTTP_TIMEOUT, outcome.result) << c.instance << " " << c.fault;
        EXPECT_GE(outcome.milliseconds, kTimeout - 100) << c.fault;
        EXPECT_LT(outcome.milliseconds, kTimeout + 2000) << c.fault;
        std::cout << "  " << c.instance << " " << c.fault << ": " << outcome.milliseconds << " ms\n";
    }
}

TEST_F(Http, BrokenBodiesFail) {
    const std::string path = std::string("/") + kSmall;
    test::ScratchFolder scratch;
    const std::string target = scratch.path() + "package.bin";
    for (const char* fault : {R"({"kind": "short", "bytes": 50000})", R"({"kind": "short", "bytes": 0})",
                              R"({"kind": "reset", "bytes": 50000})", R"({"kind": "reset"})"}) {
        for (const char* instance : {"http", "https"}) {
            Fault(instance, path, fault);
            const Outcome outcome = Get(Url(instance, path), target.c_str(), false);
            EXPECT_NE(0, outcome.result) << instance << " " << fault;
            EXPECT_LT(outcome.milliseconds, 5000u) << instance << " " << fault;
            EXPECT_TRUE(NoFileAt(target)) << instance << " " << fault;
            std::cout << "  " << instance << " " << fault << ": result " << outcome.result << " after "
                      << outcome.milliseconds << " ms\n";
        }
    }
}

TEST_F(Http, UnusualLengths) {
    Fault("http", std::string("/") + kLarge, R"({"kind": "chunked", "chunk": 7000})");
    const Outcome chunked = Get(Url("http", std::string("/") + kLarge));
    EXPECT_EQ(0, chunked.result);
    EXPECT_TRUE(chunked.body == Package(kLarge));

    updatetest::RawHttpPeer absurd("HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nabc");
    EXPECT_EQ(ERROR_NOT_ENOUGH_MEMORY, Get(absurd.baseUrl() + L"/x").result);

    // A HEAD answer announces a length but carries no body.
    updatetest::RawHttpPeer head("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n");
    CWinHttpWrapper http;
    const std::wstring url = head.baseUrl() + L"/x";
    ASSERT_TRUE(http.Initialize(url.c_str(), 0, nullptr, true));
    ASSERT_TRUE(http.Connect(CWinHttpWrapper::kHead, kAgent, nullptr));
    const Outcome outcome = Finish(http, http.SendRequest(nullptr, nullptr), ::GetTickCount());
    EXPECT_EQ(0, outcome.result);
    EXPECT_LT(outcome.milliseconds, 1000u);
}

TEST_F(Http, AbortWhileDataFlows) {
    updatetest::PostedMessages posted;
    CWinHttpWrapper http;
    lib::KernelHandle worker;
    ASSERT_NO_FATAL_FAILURE(StartUntilFirstBytes(R"({"kind": "slow", "chunk": 1000, "interval": 0.05})", &posted,
                                                 &http, &worker));
    // No new request while this one runs.
    EXPECT_FALSE(http.Initialize(Url("http", "/other").c_str(), 0, nullptr, true));

    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(http.Abort(25000));
    const DWORD took = ::GetTickCount() - start;
    std::cout << "  abort took " << took << " ms\n";
    EXPECT_LT(took, 1000u);
    EXPECT_EQ(CWinHttpWrapper::kAborted, http.GetResult());
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(worker.get(), &exitCode));
    EXPECT_EQ(static_cast<DWORD>(CWinHttpWrapper::kAborted), exitCode);
}

// An abort closes the request handle, which under Wine sometimes ends a read
// waiting for more of a body, and never the wait for the headers. Either way
// the abort returns at once and leaves a worker still blocked to its own
// timeout. The object can start another request straight away, and the late
// worker reaches neither window nor file.
TEST_F(Http, AbortDuringSilenceReturnsAtOnce) {
    test::ScratchFolder scratch;
    const std::string target = scratch.path() + "silent.bin";
    const std::string path = std::string("/") + kSmall;
    updatetest::PostedMessages posted;
    const UINT progress = updatetest::Registered("LancherProgress");
    struct Case {
        const char* fault;
        bool body;
    };
    for (const Case& c : {Case{R"({"kind": "stall_body", "bytes": 50000})", true},
                          Case{R"({"kind": "stall_headers"})", false}}) {
        Fault("http", path, c.fault);
        test::ClearServiceRequests(test::Service("http"));
        CWinHttpWrapper http;
        http.SetTimeout(kTimeout);
        http.SetProgressTarget(posted.window(), progress);
        const std::wstring url = Url("http", path);
        ASSERT_TRUE(http.Initialize(url.c_str(), 0, target.c_str(), false));
        ASSERT_TRUE(http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
        lib::KernelHandle worker(http.SendRequest(nullptr, nullptr));
        ASSERT_TRUE(worker.valid());
        if (c.body) {
            ASSERT_TRUE(posted.WaitFor(progress, 5000));
            EXPECT_TRUE(test::FileExists(update::CDownloadFile::UnfinishedPath(target)));
        } else {
            for (int i = 0; i < 50 && test::ServiceRequests(test::Service("http")).empty(); ++i) ::Sleep(20);
        }

        const DWORD start = ::GetTickCount();
        const bool ended = http.Abort(100);
        EXPECT_LT(::GetTickCount() - start, 500u) << c.fault;
        if (!c.body) {
            EXPECT_FALSE(ended);
        }
        EXPECT_EQ(CWinHttpWrapper::kAborted, http.GetResult()) << c.fault;
        EXPECT_EQ(nullptr, http.GetResponseData()) << c.fault;
        if (ended) {
            EXPECT_TRUE(NoFileAt(target));
        }
        posted.Collect();
        const std::size_t seen = posted.Named(progress).size();

        // A new request of the same object, its own progress elsewhere.
        http.SetProgressTarget(nullptr, 0);
        ASSERT_TRUE(http.Initialize(Url("https", path).c_str(), 0, "", true));
        ASSERT_TRUE(http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
        EXPECT_TRUE(Package(kSmall) == Finish(http, http.SendRequest(nullptr, nullptr), ::GetTickCount()).body);

        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(worker.get(), kTimeout + 2000)) << c.fault;
        EXPECT_TRUE(update::WaitForAbandonedThreads(kTimeout + 2000));
        std::cout << "  " << c.fault << ": abort " << (ended ? "ended the worker" : "left the worker") << ", which ended "
                  << ::GetTickCount() - start << " ms after it\n";
        EXPECT_TRUE(NoFileAt(target)) << c.fault;
        posted.Collect();
        EXPECT_EQ(seen, posted.Named(progress).size()) << c.fault;
    }
}

// The send attempts share the request's deadline: a connection that is never
// accepted fails after about a fifth more than one call's bound, not three.
TEST_F(Http, NeverAcceptedConnectionEndsWithinOneDeadline) {
    updatetest::UnacceptingPeer peer;
    ASSERT_FALSE(peer.baseUrl().empty());
    const Outcome outcome = Get(peer.baseUrl() + L"/x");
    std::cout << "  never accepted: result " << outcome.result << " after " << outcome.milliseconds << " ms\n";
    EXPECT_EQ(ERROR_WINHTTP_TIMEOUT, outcome.result);
    EXPECT_GE(outcome.milliseconds, kTimeout - 100);
    EXPECT_LT(outcome.milliseconds, kTimeout + kTimeout / 5 + 700);
}

TEST_F(Http, InitializeRefusesWhileARequestIsOpen) {
    CWinHttpWrapper http;
    const std::wstring first = Url("http", std::string("/") + kSmall);
    const std::wstring second = Url("http", "/missing.bin");
    ASSERT_TRUE(http.Initialize(first.c_str(), 0, nullptr, true));
    ASSERT_TRUE(http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
    EXPECT_FALSE(http.Initialize(second.c_str(), 0, nullptr, true));
    EXPECT_EQ(0, Finish(http, http.SendRequest(nullptr, nullptr), ::GetTickCount()).result);

    // Usable again once the worker has ended.
    ASSERT_TRUE(http.Initialize(second.c_str(), 0, nullptr, true));
    ASSERT_TRUE(http.Connect(CWinHttpWrapper::kGet, kAgent, nullptr));
    EXPECT_EQ(0x10000194, Finish(http, http.SendRequest(nullptr, nullptr), ::GetTickCount()).result);
}

TEST_F(Http, MemoryAndFileModesKeepTheSameBody) {
    test::ScratchFolder scratch;
    const std::string expected = Package(kLarge);
    for (const char* instance : {"http", "https"}) {
        for (bool memoryMode : {true, false}) {
            const std::string target = scratch.path() + instance + (memoryMode ? "_memory.bin" : "_file.bin");
            updatetest::PostedMessages posted;
            const UINT progress = updatetest::Registered("UpdateProgress");
            const Outcome outcome = Get(Url(instance, std::string("/") + kLarge), target.c_str(), memoryMode, 0,
                                        posted.window(), progress);
            EXPECT_EQ(0, outcome.result);
            EXPECT_EQ(static_cast<int>(expected.size()), outcome.size);
            // Memory mode keeps the body to itself; file mode leaves only the whole file.
            if (memoryMode) {
                EXPECT_TRUE(outcome.body == expected);
                EXPECT_TRUE(NoFileAt(target));
            } else {
                EXPECT_TRUE(test::ReadWholeFile(target) == expected) << target;
                EXPECT_FALSE(test::FileExists(update::CDownloadFile::UnfinishedPath(target)));
            }
            std::cout << "  " << target << ": " << outcome.milliseconds << " ms\n";

            posted.Collect();
            const std::vector<MSG> messages = posted.Named(progress);
            long long total = 0;
            for (const MSG& msg : messages) {
                EXPECT_EQ(expected.size(), msg.wParam);
                EXPECT_GT(msg.lParam, 0);
                total += msg.lParam;
            }
            EXPECT_EQ(static_cast<long long>(expected.size()), total);
            // Coalesced: one message per interval, and one for the rest.
            EXPECT_LE(messages.size(), outcome.milliseconds / update::ProgressCoalescer::kInterval + 2);
        }
    }
}

}  // namespace
