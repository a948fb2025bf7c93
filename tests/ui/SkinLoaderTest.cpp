// Loading definitions: includes and language files with their skip rules,
// priority and modules, failures at every level, the ReplacementTable, Class
// resolution, and the program's own "Skin" resources through the cache.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/SkinTestSupport.h"
#include "ui/SkinDefinitionCache.h"
#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinResourceReader.h"

namespace {

struct Case {
    std::map<std::string, std::string> files;  // "Top.txt" is loaded
    std::string expected;                      // the dump, or the error text
    std::vector<std::string> reads;
};

HMODULE Module(std::uintptr_t value) { return reinterpret_cast<HMODULE>(value); }

// "F<n>.txt" includes the next file, up to `count` files.
skintest::MapSkinSource IncludeChain(int count) {
    std::map<std::string, std::string> files;
    for (int n = 0; n < count; ++n) {
        files["F" + std::to_string(n) + ".txt"] =
            (n + 1 < count ? "#include F" + std::to_string(n + 1) + ".txt\n" : "") + "F" + std::to_string(n) + " { }";
    }
    return skintest::Files(files);
}

// Window.txt with Common.txt (UTF-16) and Lang.txt merged, replaced and resolved.
const std::string kWindow =
    "#include:Common.txt #language:Lang.txt "
    "Base{CaptionHeight=[24];Font=[][14][400];Image=[P32_PC_0006.PNG][0][0][400][300];Title=[ラヴリン];}"
    "BaseButton20Class{Font=[ＭＳ Ｐゴシック][12][700];NormalImage=[P32_PC_0010.PNG][0][0];Size=[80][20];"
    "TextColor=[255][255][255];}"
    "OkButton{Font=[ＭＳ Ｐゴシック][12][700];NormalImage=[P32_PC_0010.PNG][0][0];Position=[340][90];"
    "Size=[80][20];Text=[OK];TextColor=[255][255][255];}"
    "Shared{Common=[yes];Own=[window];}StringTable{Message=[一行目\\n二行目];Quote=[\\0x22表示\\0x22];}"
    "WindowBaseClass{CaptionHeight=[24];Font=[][14][400];Title=[base];}";

skintest::Outcome Load(const std::string& fileName, HMODULE module = nullptr) {
    return skintest::Capture([&] { return skintest::Dump(ui::LoadSkinDefinition(fileName, module)); });
}

}  // namespace

TEST(SkinLoader, IncludesAndLanguageFiles) {
    const Case cases[] = {
        // The file beats its includes in order, each followed by what it includes, then its language files.
        {{{"Top.txt", "#language L.txt\n#include A.txt\n#include B.txt\nX { K = top; }"},
          {"A.txt", "#include A2.txt\nX { K = a; A = a; }\nY { K = a; }"},
          {"A2.txt", "X { K = a2; A = a2; A2 = a2; }\nZ { K = a2; }"},
          {"B.txt", "X { A = b; B = b; }\nY { K = b; B = b; }\nZ { K = b; }"},
          {"L.txt", "X { K = l; L = l; }\nW { K = l; }"}},
         "#include:A.txt,B.txt #language:L.txt W{K=[l];}X{A=[a];A2=[a2];B=[b];K=[top];L=[l];}Y{B=[b];K=[a];}Z{K=[a2];}",
         {"Top.txt@0", "A.txt@0", "A2.txt@0", "B.txt@0", "L.txt@0"}},
        // Loaded once per directive kind and load; names match case-sensitively.
        {{{"Top.txt", "#include C.txt\n#include O.txt\n#include C.txt\n#language C.txt\n#include c.txt"},
          {"O.txt", "#include C.txt"},
          {"C.txt", "C { }"},
          {"c.txt", "c { }"}},
         "#include:C.txt,O.txt,C.txt,c.txt #language:C.txt C{}c{}",
         {"Top.txt@0", "C.txt@0", "O.txt@0", "c.txt@0", "C.txt@0"}},
        // The top file is not in the list: read a second time, then skipped; cycles end.
        {{{"Top.txt", "#include Top.txt\n#language B.txt\nX { }"}, {"B.txt", "#language Top.txt"}},
         "#include:Top.txt #language:B.txt X{}",
         {"Top.txt@0", "Top.txt@0", "B.txt@0", "Top.txt@0"}},
    };
    for (const Case& c : cases) {
        const skintest::MapSkinSource source = skintest::Files(c.files);
        EXPECT_EQ(c.expected, skintest::Build(source, "Top.txt").text);
        EXPECT_EQ(c.reads, source.reads);
    }

    // Includes use the caller's module; language files too, or else the language module.
    const std::map<std::string, std::string> files = {{"Top.txt", "#include I.txt\n#language L.txt"},
                                                      {"I.txt", "#language IL.txt"},
                                                      {"L.txt", "#include LI.txt"},
                                                      {"IL.txt", ""},
                                                      {"LI.txt", ""}};
    const skintest::MapSkinSource given = skintest::Files(files);
    skintest::Build(given, "Top.txt", Module(4096));
    EXPECT_EQ((std::vector<std::string>{"Top.txt@4096", "I.txt@4096", "IL.txt@4096", "L.txt@4096", "LI.txt@4096"}),
              given.reads);
    const skintest::ModulesForTest modules({nullptr, Module(8192), nullptr});
    const skintest::MapSkinSource none = skintest::Files(files);
    skintest::Build(none, "Top.txt");
    EXPECT_EQ((std::vector<std::string>{"Top.txt@0", "I.txt@0", "IL.txt@8192", "L.txt@8192", "LI.txt@8192"}),
              none.reads);
}

TEST(SkinLoader, FailuresAreReportedAtEveryLevel) {
    const std::string bad = "Bad.txt line 3:区切り文字が見つかりません。";
    struct Failure {
        std::map<std::string, std::string> files;  // "Top.txt" is loaded
        std::vector<std::string> reports;          // the last one is thrown
    };
    const Failure cases[] = {
        {{{"Other.txt", ""}}, {"skin file open error"}},
        {{{"Top.txt", "#include Good.txt\n#include Miss.txt"}, {"Good.txt", ""}},
         {"skin file open error", "[Miss.txtの取り込みエラー]skin file open error"}},
        {{{"Top.txt", "#include Mid.txt"}, {"Mid.txt", "#language Bad.txt"}, {"Bad.txt", "A {\n K = a b;"}},
         {bad, "[Bad.txtの取り込みエラー]" + bad, "[Mid.txtの取り込みエラー][Bad.txtの取り込みエラー]" + bad}},
    };
    for (const Failure& c : cases) {
        const skintest::Outcome outcome = skintest::Build(skintest::Files(c.files), "Top.txt");
        EXPECT_EQ(c.reports, outcome.reports);
        EXPECT_EQ(c.reports.back(), outcome.text);
    }
    skintest::MapSkinSource empty;
    empty.files["Top.txt"] = "";
    EXPECT_EQ("skin file open error", skintest::Build(empty, "Top.txt").text);

    // 64 levels below the file load; one more is refused instead of exhausting the stack.
    EXPECT_TRUE(skintest::Build(IncludeChain(65), "F0.txt").loaded);
    const skintest::Outcome tooDeep = skintest::Build(IncludeChain(66), "F0.txt");
    ASSERT_EQ(66u, tooDeep.reports.size());
    EXPECT_EQ("取り込みの入れ子が深すぎます。", tooDeep.reports.front());
    EXPECT_EQ(0u, tooDeep.text.find("[F1.txtの取り込みエラー][F2.txtの取り込みエラー]"));
}

TEST(SkinLoader, ReplacementTableThenClass) {
    struct Resolved {
        std::map<std::string, std::string> files;  // "Top.txt" is loaded
        std::string expected;                      // the dump, or the error text
    };
    const Resolved cases[] = {
        {{{"Top.txt",
           "ReplacementTable { %FontNameP% = \"ＭＳ Ｐゴシック\"; %C% = 255; %C% = 1; }\n"
           "A { F = %fontnamep%, %Unknown%, %FontNameP%-1, x%C%, %C%; }"}},
         "A{F=[ＭＳ Ｐゴシック][%Unknown%][%FontNameP%-1][x%C%][255];}"},
        // A replacement equal to a later key is replaced again, one equal to an earlier key is not.
        {{{"Top.txt", "ReplacementTable { %A% = %B%; %B% = x; %C% = %A%; }\nA { K = %A%, %C%; }"}}, "A{K=[x][%A%];}"},
        // Double-byte characters compare exactly (ア and ヂ differ only by a trail byte 0x41/0x61).
        {{{"Top.txt", "ReplacementTable { %ア% = x; %Ａ% = y; }\n%K% { %K% = %ア%, %ヂ%, %ａ%; }"}},
         "%K%{%K%=[x][%ヂ%][%ａ%];}"},
        {{{"Top.txt", "A { K = %gone%; }\nReplacementTable { %Gone% = "}}, "A{K=[];}"},
        // Tables of all files merge key by key; Class may name a replacement key.
        {{{"Top.txt",
           "#language Lang.txt\nReplacementTable { %T% = top; }\n"
           "OkButton { Class = %Base%; Text = %Common315%; Position = 340, 90; }"},
          {"Lang.txt",
           "ReplacementTable { %Common315% = OK; %T% = lang; %Base% = BaseButton20Class; }\n"
           "BaseButton20Class { Size = 80, 20; Text = %T%; }"}},
         "#language:Lang.txt "
         "BaseButton20Class{Size=[80][20];Text=[top];}OkButton{Position=[340][90];Size=[80][20];Text=[OK];}"},
        {{{"Top.txt", "C { Class = B; c = 3; }\nB { Class = A; b = 2; k = b; }\nA { a = 1, 2; k = a; }"}},
         "A{a=[1][2];k=[a];}B{a=[1][2];b=[2];k=[b];}C{a=[1][2];b=[2];c=[3];k=[b];}"},
        // A cycle ends; the first block reached sees the others as they are at that moment.
        {{{"Top.txt", "A { Class = B; a = 1; }\nB { Class = C; b = 2; }\nC { Class = A; c = 3; }\nS { Class = S; }"}},
         "A{a=[1];b=[2];c=[3];}B{a=[1];b=[2];c=[3];}C{a=[1];c=[3];}S{}"},
        {{{"Top.txt", "base { }\nItem { Class = Base; }"}}, "Item 無効な Class(Base)が指定されました"},
        {{{"Top.txt", "B { Class = ; }"}}, "B 無効な Class()が指定されました"},
        {{{"Top.txt", "B { Class = A, C; }\nA { }"}}, "B/Classのパラメータは 1個必要ですが、2個指定されています"},
        {{{"Top.txt", "B { Class = "}}, "B/Classのパラメータは 1個必要です"},
    };
    for (const Resolved& c : cases) {
        const skintest::Outcome outcome = skintest::Build(skintest::Files(c.files), "Top.txt");
        EXPECT_EQ(c.expected, outcome.text);
        EXPECT_EQ(outcome.loaded ? 0u : 1u, outcome.reports.size());
    }

    // Chains are followed in a loop: no length can exhaust the stack.
    std::string chain;
    for (int n = 0; n < 20000; ++n) chain += "B" + std::to_string(n) + " { Class = B" + std::to_string(n + 1) + "; }\n";
    const skintest::Outcome outcome =
        skintest::Build(skintest::Files({{"Top.txt", chain + "B20000 { R = 1; }"}}), "Top.txt");
    EXPECT_EQ(std::string::npos, outcome.text.find("Class"));
    EXPECT_EQ(0u, outcome.text.find("B0{R=[1];}"));
}

TEST(SkinLoader, ResourcesInBothEncodingsThroughTheCache) {
    for (const char* name : {"Window.txt", "WindowW.txt", "WINDOW.TXT", "wInDoWw.TxT"}) {
        const skintest::Outcome outcome = Load(name);
        EXPECT_TRUE(outcome.reports.empty());
        EXPECT_EQ(kWindow, outcome.text) << name;
    }
    // Callers get private copies of the cached definition.
    ui::SkinDefinition copy = ui::LoadSkinDefinition("Window.txt");
    copy.items.clear();
    EXPECT_EQ(kWindow, skintest::Dump(ui::LoadSkinDefinition("Window.txt")));

    // A stored entry answers before any resource is looked at; entries are per module.
    auto stored = std::make_shared<ui::SkinDefinition>();
    stored->items["Stored"].name = "Stored";
    ui::SkinDefinitionCache::Instance().Store(nullptr, "NotAResource.txt", stored);
    EXPECT_EQ("Stored{}", Load("NotAResource.txt").text);
    EXPECT_EQ("skin file open error", Load("NotAResource.txt", ::GetModuleHandleA(nullptr)).text);

    // Failures are reported again on every load: nothing is cached for them.
    const std::string broken = "Broken.txt line 3:区切り文字が見つかりません。";
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ((std::vector<std::string>{"skin file open error"}), Load("Empty.txt").reports);
        EXPECT_EQ((std::vector<std::string>{broken, "[Broken.txtの取り込みエラー]" + broken}),
                  Load("BadInclude.txt").reports);
    }
    EXPECT_EQ(nullptr, ui::SkinDefinitionCache::Instance().Find(nullptr, "BadInclude.txt"));

    // Threads that miss together all get the definition (a key no other test uses).
    static std::atomic<int> matches{0};
    ASSERT_TRUE(skintest::RunOnThreads(
        4,
        [] {
            for (int round = 0; round < 5; ++round) {
                if (Load("WindowW.txt", ::GetModuleHandleA(nullptr)).text == kWindow) ++matches;
            }
        },
        30000));
    EXPECT_EQ(20, matches.load());
}

TEST(SkinLoader, ResourceModuleChoice) {
    const HMODULE self = ::GetModuleHandleA(nullptr);
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");  // holds no skin files
    struct ModuleCase {
        ui::SkinModules modules;  // main, language, image
        HMODULE given;
        bool found;
    };
    const ModuleCase cases[] = {
        {{}, nullptr, true},                       // by default the program itself
        {{nullptr, self, self}, kernel, false},    // a given module is the only one asked
        {{kernel, self, nullptr}, nullptr, true},  // the language module when it holds the file
        {{self, kernel, nullptr}, nullptr, true},  // else the main module
        {{kernel, kernel, self}, nullptr, false},  // never the image module
    };
    for (const ModuleCase& c : cases) {
        const skintest::ModulesForTest modules(c.modules);
        std::string bytes;
        EXPECT_EQ(c.found, ui::SkinResourceReader().Read("Lang.txt", c.given, bytes));
        EXPECT_EQ(c.found ? 123u : 0u, bytes.size());
    }
}
