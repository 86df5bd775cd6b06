// Opening a project in the program: the pages show the first style with its
// own accessories, exactly as the models (and vor-cli) do.
#include <doctest.h>

#include <cstdlib>
#include <cstring>

#include "editor/wardrobe.h"
#include "project/project_model.h"
#include "pages_fixture_win32.h"

namespace {

// A project whose two styles wear the one accessory at different depths
// and places.
Project *TwoStyleProject(const PartCatalog *catalog)
{
    Project *p = Project_MakeDefault(catalog, ".\\");
    DressStyle *first = (DressStyle *)PtrList_Get(p->styles, 0);
    DressStyle *second = CopyStyle(first);
    PtrList_Add(p->styles, second);
    AccessoryPlacement a = {};
    a.kind = 1;
    a.depth = 0;
    a.position = {11, 12};
    a.colour = {1, 2, 3};
    AccessorySet_Add(first->accessories, &a);
    a.depth = 9;
    a.position = {-21, -22};
    AccessorySet_Add(second->accessories, &a);
    second->accessories->selection = 9;
    return p;
}

}  // namespace

TEST_CASE("opening a project shows its first style's accessories, and switching styles swaps them")
{
    pagestest::PagesFixture f;
    f.NewProject();
    Project *p = TwoStyleProject(&f.catalog);
    Project_Apply(p, &f.app.character, &f.app.wardrobe);
    Project_Free(p);
    CharaPage_Sync(f.chara);
    DressPage_Sync(f.dress);
    f.WaitIdle();

    PtrList *depth = f.app.doc->depthList;
    REQUIRE(PtrList_Count(depth) == 10);
    Layer *front = (Layer *)PtrList_Get(depth, 0);
    CHECK(front->id == ID_ACCESSORY_FIRST);
    CHECK(front->rect.left == 11);
    CHECK(front->rect.top == 12);
    CHECK(f.Selection(f.dress, IDC_DRESS_STYLE_LIST, LB_GETCURSEL) == 0);
    CHECK(SendDlgItemMessageA(f.dress, IDC_DRESS_DEPTH_LIST, LB_GETCOUNT, 0, 0) == 10);

    // The second style through its list, as a user's click does.
    SendDlgItemMessageA(f.dress, IDC_DRESS_STYLE_LIST, LB_SETCURSEL, 1, 0);
    f.WaitIdle();
    Layer *back = (Layer *)PtrList_Get(depth, 9);
    CHECK(back->id == ID_ACCESSORY_FIRST);
    CHECK(back->rect.left == -21);
    CHECK(IsAccessoryId(((Layer *)PtrList_Get(depth, 0))->id) == 0);

    // And back: the first style's accessory is in front again.
    SendDlgItemMessageA(f.dress, IDC_DRESS_STYLE_LIST, LB_SETCURSEL, 0, 0);
    f.WaitIdle();
    front = (Layer *)PtrList_Get(depth, 0);
    CHECK(front->id == ID_ACCESSORY_FIRST);
    CHECK(front->rect.top == 12);
}
