// Which update-check codes the launcher shows, with which text and code line.
#include <gtest/gtest.h>

#include <string>

#include "launcher/app/ErrorMessageTable.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(ErrorMessageTable, CodesShowTheirTextWithTheCodeLine) {
    struct Case {
        DWORD code, detail;
        const char* start;  // "" when nothing is shown
        const char* end;
    };
    const Case cases[] = {
        {0x04200005, 0, "Ravelinの更新確認ができませんでした。\r\n\r\nサーバーのメンテナンス中です。", "(メッセージコード：04200005)"},
        {0x04200063, 0, "Ravelinの更新確認ができませんでした。\r\n\r\nネットワーク", "(メッセージコード：04200063)"},
        {0x04100000 | 12029, 0, "インターネットに接続できませんでした。", "(メッセージコード：04102EFD)"},
        {0x04100000 | 12157, 0x1F, "インターネットに接続できませんでした。", "(メッセージコード：04102F7D-1F)"},
        {0x04300194, 0, "インターネットに接続できませんでした。", "(メッセージコード：04300194)"},  // 0x00100000 set
        {0x04200007, 0, "", ""},
        {0x05100005, 0, "", ""},  // another category
    };
    for (const Case& c : cases) {
        const launcher::ErrorMessage message = launcher::ErrorMessageFor(c.code, c.detail);
        EXPECT_EQ(0u, message.text.rfind(c.start, 0)) << std::hex << c.code;
        EXPECT_TRUE(EndsWith(message.text, c.end)) << std::hex << c.code << ": " << message.text;
        EXPECT_EQ(message.text.empty() ? 0u : static_cast<UINT>(MB_ICONEXCLAMATION), message.flags);
    }
}

TEST(ErrorMessageTable, ReservedAndSmallCodesAreNeverShown) {
    for (DWORD code : {0x00FFFFFFu, 0x04000000u, 0x0410FF00u, 0x0410FF01u, 0x0410FF02u, 0x0410FF06u}) {
        EXPECT_FALSE(launcher::IsShownErrorCode(code)) << std::hex << code;
    }
    for (DWORD code : {0x01000001u, 0x04200005u, 0x0410FF03u}) EXPECT_TRUE(launcher::IsShownErrorCode(code)) << std::hex << code;
}
