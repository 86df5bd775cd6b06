// The expressions at a glance against the export's own composition: a
// second character over the same catalogue, fed project file images.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/imaging/dib.h"
#include "fixture_tree.h"
#include "layers/render.h"
#include "output/expression_glance.h"
#include "output/glance_worker.h"
#include "output/headless.h"
#include "project/project_model.h"

namespace {

struct Bytes {
    unsigned char *data = nullptr;
    size_t size = 0;
    ~Bytes() { free(data); }
};

struct GlanceSession {
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    Headless h;
    ExpressionGlance g;
    GlanceSession()
    {
        REQUIRE(Headless_Open(&h, data.c_str()));
        REQUIRE(ExpressionGlance_Open(&g, &h.catalog, data.c_str()));
        // A second style in another dress and colour, wearing an accessory.
        DressStyle *second = CopyStyle(Wardrobe_StyleAt(&h.w, 0));
        second->dress = 1;
        second->colour = {200, 100, 50};
        PtrList_Add(h.w.styles, second);
        Wardrobe_ShowStyle(&h.ch, &h.w, 1);
        Layer *layer = Wardrobe_AddAccessory(&h.ch, &h.w);
        REQUIRE(layer);
        Wardrobe_SetAccessoryKind(&h.ch, &h.w, h.w.depthSelection, 1);
        Layer_MoveTo(layer, 40, 60);
        Headless_LoadNow(&h);
    }
    ~GlanceSession()
    {
        ExpressionGlance_Close(&g);
        Headless_Close(&h);
    }
    void Image(Bytes *out)
    {
        Project *p = Project_Gather(&h.ch, &h.w, "", 0);
        REQUIRE(p);
        ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
        out->data = Project_Serialize(p, &keys, &out->size);
        Project_Free(p);
        REQUIRE(out->data);
    }
    // The export's picture of style `style` in expression `expression`.
    DIB *Exported(int style, int expression)
    {
        if (h.w.shown != style)
            Wardrobe_ShowStyle(&h.ch, &h.w, style);
        Character_ChooseExpression(&h.ch, expression);
        Headless_LoadNow(&h);
        return Canvas_ComposeExport(h.doc);
    }
    // Compares every expression of the glance's style with the export's.
    void CheckAllEqual(int style)
    {
        int count = ExpressionGlance_Count(&g);
        REQUIRE(count == 8);
        for (int e = 0; e < count; e++) {
            DIB *mine = ExpressionGlance_Compose(&g, e);
            DIB *theirs = Exported(style, e);
            REQUIRE(mine);
            REQUIRE(theirs);
            CHECK_MESSAGE(memcmp(DIB_Bits(mine), DIB_Bits(theirs), mine->sizeImage) == 0,
                          "style " << style << ", expression " << e);
            DIB_Delete_(mine);
            DIB_Delete_(theirs);
        }
    }
};

}  // namespace

TEST_CASE("the glance composes every expression exactly as the export, following each change")
{
    GlanceSession s;
    Bytes first;
    s.Image(&first);
    REQUIRE(ExpressionGlance_Show(&s.g, first.data, first.size, 1));
    s.CheckAllEqual(1);

    // Another style, then a reduced image after a colour change: only what
    // differs is applied, and the pictures follow.
    REQUIRE(ExpressionGlance_Show(&s.g, first.data, first.size, 0));
    s.CheckAllEqual(0);
    Character_WriteSlot(&s.h.ch, ID_HAIR, {30, 90, 200});
    Character_ChooseFrontHair(&s.h.ch, 1);
    Bytes second, reduced;
    s.Image(&second);
    reduced.data = ExpressionGlance_Reduce(second.data, second.size, &reduced.size);
    REQUIRE(reduced.data);
    REQUIRE(ExpressionGlance_Show(&s.g, reduced.data, reduced.size, 1));
    s.CheckAllEqual(1);

    // A style that does not exist shows the first.
    REQUIRE(ExpressionGlance_Show(&s.g, second.data, second.size, 7));
    s.CheckAllEqual(0);
}

TEST_CASE("the reduced image ignores what the pictures do not show")
{
    GlanceSession s;
    Bytes base;
    s.Image(&base);
    Bytes reducedBase;
    reducedBase.data = ExpressionGlance_Reduce(base.data, base.size, &reducedBase.size);
    REQUIRE(reducedBase.data);

    struct Case {
        const char *change;
        void (*apply)(Headless *h);
        bool samePictures;
    } cases[] = {
        {"name", [](Headless *h) { Character_SetName(&h->ch, "Other"); }, true},
        {"expression", [](Headless *h) { Character_ChooseExpression(&h->ch, 3); }, true},
        {"check state", [](Headless *h) { Wardrobe_StyleAt(&h->w, 0)->checkState = STYLE_UNCHECKED; }, true},
        {"eye colour", [](Headless *h) { Character_WriteSlot(&h->ch, ID_EYE, {5, 6, 7}); }, false},
        {"dress colour", [](Headless *h) { Wardrobe_StyleAt(&h->w, 0)->colour = {1, 2, 3}; }, false},
    };
    for (const Case &c : cases) {
        GlanceSession t;
        c.apply(&t.h);
        Bytes changed, reduced;
        t.Image(&changed);
        reduced.data = ExpressionGlance_Reduce(changed.data, changed.size, &reduced.size);
        REQUIRE(reduced.data);
        bool same = reduced.size == reducedBase.size && memcmp(reduced.data, reducedBase.data, reduced.size) == 0;
        CHECK_MESSAGE(same == c.samePictures, c.change);
    }

}

namespace {

// What the worker reported, gathered under a lock as the window's message
// queue would.
struct Reports {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<int, unsigned>> ready;
    static void Ready(void *context, int expression, unsigned generation)
    {
        Reports *r = (Reports *)context;
        std::lock_guard<std::mutex> hold(r->lock);
        r->ready.push_back({expression, generation});
        r->changed.notify_all();
    }
    bool WaitFor(int expressions, unsigned generation)
    {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::seconds(30), [&] {
            int seen = 0;
            for (auto &r : ready)
                seen += r.second == generation;
            return seen == expressions;
        });
    }
};

}  // namespace

TEST_CASE("the worker composes the newest request and hands over each picture once")
{
    GlanceSession s;
    Reports reports;
    GlanceWorker *w = GlanceWorker_Start(&s.h.catalog, s.data.c_str(), {&reports, nullptr, Reports::Ready});
    REQUIRE(w);
    REQUIRE(GlanceWorker_Count(w) == 8);

    // Three requests in a row: whatever the first two gave, the third's
    // pictures all arrive and are the export's.
    for (unsigned generation = 1; generation <= 3; generation++) {
        // As a colour dialog tries it: the hair is recoloured at once.
        ApplySlotColour(&s.h.ch, &s.h.w, ID_HAIR, {(uint8_t)(generation * 40), 100, 150}, 0);
        Bytes image;
        s.Image(&image);
        GlanceWorker_Request(w, image.data, image.size, 1, generation);
        image.data = nullptr;  // the worker took it
    }
    REQUIRE(reports.WaitFor(8, 3));
    for (int e = 0; e < 8; e++) {
        unsigned generation = 0;
        DIB *mine = GlanceWorker_Take(w, e, &generation);
        REQUIRE(mine);
        CHECK(generation == 3);
        CHECK(GlanceWorker_Take(w, e, &generation) == nullptr);
        DIB *theirs = s.Exported(1, e);
        CHECK(memcmp(DIB_Bits(mine), DIB_Bits(theirs), mine->sizeImage) == 0);
        DIB_Delete_(mine);
        DIB_Delete_(theirs);
    }

    // Stopping in the middle of a request frees what was composed.
    Bytes image;
    s.Image(&image);
    GlanceWorker_Request(w, image.data, image.size, 0, 4);
    image.data = nullptr;
    GlanceWorker_Stop(w);
}
