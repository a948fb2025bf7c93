// Typed values, the string table, key schemas, item access and the error path.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "lib/wfc/DefaultLogFont.h"
#include "tests/ui/SkinTestSupport.h"
#include "ui/SkinError.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinStringTable.h"
#include "ui/SkinTextEscapes.h"
#include "ui/SkinValues.h"

namespace {

// The text `call` reported and threw ("" when it returned), checking that it was reported once.
template <typename Call>
std::string ReportedBy(Call call) {
    const skintest::Outcome outcome = skintest::Capture([&] {
        call();
        return std::string();
    });
    EXPECT_EQ(outcome.loaded ? 0u : 1u, outcome.reports.size());
    return outcome.text;
}

constexpr ui::SkinParameter S = ui::SkinParameter::String;
constexpr ui::SkinParameter I = ui::SkinParameter::Integer;

}  // namespace

TEST(SkinValues, IntegersColoursFontsAndRectangles) {
    const std::pair<const char*, int> integers[] = {
        {"", 0},
        {"12", 12},
        {"-8", -8},
        {"+7", 7},
        {"\t\n\v\f\r 42", 42},
        {"0x10", 0},
        {"12abc", 12},
        {"3.9", 3},
        {"- 5", 0},
        {"--5", 0},
        {"１２", 0},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999", INT_MIN},
    };
    for (const auto& [text, value] : integers) EXPECT_EQ(value, ui::SkinInteger(text)) << text;

    const ui::SkinItemDefinition item = {"Item",
                                         {{"Color", {"300", "0", "-1"}},
                                          {"Wrap", {"256", "257", " 7"}},
                                          {"Wide", {"x", "99999999999", "-99999999999", "2147483647"}},
                                          {"Mixed", {"name", "1", "-2", "x", "4"}},
                                          {"Font", {"", "14", "400"}},
                                          {"Arial", {"Arial", "-9", "abc"}},
                                          {"Shifted", {"K", "x", "-2147483648", "1"}},
                                          {"Position", {"10", "20"}},
                                          {"Size", {"30", "40"}}}};
    EXPECT_EQ(RGB(44, 0, 255), ui::SkinColorAt(item, "Color"));
    EXPECT_EQ(RGB(0, 1, 7), ui::SkinColorAt(item, "Wrap"));
    EXPECT_EQ(RGB(255, 0, 255), ui::SkinColorAt(item, "Wide", 1));
    EXPECT_EQ(-2, ui::SkinPointAt(item, "Mixed", 1).y);
    EXPECT_EQ(0, ui::SkinSizeAt(item, "Mixed", 2).cy);
    EXPECT_EQ((std::array<int, 4>{1, -2, 0, 4}), ui::SkinFourIntegersAt(item, "Mixed", 1));
    EXPECT_EQ("x", ui::SkinTextAt(item, "Mixed", 3));

    const LOGFONTA standard = lib::wfc::DefaultLogFont();
    for (const auto& [font, height, weight] :
         {std::tuple{ui::SkinFontAt(item, "Font"), -14, 400}, std::tuple{ui::SkinFontAt(item, "Arial"), 9, 0},
          std::tuple{ui::SkinFontAt(item, "Shifted", 1), INT_MAX, 1}}) {
        EXPECT_EQ(height, font.lfHeight);
        EXPECT_EQ(weight, font.lfWeight);
        EXPECT_EQ(0, font.lfWidth);
        EXPECT_EQ(standard.lfCharSet, font.lfCharSet);
        EXPECT_STREQ(standard.lfFaceName, font.lfFaceName);  // the face is never applied
    }

    const RECT rect = ui::SkinItemRect(item);
    EXPECT_EQ((std::vector<LONG>{10, 20, 40, 60}), (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
    const RECT huge =
        ui::SkinItemRect({"Huge", {{"Position", {"2147483000", "-2147483000"}}, {"Size", {"1000", "-1000"}}}});
    EXPECT_EQ((std::vector<LONG>{INT_MAX, INT_MIN}), (std::vector<LONG>{huge.right, huge.bottom}));
}

// A reader never lets a standard exception out: a key it was not validated
// for is the skin error the schema check would give.
TEST(SkinValues, ReadersReportKeysTheyCannotRead) {
    const ui::SkinItemDefinition item = {"Panel", {{"Position", {"1"}}, {"Font", {"f", "9"}}, {"Empty", {}}}};
    const std::pair<std::function<void()>, std::string> reads[] = {
        {[&] { ui::SkinItemRect(item); }, "Panel/Positionのパラメータは 2個必要です"},
        {[&] { ui::SkinColorAt(item, "Color"); }, "Panel/Colorが定義されていません"},
        {[&] { ui::SkinFontAt(item, "Font"); }, "Panel/Fontのパラメータは 3個必要です"},
        {[&] { ui::SkinTextAt(item, "Empty"); }, "Panel/Emptyのパラメータは 1個必要です"},
        {[&] { ui::SkinIntegerAt(item, "Position", 1); }, "Panel/Positionのパラメータは 2個必要です"},
        {[&] { ui::ReportSkinMemoryShortage(); }, "メモリが不足しています。"},
    };
    for (const auto& [read, error] : reads) EXPECT_EQ(error, ReportedBy(read));
}

TEST(SkinValues, StringTableResolvesEscapesByCharacter) {
    ui::SkinDefinition definition;
    definition.items["StringTable"] = {"StringTable",
                                       {{"Line", {"a\\nb\\rc"}},
                                        {"Quote", {"\\0x22q\\0x22"}},
                                        {"Order", {"\\\\n\\r\\n\\0x2 \\N"}},
                                        {"TrailByte", {"ソnic表r能\\n"}},  // 0x5C trail bytes start no escape
                                        {"First", {"one", "two"}},
                                        {"None", {}}}};
    const ui::SkinStringTable expected = {{"Line", "a\nb\rc"},
                                          {"Quote", "\"q\""},
                                          {"Order", "\\\n\r\n\\0x2 \\N"},
                                          {"TrailByte", "ソnic表r能\n"},
                                          {"First", "one"}};
    EXPECT_EQ(expected, ui::GetSkinStringTable(definition));
    // A naive byte search would find "\\r\\n" starting inside 表 (trail byte 0x5C).
    EXPECT_EQ("表r\\nソ\r\n能", ui::ResolveSkinLineBreaks("表r\\nソ\\r\\n能"));
    EXPECT_EQ("StringTableが記述されていません", ReportedBy([] { ui::GetSkinStringTable(ui::SkinDefinition()); }));
}

TEST(SkinValues, SchemasItemAccessAndFallback) {
    ui::SkinItemDefinition ok = {"OkButton",
                                 {{"Position", {"1", "2"}}, {"Size", {"1", "2", "3"}}, {"Text", {}}, {"Tip", {"t"}}}};
    const std::pair<std::vector<ui::SkinKeySchema>, std::string> schemas[] = {
        {{{"Position", {I, I}}, {"Tip", {S}}}, ""},
        {{{"Position", {S, S}}}, ""},  // kinds are not checked against the text
        {{{"Image", {S, I, I}}}, "OkButton/Imageが定義されていません"},
        {{{"position", {I, I}}}, "OkButton/positionが定義されていません"},
        {{{"Position", {I, I, I}}}, "OkButton/Positionのパラメータは 3個必要です"},
        {{{"Text", {S}}}, "OkButton/Textのパラメータは 1個必要です"},
        {{{"Position", {I, I}}, {"Size", {I, I}}, {"Image", {S}}},
         "OkButton/Sizeのパラメータは 2個必要ですが、3個指定されています"},
        {{ui::kSkinClassSchema}, "OkButton/Classが定義されていません"},
    };
    for (const auto& [list, error] : schemas) EXPECT_EQ(error, ReportedBy([&] { ui::ValidateSkinKeys(ok, list); }));

    ui::CopySkinKeyWhenMissing(ok, "TipP", "Tip");
    ui::CopySkinKeyWhenMissing(ok, "Size", "Position");
    ui::CopySkinKeyWhenMissing(ok, "ImageP", "Image");
    EXPECT_EQ("Position=[1][2];Size=[1][2][3];Text=;Tip=[t];TipP=[t];", skintest::Dump(ok.keys));

    ui::SkinDefinition definition;
    definition.items["Base"] = {"Base", {{"Title", {"t"}}}};
    ui::SkinItemDefinition copy = ui::GetSkinItem(definition, "Base");
    copy.keys.clear();
    EXPECT_EQ("Base{Title=[t];}", skintest::Dump(definition));
    EXPECT_EQ("baseが記述されていません", ReportedBy([&] { ui::GetSkinItem(definition, "base"); }));
    EXPECT_EQ("Closeが記述されていません", ReportedBy([&] {
                  ui::RequireSkinItems(definition, {"Base", "Close", "Help"});
              }));
    EXPECT_EQ("", ReportedBy([&] { ui::RequireSkinItems(definition, {"Base"}); }));

    const std::string longText(5000, 'x');
    EXPECT_EQ(longText, ReportedBy([&] { ui::ReportSkinError(longText); }));
    EXPECT_EQ(longText + "/表", ui::FormatSkinText("%s/%s", longText.c_str(), "表"));
}
