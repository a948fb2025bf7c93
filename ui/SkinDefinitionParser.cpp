#include "ui/SkinDefinitionParser.h"

#include <exception>
#include <stdexcept>
#include <string_view>

#include "lib/AnsiText.h"
#include "ui/SkinError.h"
#include "ui/SkinTokenizer.h"

namespace ui {
namespace {

enum class State { Top, IncludeName, LanguageName, OpenBrace, Key, Equals, Value, AfterValue, Continue };

bool Is(const SkinToken& token, wchar_t delimiter) { return token.text.size() == 1 && token.text[0] == delimiter; }

// Only the two directive words ignore case, and only ASCII case.
bool IsDirective(const std::wstring& text, std::wstring_view directive) {
    if (text.size() != directive.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? static_cast<wchar_t>(text[i] - L'A' + L'a') : text[i];
        if (c != directive[i]) return false;
    }
    return true;
}

// The grammar's state carries over from line to line: line ends mean nothing to it.
class SkinGrammar {
public:
    SkinGrammar(const std::string& fileName, SkinDefinition& definition)
        : fileName_(fileName), definition_(definition) {}

    void Feed(const SkinToken& token, std::size_t lineNumber) {
        lineNumber_ = lineNumber;
        const bool delimiter = IsSkinDelimiterToken(token);
        switch (state_) {
        case State::Top:
            if (delimiter) Fail("アイテム名が存在しません。");
            if (token.text[0] == L'#') {
                StartDirective(token.text);
            } else {
                const std::string name = lib::ToAnsi(token.text);
                item_ = &definition_.items[name];
                item_->name = name;
                state_ = State::OpenBrace;
            }
            return;
        case State::IncludeName:
            if (delimiter) Fail("#includeの構文が不正です。");
            definition_.includes.push_back(lib::ToAnsi(token.text));
            state_ = State::Top;
            return;
        case State::LanguageName:
            if (delimiter) Fail("#languageの構文が不正です。");
            definition_.languages.push_back(lib::ToAnsi(token.text));
            state_ = State::Top;
            return;
        case State::OpenBrace:
            if (!Is(token, L'{')) Fail("{が見つかりません。");
            state_ = State::Key;
            return;
        case State::Key:
            if (Is(token, L'}')) {
                state_ = State::Top;
                return;
            }
            if (delimiter) Fail("}が見つかりません。");
            values_ = &item_->keys[lib::ToAnsi(token.text)];
            state_ = State::Equals;
            return;
        case State::Equals:
            if (!Is(token, L'=')) Fail("=が見つかりません。");
            state_ = State::Value;
            return;
        case State::Value:
            if (Is(token, L',') || Is(token, L';')) {
                values_->emplace_back();
                if (Is(token, L';')) state_ = State::Key;
                return;
            }
            if (delimiter) Fail(";が見つかりません。");
            values_->push_back(lib::ToAnsi(token.text));
            state_ = State::AfterValue;
            return;
        case State::AfterValue:
            if (Is(token, L',')) {
                state_ = State::Value;
            } else if (Is(token, L';')) {
                state_ = State::Key;
            } else if (Is(token, L'\\')) {
                state_ = State::Continue;
            } else {
                Fail(delimiter ? ",または;が必要です。" : "区切り文字が見つかりません。");
            }
            return;
        case State::Continue:
            if (!token.quoted) Fail("\\の次は文字列で無ければなりません。");
            values_->back() += lib::ToAnsi(token.text);
            state_ = State::AfterValue;
            return;
        }
    }

private:
    void StartDirective(const std::wstring& text) {
        if (IsDirective(text, L"#include")) {
            state_ = State::IncludeName;
        } else if (IsDirective(text, L"#language")) {
            state_ = State::LanguageName;
        } else {
            Fail(FormatSkinText("%sは異常なプリプロセッサ命令です。", lib::ToAnsi(text).c_str()));
        }
    }

    [[noreturn]] void Fail(const std::string& message) const {
        throw std::runtime_error(FormatSkinText("%s line %lu:%s", fileName_.c_str(),
                                                static_cast<unsigned long>(lineNumber_), message.c_str()));
    }

    const std::string& fileName_;
    SkinDefinition& definition_;
    State state_ = State::Top;
    SkinItemDefinition* item_ = nullptr;  // the block being read
    SkinValueList* values_ = nullptr;     // the key being read
    std::size_t lineNumber_ = 0;
};

}  // namespace

bool ParseSkinDefinition(const std::string& fileName, const std::vector<std::wstring>& lines,
                         SkinDefinition& definition, std::string& error) {
    try {
        SkinGrammar grammar(fileName, definition);
        // The first line is the version banner; messages still count it as line 1.
        for (std::size_t index = 1; index < lines.size(); ++index) {
            const std::wstring_view line = lines[index];
            // Cut before quotes are seen: "//" inside a quoted string starts a comment too.
            for (const SkinToken& token : TokenizeSkinLine(line.substr(0, line.find(L"//")))) {
                grammar.Feed(token, index + 1);
            }
        }
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

}  // namespace ui
