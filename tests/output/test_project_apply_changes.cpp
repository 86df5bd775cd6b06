// Applying a project over the one on screen (an undo step): the result is
// the character, wardrobe and picture a whole apply gives, and only what
// differs is loaded again.
#include <doctest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "fixture_tree.h"
#include "layers/render.h"
#include "output/headless.h"
#include "project/project_model.h"

namespace {

struct Screen {
    ScratchFolder dir;
    Headless h;
    Screen()
    {
        std::string data = Fixture_BuildTree(dir.path);
        REQUIRE(Headless_Open(&h, data.c_str()));
        Headless_LoadNow(&h);
    }
    ~Screen() { Headless_Close(&h); }
    Project *Gather() { return Project_Gather(&h.ch, &h.w, "", 0); }
    std::string Image()
    {
        Project *p = Gather();
        ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
        size_t size = 0;
        unsigned char *bytes = Project_Serialize(p, &keys, &size);
        std::string image((const char *)bytes, size);
        free(bytes);
        Project_Free(p);
        return image + "/shown " + std::to_string(h.w.shown) + "/selected " + std::to_string(h.doc->selectedId);
    }
    std::vector<unsigned char> Picture()
    {
        Headless_LoadNow(&h);
        Canvas_Render(h.doc, nullptr);
        std::vector<unsigned char> pixels;
        for (int y = 0; y < DOCUMENT_HEIGHT; y++) {
            const unsigned char *row = DIB_RowTD(h.doc->composed, y);
            pixels.insert(pixels.end(), row, row + DIB_BytesPerRow(h.doc->composed));
        }
        return pixels;
    }
};

// A base project of two styles, the second with an accessory.
Project *Base(Screen &s)
{
    Wardrobe_AddAccessory(&s.h.ch, &s.h.w);
    Project *p = s.Gather();
    PtrList_Add(p->styles, CopyStyle((DressStyle *)PtrList_Get(p->styles, 0)));
    DressStyle *first = (DressStyle *)PtrList_Get(p->styles, 0);
    AccessorySet_Free(first->accessories);
    first->accessories = AccessorySet_Create(0);
    return p;
}

Project *Copy(Screen &s, Project *p)
{
    ProjectKeySource keys = Project_CatalogKeys(&s.h.catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project *copy = nullptr;
    REQUIRE(Project_Parse(bytes, size, &copy) == PROJECT_OK);
    free(bytes);
    Project_ResolveKeys(copy, &s.h.catalog);
    return copy;
}

AccessoryPlacement *SecondStyleAccessory(Project *p)
{
    return AccessorySet_Get(((DressStyle *)PtrList_Get(p->styles, 1))->accessories, 0);
}

}  // namespace

TEST_CASE("applying over the project on screen gives what a whole apply gives and loads only what changed")
{
    struct Row {
        const char *name;
        int shown;  // the style shown afterwards
        std::function<void(Project *)> change;
        int maxRequests;  // at most this many images queued
    } rows[] = {
        {"nothing", 1, [](Project *) {}, 0},
        {"name", 1, [](Project *p) { Style_SetText(&p->name, "Renamed"); }, 0},
        {"front hair", 1, [](Project *p) { p->hair.index = 1; p->backHair.index = 1; }, 20},
        {"hair colour", 1, [](Project *p) { p->hairColour.hue = 40; p->hairDefaultColour = 0; }, 20},
        {"eye colour", 1, [](Project *p) { p->eyeColour.hue = 90; }, 6},
        {"expression", 1, [](Project *p) { p->expression.index = 1; }, 20},
        {"accessory moved", 1, [](Project *p) { SecondStyleAccessory(p)->position.x += 7; }, 3},
        {"accessory selection", 1,
         [](Project *p) { ((DressStyle *)PtrList_Get(p->styles, 1))->accessories->selection = 3; }, 0},
        {"dress colour", 1, [](Project *p) { ((DressStyle *)PtrList_Get(p->styles, 1))->colour.hue = 10; }, 4},
        {"other style shown", 0, [](Project *) {}, 20},
        {"style deleted", 0, [](Project *p) { PtrList_RemoveAt(p->styles, 1, FreeStyleItem); }, 20},
    };
    for (const Row &row : rows) {
        CAPTURE(std::string(row.name));
        Screen a, b;
        Project *base = Base(a);
        Project *baseB = Copy(a, base);
        // Both screens show the base with its second style.
        Project_Apply(base, &a.h.ch, &a.h.w);
        Wardrobe_ShowStyle(&a.h.ch, &a.h.w, 1);
        Headless_LoadNow(&a.h);
        Project_Free(base);
        Project *target = Copy(a, baseB);
        Project_Free(baseB);
        row.change(target);
        Project *targetB = Copy(a, target);

        Project *now = a.Gather();
        Project_ApplyChanges(target, now, &a.h.ch, &a.h.w, row.shown);
        Project_Free(now);
        Project_Free(target);
        CHECK(PtrList_Count(a.h.doc->requests) <= row.maxRequests);

        Project_Apply(targetB, &b.h.ch, &b.h.w);
        if (row.shown > 0)
            Wardrobe_ShowStyle(&b.h.ch, &b.h.w, row.shown);
        Project_Free(targetB);

        CHECK(a.Picture() == b.Picture());
        CHECK(a.Image() == b.Image());
    }
}
