#include "launcher/update/ServiceReply.h"

#include <cstdlib>
#include <utility>

#include "launcher/update/QuotedFields.h"

namespace update {
namespace {

// RET, then the version and URL keys of each component in table order.
constexpr int kReplyKeyCount = 1 + 2 * kComponentCount;
constexpr std::size_t kReplyFieldCount = 7;

const char* ReplyKey(int index) {
    if (index == 0) return "RET";
    const Component& component = kComponentTable[(index - 1) / 2];
    return (index - 1) % 2 == 0 ? component.versionKey : component.urlKey;
}

// strtol rather than atol: an out-of-range code saturates instead of overflowing.
int ResultCode(const char* text) { return static_cast<int>(std::strtol(text, nullptr, 10)); }

}  // namespace

int FindReplyKey(const std::string& field) {
    for (int index = 0; index < kReplyKeyCount; ++index) {
        if (field.rfind(ReplyKey(index), 0) == 0) return index;
    }
    return -1;
}

bool ParseServiceReply(const std::string& text, ServiceReply* reply) {
    const std::vector<std::string> fields = SplitQuoted(text, '&');
    if (fields.size() != kReplyFieldCount) {
        if (text.rfind("RET=", 0) == 0) {
            reply->result = ResultCode(text.c_str() + 4);
            reply->resultAnswered = true;
        }
        return false;
    }
    for (const std::string& field : fields) {
        const int key = FindReplyKey(field);
        if (key < 0) return false;
        const std::size_t equals = field.find('=');
        std::string value = equals == std::string::npos ? field : field.substr(equals + 1);
        if (key == 0) {
            reply->result = ResultCode(value.c_str());
            reply->resultAnswered = true;
        } else {
            ComponentInfo& info = reply->components[(key - 1) / 2];
            ((key - 1) % 2 == 0 ? info.version : info.url) = std::move(value);
        }
    }
    return true;
}

}  // namespace update
