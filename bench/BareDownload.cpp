#include "bench/BareDownload.h"

#include <algorithm>
#include <vector>

namespace bench {

update::InternetHandle SendBareGet(HINTERNET connection, const std::wstring& path, bool secure) {
    update::InternetHandle request(::WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        WINHTTP_FLAG_REFRESH | (secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request ||
        !::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return update::InternetHandle();
    }
    return request;
}

std::uint64_t CopyBody(HINTERNET request, HANDLE file) {
    constexpr DWORD kChunk = 102400;
    std::vector<char> buffer(kChunk);
    std::uint64_t total = 0;
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request, &available) || available == 0) return total;
        DWORD read = 0;
        if (!::WinHttpReadData(request, buffer.data(), std::min(available, kChunk), &read) || read == 0) return total;
        DWORD written = 0;
        if (!::WriteFile(file, buffer.data(), read, &written, nullptr) || written != read) return 0;
        total += read;
    }
}

}  // namespace bench
