#include "launcher/app/ErrorMessageTable.h"

#include <cstdio>

namespace launcher {
namespace {

constexpr DWORD kCategoryMask = 0xFF000000;
constexpr DWORD kUpdateCheck = 0x04000000;
constexpr DWORD kRequestFailed = 0x00100000;
constexpr DWORD kServiceAnswered = 0x00200000;

constexpr char kCodeLine[] = "\r\n\r\n(メッセージコード：";
constexpr char kCodeField[] = "%08X";

constexpr char kConnectionText[] =
    "インターネットに接続できませんでした。\r\n\r\nネットワークが正常に接続されていることを確認し、\r\n"
    "再度登録確認を行ってください。\r\n\r\n(メッセージコード：%08X)";
constexpr char kMaintenanceText[] =
    "Ravelinの更新確認ができませんでした。\r\n\r\nサーバーのメンテナンス中です。\r\n"
    "しばらくしてから認証を行ってください。\r\n\r\n(メッセージコード：%08X)";
constexpr char kServiceErrorText[] =
    "Ravelinの更新確認ができませんでした。\r\n\r\nネットワークが正常に接続されていることを確認し、\r\n"
    "再度バージョンアップをお試しください。\r\n\r\n(メッセージコード：%08X)";

const char* TextFor(DWORD code) {
    if ((code & kCategoryMask) != kUpdateCheck) return nullptr;
    if (code & kRequestFailed) return kConnectionText;
    if (code == (kUpdateCheck | kServiceAnswered | 5)) return kMaintenanceText;
    if (code == (kUpdateCheck | kServiceAnswered | 99)) return kServiceErrorText;
    return nullptr;
}

// Puts the code (and detail) into the text's code field; the table's texts are
// templates of this program, never formats taken from elsewhere.
std::string WithCode(const std::string& text, DWORD code, DWORD detail) {
    const std::size_t line = text.find(kCodeLine);
    if (line == std::string::npos) return text;
    const std::size_t field = text.find(kCodeField, line);
    if (field == std::string::npos) return text;
    char formatted[32];
    if (detail != 0) {
        std::snprintf(formatted, sizeof(formatted), "%08lX-%lX", static_cast<unsigned long>(code),
                      static_cast<unsigned long>(detail));
    } else {
        std::snprintf(formatted, sizeof(formatted), "%08lX", static_cast<unsigned long>(code));
    }
    return text.substr(0, field) + formatted + text.substr(field + sizeof(kCodeField) - 1);
}

}  // namespace

bool IsShownErrorCode(DWORD code) {
    if (code < 0x01000000 || (code & 0x00FFFFFF) == 0) return false;
    const DWORD low = code & 0xFFFF;
    return low != 0xFF00 && low != 0xFF06 && low != 0xFF01 && low != 0xFF02;
}

ErrorMessage ErrorMessageFor(DWORD code, DWORD detail) {
    const char* text = TextFor(code);
    if (!text) return {};
    return ErrorMessage{WithCode(text, code, detail), MB_ICONEXCLAMATION};
}

}  // namespace launcher
