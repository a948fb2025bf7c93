// Buttons and toggle buttons: notifications, state rules, blinking, painting
// from the test image (images/make-test-images.sh) and skin-key errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/ItemTestOwner.h"
#include "tests/ui/SkinTestSupport.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemToggleButton.h"

namespace {

using Button = ui::CSkinWindowItemButton;
using Keys = ui::SkinKeyMap;

// A 40 x 20 button at (2, 3) on the state strip; `extra` adds or replaces keys, an empty list removes one.
ui::SkinItemDefinition Block(const Keys& extra = {}) {
    ui::SkinItemDefinition item{"OkButton",
                                {{"Position", {"2", "3"}},
                                 {"Size", {"40", "20"}},
                                 {"NormalImage", {"ItemParts.png", "40", "0"}},
                                 {"HotNormalImage", {"ItemParts.png", "-1", "-1"}},
                                 {"PushImage", {"ItemParts.png", "-1", "-1"}},
                                 {"HotPushImage", {"ItemParts.png", "-1", "-1"}},
                                 {"PushImageShift", {"1", "1"}},
                                 {"ToolTipText", {"tip"}}}};
    for (const auto& [key, values] : extra) {
        if (values.empty()) {
            item.keys.erase(key);
        } else {
            item.keys[key] = values;
        }
    }
    return item;
}

std::unique_ptr<Button> Make(skintest::ItemTestOwner& owner, const Keys& extra = {}, bool toggle = false) {
    if (toggle) return std::make_unique<ui::CSkinWindowItemToggleButton>(owner, 7, Block(extra), owner.images);
    return std::make_unique<Button>(owner, 7, Block(extra), owner.images);
}

// The button painted on a black buffer; colour at (x, y) of the button.
COLORREF Painted(skintest::ItemTestOwner& owner, Button& button, int x, int y) {
    owner.Clear();
    button.Paint();
    return owner.Pixel(button.X() + x, button.Y() + y);
}

bool Shows(skintest::ItemTestOwner& owner, Button& button, COLORREF color) {
    Painted(owner, button, 0, 0);
    for (int y = 0; y < button.Height(); ++y) {
        for (int x = 0; x < button.Width(); ++x) {
            if (owner.Pixel(button.X() + x, button.Y() + y) == color) return true;
        }
    }
    return false;
}

// d down, c double-click, m move, u up, x capture lost, R/C/U right down/double/up,
// l leave, e disable, s set checked (x), t toggle mode (x), a toggling not allowed.
struct Step {
    char kind;
    int x;
    int y;
};

// Runs the steps; returns one '1' or '0' per button-down for whether it captured.
std::string Drive(Button& button, const std::vector<Step>& steps) {
    std::string captures;
    for (const auto& [kind, x, y] : steps) {
        switch (kind) {
        case 'd': captures += button.OnLButtonDown(x, y) ? '1' : '0'; break;
        case 'c': captures += button.OnLButtonDblClk(x, y) ? '1' : '0'; break;
        case 'm': button.OnMouseMove(x, y); break;
        case 'u': button.OnLButtonUp(x, y); break;
        case 'x': button.OnLButtonCancel(x, y); break;
        case 'R': captures += button.OnRButtonDown(x, y) ? '1' : '0'; break;
        case 'C': captures += button.OnRButtonDblClk(x, y) ? '1' : '0'; break;
        case 'U': button.OnRButtonUp(x, y); break;
        case 'l': button.OnMouseLeave(); break;
        case 'e': button.SetEnabled(false); break;
        case 's': button.OnItemCommand(ui::kButtonSetChecked, x, 0); break;
        case 't': button.OnItemCommand(ui::kButtonSetToggleMode, x, 0); break;
        case 'a': button.SetToggleAllowed(false); break;
        }
    }
    return captures;
}

}  // namespace

TEST(SkinButton, MouseGesturesNotifyInOrderAndSetTheState) {
    struct Case {
        const char* name;
        bool toggle;
        std::set<int> handled;
        std::vector<Step> steps;
        const char* captures;
        std::vector<int> codes;
        const char* state;  // checked, pushed, hot, pressed
    };
    const Case cases[] = {
        {"drag out and back", false, {}, {{'d', 5, 5}, {'m', 50, 5}, {'m', 5, 5}, {'u', 5, 5}}, "1",
         {1, 14, 2, 14, 1, 14, 2, 0, 4}, "0010"},
        {"release outside", false, {}, {{'d', 5, 5}, {'m', 50, 5}, {'u', 50, 5}}, "1", {1, 14, 2, 14, 4}, "0000"},
        {"handled double-click", false, {3}, {{'c', 5, 5}, {'u', 5, 5}}, "0", {3}, "0000"},
        {"double-click", false, {}, {{'c', 5, 5}, {'u', 5, 5}}, "1", {3, 1, 14, 2, 0, 4}, "0010"},
        {"capture lost", false, {}, {{'d', 5, 5}, {'x', 5, 5}}, "1", {1, 14, 2, 4}, "0010"},
        {"disabled", false, {}, {{'d', 5, 5}, {'e', 0, 0}, {'d', 5, 5}, {'m', 6, 6}, {'u', 5, 5}}, "10",
         {1, 14, 2, 4}, "0000"},
        {"right button", false, {}, {{'R', 5, 5}, {'C', 5, 5}, {'U', 5, 5}}, "00", {5, 7, 6}, "0000"},
        {"leave while pressed", false, {}, {{'d', 5, 5}, {'l', 0, 0}}, "1", {1, 14, 15}, "0111"},
        {"toggle mode", false, {}, {{'t', 1, 0}, {'d', 5, 5}, {'u', 5, 5}}, "1", {1, 14, 2, 0, 4}, "1010"},
        {"toggle click", true, {}, {{'d', 5, 5}, {'u', 5, 5}}, "1", {0}, "1110"},
        {"toggle dragged out", true, {}, {{'d', 5, 5}, {'m', 50, 5}}, "1", {}, "0011"},
        {"toggle released outside", true, {}, {{'d', 5, 5}, {'m', 50, 5}, {'u', 50, 5}}, "1", {}, "0000"},
        {"checked toggle pressed", true, {}, {{'s', 1, 0}, {'d', 5, 5}}, "1", {}, "1101"},
        {"checked toggle click", true, {}, {{'s', 1, 0}, {'d', 5, 5}, {'u', 5, 5}}, "1", {0}, "0010"},
        {"toggle set while pressed", true, {}, {{'d', 5, 5}, {'s', 1, 0}}, "1", {}, "0101"},
        {"toggle capture lost", true, {}, {{'d', 5, 5}, {'x', 5, 5}}, "1", {}, "0010"},
        {"toggle not allowed", true, {}, {{'a', 0, 0}, {'d', 5, 5}, {'u', 5, 5}}, "1", {0}, "0010"},
    };
    for (const Case& c : cases) {
        skintest::ItemTestOwner owner(60, 30);
        owner.handledCodes = c.handled;
        const auto button = Make(owner, {}, c.toggle);
        EXPECT_EQ(c.captures, Drive(*button, c.steps)) << c.name;
        EXPECT_EQ(c.codes, owner.TakeCodes()) << c.name;
        const std::string state{char('0' + button->IsChecked()), char('0' + button->IsPushed()),
                                char('0' + button->IsHot()), char('0' + button->IsPressed())};
        EXPECT_EQ(c.state, state) << c.name;
    }
}

TEST(SkinButton, CommandsTooltipsAndCursor) {
    skintest::ItemTestOwner owner(60, 30);
    const auto button = Make(owner, {{"ToolTipTextP", {"tipP"}}}), plain = Make(owner);
    for (int repeat = 0; repeat < 2; ++repeat) button->OnItemCommand(ui::kButtonSetChecked, 1, 0);
    plain->OnItemCommand(ui::kButtonSetChecked, 1, 0);
    EXPECT_EQ(1, button->OnItemCommand(ui::kButtonGetChecked, 0, 0));
    EXPECT_EQ(2, owner.tooltipUpdates);  // once per change
    EXPECT_EQ("tipP", button->GetToolTipText());
    EXPECT_EQ("tip", plain->GetToolTipText());  // ToolTipTextP copied from ToolTipText
    EXPECT_EQ(1, button->OnItemCommand(ui::kButtonGetToggleAllowed, 0, 0));
    EXPECT_TRUE(button->OnSetCursor(1, 1));
    button->SetEnabled(false);
    EXPECT_FALSE(button->OnSetCursor(1, 1));
}

TEST(SkinButton, BackgroundFollowsTheStateStrip) {
    struct Case {
        const char* name;
        Keys keys;
        bool toggle;
        std::function<void(Button&)> act;
        POINT at;
        COLORREF color;
    };
    const Keys disable{{"DisableImage", {"ItemParts.png", "40", "80"}}};
    const Keys corner{{"NormalImage", {"ItemParts.png", "0", "0"}}};
    const Case cases[] = {
        {"normal", {}, false, [](Button&) {}, {0, 0}, RGB(50, 100, 0)},
        {"hot", {}, false, [](Button& b) { b.OnMouseMove(5, 5); }, {0, 0}, RGB(50, 150, 0)},
        {"pushed", {}, false, [](Button& b) { b.OnLButtonDown(5, 5); }, {0, 0}, RGB(50, 200, 0)},
        {"hot pushed", {}, true, [](Button& b) { Drive(b, {{'s', 1, 0}, {'m', 5, 5}}); }, {0, 0}, RGB(50, 250, 0)},
        {"disabled look", disable, false, [](Button& b) { b.SetShowDisabledLook(true); }, {0, 0}, RGB(128, 128, 128)},
        {"disabled", disable, false, [](Button& b) { b.SetEnabled(false); }, {0, 0}, RGB(128, 128, 128)},
        {"translucent", {}, false, [](Button& b) { b.SetAlpha(128); }, {20, 0}, RGB(50, 50, 0)},
        {"translucent hot", {}, false, [](Button& b) {
             b.OnMouseMove(5, 5);
             b.SetAlpha(128);
         }, {20, 0},
         RGB(100, 150, 0)},
        // Push at -1, -1 below a normal image at 0, 0 with height 20 is taken from (0, 40).
        {"push strip", corner, false, [](Button& b) { b.OnLButtonDown(5, 5); }, {0, 0}, RGB(20, 100, 200)},
        {"push strip x", corner, false, [](Button& b) { b.OnLButtonDown(5, 5); }, {15, 5}, RGB(60, 100, 200)},
        {"push strip end", corner, false, [](Button& b) { b.OnLButtonDown(5, 5); }, {0, 6}, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        skintest::ItemTestOwner owner(60, 30);
        const auto button = Make(owner, c.keys, c.toggle);
        c.act(*button);
        EXPECT_EQ(c.color, Painted(owner, *button, c.at.x, c.at.y)) << c.name;
    }
}

TEST(SkinButton, SlicedBackgroundRepeatsTheMiddleSection) {
    struct Case {
        const char* width;
        const char* left;
        const char* right;
        std::vector<std::pair<int, int>> reds;  // x, red (0: nothing drawn)
    };
    const Case cases[] = {
        {"100", "10", "12", {{0, 50}, {9, 50}, {10, 100}, {87, 100}, {88, 150}, {99, 150}}},
        // A 28-pixel middle section of three colours shows where each piece starts.
        {"70", "5", "7", {{4, 50}, {5, 50}, {10, 100}, {32, 150}, {33, 50}, {38, 100}, {60, 150}, {61, 50}, {63, 150}}},
        // Slices wider than the source leave the middle empty instead of looping.
        {"100", "30", "30", {{9, 50}, {29, 150}, {30, 0}, {69, 0}, {70, 100}, {99, 150}}},
    };
    for (const Case& c : cases) {
        skintest::ItemTestOwner owner(110, 30);
        const auto button = Make(owner, {{"Width", {c.width}}, {"Divide", {c.left, "0", c.right}}});
        EXPECT_EQ(atoi(c.width), button->Width());
        for (const auto& [x, red] : c.reds) {
            EXPECT_EQ(red ? RGB(red, 100, 0) : 0, Painted(owner, *button, x, 10)) << c.left << " x " << x;
        }
    }
    skintest::ItemTestOwner owner(110, 30);
    const auto button = Make(owner, {{"Width", {"100"}}, {"Divide", {"10", "0", "12"}}});
    button->SetItemRect(RECT{0, 0, 60, 1});
    EXPECT_EQ(RGB(150, 100, 0), Painted(owner, *button, 59, 19));
    button->SetText("OK", true);
    EXPECT_GT(button->Width(), 22);
    EXPECT_LT(button->Width(), 60);
    EXPECT_EQ(button->Width(), button->GetDrawnWidth());
    EXPECT_EQ(20, button->Height());
}

TEST(SkinButton, CheckMarkFollowsCheckedAndBlinkPhase) {
    const Keys marks{{"Image", {"ItemParts.png", "0", "50"}},
                     {"ImageSize", {"8", "8"}},
                     {"ImageP", {"ItemParts.png", "8", "50"}}};
    const COLORREF checked = RGB(0, 0, 90), unchecked = RGB(255, 255, 255);
    struct Case {
        int mode;
        bool isChecked;
        DWORD tick;
        COLORREF mark;
    };
    const Case cases[] = {{0, true, 0, checked},   {0, true, 400, unchecked}, {0, true, 799, unchecked},
                          {0, true, 800, checked}, {0, true, 1199, checked},  {0, true, 1200, unchecked},
                          {1, false, 0, checked},  {1, false, 400, unchecked}, {0, false, 0, unchecked}};
    for (const Case& c : cases) {
        skintest::ItemTestOwner owner(60, 30);
        const auto button = Make(owner, marks);
        Drive(*button, {{'t', c.mode, 0}, {'s', c.isChecked ? 1 : 0, 0}});
        button->OnItemCommand(ui::kButtonSetBlinking, 1, 0);
        button->OnTimer(c.tick);
        EXPECT_EQ(c.mark, Painted(owner, *button, 2, 2)) << c.mode << " " << c.tick;
        // Stopping always leaves the phase on.
        button->OnItemCommand(ui::kButtonSetBlinking, 0, 0);
        EXPECT_EQ(c.isChecked ? checked : unchecked, Painted(owner, *button, 2, 2)) << c.mode << " " << c.tick;
    }
    skintest::ItemTestOwner owner(60, 30);
    const auto button = Make(owner, {{"Image", {"ItemParts.png", "0", "50"}}, {"ImageSize", {"8", "8"}}});
    Drive(*button, {{'s', 1, 0}, {'d', 2, 2}});
    EXPECT_EQ(unchecked, Painted(owner, *button, 1, 1));  // ImageP copied from Image, shifted by 1, 1
    EXPECT_EQ(RGB(50, 200, 0), Painted(owner, *button, 0, 0));
}

TEST(SkinButton, CaptionColourByStateAndEnabled) {
    const Keys caption{{"Text", {"■■■"}}, {"Font", {"", "16", "400"}}, {"TextColor", {"10", "20", "30"}}};
    Keys perState = caption;
    const char* stateKeys[] = {"TextColorNormal", "TextColorDisable", "TextColorPush", "TextColorHotNormal",
                               "TextColorHotPush", "TextColorHotNormalShadow"};
    for (int at = 0; at < 6; ++at) perState[stateKeys[at]] = {std::to_string(11 + at), "0", "0"};
    perState["TextShadowOffset"] = {"2"};
    Keys smooth = caption;
    smooth["Antialias"] = {"1"};
    struct Case {
        const char* name;
        const Keys& keys;
        std::vector<Step> steps;
        COLORREF shown;
        COLORREF hidden;
    };
    const Case cases[] = {
        {"enabled", caption, {}, RGB(10, 20, 30), RGB(176, 176, 176)},
        {"smooth", smooth, {}, RGB(10, 20, 30), RGB(176, 176, 176)},
        {"disabled", caption, {{'e', 0, 0}}, RGB(176, 176, 176), RGB(10, 20, 30)},
        {"state normal", perState, {}, RGB(11, 0, 0), RGB(10, 20, 30)},
        {"state pushed", perState, {{'d', 5, 5}}, RGB(13, 0, 0), RGB(11, 0, 0)},
        {"state hot", perState, {{'m', 5, 5}}, RGB(14, 0, 0), RGB(11, 0, 0)},
        {"hot shadow", perState, {{'m', 5, 5}}, RGB(16, 0, 0), RGB(11, 0, 0)},
        {"state disabled", perState, {{'e', 0, 0}}, RGB(12, 0, 0), RGB(176, 176, 176)},
    };
    for (const Case& c : cases) {
        skintest::ItemTestOwner owner(60, 30);
        const auto button = Make(owner, c.keys);
        Drive(*button, c.steps);
        EXPECT_TRUE(Shows(owner, *button, c.shown)) << c.name;
        EXPECT_FALSE(Shows(owner, *button, c.hidden)) << c.name;
    }
}

TEST(SkinButton, CaptionLineBreaksKeepShiftJisCharacters) {
    skintest::ItemTestOwner owner(60, 30);
    const auto button = Make(owner, {{"Text", {"表示\\r\\nソ"}}, {"Font", {"", "12", "400"}},
                                     {"TextColor", {"0", "0", "0"}}});
    EXPECT_EQ("表示\r\nソ", button->GetText());
    button->SetText("能r\\n表\\r\\n", false);
    EXPECT_EQ("能r\\n表\r\n", button->GetText());
}

TEST(SkinButton, BadBlocksReportTheKey) {
    const std::pair<Keys, std::string> cases[] = {
        {{{"PushImageShift", {}}}, "OkButton/PushImageShiftが定義されていません"},
        {{{"NormalImage", {"ItemParts.png", "40"}}}, "OkButton/NormalImageのパラメータは 3個必要です"},
        {{{"Image", {"ItemParts.png", "0", "50"}}}, "OkButton/ImageSizeが定義されていません"},
        {{{"Width", {"100"}}}, "OkButton/Divideが定義されていません"},
        {{{"TextP", {"x"}}}, "OkButton/Textが定義されていません"},
        {{{"Text", {"x"}}, {"Font", {"", "12", "400"}}}, "OkButton/TextColorが定義されていません"},
        {{{"TextColorNormal", {"1", "2", "3"}}}, "OkButton/TextColorDisableが定義されていません"},
        {{{"TextColorHotNormalShadow", {"1", "2", "3"}}}, "OkButton/TextShadowOffsetが定義されていません"},
        {{{"ToolTipTextP", {"a", "b"}}}, "OkButton/ToolTipTextPのパラメータは 1個必要ですが、2個指定されています"},
    };
    for (const auto& [keys, text] : cases) {
        skintest::ItemTestOwner owner(60, 30);
        const skintest::Outcome outcome = skintest::Capture([&] {
            Make(owner, keys);
            return std::string();
        });
        EXPECT_EQ(text, outcome.text);
        EXPECT_EQ(std::vector<std::string>{text}, outcome.reports);
    }
}

TEST(SkinButton, AButtonPaintedAgainLooksLikeANewOneInTheSameState) {
    const Keys keys{{"Text", {"OK"}},
                    {"Font", {"", "12", "700"}},
                    {"TextColor", {"255", "255", "255"}},
                    {"Antialias", {"1"}},
                    {"Image", {"ItemParts.png", "0", "50"}},
                    {"ImageSize", {"8", "8"}},
                    {"ImageP", {"ItemParts.png", "8", "50"}}};
    const std::vector<std::pair<const char*, std::function<void(Button&)>>> steps = {
        {"normal", [](Button&) {}},
        {"again", [](Button&) {}},
        {"hot", [](Button& b) { b.OnMouseMove(5, 5); }},
        {"pushed", [](Button& b) { b.OnLButtonDown(5, 5); }},
        {"dragged out", [](Button& b) { b.OnMouseMove(50, 5); }},
        {"released", [](Button& b) { b.OnLButtonUp(50, 5); }},
        {"checked", [](Button& b) { b.OnItemCommand(ui::kButtonSetChecked, 1, 0); }},
        {"other caption", [](Button& b) { b.SetText("キャンセル", false); }},
        {"inactive look", [](Button& b) { b.SetShowDisabledLook(true); }},
        {"disabled", [](Button& b) { b.SetEnabled(false); }},
        {"enabled", [](Button& b) { b.SetEnabled(true); }},
        {"wider", [](Button& b) { b.SetItemRect(RECT{2, 3, 52, 23}); }},
        {"left aligned", [](Button& b) { b.SetTextFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE); }},
        {"translucent", [](Button& b) { b.SetAlpha(100); }},
        {"blinking", [](Button& b) {
             b.OnItemCommand(ui::kButtonSetBlinking, 1, 0);
             b.OnTimer(500);
         }},
    };
    const auto pixels = [](const skintest::ItemTestOwner& owner) {
        const BYTE* bits = owner.buffer.Bits();
        return std::vector<BYTE>(bits, bits + static_cast<std::size_t>(owner.buffer.Stride()) * owner.buffer.Height());
    };
    for (const bool toggle : {false, true}) {
        skintest::ItemTestOwner owner(60, 30);
        const auto kept = Make(owner, keys, toggle);
        for (std::size_t at = 0; at < steps.size(); ++at) {
            SCOPED_TRACE(std::string(steps[at].first) + (toggle ? " (toggle)" : ""));
            steps[at].second(*kept);
            owner.Clear(RGB(9, 90, 190));
            kept->Paint();
            const std::vector<BYTE> repainted = pixels(owner);

            const auto fresh = Make(owner, keys, toggle);
            for (std::size_t done = 0; done <= at; ++done) steps[done].second(*fresh);
            owner.Clear(RGB(9, 90, 190));
            fresh->Paint();
            EXPECT_TRUE(repainted == pixels(owner));
        }
    }
}
