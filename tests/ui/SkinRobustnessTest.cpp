// Thousands of generated and mutated skin texts through the parser, the
// loader and the value readers: each ends in a definition or in exactly one
// error text, nothing else escapes, and repeating them keeps memory and
// handles level. The seed is fixed, so a failing case recurs.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/ui/SkinTestSupport.h"
#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinDefinitionParser.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinStringTable.h"
#include "ui/SkinTextFile.h"
#include "ui/SkinValues.h"

namespace {

const char* const kSeedText =
    "<Definition File Version 1.00>\r\n#include \"Common.txt\"\r\n#language Lang.txt\r\n"
    "Base {\r\n\tClass = WindowBaseClass;\r\n\tTitle = \"ラヴリン\";\t// title\r\n\tFont = , 14, 400;\r\n}\r\n"
    "OkButton { Class = Base; Text = %Common315%; Position = 340, 90; Size = 80, 20; Color = 1, 2, 3; }\r\n"
    "ReplacementTable {\r\n\t%FontNameP% = \"ＭＳ Ｐゴシック\";\r\n\t%Common315% = OK;\r\n}\r\n"
    "StringTable {\r\n\tMessage = \"一行目\\n二行目\" \\\r\n\t\"\\0x22表示\\0x22\";\r\n"
    "\tUrl = \"http://a.jp/\";\r\n}\r\n";

const char* const kFragments[] = {
    "{", "}", ";", ",", "=", "\\", "\"", "//", " ", "\r\n", "\r", "\n", "#include ", "#language ", "#Define ",
    "Class = ", "ReplacementTable", "StringTable", "%Common315%", "Position = ", "99999999999999999999",
    "-2147483649", "\\0x22", "\x81", "\x82\xA0", "\xFF", "\x80", "　", "表", "\"\"", "Main.txt", "G1.txt",
};

class Generator {
public:
    // The files of the next case, which loads "Main.txt".
    skintest::MapSkinSource Next(int index) {
        skintest::MapSkinSource source;
        std::string& main = source.files["Main.txt"];
        switch (index % 4) {
        case 0:
            for (int n = Below(400); n > 0; --n) main += Below(3) ? std::string(1, char(Below(256))) : Fragment();
            break;
        case 1: main = Mutated(Below(2) ? kSeedText : skintest::Utf16File(kSeedText) + Unit() + Unit()); break;
        case 2: AddIncludingFiles(source); break;
        default: main = Mutated(InheritingBlocks()); break;
        }
        return source;
    }

private:
    int Below(int limit) { return static_cast<int>(random_() % static_cast<std::uint32_t>(limit)); }
    std::size_t At(const std::string& text) { return static_cast<std::size_t>(Below(int(text.size()) + 1)); }
    const char* Fragment() { return kFragments[Below(static_cast<int>(std::size(kFragments)))]; }

    // A UTF-16 unit, often a lone surrogate.
    std::string Unit() {
        const int unit = Below(2) ? 0xD800 + Below(0x800) : Below(0x10000);
        return {char(unit & 0xFF), char(unit >> 8)};
    }

    // Inserted bytes and fragments, cuts and repeats; sometimes truncated at any byte.
    std::string Mutated(std::string text) {
        for (int n = Below(5); n > 0; --n) {
            const std::size_t at = At(text);
            switch (Below(4)) {
            case 0: text.insert(at, 1, char(Below(256))); break;
            case 1: text.insert(at, Fragment()); break;
            case 2: text.erase(at, static_cast<std::size_t>(Below(20))); break;
            default: text.insert(at, text.substr(at, static_cast<std::size_t>(Below(60)))); break;
            }
        }
        return Below(4) ? text : text.substr(0, At(text));
    }

    // A chain deeper than the nesting bound, or a few files with cycles,
    // self-includes, missing and broken files.
    void AddIncludingFiles(skintest::MapSkinSource& source) {
        const int files = Below(4) ? 2 + Below(6) : 9 + Below(80);
        for (int n = 0; n < files; ++n) {
            std::string text = "<Definition File Version 1.00>\r\n";
            for (int directive = files > 8 ? 1 : Below(4); directive > 0; --directive) {
                const int target = files > 8 ? n + 1 : Below(files + 1);
                text += (Below(2) ? "#language G" : "#INCLUDE \"G") + std::to_string(target) + ".txt\"\r\n";
            }
            text += "Shared { K" + std::to_string(n) + " = 1; Who = " + std::to_string(n) + "; }\r\n";
            source.files[n ? "G" + std::to_string(n) + ".txt" : "Main.txt"] = Below(20) ? text : Mutated(text);
        }
    }

    // Chains, cycles, self, missing classes, bad counts, classes named
    // through the ReplacementTable, huge values.
    std::string InheritingBlocks() {
        const int blocks = 1 + Below(40);
        std::string text = "<Definition File Version 1.00>\r\nReplacementTable { %R% = C0; %r2% = C" +
                           std::to_string(Below(blocks)) + "; }\r\n";
        const char* const odd[] = {"Missing", "C1, C2", "", "%R%", "%R2%"};
        for (int n = 0; n < blocks; ++n) {
            const int pick = Below(60);
            text += "C" + std::to_string(n) + " { k" + std::to_string(Below(4)) + " = " +
                    std::string(1 + Below(25), '9') + ", -" + std::string(1 + Below(25), '9') + ";";
            if (pick < 5) text += std::string(" Class = ") + odd[pick] + ";";
            if (pick >= 20) text += " Class = C" + std::to_string(Below(blocks)) + ";";
            text += " }\r\n";
        }
        return text;
    }

    std::mt19937 random_{0x5EED5EED};
};

// Reads the values in every typed way a window or an item might.
void ReadAllValues(const ui::SkinDefinition& definition) {
    const ui::SkinKeySchema point{"Position", {ui::SkinParameter::Integer, ui::SkinParameter::Integer}};
    for (const auto& [name, item] : definition.items) {
        for (const auto& [key, values] : item.keys) {
            for (std::size_t at = 0; at < values.size(); ++at) ui::SkinIntegerAt(item, key.c_str(), at);
            if (values.size() >= 4) {
                ui::SkinColorAt(item, key.c_str());
                ui::SkinFontAt(item, key.c_str());
                ui::SkinFourIntegersAt(item, key.c_str());
            }
        }
        if (item.keys.count("Position") && item.keys.count("Size")) {
            ui::ValidateSkinKeys(item, {point, {"Size", {ui::SkinParameter::Integer, ui::SkinParameter::Integer}}});
            ui::SkinItemRect(item);
        }
    }
    if (definition.items.count("StringTable")) ui::GetSkinStringTable(definition);
}

// "" when the case ended soundly, else what went wrong.
std::string RunCase(const skintest::MapSkinSource& source) {
    ui::SkinDefinition parsed;
    std::string error;
    const bool ok = ui::ParseSkinDefinition("Main.txt", ui::SplitSkinText(source.files.at("Main.txt")), parsed, error);
    if (ok != error.empty() || (!ok && error.rfind("Main.txt line ", 0) != 0)) return "parser: " + error;
    try {
        const skintest::Outcome outcome = skintest::Capture([&] {
            const ui::SkinDefinition definition = ui::BuildSkinDefinition(source, "Main.txt", nullptr);
            for (const auto& [name, item] : definition.items) {
                if (item.keys.count("Class") || name == "ReplacementTable" || name != item.name) return "left: " + name;
            }
            ReadAllValues(definition);
            return std::string();
        });
        if (outcome.loaded) return outcome.reports.empty() ? outcome.text : "reported, yet loaded";
        return !outcome.text.empty() && !outcome.reports.empty() && outcome.reports.back() == outcome.text
                   ? ""
                   : "unreported";
    } catch (const std::exception& failure) {
        return std::string("escaped: ") + failure.what();
    }
}

// Runs the first `count` cases of the fixed seed; returns the first few failures.
std::vector<std::string> RunCases(int count) {
    Generator generator;
    std::vector<std::string> failures;
    for (int index = 0; index < count; ++index) {
        const std::string failure = RunCase(generator.Next(index));
        if (!failure.empty() && failures.size() < 5) failures.push_back(std::to_string(index) + ": " + failure);
    }
    return failures;
}

std::pair<SIZE_T, DWORD> PrivateBytesAndHandles() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    DWORD handles = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    return {counters.PrivateUsage, handles};
}

}  // namespace

TEST(SkinRobustness, EveryTextEndsInADefinitionOrOneErrorWithoutLeaking) {
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(std::vector<std::string>{}, RunCases(10000));
    const auto [warmBytes, warmHandles] = PrivateBytesAndHandles();
    EXPECT_EQ(std::vector<std::string>{}, RunCases(2500));  // the same texts again
    const auto [bytes, handles] = PrivateBytesAndHandles();
    EXPECT_LT(bytes, warmBytes + 1024 * 1024);
    EXPECT_EQ(warmHandles, handles);
    std::printf("12500 cases in %lu ms\n", ::GetTickCount() - start);
}
