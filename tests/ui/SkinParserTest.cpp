// From bytes to blocks: decoding and line splitting, tokens, the grammar's
// accepted forms and every error message with its line number.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/SkinTestSupport.h"
#include "lib/AnsiText.h"
#include "ui/SkinDefinitionParser.h"
#include "ui/SkinTextFile.h"
#include "ui/SkinTokenizer.h"

namespace {

struct Case {
    std::string input;
    std::string expected;
};

// Parses `text` ("\n" line ends, header line included): the dump, or "!" and the error.
std::string Parse(const std::string& text, const std::string& fileName = "Test.txt") {
    ui::SkinDefinition definition;
    std::string error;
    const bool ok = ui::ParseSkinDefinition(fileName, ui::SplitSkinText(skintest::Crlf(text)), definition, error);
    return ok == error.empty() ? (ok ? "" : "!" + error + " ") + skintest::Dump(definition) : "inconsistent";
}

}  // namespace

TEST(SkinText, SplitsOnlyAtCrLfInBothEncodings) {
    ASSERT_EQ(932u, ::GetACP());  // every Japanese expectation of these tests depends on it
    const std::string bom = "\xFF\xFE";
    const Case cases[] = {
        {"", ""},
        {"one\r\ntwo\r\n", "one|two|"},
        {"a\nb\rc\r\r\nd", "a\nb\rc\r|d"},  // lone CR and LF stay inside their lines
        {"表示\r\nソフト", "表示|ソフト"},  // Shift-JIS, trail bytes 0x5C included
        {skintest::Utf16File("one\r\ntwo\nthree"), "one|two\nthree"},
        {bom, ""},
        {bom + std::string("A\0B", 3), "A"},  // a trailing odd byte is no character
        {std::string("a\0b\r\nc", 6), std::string("a\0b|c", 5)},
    };
    for (const Case& c : cases) {
        const std::vector<std::wstring> split = ui::SplitSkinText(c.input);
        std::string lines;
        for (std::size_t i = 0; i < split.size(); ++i) lines += (i ? "|" : "") + lib::ToAnsi(split[i]);
        EXPECT_EQ(c.expected, lines) << c.input;
    }
}

TEST(SkinText, TokenisesDelimitersQuotesAndText) {
    const Case cases[] = {
        {"Key = a,b;", "[Key][=][a][,][b][;]"},
        {" \tName{}=,;\\x", "[Name][{][}][=][,][;][\\][x]"},
        {"\"a b,c;\t=\"", "<a b,c;\t=>"},  // delimiters and blanks kept inside quotes
        {"ab\"cd\"ef", "<abcd>[ef]"},      // a quote joins the token being built and marks it
        {"\"\" ;", "[;]"},                 // an empty pair of quotes is no token
        {"\"abc;", "<abc;>"},              // an open quote runs to the end of the line
        {"\"}\"\" \"", "<}>< >"},
        {"a　b表", "[a　b表]"},  // U+3000 is an ordinary character
    };
    for (const Case& c : cases) {
        std::string tokens;
        for (const ui::SkinToken& token : ui::TokenizeSkinLine(lib::FromAnsi(c.input))) {
            tokens += (token.quoted ? "<" : "[") + lib::ToAnsi(token.text) + (token.quoted ? ">" : "]");
        }
        EXPECT_EQ(c.expected, tokens) << c.input;
    }
}

TEST(SkinParser, AcceptedForms) {
    const Case cases[] = {
        {"", ""},
        {"A { K = 1; }", ""},  // line 1 is never read, whatever it holds
        {"} #Define\nA { K = 1; }", "A{K=[1];}"},
        {"H\nName\n{\n\tKey\n=\n1\n;\n}", "Name{Key=[1];}"},   // line ends mean nothing to the grammar
        {"H\nName {\n A = 1;\n B = 2", "Name{A=[1];B=[2];}"},  // end of input keeps what was read
        {"H\nName { A = ", "Name{A=;}"},
        {"H\n#include", ""},  // a directive without argument is dropped
        {"H\n#INCLUDE a.txt\n#Language \"b c.txt\"\n#include\na.txt", "#include:a.txt,a.txt #language:b c.txt "},
        {"H\nA { K = ; L = \"\"; Font = , 14, 400; M = a,; }", "A{Font=[][14][400];K=[];L=[];M=[a][];}"},
        {"H\nA { K = a; K = b, c; }\nA { L = d; K = e; }", "A{K=[a][b][c][e];L=[d];}"},  // keys accumulate
        {"H\nA { K = \"x\" \\ \"y\", z \\\n \"w\" \\ \",\"; }", "A{K=[xy][zw,];}"},
        {"H\nA { K = -8, 0x10, abc; \"}\"\nB { }", "A{K=[-8][0x10][abc];}B{}"},      // a quoted "}" closes
        {"H\nA { K = 1; // }\n}\nB { U = \"http://x\";", "A{K=[1];}B{U=[http:];}"},  // "//" cuts inside quotes too
        {"H\n表示 { 名前 = \"ソフト\"; 全角 = a　b; }", "表示{全角=[a　b];名前=[ソフト];}"},
        {"H\nb { } a { } B { } \"A B\" { }", "A B{}B{}a{}b{}"},  // byte-wise, case-sensitive order
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Parse(c.input)) << c.input;

    ui::SkinDefinition definition;
    std::string error;
    EXPECT_TRUE(ui::ParseSkinDefinition("Test.txt", {}, definition, error));
    EXPECT_EQ("", skintest::Dump(definition) + error);
}

TEST(SkinParser, ErrorsNameFileLineAndMessageAndKeepWhatWasBuilt) {
    const Case cases[] = {
        {"H\n}", "!Test.txt line 2:アイテム名が存在しません。 "},
        {"H\nA { K = 1; } \"{\"", "!Test.txt line 2:アイテム名が存在しません。 A{K=[1];}"},
        {"H\n#Define X", "!Test.txt line 2:#Defineは異常なプリプロセッサ命令です。 "},
        {"H\n#include ;", "!Test.txt line 2:#includeの構文が不正です。 "},
        {"H\n#language\n{", "!Test.txt line 3:#languageの構文が不正です。 "},
        {"H\nA\n\n=", "!Test.txt line 4:{が見つかりません。 A{}"},
        {"H\nA { ; }", "!Test.txt line 2:}が見つかりません。 A{}"},
        {"H\nA { K 1; }", "!Test.txt line 2:=が見つかりません。 A{K=;}"},
        {"H\nA { K = \" \"; }", "!Test.txt line 2:;が見つかりません。 A{K=;}"},
        {"H\nA { K = {; }", "!Test.txt line 2:;が見つかりません。 A{K=;}"},
        {"H\nA { K = a b; }", "!Test.txt line 2:区切り文字が見つかりません。 A{K=[a];}"},
        {"H\nA { K = a = b; }", "!Test.txt line 2:,または;が必要です。 A{K=[a];}"},
        {"H\nA { K = 1 }", "!Test.txt line 2:,または;が必要です。 A{K=[1];}"},
        {"H\nA { K = a \\ b; }", "!Test.txt line 2:\\の次は文字列で無ければなりません。 A{K=[a];}"},
        // The cut at "//" leaves the quote open and loses the ";".
        {"H\nA {\n K = \"a//b\";\n Next = 1;\n}", "!Test.txt line 4:区切り文字が見つかりません。 A{K=[a];}"},
        {"H\n\n// comment\n\n#include x.txt\n}", "!Test.txt line 6:アイテム名が存在しません。 #include:x.txt "},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Parse(c.input)) << c.input;
    EXPECT_EQ("!Common.txt line 12:=が見つかりません。 A{K=;}",
              Parse("H" + std::string(11, '\n') + "A { K 1; }", "Common.txt"));
}
