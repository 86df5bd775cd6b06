// The tile painters checked pixel by pixel, and screenshots of both pages
// filled from the sample data tree (when VOR_SAMPLE_ROOT names it).
#include <doctest.h>

#include <cstdlib>
#include <string>

#include "core/imaging/file.h"
#include "editor/tile_draw_win32.h"
#include "layers/hls.h"
#include "pages_fixture_win32.h"

namespace {

using guitest::Canvas24;

}  // namespace

TEST_CASE("tiles: the check picture sits centred in the item's left square")
{
    DIB *check = pagestest::MakeCheckImage(pagestest::CHECK_COLOURS);
    Rect r = CheckPictureRect(24, check);
    CHECK(r.left == 6);
    CHECK(r.top == 6);
    CHECK(r.right == 17);
    CHECK(r.bottom == 17);
    r = CheckPictureRect(24, nullptr);
    CHECK(Rect_Width(&r) == 0);
    DIB_Delete_(check);
}

TEST_CASE("tiles: depth items - fixed parts black on white or white on blue, accessories red with a swatch")
{
    Wardrobe w;
    Wardrobe_Init(&w);
    w.slots[3].inUse = 1;
    w.slots[3].colour = {85, 128, 255};  // pure green
    Layer *root = Layer_Create(0, nullptr);
    Layer *fixed = Layer_Create(ID_BACK_HAIR, root);
    Layer_SetName(fixed, "뒷머리 머리 머리");
    Layer *acc = Layer_Create(ID_ACCESSORY_FIRST + 3, root);
    Layer_SetName(acc, "착 용 - 리본 리본");
    RgbBytes green = Hls_ToRgb(w.slots[3].colour);

    struct {
        Layer *layer;
        uint32_t state;
        COLORREF left, right, text;
    } cases[] = {
        {fixed, 0, 0xFFFFFF, 0xFFFFFF, 0x000000},
        {fixed, TILEITEM_SELECTED, 0x400000, 0xFF0000, 0xFFFFFF},
        {fixed, TILEITEM_SELECTED | TILEITEM_BRIGHT, 0xFF0000, 0xFF0000, 0xFFFFFF},
        {acc, 0, 0xFFFFFF, 0xFFFFFF, 0x0000FF},
        {acc, TILEITEM_SELECTED, 0x400000, 0xFF0000, 0x0000FF},
    };
    for (auto &c : cases) {
        CAPTURE(c.state);
        Canvas24 out(200, 16);
        TileItem item = {nullptr, c.state, (LPARAM)c.layer};
        RECT rect = {0, 0, 200, 16};
        DrawDepthItem(&item, out.dc, &rect, &w, nullptr);
        GdiFlush();
        // Compare the colour's channels loosely: the gradient's ends are close to its colours.
        auto nearly = [](COLORREF a, COLORREF b) {
            return abs(GetRValue(a) - GetRValue(b)) < 8 && abs(GetGValue(a) - GetGValue(b)) < 8 &&
                   abs(GetBValue(a) - GetBValue(b)) < 8;
        };
        CHECK(nearly(out.At(0, 15), c.left));
        CHECK(nearly(out.At(199, 15), c.right));
        CHECK(out.AreaHas(0, 0, 120, 16, c.text));
        if (c.layer == acc) {
            CHECK(out.At(2, 2) == 0x000000);
            CHECK(out.At(13, 13) == 0x000000);
            CHECK(out.At(8, 8) == RGB(green.red, green.green, green.blue));
            CHECK_FALSE(out.AreaHas(0, 0, 16, 16, 0x0000FF));  // the name starts after the swatch
        }
    }
    Layer_Destroy(root);
    Wardrobe_Release(&w);
}

TEST_CASE("tiles: depth items draw in the font they are given, clear of the list's left border")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer *fixed = Layer_Create(ID_BACK_HAIR, root);
    Layer_SetName(fixed, "뒷머리 MW");
    // The extent of the black glyph pixels.
    struct Extent {
        int left = 1000, top = 1000, right = -1, bottom = -1;
    };
    auto draw = [&](HFONT font) {
        Canvas24 out(200, 20);
        TileItem item = {nullptr, 0, (LPARAM)fixed};
        RECT rect = {0, 0, 200, 20};
        DrawDepthItem(&item, out.dc, &rect, nullptr, font);
        GdiFlush();
        Extent e;
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 200; x++)
                if (out.At(x, y) != 0xFFFFFF) {
                    e.left = x < e.left ? x : e.left;
                    e.right = x > e.right ? x : e.right;
                    e.top = y < e.top ? y : e.top;
                    e.bottom = y > e.bottom ? y : e.bottom;
                }
        return e;
    };
    HFONT large = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    REQUIRE(large);
    Extent small = draw(nullptr), given = draw(large);
    CHECK(small.left >= 4);  // a margin, not the border
    CHECK(given.left >= 4);
    // The given font is the one drawn: taller and wider glyphs.
    CHECK(given.bottom - given.top > small.bottom - small.top);
    CHECK(given.right - given.left > small.right - small.left);
    // The caller's font survives the drawing.
    LOGFONTW lf;
    CHECK(GetObjectW(large, sizeof lf, &lf) == sizeof lf);
    DeleteObject(large);
    Layer_Destroy(root);
}

TEST_CASE("tiles: style items show the check picture of their state and both texts")
{
    DIB *check = pagestest::MakeCheckImage(pagestest::CHECK_COLOURS);
    DressStyle *style = NewStyle();
    Style_SetText(&style->name, "Name");
    Style_SetText(&style->outputFolder, "folder");
    for (int state : {0, 1, 2}) {
        CAPTURE(state);
        style->checkState = state;
        Canvas24 out(300, 24);
        TileItem item = {nullptr, 0, (LPARAM)style};
        RECT rect = {0, 0, 300, 24};
        DrawStyleItem(&item, out.dc, &rect, check, nullptr);
        GdiFlush();
        CHECK(out.At(11, 11) == pagestest::CHECK_COLOURS[state]);
        CHECK(out.At(3, 3) == 0xFFFFFF);
        CHECK(out.AreaHas(24, 0, 124, 24, 0x000000));   // name column
        CHECK(out.AreaHas(148, 0, 300, 24, 0x000000));  // folder column
        CHECK_FALSE(out.AreaHas(124, 0, 148, 24, 0x000000));
    }
    // The page's font is the one drawn: the name's glyphs grow with it.
    auto nameRows = [&](HFONT font) {
        Canvas24 out(300, 24);
        TileItem item = {nullptr, 0, (LPARAM)style};
        RECT rect = {0, 0, 300, 24};
        DrawStyleItem(&item, out.dc, &rect, check, font);
        GdiFlush();
        int rows = 0;
        for (int y = 0; y < 24; y++)
            rows += out.RowHas(y, 24, 124, 0x000000);
        return rows;
    };
    HFONT large = CreateFontW(-18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    REQUIRE(large);
    CHECK(nameRows(large) > nameRows(nullptr));
    DeleteObject(large);
    // An item of no width paints nothing and does not fail.
    Canvas24 out(10, 10);
    TileItem item = {nullptr, TILEITEM_SELECTED, (LPARAM)style};
    RECT empty = {0, 0, 0, 0};
    DrawStyleItem(&item, out.dc, &empty, check, nullptr);
    GdiFlush();
    CHECK(out.At(0, 0) == RGB(0x55, 0x55, 0x55));
    FreeStyle(style);
    DIB_Delete_(check);
}

TEST_CASE("screenshots of both pages over the sample data tree")
{
    const char *root = getenv("VOR_SAMPLE_ROOT");
    const char *out = getenv("VOR_SHOT_DIR");
    if (!root || !out)
        return;
    pagestest::PagesFixture f(root);
    f.NewProject();
    f.Choose(f.chara, 1000, 2);
    f.Choose(f.chara, IDC_CHARA_EXPRESSION, 1);
    CHECK(guitest::SaveWindowPng(f.main.window, (std::string(out) + "\\pages_chara.png").c_str()));

    ShowWindow(f.chara, SW_HIDE);
    ShowWindow(f.dress, SW_SHOW);
    SendMessageA(GetDlgItem(f.dress, IDC_DRESS_DEPTH_LIST), LB_SETCURSEL, 1, 0);
    f.Click(f.dress, 1033);
    f.Choose(f.dress, 1014, 1);
    Wardrobe_StyleAt(&f.app.wardrobe, 0)->checkState = STYLE_THIRD;
    pagestest::ModalScript script({[] {
                           HWND d = guitest::FindTitled(pagestest::ADD_TITLE);
                           if (d)
                               PostMessageA(d, WM_COMMAND, IDOK, 0);
                           return d != nullptr;
                       }},
                       {pagestest::ADD_TITLE});
    f.Click(f.dress, 1040);
    guitest::Pump(200);
    InvalidateRect(f.main.window, nullptr, TRUE);
    guitest::Pump(200);
    CHECK(guitest::SaveWindowPng(f.main.window, (std::string(out) + "\\pages_dress.png").c_str()));
}
