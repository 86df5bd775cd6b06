// The expressions at a glance, composed by a character of their own.
#include "output/expression_glance.h"

#include <cstdlib>
#include <cstring>

#include "layers/render.h"
#include "output/export.h"
#include "project/project.h"
#include "project/project_model.h"

// Loads run synchronously right before each composition.
static void DeferRefresh(void *) {}

int ExpressionGlance_Open(ExpressionGlance *g, const PartCatalog *catalog, const char *dataFolder)
{
    memset(g, 0, sizeof *g);
    g->catalog = catalog;
    g->doc = LayerDocument_Create();
    if (g->doc) {
        ImageCache_Free(g->doc->cache);
        g->doc->cache = ImageCache_Create(GLANCE_CACHE_CAPACITY);
        if (g->doc->cache)
            g->doc->cache->byteBudget = GLANCE_CACHE_BYTE_BUDGET;
    }
    CharacterHooks hooks = {g, DeferRefresh};
    if (!g->doc || !g->doc->cache || !Wardrobe_Init(&g->w) ||
        !Character_Init(&g->ch, g->doc, catalog, hooks, dataFolder)) {
        ExpressionGlance_Close(g);
        return 0;
    }
    return 1;
}

void ExpressionGlance_Close(ExpressionGlance *g)
{
    Wardrobe_Release(&g->w);
    Character_Release(&g->ch);
    LayerDocument_Free(g->doc);
    g->doc = nullptr;
    g->ready = 0;
}

static void ClearText(char **text)
{
    free(*text);
    *text = nullptr;
}

unsigned char *ExpressionGlance_Reduce(const unsigned char *bytes, size_t size, size_t *outSize)
{
    Project *p = nullptr;
    if (Project_Parse(bytes, size, &p) != PROJECT_OK)
        return nullptr;
    ClearText(&p->name);
    ClearText(&p->freeFolder);
    p->freeFolderFlag = 0;
    ClearText(&p->expression.key);
    p->expression.index = -1;
    p->hairDefaultColour = 0;  // Show draws the hair in the stored colour
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        DressStyle *s = (DressStyle *)PtrList_Get(p->styles, i);
        ClearText(&s->name);
        ClearText(&s->outputFolder);
        s->checkState = STYLE_UNCHECKED;
        if (s->accessories)
            s->accessories->selection = -1;
    }
    // Keys stay the texts they were read as: no catalogue is needed.
    unsigned char *reduced = Project_Serialize(p, nullptr, outSize);
    Project_Free(p);
    return reduced;
}

int ExpressionGlance_Show(ExpressionGlance *g, const unsigned char *bytes, size_t size, int style)
{
    Project *p = nullptr;
    if (!g->doc || Project_Parse(bytes, size, &p) != PROJECT_OK)
        return 0;
    int styles = PtrList_Count(p->styles);
    if (styles == 0) {
        Project_Free(p);
        return 0;
    }
    if (style < 0 || style >= styles)
        style = 0;
    Project_ResolveKeys(p, g->catalog);
    // The hair is drawn in the colour stored, which is the colour the
    // editor shows: with the hair's own colour applied it is that colour,
    // and while a colour dialog tries another it is the one being tried
    // (applying the hair's own colour again would hide it).
    p->hairDefaultColour = 0;
    // The expression is chosen per picture; a reduced image has none.
    if (p->expression.index < 0)
        p->expression.index = g->ready ? g->ch.expression : 0;
    Project *now = g->ready ? Project_Gather(&g->ch, &g->w, "", 0) : nullptr;
    if (now) {
        Project_ApplyChanges(p, now, &g->ch, &g->w, style);
        Project_Free(now);
    } else {
        Project_Apply(p, &g->ch, &g->w);
        if (style > 0)
            Wardrobe_ShowStyle(&g->ch, &g->w, style);
    }
    Project_Free(p);
    g->ready = 1;
    return 1;
}

int ExpressionGlance_Count(const ExpressionGlance *g)
{
    return g->catalog ? PtrList_Count(g->catalog->expressions) : 0;
}

DIB *ExpressionGlance_Compose(ExpressionGlance *g, int expression)
{
    if (!g->ready || expression < 0 || expression >= ExpressionGlance_Count(g))
        return nullptr;
    if (g->ch.expression != expression)
        Character_ChooseExpression(&g->ch, expression);
    Export_LoadNow(g->doc);
    return Canvas_ComposeExport(g->doc);
}
