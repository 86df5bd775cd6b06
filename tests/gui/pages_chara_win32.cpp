// The CHARA page driven through its controls' messages, checking the
// character model and the layers it loads.
#include <doctest.h>

#include <cstring>

#include "editor/colordlg_win32.h"
#include "pages_fixture_win32.h"

using pagestest::PagesFixture;

namespace {

enum {
    FRONT_HAIR = 1000, BACK_HAIR = 1001, EYE = 1003, BROW = 1004, MOUTH = 1005, HAIR_COLOUR = 1009,
    CHEEK = 1017, SLOTS = 1020, SEPARATE = 1024, HAIR_DEFAULT = 1049,
};

bool Same(HlsColour a, HlsColour b)
{
    return a.hue == b.hue && a.luminance == b.luminance && a.saturation == b.saturation;
}

HlsColour HairColour(PagesFixture &f)
{
    HlsColour c = {};
    Character_ReadSlot(&f.app.character, ID_HAIR, &c);
    return c;
}

int ExpressionIndex(PagesFixture &f, const char *key)
{
    return FindPartByFolder(f.catalog.expressions, key);
}

}  // namespace

TEST_CASE("CHARA page: initialisation fills the boxes from the catalogue and prepares the canvas")
{
    PagesFixture f;
    struct { int id; PtrList *list; } boxes[] = {
        {BROW, f.catalog.browShapes}, {EYE, f.catalog.eyeShapes}, {MOUTH, f.catalog.mouthShapes},
        {FRONT_HAIR, f.catalog.hairStyles}, {BACK_HAIR, f.catalog.hairStyles}, {CHEEK, f.catalog.cheekShapes},
        {IDC_CHARA_EXPRESSION, f.catalog.expressions},
    };
    for (auto &b : boxes) {
        CAPTURE(b.id);
        REQUIRE(f.Selection(f.chara, b.id, CB_GETCOUNT) == PtrList_Count(b.list));
        CHECK(f.Selection(f.chara, b.id) == 0);
        for (int i = 0; i < PtrList_Count(b.list); i++)
            CHECK((void *)SendDlgItemMessageA(f.chara, b.id, CB_GETITEMDATA, i, 0) == PtrList_Get(b.list, i));
    }
    CHECK(f.Selection(f.chara, SLOTS, LB_GETCOUNT) == CHARACTER_SLOT_COUNT);
    CHECK(pagestest::ItemText(f.chara, IDC_CHARA_NAME) == "TEST");
    CHECK(strcmp(f.app.character.name, "TEST") == 0);
    // The 360 x 480 picture fits the canvas at 100 %: no bar.
    CHECK((GetWindowLongA(f.app.canvas, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) == 0);
    CHECK((GetWindowLongA(f.app.canvas, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
    CHECK_FALSE(f.Enabled(f.chara, BACK_HAIR));
    // No part but the body is loaded before the first project.
    CHECK_FALSE(f.HasImage(f.Find(ID_EYE, ID_IMAGE_A)));
}

TEST_CASE("CHARA page: the back hair follows the front hair unless chosen separately")
{
    PagesFixture f;
    f.NewProject();
    Character &ch = f.app.character;

    f.Choose(f.chara, FRONT_HAIR, 1);
    CHECK(ch.frontHair == 1);
    CHECK(ch.backHair == 1);
    CHECK(f.Selection(f.chara, BACK_HAIR) == 1);

    f.Click(f.chara, SEPARATE);
    CHECK(ch.separateBackHair == 1);
    CHECK(f.Enabled(f.chara, BACK_HAIR));
    f.Choose(f.chara, BACK_HAIR, 0);
    f.Choose(f.chara, FRONT_HAIR, 1);
    CHECK(ch.backHair == 0);
    CHECK(f.Selection(f.chara, BACK_HAIR) == 0);

    // Unticking snaps the back hair back to the front hair.
    f.Click(f.chara, SEPARATE);
    CHECK(ch.separateBackHair == 0);
    CHECK_FALSE(f.Enabled(f.chara, BACK_HAIR));
    CHECK(ch.backHair == 1);
    CHECK(f.Selection(f.chara, BACK_HAIR) == 1);
}

TEST_CASE("CHARA page: the hair's own colour applies only while its box is ticked")
{
    PagesFixture f;
    f.NewProject();
    const PartEntry *h1 = (const PartEntry *)PtrList_Get(f.catalog.hairStyles, 0);
    const PartEntry *h2 = (const PartEntry *)PtrList_Get(f.catalog.hairStyles, 1);
    CHECK_FALSE(Same(h1->color, h2->color));

    if (f.app.character.hairDefaultColour)
        f.Click(f.chara, HAIR_DEFAULT);
    REQUIRE(IsDlgButtonChecked(f.chara, HAIR_DEFAULT) == BST_UNCHECKED);
    HlsColour before = HairColour(f);
    f.Choose(f.chara, FRONT_HAIR, 1);
    CHECK(Same(HairColour(f), before));

    // Ticking reapplies the chosen hair's colour at once, to both halves.
    f.Click(f.chara, HAIR_DEFAULT);
    CHECK(f.app.character.hairDefaultColour == 1);
    CHECK(Same(HairColour(f), h2->color));
    LayerImage *front = Layer_GetImage(Layer_Find(f.Find(ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A));
    LayerImage *back = Layer_GetImage(Layer_Find(f.Find(ID_HAIR, ID_BACK_HAIR), ID_IMAGE_A));
    REQUIRE(front);
    REQUIRE(back);
    CHECK(Same(front->colour, h2->color));
    CHECK(Same(back->colour, h2->color));

    f.Choose(f.chara, FRONT_HAIR, 0);
    CHECK(Same(HairColour(f), h1->color));
}

TEST_CASE("CHARA page: an expression reloads the face parts only")
{
    PagesFixture f;
    f.NewProject();
    int sumashi = ExpressionIndex(f, "sumashi"), niko = ExpressionIndex(f, "niko");
    REQUIRE(sumashi >= 0);
    REQUIRE(niko >= 0);
    int missing = (sumashi != 0 && niko != 0) ? 0 : (sumashi != 1 && niko != 1) ? 1 : 2;

    f.Choose(f.chara, IDC_CHARA_EXPRESSION, niko);
    CHECK(f.app.character.expression == niko);
    CHECK(f.HasImage(f.Find(ID_EYE, ID_IMAGE_A)));
    DIB *hair = Layer_GetImage(Layer_Find(f.Find(ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A))->image;
    REQUIRE(hair);

    // The fixture has face images for two expressions only.
    f.Choose(f.chara, IDC_CHARA_EXPRESSION, missing);
    CHECK(f.app.character.expression == missing);
    for (int32_t id : {ID_EYE, ID_BROW, ID_MOUTH})
        CHECK_FALSE(f.HasImage(f.Find(id, ID_IMAGE_A)));
    CHECK(Layer_GetImage(Layer_Find(f.Find(ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A))->image == hair);

    f.Choose(f.chara, IDC_CHARA_EXPRESSION, sumashi);
    for (int32_t id : {ID_EYE, ID_BROW, ID_MOUTH})
        CHECK(f.HasImage(f.Find(id, ID_IMAGE_A)));
}

TEST_CASE("CHARA page: the name edit and the hair band button follow the model")
{
    PagesFixture f;
    f.NewProject();
    UiText_SetItem(f.chara, IDC_CHARA_NAME, "Abc");
    CHECK(strcmp(f.app.character.name, "Abc") == 0);

    // Only hair h2 has band images.
    f.Choose(f.chara, FRONT_HAIR, 1);
    CharaPage_UpdateHairBandButton(f.chara);
    CHECK(f.Enabled(f.chara, IDC_CHARA_HAIR_BAND_COLOUR));
    f.Choose(f.chara, FRONT_HAIR, 0);
    CharaPage_UpdateHairBandButton(f.chara);
    CHECK_FALSE(f.Enabled(f.chara, IDC_CHARA_HAIR_BAND_COLOUR));
}

TEST_CASE("CHARA page: confirming a hair colour unticks the hair's own colour; cancelling does not")
{
    PagesFixture f;
    f.NewProject();
    if (!f.app.character.hairDefaultColour)
        f.Click(f.chara, HAIR_DEFAULT);
    REQUIRE(IsDlgButtonChecked(f.chara, HAIR_DEFAULT) == BST_CHECKED);

    for (int answer : {IDCANCEL, IDOK}) {
        CAPTURE(answer);
        int shownFor = 0;
        f.main.onCommand = [&](const guitest::Notice &n) {
            if (n.code == COLORDLG_SHOWN) {
                shownFor = n.id;
                PostMessageA((HWND)n.lParam, WM_COMMAND, answer, 0);
            }
        };
        f.Click(f.chara, HAIR_COLOUR);
        f.main.onCommand = nullptr;
        CHECK(shownFor == ID_HAIR);
        bool ticked = IsDlgButtonChecked(f.chara, HAIR_DEFAULT) == BST_CHECKED;
        CHECK(ticked == (answer == IDCANCEL));
        CHECK(f.app.character.hairDefaultColour == (answer == IDCANCEL ? 1 : 0));
    }
}

TEST_CASE("CHARA page: syncing shows the model's choices")
{
    PagesFixture f;
    f.NewProject();
    Character &ch = f.app.character;
    ch.separateBackHair = 1;
    Character_ChooseFrontHair(&ch, 1);
    Character_ChooseBackHair(&ch, 0);
    Character_ChooseExpression(&ch, 3);
    Character_SetName(&ch, "Synced");
    CharaPage_Sync(f.chara);
    f.WaitIdle();
    CHECK(f.Selection(f.chara, FRONT_HAIR) == 1);
    CHECK(f.Selection(f.chara, BACK_HAIR) == 0);
    CHECK(f.Selection(f.chara, IDC_CHARA_EXPRESSION) == 3);
    CHECK(IsDlgButtonChecked(f.chara, SEPARATE) == BST_CHECKED);
    CHECK(f.Enabled(f.chara, BACK_HAIR));
    CHECK(pagestest::ItemText(f.chara, IDC_CHARA_NAME) == "Synced");
    CHECK(strcmp(ch.name, "Synced") == 0);
}
