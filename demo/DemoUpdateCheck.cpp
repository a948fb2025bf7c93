// Checks a laid-out demo suite without the launcher's windows. Copied into
// the suite's folder and run there, it reads the service address through the
// launcher's own connection table (Connection.info beside it), posts the
// update check as the launcher does, parses the reply and compares the
// versions with the programs beside it. With --fetch it also downloads every
// package the comparison asks for and reports its size.
//   demo_update_check.exe [--fetch]
// Prints UTF-8; exit 0 when every step worked.
#include <windows.h>
#include <winhttp.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "launcher/update/ComponentVersions.h"
#include "launcher/update/ConnectionFile.h"
#include "launcher/update/ServiceReply.h"

namespace {

constexpr wchar_t kUserAgent[] = L"27KexLPNI/1.000000";
constexpr int kTimeout = 30000;

struct InternetCloser {
    void operator()(HINTERNET handle) const { ::WinHttpCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

std::wstring Wide(const std::string& text, UINT codePage) {
    if (text.empty()) return L"";
    const int size = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return "";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr,
                              nullptr);
    }
    return narrow;
}

// Prints a text of the system code page as UTF-8.
void Print(const std::string& ansi) {
    const std::string text = Utf8(Wide(ansi, CP_ACP)) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// The folder of this program, with its trailing backslash; the file name is
// cut at the last separator found by whole characters, never inside one.
std::string OwnFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH * 2 - 1);
    if (length == 0) return "";
    const char* lastSeparator = nullptr;
    for (const char* at = path; *at; at = ::CharNextA(at)) {
        if (*at == '\\') lastSeparator = at;
    }
    return lastSeparator ? std::string(path, static_cast<size_t>(lastSeparator - path) + 1) : std::string();
}

struct HttpResult {
    DWORD error = 0;  // a system or WinHTTP error, 0 when a status arrived
    DWORD status = 0;
    std::string body;
};

HttpResult Request(const std::string& url, const wchar_t* verb) {
    HttpResult result;
    const std::wstring wideUrl = Wide(url, CP_ACP);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) {
        result.error = ::GetLastError();
        return result;
    }
    // The cracked parts point into the URL and are not terminated.
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    Internet session(::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0));
    Internet connection(session ? ::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0) : nullptr);
    Internet request(connection ? ::WinHttpOpenRequest(connection.get(), verb, path.c_str(), nullptr,
                                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                       parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)
                                : nullptr);
    if (!request) {
        result.error = ::GetLastError();
        return result;
    }
    // A silent service must not hold the check for ever.
    ::WinHttpSetTimeouts(request.get(), kTimeout, kTimeout, kTimeout, kTimeout);
    DWORD responseTimeout = kTimeout;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                       sizeof responseTimeout);
    const wchar_t* headers = std::wcscmp(verb, L"POST") == 0
                                 ? L"Content-Type:application/x-www-form-urlencoded"
                                 : WINHTTP_NO_ADDITIONAL_HEADERS;
    if (!::WinHttpSendRequest(request.get(), headers, headers ? static_cast<DWORD>(-1L) : 0, WINHTTP_NO_REQUEST_DATA,
                              0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        result.error = ::GetLastError();
        return result;
    }
    DWORD statusSize = sizeof result.status;
    ::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &result.status, &statusSize, WINHTTP_NO_HEADER_INDEX);
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) {
            result.error = ::GetLastError();
            return result;
        }
        if (available == 0) break;
        std::vector<char> chunk(available);
        DWORD read = 0;
        if (!::WinHttpReadData(request.get(), chunk.data(), available, &read)) {
            result.error = ::GetLastError();
            return result;
        }
        result.body.append(chunk.data(), read);
    }
    return result;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

int Run(bool fetch) {
    const std::string folder = OwnFolder();
    Print("folder: " + folder);
    const std::string serviceUrl = update::GetConnectionUrl(update::kUpdateServiceId);
    Print("connection entry 30: " + serviceUrl);
    if (serviceUrl.empty()) return 1;

    const HttpResult answer = Request(serviceUrl, L"POST");
    if (answer.error != 0 || answer.status != 200) {
        Print("service request failed: error " + std::to_string(answer.error) + ", HTTP status " +
              std::to_string(answer.status));
        return 1;
    }
    Print("service reply: " + answer.body);
    update::ServiceReply reply;
    const bool parsed = update::ParseServiceReply(answer.body, &reply);
    Print(std::string("reply understood: ") + (parsed ? "yes" : "no") + ", RET " + std::to_string(reply.result));
    if (!parsed) return 1;

    std::array<std::string, update::kComponentCount> serverVersions;
    for (const update::Component& component : update::kComponentTable) {
        const size_t slot = static_cast<size_t>(component.number - 1);
        serverVersions[slot] = reply.components[slot].version;
        update::FileVersion local;
        const bool present = update::ReadFileVersion(folder + component.programFile, &local);
        Print("component " + std::to_string(component.number) + " " + component.programFile + ": installed " +
              (present ? std::to_string(local.major) + "." + std::to_string(local.minor) + "." +
                             std::to_string(local.build) + "." + std::to_string(local.revision)
                       : std::string("(none)")) +
              ", server \"" + serverVersions[slot] + "\"");
    }
    const int flags = update::CheckHaveNewVersion(folder, serverVersions);
    Print("flags: " + Hex(static_cast<unsigned>(flags), 4));

    int failures = 0;
    if (fetch) {
        for (const update::Component& component : update::kComponentTable) {
            if ((flags & component.updateFlag) == 0) continue;
            const std::string& url = reply.components[static_cast<size_t>(component.number - 1)].url;
            const HttpResult package = Request(url, L"GET");
            const bool fetched = package.error == 0 && package.status == 200 && !package.body.empty();
            Print("package " + std::to_string(component.number) + " " + url + ": " +
                  (fetched ? std::to_string(package.body.size()) + " bytes"
                           : "failed (error " + std::to_string(package.error) + ", HTTP status " +
                                 std::to_string(package.status) + ")"));
            if (!fetched) ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const bool fetch = argc == 2 && std::strcmp(argv[1], "--fetch") == 0;
        if (argc > 2 || (argc == 2 && !fetch)) {
            std::fprintf(stderr, "usage: demo_update_check.exe [--fetch]\n");
            return 2;
        }
        return Run(fetch);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_update_check: %s\n", error.what());
        return 1;
    }
}
