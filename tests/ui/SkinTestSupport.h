#pragma once
// Shared pieces of the skin tests: skin errors recorded instead of shown,
// skin files served from a table, definitions written out as one line.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/SkinDefinition.h"
#include "ui/SkinFileSource.h"
#include "ui/SkinModules.h"

namespace skintest {

// Every skin error reported since the last call. The test program replaces
// the "Skin Load" box by this record before any test runs.
std::vector<std::string> TakeReportedErrors();

// Files from a table of name -> bytes; remembers each read as "<name>@<module>".
class MapSkinSource : public ui::SkinFileSource {
public:
    std::map<std::string, std::string> files;
    mutable std::vector<std::string> reads;

    bool Read(const std::string& fileName, HMODULE module, std::string& bytes) const override;
};

// Every body gets a header line; "\n" becomes CR LF.
MapSkinSource Files(const std::map<std::string, std::string>& bodies);
std::string Crlf(const std::string& text);
std::string Utf16File(const std::string& ansiText);  // FF FE and UTF-16 LE

// "#include:a,b #language:c Name{Key=[a][b];Empty=[];None=;}..."
std::string Dump(const ui::SkinDefinition& definition);
std::string Dump(const ui::SkinKeyMap& keys);

// What `run` returned, or the text of the CSkinWindowException it threw,
// with every text reported meanwhile.
struct Outcome {
    bool loaded = false;
    std::string text;
    std::vector<std::string> reports;
};
Outcome Capture(const std::function<std::string()>& run);
Outcome Build(const ui::SkinFileSource& source, const std::string& fileName, HMODULE module = nullptr);

// Sets the process-wide modules for one test and puts the old ones back.
class ModulesForTest {
public:
    explicit ModulesForTest(const ui::SkinModules& modules);
    ModulesForTest(const ModulesForTest&) = delete;
    ModulesForTest& operator=(const ModulesForTest&) = delete;
    ~ModulesForTest();

private:
    ui::SkinModules saved_;
};

// Runs `work` on `count` threads at once; false when they are not all done within `milliseconds`.
bool RunOnThreads(int count, void (*work)(), DWORD milliseconds);

}  // namespace skintest
