#include "launcher/update/ConnectionFile.h"

#include <windows.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "launcher/update/QuotedFields.h"
#include "lib/AnsiPath.h"
#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"

namespace update {
namespace {

struct DefaultRow {
    int id;
    const char* url;
};

#define RAVELIN_SERVICE "https://pcapp.ravelin.halvard.jp/pcapp/"
#define RAVELIN_SITE "http://www.halvard.jp/navigation/ravelin/"

const DefaultRow kDefaultRows[] = {
    {0, RAVELIN_SERVICE "GetServerStatusAPI"},
    {1, RAVELIN_SERVICE "LoginAPI"},
    {2, RAVELIN_SERVICE "LogoutAPI"},
    {3, RAVELIN_SERVICE "GetUserInfoAPI"},
    {4, RAVELIN_SERVICE "GetMapVersionAPI"},
    {5, RAVELIN_SERVICE "GetMapListAPI"},
    {6, RAVELIN_SERVICE "DownloadMapAPI"},
    {7, RAVELIN_SERVICE "GetPoiCategoryAPI"},
    {8, RAVELIN_SERVICE "SearchPoiAPI"},
    {9, RAVELIN_SERVICE "GetRouteAPI"},
    {10, RAVELIN_SERVICE "UploadRouteAPI"},
    {11, RAVELIN_SERVICE "DownloadRouteAPI"},
    {12, RAVELIN_SERVICE "GetFavoriteListAPI"},
    {13, RAVELIN_SERVICE "UploadFavoriteAPI"},
    {14, RAVELIN_SERVICE "DownloadFavoriteAPI"},
    {15, RAVELIN_SERVICE "GetTrafficInfoAPI"},
    {16, RAVELIN_SERVICE "GetWeatherInfoAPI"},
    {17, RAVELIN_SERVICE "GetDeviceInfoAPI"},
    {18, RAVELIN_SERVICE "RegisterDeviceAPI"},
    {19, RAVELIN_SERVICE "UnregisterDeviceAPI"},
    {20, RAVELIN_SERVICE "GetFirmwareVersionAPI"},
    {21, RAVELIN_SERVICE "DownloadFirmwareAPI"},
    {22, RAVELIN_SERVICE "GetNoticeListAPI"},
    {23, RAVELIN_SERVICE "GetNoticeDetailAPI"},
    {24, RAVELIN_SERVICE "GetContentsListAPI"},
    {25, RAVELIN_SERVICE "DownloadContentsAPI"},
    {26, RAVELIN_SERVICE "GetLicenseInfoAPI"},
    {27, RAVELIN_SERVICE "ActivateLicenseAPI"},
    {28, RAVELIN_SERVICE "SendErrorReportAPI"},
    {29, RAVELIN_SERVICE "SendUsageLogAPI"},
    {30, RAVELIN_SERVICE "GetLatestPCAplCommonAPI"},
    {31, RAVELIN_SERVICE "GetLatestPCAplMapAPI"},
    {32, RAVELIN_SERVICE "GetLatestPCAplRouteAPI"},
    {33, RAVELIN_SERVICE "GetLatestPCAplDeviceAPI"},
    {34, RAVELIN_SITE "index.html"},
    {35, RAVELIN_SITE "support/index.html"},
    {36, RAVELIN_SITE "faq/index.html"},
    {37, RAVELIN_SITE "terms/index.html"},
    {38, RAVELIN_SITE "privacy/index.html"},
    {39, RAVELIN_SITE "download/index.html"},
    {40, RAVELIN_SITE "news/index.html"},
    {41, RAVELIN_SITE "web_help/index.html"},
};

#undef RAVELIN_SERVICE
#undef RAVELIN_SITE

constexpr std::size_t kMaxLineLength = 1023;

// CR LF, or LF alone when the text holds no CR LF at all.
std::vector<std::string> SplitLines(const std::string& text) {
    const std::string end = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find(end, start);
        if (stop == std::string::npos) stop = text.size();
        lines.push_back(text.substr(start, stop - start));
        start = stop + end.size();
    }
    return lines;
}

void FillDefaults(ConnectionUrls* urls) {
    urls->clear();
    for (const DefaultRow& row : kDefaultRows) (*urls)[row.id] = row.url;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    lib::FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        CKilnLogWrapper("ConnectionFile", 299)
            .Write(kLogError, "Connection.infoファイルオープン失敗(ERR:0x%X).%s",
                   static_cast<unsigned>(::GetLastError()), path.c_str());
        return false;
    }
    const DWORD size = ::GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE) return false;
    try {
        text->assign(static_cast<std::size_t>(size) + 1, '\0');
    } catch (const std::exception&) {  // bad_alloc, or length_error on 32 bits
        CKilnLogWrapper("ConnectionFile", 314)
            .Write(kLogError, "Connection.infoファイル読み込み用バッファ確保失敗(ERR:0x%X).サイズ:%d",
                   static_cast<unsigned>(::GetLastError()), static_cast<int>(size + 1));
        return false;
    }
    DWORD read = 0;
    if (!::ReadFile(file.get(), &(*text)[0], size, &read, nullptr) || read != size) {
        CKilnLogWrapper("ConnectionFile", 325)
            .Write(kLogError, "Connection.infoファイル読み込み失敗(ERR:0x%X).サイズ:%d",
                   static_cast<unsigned>(::GetLastError()), static_cast<int>(size));
        return false;
    }
    // The text is read as a C string: a NUL byte ends it.
    text->resize(text->find('\0'));
    return true;
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return lib::PathFolder(std::string_view(path, length < MAX_PATH ? length : 0));
}

}  // namespace

std::vector<ConnectionLine> ParseConnectionText(const std::string& text) {
    std::vector<ConnectionLine> result;
    for (const std::string& line : SplitLines(text)) {
        if (line.empty() || line.size() > kMaxLineLength) break;
        std::vector<std::string> fields = SplitQuoted(line, ',');
        // strtol rather than atol: an out-of-range id saturates instead of overflowing.
        const int id = static_cast<int>(std::strtol(fields[0].c_str(), nullptr, 10));
        result.push_back({id, fields.size() > 1 ? std::move(fields[1]) : std::string()});
    }
    return result;
}

bool LoadConnectionFile(const std::string& folder, ConnectionUrls* urls) {
    FillDefaults(urls);
    const std::string path = lib::JoinPath(folder, "Connection.info");
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    std::string text;
    if (!ReadWholeFile(path, &text)) return false;
    for (ConnectionLine& line : ParseConnectionText(text)) {
        auto found = urls->find(line.id);
        if (found == urls->end())
            CKilnLogWrapper("ConnectionFile", 403).Write(kLogError, "接続ファイル不正 ID:%d", line.id);
        else
            found->second = std::move(line.url);
    }
    return true;
}

ConnectionTable::ConnectionTable(std::string folder) : folder_(std::move(folder)) {}

std::string ConnectionTable::Url(int id) {
    bool loaded = true;
    std::call_once(loaded_, [&] { loaded = LoadConnectionFile(folder_, &urls_); });
    if (!loaded) return {};
    auto found = urls_.find(id);
    return found == urls_.end() ? std::string() : found->second;
}

std::string GetConnectionUrl(int id) {
    static ConnectionTable table(OwnFolder());
    return table.Url(id);
}

}  // namespace update
