#include "ui/SkinIncludeResolver.h"

#include <exception>
#include <vector>

#include "ui/SkinDefinitionMerger.h"
#include "ui/SkinDefinitionParser.h"
#include "ui/SkinError.h"
#include "ui/SkinModules.h"
#include "ui/SkinTextFile.h"

namespace ui {
namespace {

// Far beyond any real skin set, and well within the stack of any thread.
constexpr int kMaxNesting = 64;

SkinDefinition LoadFile(const SkinFileSource& source, const std::string& fileName, HMODULE module,
                        SkinLoadedNames& loaded, int nesting);

void LoadNamedFiles(const SkinFileSource& source, const std::vector<std::string>& names,
                    std::set<std::string>& alreadyLoaded, HMODULE module, SkinLoadedNames& loaded, int nesting,
                    SkinDefinition& definition) {
    for (const std::string& name : names) {
        if (!alreadyLoaded.insert(name).second) continue;
        SkinDefinition base;
        try {
            base = LoadFile(source, name, module, loaded, nesting + 1);
        } catch (const std::exception& failure) {
            ReportSkinError(FormatSkinText("[%sの取り込みエラー]%s", name.c_str(), failure.what()));
        }
        InheritSkinItems(definition, std::move(base));
    }
}

SkinDefinition LoadFile(const SkinFileSource& source, const std::string& fileName, HMODULE module,
                        SkinLoadedNames& loaded, int nesting) {
    if (nesting > kMaxNesting) ReportSkinError("取り込みの入れ子が深すぎます。");
    std::string bytes;
    if (!source.Read(fileName, module, bytes) || bytes.empty()) ReportSkinError("skin file open error");

    SkinDefinition definition;
    std::string error;
    if (!ParseSkinDefinition(fileName, SplitSkinText(bytes), definition, error)) ReportSkinError(error);

    LoadNamedFiles(source, definition.includes, loaded.includes, module, loaded, nesting, definition);
    const HMODULE languageModule = module ? module : GetSkinModules().language;
    LoadNamedFiles(source, definition.languages, loaded.languages, languageModule, loaded, nesting, definition);
    return definition;
}

}  // namespace

SkinDefinition LoadSkinFileWithIncludes(const SkinFileSource& source, const std::string& fileName, HMODULE module,
                                        SkinLoadedNames& loaded) {
    return LoadFile(source, fileName, module, loaded, 0);
}

}  // namespace ui
