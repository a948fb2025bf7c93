#pragma once
// The numbered server addresses: compiled-in defaults, optionally replaced
// line by line from "Connection.info" beside the program.
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace update {

// Entry ids the launcher reads.
constexpr int kUpdateServiceId = 30;
constexpr int kHomePageId = 39;
constexpr int kOnlineHelpId = 41;

using ConnectionUrls = std::map<int, std::string>;

// One parsed line of the file: the id and the URL that replaces its default.
struct ConnectionLine {
    int id;
    std::string url;
};

// The lines of the file's text up to the first empty or overlong line.
std::vector<ConnectionLine> ParseConnectionText(const std::string& text);

// Fills *urls with the defaults, then applies "<folder>Connection.info" when
// it exists (folder ends with a backslash). False when the file could not be read.
bool LoadConnectionFile(const std::string& folder, ConnectionUrls* urls);

// A table loaded on its first lookup, from any thread.
class ConnectionTable {
public:
    explicit ConnectionTable(std::string folder);
    ConnectionTable(const ConnectionTable&) = delete;
    ConnectionTable& operator=(const ConnectionTable&) = delete;

    // Empty for an unknown id, and on the lookup whose load failed.
    std::string Url(int id);

private:
    std::string folder_;
    std::once_flag loaded_;
    ConnectionUrls urls_;
};

// The process-wide table, with the file beside the program.
std::string GetConnectionUrl(int id);

}  // namespace update
