// The screenshot gallery: every kind of launcher window and every kind of
// message box, composed with the shipped skin and compared with the pictures
// committed in tests/ui/gallery/ (tools/update-gallery.sh renews them). The
// pictures and an index page land in the build tree's gallery/ folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "tests/ui/Gallery.h"
#include "tests/ui/SkinPreviewWindow.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/MessageBoxWindow.h"
#include "ui/MessageBoxWindowForURL.h"
#include "ui/SkinError.h"

namespace {

// A skin error must fail the test, not wait on the "Skin Load" box.
std::vector<std::string> reportedErrors;
void RecordSkinError(const std::string& text) { reportedErrors.push_back(text); }
const bool recorderInstalled = (ui::SetSkinErrorReporter(&RecordSkinError), true);

// "Z:" + the source tree's path: the Unix root as Wine's Z: drive.
std::string ReferenceFolder() {
    std::string path = std::string("Z:") + RAVELIN_GALLERY_REFERENCES;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path + "\\";
}

// gallery\ beside the program's bin\ folder.
std::string OutputFolder() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "..\\gallery\\";
}

class GalleryShots {
public:
    GalleryShots() : gallery_(OutputFolder(), ReferenceFolder()) {}

    void Window(const std::string& name, const std::string& caption, skintest::CSkinPreviewWindow& window) {
        skintest::PumpPending();
        Check(name, gallery_.Add(name, caption, skintest::ComposeActiveLook(window)));
    }

    template <typename Kind>
    void Box(const std::string& name, const std::string& caption, const std::string& text, UINT type) {
        Kind box(true);
        box.Build(nullptr, text, type);
        const lib::WindowHandle destroyer(box.GetHandle());
        skintest::PumpPending();
        Check(name, gallery_.Add(name, caption, skintest::ComposeActiveLook(box)));
    }

    void Finish() const { gallery_.WriteIndex(); }
    const std::string& Output() const { return gallery_.OutputFolder(); }

private:
    static void Check(const std::string& name, const std::string& result) {
        EXPECT_EQ("", result) << name;
    }

    skintest::Gallery gallery_;
};

TEST(Gallery, EveryWindowKindMatchesItsReference) {
    skintest::EnsureFramework();
    reportedErrors.clear();
    GalleryShots shots;

    {
        skintest::CSkinPreviewWindow window(skintest::PreviewKind::Launch);
        window.Make();
        shots.Window("launch", "ランチャー", window);
    }
    {
        skintest::CSkinPreviewWindow window(skintest::PreviewKind::SilentInstall);
        window.Make();
        window.ShowProgress("新しいバージョンのRavelinをダウンロードしています。\r\nしばらくお待ちください...",
                            "キャンセル", 45);
        shots.Window("silent-install", "バージョンアップ (45%)", window);
    }
    {
        skintest::CSkinPreviewWindow window(skintest::PreviewKind::VersionInfo);
        window.Make();
        window.ShowVersions("1.0.0", nullptr);
        shots.Window("version", "バージョン情報", window);
    }
    {
        skintest::CSkinPreviewWindow window(skintest::PreviewKind::VersionInfo);
        window.Make();
        const std::array<std::string, 3> details = {"1.0.0.0", "2.4.17.302", "1.12.3.45"};
        window.ShowVersions("1.0.0", &details);
        shots.Window("version-details", "バージョン情報 (隠し表示)", window);
    }
    // Each help text with the column of the button it belongs to.
    const int helpColumns[3] = {0, 1, 3};
    for (int index = 0; index < 3; ++index) {
        skintest::CSkinPreviewWindow window(skintest::PreviewKind::HelpInfo, helpColumns[index]);
        window.Make();
        window.ShowHelp(index);
        shots.Window("help-" + std::to_string(index), "ヘルプ " + std::to_string(index), window);
    }

    using Plain = ui::CMessageBoxWindow;
    shots.Box<Plain>("message-ok", "MB_OK", "Ravelinのバージョンアップが正常に完了しました。", MB_OK);
    shots.Box<Plain>("message-okcancel", "MB_OKCANCEL",
                            "バージョンアップが完了するまではRavelinをお使いになれません。\r\n"
                            "バージョンアップを中止してよろしいですか？",
                            MB_OKCANCEL);
    shots.Box<Plain>("message-yesnocancel", "MB_YESNOCANCEL",
                            "ダウンロードしたファイルを残しますか？\r\n"
                            "［キャンセル］を押すと前の画面に戻ります。",
                            MB_YESNOCANCEL);
    shots.Box<Plain>("message-yesno", "MB_YESNO", "Ravelinを終了しますか？", MB_YESNO);
    shots.Box<Plain>("message-retrycancel", "MB_RETRYCANCEL",
                            "インストールができませんでした。\r\n"
                            "再度バージョンアップを行うために、Ravelinを再起動してください。",
                            MB_RETRYCANCEL);
    shots.Box<Plain>("message-nobuttons", "種類 2 (ボタンなし)", "しばらくお待ちください...",
                            MB_ABORTRETRYIGNORE);
    shots.Box<Plain>("message-warning", "MB_ICONWARNING (5 行)",
                            "インターネットに接続できませんでした。\r\n"
                            "ネットワークが正常に接続されていることを確認し、\r\n"
                            "再度登録確認を行ってください。\r\n"
                            "\r\n"
                            "(メッセージコード：04102EFD)",
                            MB_OK | MB_ICONWARNING);
    shots.Box<ui::CMessageBoxWindowForURL>(
        "message-url", "オンラインヘルプ付き (MB_OKCANCEL)",
        "＜重要なお知らせ＞\r\n"
        "Windows 10をご使用のお客様は、Windows 10のバージョンが動作保証済みであるかを、"
        "オンラインヘルプよりご確認ください。\r\n"
        "動作保証済みのバージョンではない場合は、Ravelinのご使用をお控えください。",
        MB_OKCANCEL);

    shots.Finish();
    EXPECT_EQ(std::vector<std::string>(), reportedErrors);
    std::printf("gallery: %sindex.html\n", shots.Output().c_str());
}

}  // namespace
