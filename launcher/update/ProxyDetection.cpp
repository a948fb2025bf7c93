#include "launcher/update/ProxyDetection.h"

#include <winhttp.h>

#include <process.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/InternetHandle.h"
#include "log/KilnLogWrapper.h"
#include "lib/AnsiText.h"

namespace update {
namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Registry texts are read into at most this many bytes.
constexpr DWORD kSettingBytes = 1024;

std::mutex detectedProxyLock;
std::wstring detectedProxy;

// A text value of the Internet settings; false with the error in *error.
bool ReadSetting(const wchar_t* name, std::wstring* text, LONG* error) {
    wchar_t buffer[kSettingBytes / sizeof(wchar_t)] = {};
    DWORD size = sizeof(buffer);
    *error = ::RegGetValueW(HKEY_CURRENT_USER, kInternetSettings, name, RRF_RT_REG_SZ, nullptr, buffer, &size);
    if (*error != ERROR_SUCCESS) return false;
    text->assign(buffer);
    return true;
}

std::wstring ReadAutoConfigUrl() {
    std::wstring url;
    LONG error = ERROR_SUCCESS;
    if (ReadSetting(L"AutoConfigURL", &url, &error) && !url.empty()) {
        CKilnLogWrapper("WinHttpWrapper", 649).Write(kLogTrace, "AutoConfigURL取得[SVR:%s]", lib::ToAnsi(url).c_str());
        return url;
    }
    CKilnLogWrapper("WinHttpWrapper", 652).Write(kLogTrace, "AutoConfigURL設定無し");
    return {};
}

void LogAccessType(DWORD accessType) {
    switch (accessType) {
    case WINHTTP_ACCESS_TYPE_DEFAULT_PROXY:
        CKilnLogWrapper("WinHttpWrapper", 676)
            .Write(kLogTrace, "WinHttpGetProxyForUrl() : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY\n");
        break;
    case WINHTTP_ACCESS_TYPE_NO_PROXY:
        CKilnLogWrapper("WinHttpWrapper", 679).Write(kLogTrace, "WinHttpGetProxyForUrl() : WINHTTP_ACCESS_TYPE_NO_PROXY");
        break;
    case WINHTTP_ACCESS_TYPE_NAMED_PROXY:
        CKilnLogWrapper("WinHttpWrapper", 682)
            .Write(kLogTrace, "WinHttpGetProxyForUrl() : WINHTTP_ACCESS_TYPE_NAMED_PROXY");
        break;
    default:
        break;
    }
}

// The proxy named by the configuration script or by automatic detection.
std::wstring AutomaticProxy(HINTERNET session, const std::wstring& url) {
    const std::wstring configUrl = ReadAutoConfigUrl();
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (configUrl.empty()) {
        options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    } else {
        options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = configUrl.c_str();
    }
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info{};
    if (!::WinHttpGetProxyForUrl(session, url.c_str(), &options, &info)) {
        CKilnLogWrapper("WinHttpWrapper", 699)
            .Write(kLogTrace, "WinHttpGetProxyForUrl()失敗[ERR:%d]", static_cast<int>(::GetLastError()));
        return {};
    }
    LogAccessType(info.dwAccessType);
    std::wstring proxy = info.lpszProxy != nullptr ? info.lpszProxy : L"";
    CKilnLogWrapper("WinHttpWrapper", 686).Write(kLogTrace, "WinHttpGetProxyForUrl() : %s", lib::ToAnsi(proxy).c_str());
    if (info.lpszProxy != nullptr) ::GlobalFree(info.lpszProxy);
    if (info.lpszProxyBypass != nullptr) ::GlobalFree(info.lpszProxyBypass);
    return proxy;
}

// The proxy server the user entered, when the manual setting is on.
std::wstring ManualProxy() {
    DWORD enabled = 0;
    DWORD size = sizeof(enabled);
    const LONG error =
        ::RegGetValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyEnable", RRF_RT_DWORD, nullptr, &enabled, &size);
    if (error != ERROR_SUCCESS) {
        CKilnLogWrapper("WinHttpWrapper", 754)
            .Write(kLogError, "プロキシ設定取得失敗[ERR:0x%08X]", static_cast<unsigned>(error));
        return {};
    }
    if (enabled == 0) {
        CKilnLogWrapper("WinHttpWrapper", 750).Write(kLogTrace, "プロキシ設定無し");
        return {};
    }
    std::wstring server;
    LONG serverError = ERROR_SUCCESS;
    if (!ReadSetting(L"ProxyServer", &server, &serverError)) {
        CKilnLogWrapper("WinHttpWrapper", 746)
            .Write(kLogError, "プロキシサーバ取得失敗[ERR:0x%08X]", static_cast<unsigned>(serverError));
        return {};
    }
    CKilnLogWrapper("WinHttpWrapper", 743).Write(kLogTrace, "プロキシサーバ取得[SVR:%s]", lib::ToAnsi(server).c_str());
    return server;
}

// The automatic detection of one request, shared by the thread that runs it
// and the caller, who waits for it only up to kAutoDetectBound.
struct AutoDetection {
    std::wstring url;
    DWORD timeout = 0;
    std::wstring proxy;  // written by the thread before it ends
};

unsigned __stdcall AutoDetectThread(void* owner) {
    const std::unique_ptr<std::shared_ptr<AutoDetection>> detection(static_cast<std::shared_ptr<AutoDetection>*>(owner));
    try {
        InternetHandle session(::WinHttpOpen(L"WinHTTP AutoProxy Get/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
        if (!session) return 1;
        const int bound = static_cast<int>((*detection)->timeout);
        ::WinHttpSetTimeouts(session.get(), bound, bound, bound, bound);
        (*detection)->proxy = AutomaticProxy(session.get(), (*detection)->url);
    } catch (...) {
        CKilnLogWrapper("WinHttpWrapper", 699).Write(kLogError, "WinHttpGetProxyForUrl() 例外終了");
        return 1;
    }
    return 0;
}

// The configuration script's or the detected proxy; empty when none is found
// within the bound, and then the detection is left to end by itself.
std::wstring BoundedAutomaticProxy(const std::wstring& url, DWORD timeout) {
    auto detection = std::make_shared<AutoDetection>();
    detection->url = url;
    detection->timeout = std::min(timeout, kAutoDetectBound);
    auto owner = std::make_unique<std::shared_ptr<AutoDetection>>(detection);
    lib::KernelHandle thread(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &AutoDetectThread, owner.get(), 0, nullptr)));
    if (!thread) return {};
    owner.release();  // the thread's now
    if (::WaitForSingleObject(thread.get(), kAutoDetectBound) == WAIT_OBJECT_0) return detection->proxy;
    CKilnLogWrapper("WinHttpWrapper", 699)
        .Write(kLogError, "WinHttpGetProxyForUrl() タイムアウト %lums", static_cast<unsigned long>(kAutoDetectBound));
    AbandonThread(std::move(thread));
    return {};
}

}  // namespace

std::wstring DetectProxy(const std::wstring& url, DWORD timeout) {
    const std::wstring proxy = BoundedAutomaticProxy(url, timeout);
    return proxy.empty() ? ManualProxy() : proxy;
}

std::wstring GetDetectedProxy() {
    std::lock_guard<std::mutex> guard(detectedProxyLock);
    return detectedProxy;
}

void SetDetectedProxy(const std::wstring& proxy) {
    std::lock_guard<std::mutex> guard(detectedProxyLock);
    detectedProxy = proxy;
}

}  // namespace update
