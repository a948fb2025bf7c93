#pragma once
// What a skin definition file describes: named blocks of keys, each key with
// a list of text values. Names and values are narrow text in the ANSI code
// page; both maps order their names byte-wise and case-sensitively.
#include <map>
#include <string>
#include <vector>

namespace ui {

// Values stay text; numbers, colours and flags are converted only when read.
using SkinValueList = std::vector<std::string>;
using SkinKeyMap = std::map<std::string, SkinValueList>;

struct SkinItemDefinition {
    std::string name;  // kept in the block so that messages can name it
    SkinKeyMap keys;
};

struct SkinDefinition {
    std::map<std::string, SkinItemDefinition> items;
    std::vector<std::string> includes;   // "#include" names in order, duplicates kept
    std::vector<std::string> languages;  // "#language" names likewise
};

}  // namespace ui
