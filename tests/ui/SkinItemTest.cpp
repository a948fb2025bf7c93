// The passive items and the image cache: pixels drawn into a stand-in
// window's back buffer, notifications, and the shared decoded images.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "lib/wfc/DIB.h"
#include "tests/ui/ItemTestOwner.h"
#include "tests/ui/SkinTestSupport.h"
#include "ui/CachedDIB.h"
#include "ui/SkinWindowItemIcon.h"
#include "ui/SkinWindowItemOverlay.h"
#include "ui/SkinWindowItemResizableStaticImage.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"

namespace {

using skintest::ItemTestOwner;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Nine-grid cell (row, column) of the test image.
COLORREF Cell(int row, int column) { return RGB(20 + 40 * column, 20 + 40 * row, 200); }

ui::SkinItemDefinition TileImage(const char* position, const char* size) {
    return {"Picture", {{"Position", {"0", position}}, {"Size", {size, size}}, {"Image", {"ItemParts.png", "0", "0", "16", "16"}}}};
}

ui::SkinItemDefinition Block(const std::string& name, ui::SkinKeyMap keys) { return {name, std::move(keys)}; }

// The text of the skin error `make` reported, "" when it made the item.
template <typename Make>
std::string ErrorOf(Make make) {
    return skintest::Capture([&] {
               make();
               return std::string();
           })
        .text;
}

}  // namespace

TEST(SkinItems, ImageCacheSharesDecodedImagesAndFreesThemWithTheLastList) {
    const std::size_t before = ui::CachedSkinImageCount();
    {
        ui::CSkinImageList first, second;
        first.Acquire("ItemParts.png");
        first.Acquire("ItemParts.png");  // once per list
        second.Acquire("ITEMPARTS.PNG");  // ASCII case folded: the same image
        EXPECT_EQ(before + 1, ui::CachedSkinImageCount());
        EXPECT_EQ(1u, first.Names().size());
        {
            const ui::CLockedSkinImage a = first.Lock("ItemParts.png");
            ASSERT_TRUE(a);
            EXPECT_EQ(80, a.Image().Width());
        }
        EXPECT_FALSE(first.Lock("Other.png"));  // not acquired by this list
        first.Release();
        EXPECT_EQ(before + 1, ui::CachedSkinImageCount());
    }
    EXPECT_EQ(before, ui::CachedSkinImageCount());

    ui::CSkinImageList list;
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ("Missing.png/langが読み込めません.", ErrorOf([&] { list.Acquire("Missing.png/lang"); }));
    }
    EXPECT_TRUE(list.Names().empty());
    EXPECT_EQ(before, ui::CachedSkinImageCount());
}

// Windows of any thread share the cache, and every load starts GDI+ for itself.
TEST(SkinItems, ImagesDecodeAndShareFromManyThreadsAtOnce) {
    static std::atomic<int> failures;
    failures = 0;
    ASSERT_TRUE(skintest::RunOnThreads(
        8,
        [] {
            for (int round = 0; round < 20; ++round) {
                lib::wfc::CDIB direct;
                if (!direct.LoadFromResource("ItemParts.png", "Skin", nullptr, nullptr)) ++failures;
                ui::CSkinImageList list;
                list.Acquire("ItemParts.png");
                if (list.Lock("ItemParts.png").Image().Width() != 80) ++failures;
            }
        },
        30000));
    EXPECT_EQ(0, failures.load());
}

TEST(SkinItems, StaticImageCentresTilesAndKeepsMagentaTransparent) {
    struct Case {
        const char* size;
        POINT pixel;
        COLORREF expected;
    };
    // A 16 x 16 source in a 20 x 20 item at (0, 10) sits at offset (2, 2); in a
    // 15 x 15 item at (0, 0), overflowing right and down by one pixel.
    const Case cases[] = {
        {"20", {2, 12}, kBlack},  // source (0, 0) is magenta
        {"20", {3, 12}, kGreen},  {"20", {2, 13}, kBlue},  {"20", {3, 13}, kRed},  {"20", {1, 11}, kBlack},
        {"15", {0, 10}, kBlack},  {"15", {1, 10}, kGreen}, {"15", {15, 25}, kRed},
    };
    for (const Case& c : cases) {
        ItemTestOwner owner(64, 64);
        ui::CSkinWindowItemStaticImage item(owner, 1, TileImage("10", c.size), owner.images);
        item.Paint();
        EXPECT_EQ(c.expected, owner.Pixel(c.pixel.x, c.pixel.y)) << c.size << " at " << c.pixel.x << "," << c.pixel.y;
    }

    ItemTestOwner owner(64, 64);
    ui::CSkinWindowItemStaticImage tiled(owner, 1,
                                         Block("Tiled", {{"Position", {"0", "0"}},
                                                         {"Size", {"40", "20"}},
                                                         {"Image", {"ItemParts.png", "0", "0", "16", "16"}},
                                                         {"Tile", {"1"}}}),
                                         owner.images);
    tiled.Paint();
    // Columns at 0, 16 and 32 (the last 8 wide), rows at 0 and 16 (the last 4 high).
    for (const auto& [x, y, expected] : {std::tuple{16, 1, kBlue}, {32, 1, kBlue}, {39, 1, kRed}, {40, 1, kBlack},
                                         {1, 16, kGreen}, {1, 19, kRed}, {1, 20, kBlack}, {16, 16, kBlack}}) {
        EXPECT_EQ(expected, owner.Pixel(x, y)) << x << "," << y;
    }
}

TEST(SkinItems, StaticImageNotifiesWithoutCapturing) {
    ItemTestOwner owner(32, 32);
    ui::CSkinWindowItemStaticImage item(owner, 7, TileImage("0", "16"), owner.images);
    item.OnMouseMove(1, 1);
    EXPECT_FALSE(item.OnLButtonDown(1, 1));
    item.OnMouseLeave();
    EXPECT_EQ((std::vector<int>{14, 12, 15}), owner.TakeCodes());
    EXPECT_EQ(7, owner.notifications.empty() ? 7 : owner.notifications.front().first);
}

TEST(SkinItems, NineGridCornersStayAndEdgesRepeatAtEverySize) {
    // Above 20 x 20, the sum of the corners, so that edges and centre exist.
    for (int width = 21; width <= 48; width += 3) {
        for (int height = 21; height <= 42; height += 7) {
            ItemTestOwner owner(64, 64);
            ui::CSkinWindowItemResizableStaticImage item(
                owner, 1,
                Block("Panel", {{"Position", {"2", "3"}},
                                {"Size", {std::to_string(width), std::to_string(height)}},
                                {"Image", {"ItemParts.png", "0", "10", "20", "30", "16", "26", "36", "46"}}}),
                owner.images);
            item.Paint();
            const int right = 2 + width - 1, bottom = 3 + height - 1;
            const std::string at = std::to_string(width) + "x" + std::to_string(height);
            EXPECT_EQ(Cell(0, 0), owner.Pixel(2, 3)) << at;
            EXPECT_EQ(Cell(0, 2), owner.Pixel(right, 3)) << at;
            EXPECT_EQ(Cell(2, 0), owner.Pixel(2, bottom)) << at;
            EXPECT_EQ(Cell(2, 2), owner.Pixel(right, bottom)) << at;
            EXPECT_EQ(Cell(0, 1), owner.Pixel(right - 10, 3)) << at;   // top edge up to the corner
            EXPECT_EQ(Cell(1, 0), owner.Pixel(2, bottom - 10)) << at;  // left edge likewise
            EXPECT_EQ(Cell(1, 1), owner.Pixel(right - 10, bottom - 10)) << at;
            EXPECT_EQ(kBlack, owner.Pixel(right + 1, bottom + 1)) << at;
        }
    }
}

TEST(SkinItems, OverlayBlendsAtItsAlphaAndSkipsMagenta) {
    ItemTestOwner owner(40, 40);
    ui::CSkinWindowItemOverlay overlay(
        owner, 1, Block("FrameOverlay", {{"Image", {"ItemParts.png", "0", "1", "15", "16", "0", "1", "15", "16"}}, {"Alpha", {"128"}}}),
        owner.images);
    overlay.SetItemRect(RECT{0, 0, 16, 16});
    EXPECT_FALSE(overlay.IsHitTarget());
    owner.Clear(RGB(0, 0, 100));
    overlay.Paint();
    const COLORREF blended = owner.Pixel(5, 5);  // red over dark blue at about half strength
    EXPECT_NEAR(128, GetRValue(blended), 1);
    EXPECT_NEAR(50, GetBValue(blended), 1);
    EXPECT_EQ(RGB(0, 0, 100), owner.Pixel(20, 20));
}

TEST(SkinItems, StaticTextAlignsWrapsAndGreysWhenDisabled) {
    ItemTestOwner owner(200, 80);
    const auto label = [&](const char* alignment, const char* text) {
        return std::make_unique<ui::CSkinWindowItemStatic>(
            owner, 1,
            Block("Label", {{"Position", {"0", "0"}},
                            {"Size", {"200", "80"}},
                            {"Font", {"", "24", "700"}},
                            {"Color", {"255", "0", "0"}},
                            {"Alignment", {alignment}},
                            {"Text", {text}}}),
            owner.images);
    };
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK), label("-1", "")->GetFormat());
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK | DT_CENTER), label("0", "")->GetFormat());
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK | DT_RIGHT), label("1", "")->GetFormat());

    const auto text = label("-1", "A\\r\\nB");
    EXPECT_EQ("A\r\nB", text->GetText());
    EXPECT_EQ(2 * text->MeasureText("A").cy, text->MeasureText("A\\r\\nB").cy);

    const auto block = label("-1", "■■■");
    block->SetEnabled(false);
    block->Paint();
    int grey = 0, red = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 80; ++x) {
            grey += owner.Pixel(x, y) == RGB(178, 178, 178);
            red += GetRValue(owner.Pixel(x, y)) > GetGValue(owner.Pixel(x, y));
        }
    }
    EXPECT_GT(grey, 100);
    EXPECT_EQ(0, red);
    EXPECT_EQ(RGB(255, 255, 255), ui::DisabledColor(RGB(255, 255, 255)));
    EXPECT_EQ(RGB(102, 102, 102), ui::DisabledColor(kBlack));
}

TEST(SkinItems, MissingKeysAreSkinErrorsAndIconsTakeTheSystemSize) {
    ItemTestOwner owner(8, 8);
    EXPECT_EQ("Label/Fontが定義されていません", ErrorOf([&] {
                  ui::CSkinWindowItemStatic(owner, 1, Block("Label", {{"Position", {"0", "0"}}, {"Size", {"1", "1"}}}),
                                            owner.images);
              }));
    EXPECT_EQ("Picture/TextPositionが定義されていません", ErrorOf([&] {
                  ui::SkinItemDefinition picture = TileImage("0", "8");
                  picture.keys["Text"] = {"caption"};
                  ui::CSkinWindowItemStaticImage(owner, 1, picture, owner.images);
              }));
    EXPECT_EQ("Panel/Imageのパラメータは 9個必要です", ErrorOf([&] {
                  ui::SkinItemDefinition panel = TileImage("0", "8");
                  panel.name = "Panel";
                  ui::CSkinWindowItemResizableStaticImage(owner, 1, panel, owner.images);
              }));

    const ui::CSkinWindowItemIcon warning(owner, 1, IDI_WARNING), none(owner, 2, nullptr);
    EXPECT_EQ(::GetSystemMetrics(SM_CXICON), warning.Width());
    EXPECT_EQ(0, none.Width() + none.Height());
}

namespace {

// Fills the buffer with a pattern that differs from pixel to pixel; `seed` picks one of many.
void FillPattern(ItemTestOwner& owner, int seed) {
    lib::wfc::CDIB& buffer = owner.buffer;
    for (int y = 0; y < buffer.Height(); ++y) {
        BYTE* pixel = buffer.Row(y);
        for (int x = 0; x < buffer.Width(); ++x, pixel += 3) {
            pixel[0] = static_cast<BYTE>(x * 7 + seed * 31);
            pixel[1] = static_cast<BYTE>(y * 11 + seed * 17);
            pixel[2] = static_cast<BYTE>((x ^ y) * 5 + seed);
        }
    }
}

std::vector<BYTE> Pixels(const lib::wfc::CDIB& buffer) {
    const BYTE* bits = buffer.Bits();
    return std::vector<BYTE>(bits, bits + static_cast<std::size_t>(buffer.Stride()) * buffer.Height());
}

// One step of the comparison below: the background, the clip and what is done to the item first.
template <typename Item>
struct TextStep {
    const char* name;
    int pattern;
    RECT clip;
    void (*change)(Item&);
};

// Paints `kept` after each step and an item made anew (with every change so
// far) after the same steps on the same pixels: a text drawn again must look
// exactly like one drawn for the first time, whatever changed in between.
template <typename Item, typename MakeItem>
void ExpectRepaintsLikeNewItems(MakeItem make, const std::vector<TextStep<Item>>& steps) {
    ItemTestOwner owner(200, 60);
    const auto kept = make(owner);
    for (std::size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE(steps[at].name);
        if (steps[at].change) steps[at].change(*kept);
        FillPattern(owner, steps[at].pattern);
        owner.buffer.SetClipRect(steps[at].clip);
        kept->Paint();
        const std::vector<BYTE> repainted = Pixels(owner.buffer);

        const auto fresh = make(owner);
        for (std::size_t done = 0; done <= at; ++done) {
            if (steps[done].change) steps[done].change(*fresh);
        }
        FillPattern(owner, steps[at].pattern);
        fresh->Paint();
        EXPECT_TRUE(repainted == Pixels(owner.buffer));
        owner.buffer.SetClipRect(RECT{0, 0, 200, 60});
    }
}

}  // namespace

TEST(SkinItems, TextsPaintedAgainLookLikeTextsPaintedOnce) {
    const RECT all{0, 0, 200, 60}, part{30, 10, 120, 40};
    using Static = ui::CSkinWindowItemStatic;
    const auto label = [](ItemTestOwner& owner) {
        return std::make_unique<Static>(owner, 1,
                                        Block("Label", {{"Position", {"10", "8"}},
                                                        {"Size", {"180", "44"}},
                                                        {"Font", {"", "14", "400"}},
                                                        {"Color", {"20", "40", "200"}},
                                                        {"Alignment", {"0"}},
                                                        {"Antialias", {"1"}},
                                                        {"Text", {"Ravelin テキスト\\r\\n二行目"}}}),
                                        owner.images);
    };
    ExpectRepaintsLikeNewItems<Static>(
        label, {
                   {"first", 1, all, nullptr},
                   {"same pixels", 1, all, nullptr},
                   {"other pixels", 2, all, nullptr},
                   {"first pixels again", 1, all, nullptr},
                   {"clipped", 1, part, nullptr},
                   {"unclipped", 1, all, nullptr},
                   {"other text", 1, all, [](Static& s) { s.SetText("別の文"); }},
                   {"other colour", 1, all, [](Static& s) { s.SetTextColor(RGB(200, 0, 0)); }},
                   {"disabled", 1, all, [](Static& s) { s.SetEnabled(false); }},
                   {"moved", 1, all, [](Static& s) { s.SetItemRect(RECT{0, 20, 150, 60}); }},
                   {"left aligned", 1, all, [](Static& s) { s.SetFormat(DT_WORDBREAK); }},
                   {"single line", 3, all, [](Static& s) { s.SetFormat(DT_SINGLELINE | DT_VCENTER); }},
                   {"single line again", 3, all, nullptr},
               });

    // A caption, drawn by the anti-aliased renderer.
    using Picture = ui::CSkinWindowItemStaticImage;
    const auto picture = [](ItemTestOwner& owner) {
        return std::make_unique<Picture>(owner, 1,
                                         Block("Picture", {{"Position", {"4", "4"}},
                                                           {"Size", {"190", "40"}},
                                                           {"Image", {"ItemParts.png", "0", "0", "16", "16"}},
                                                           {"Text", {"Ravelin バージョンアップ"}},
                                                           {"TextPosition", {"20", "0"}},
                                                           {"TextSize", {"170", "40"}},
                                                           {"TextFont", {"", "15", "700"}},
                                                           {"TextAntialias", {"1"}},
                                                           {"TextColor", {"255", "255", "255"}}}),
                                         owner.images);
    };
    ExpectRepaintsLikeNewItems<Picture>(picture, {
                                                     {"first", 1, all, nullptr},
                                                     {"same pixels", 1, all, nullptr},
                                                     {"other pixels", 2, all, nullptr},
                                                     {"clipped", 2, part, nullptr},
                                                     {"disabled", 2, all, [](Picture& p) { p.SetEnabled(false); }},
                                                     {"moved", 2, all, [](Picture& p) {
                                                          p.SetItemRect(RECT{0, 10, 190, 50});
                                                      }},
                                                 });
}

TEST(SkinItems, NineGridDrawnThroughAClipMatchesTheWholeDrawingThere) {
    // Small pieces, so that most copies lie outside a small clip.
    const auto block = Block("Panel", {{"Position", {"3", "2"}},
                                       {"Size", {"57", "55"}},
                                       {"Image", {"ItemParts.png", "0", "10", "20", "30", "16", "26", "36", "46"}}});
    ItemTestOwner whole(64, 64);
    whole.Clear(RGB(1, 2, 3));
    ui::CSkinWindowItemResizableStaticImage(whole, 1, block, whole.images).Paint();
    for (const RECT clip : {RECT{0, 0, 64, 64}, RECT{20, 20, 31, 33}, RECT{12, 0, 25, 64}, RECT{50, 45, 64, 64},
                            RECT{0, 0, 4, 3}, RECT{61, 58, 64, 64}}) {
        SCOPED_TRACE(std::to_string(clip.left) + "," + std::to_string(clip.top));
        ItemTestOwner owner(64, 64);
        owner.Clear(RGB(1, 2, 3));
        owner.buffer.SetClipRect(clip);
        ui::CSkinWindowItemResizableStaticImage(owner, 1, block, owner.images).Paint();
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                ASSERT_EQ(inside ? whole.Pixel(x, y) : RGB(1, 2, 3), owner.Pixel(x, y)) << x << "," << y;
            }
        }
    }
}
