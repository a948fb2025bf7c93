#include "tests/ui/SkinTestSupport.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "lib/AnsiText.h"
#include "ui/CSkinWindowException.h"
#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinError.h"

namespace skintest {
namespace {

std::mutex reportsLock;
std::vector<std::string> reports;

void Record(const std::string& text) {
    std::lock_guard<std::mutex> hold(reportsLock);
    reports.push_back(text);
}

// Before main: no test can ever show the modal box.
const bool recorderInstalled = (ui::SetSkinErrorReporter(&Record), true);

}  // namespace

std::vector<std::string> TakeReportedErrors() {
    std::lock_guard<std::mutex> hold(reportsLock);
    return std::exchange(reports, {});
}

bool MapSkinSource::Read(const std::string& fileName, HMODULE module, std::string& bytes) const {
    reads.push_back(fileName + "@" + std::to_string(reinterpret_cast<std::uintptr_t>(module)));
    const auto found = files.find(fileName);
    if (found == files.end()) return false;
    bytes = found->second;
    return true;
}

MapSkinSource Files(const std::map<std::string, std::string>& bodies) {
    MapSkinSource source;
    for (const auto& [name, body] : bodies) source.files[name] = Crlf("<Definition File Version 1.00>\n" + body);
    return source;
}

std::string Crlf(const std::string& text) {
    std::string result;
    for (const char c : text) result += c == '\n' ? "\r\n" : std::string(1, c);
    return result;
}

std::string Utf16File(const std::string& ansiText) {
    const std::wstring text = lib::FromAnsi(ansiText);
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Dump(const ui::SkinKeyMap& keys) {
    std::string text;
    for (const auto& [key, values] : keys) {
        text += key + "=";
        for (const std::string& value : values) text += "[" + value + "]";
        text += ";";
    }
    return text;
}

std::string Dump(const ui::SkinDefinition& definition) {
    std::string text;
    auto list = [&text](const char* kind, const std::vector<std::string>& names) {
        if (names.empty()) return;
        text += kind;
        for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "," : "") + names[i];
        text += " ";
    };
    list("#include:", definition.includes);
    list("#language:", definition.languages);
    for (const auto& [name, item] : definition.items) {
        text += (item.name == name ? name : name + "(" + item.name + ")") + "{" + Dump(item.keys) + "}";
    }
    return text;
}

Outcome Capture(const std::function<std::string()>& run) {
    TakeReportedErrors();
    Outcome outcome;
    try {
        outcome.text = run();
        outcome.loaded = true;
    } catch (const ui::CSkinWindowException& failure) {
        outcome.text = failure.what();
    }
    outcome.reports = TakeReportedErrors();
    return outcome;
}

Outcome Build(const ui::SkinFileSource& source, const std::string& fileName, HMODULE module) {
    return Capture([&] { return Dump(ui::BuildSkinDefinition(source, fileName, module)); });
}

ModulesForTest::ModulesForTest(const ui::SkinModules& modules) : saved_(ui::GetSkinModules()) {
    ui::SetSkinModules(modules);
}

ModulesForTest::~ModulesForTest() { ui::SetSkinModules(saved_); }

bool RunOnThreads(int count, void (*work)(), DWORD milliseconds) {
    // Shared with the threads, which may outlive a wait that gave up.
    struct Progress {
        std::mutex lock;
        std::condition_variable changed;
        int finished = 0;
    };
    const auto progress = std::make_shared<Progress>();
    for (int thread = 0; thread < count; ++thread) {
        std::thread([progress, work] {
            work();
            std::lock_guard<std::mutex> hold(progress->lock);
            ++progress->finished;
            progress->changed.notify_all();
        }).detach();
    }
    std::unique_lock<std::mutex> hold(progress->lock);
    return progress->changed.wait_for(hold, std::chrono::milliseconds(milliseconds),
                                      [&] { return progress->finished == count; });
}

}  // namespace skintest
