// Applying projects to the character and gathering them back.
#include "project/project_model.h"

#include <cstdlib>
#include <cstring>

#include "core/util.h"

static void Resolve(PartChoice *c, const PtrList *list)
{
    c->index = c->key ? FindPartByFolder(list, c->key) : -1;
}

void Project_ResolveKeys(Project *p, const PartCatalog *catalog)
{
    Resolve(&p->brow, catalog->browShapes);
    Resolve(&p->eye, catalog->eyeShapes);
    Resolve(&p->mouth, catalog->mouthShapes);
    Resolve(&p->hair, catalog->hairStyles);
    Resolve(&p->backHair, catalog->hairStyles);
    Resolve(&p->expression, catalog->expressions);
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        DressStyle *s = (DressStyle *)PtrList_Get(p->styles, i);
        s->dress = s->dressKey ? FindPartByFolder(catalog->dresses, s->dressKey) : -1;
        for (int j = 0; j < AccessorySet_Count(s->accessories); j++) {
            AccessoryPlacement *a = AccessorySet_Get(s->accessories, j);
            a->kind = a->key ? FindPartByFolder(catalog->accessories, a->key) : -1;
        }
    }
}

static const char *CatalogKeyOf(void *context, int list, int index)
{
    const PartCatalog *c = (const PartCatalog *)context;
    const PtrList *lists[] = {c->browShapes, c->eyeShapes,   c->mouthShapes, c->hairStyles,
                              c->expressions, c->dresses, c->accessories};
    if (list < 0 || list >= (int)(sizeof lists / sizeof lists[0]))
        return nullptr;
    return PartFolderAt(lists[list], index);
}

ProjectKeySource Project_CatalogKeys(const PartCatalog *catalog)
{
    ProjectKeySource keys = {(void *)catalog, CatalogKeyOf};
    return keys;
}

// Selecting a part prints its index, as every selection the program makes does.
static int Traced(int index)
{
    Debug_Print("id = %d\n", index);
    return index;
}

void Project_Apply(Project *p, Character *ch, Wardrobe *w)
{
    Character_SetName(ch, p->name);
    Character_WriteSlot(ch, ID_BROW, p->browColour);
    Character_ChooseBrow(ch, Traced(p->brow.index));
    Character_WriteSlot(ch, ID_EYE, p->eyeColour);
    Character_ChooseEye(ch, Traced(p->eye.index));
    Character_WriteSlot(ch, ID_MOUTH, p->mouthColour);
    Character_ChooseMouth(ch, Traced(p->mouth.index));
    int front = Traced(p->hair.index);
    Character_ChooseHair(ch, front, Traced(p->backHair.index), p->hairColour, p->separateBackHair,
                         p->hairDefaultColour);
    Character_ChooseExpression(ch, Traced(p->expression.index));
    // Keys the catalogue does not know stay with the character for the next save.
    const PartChoice *choices[CHOICE_COUNT] = {&p->brow, &p->eye, &p->mouth, &p->hair, &p->backHair, &p->expression};
    for (int i = 0; i < CHOICE_COUNT; i++)
        if (choices[i]->index < 0)
            Character_KeepUnknownKey(ch, i, choices[i]->key);

    // The styles move to the wardrobe; nothing is captured into the old ones.
    Wardrobe_ClearStyles(w);
    for (int i = 0; i < PtrList_Count(p->styles); i++)
        PtrList_Add(w->styles, PtrList_Get(p->styles, i));
    PtrList_Reset(p->styles, nullptr);
    Wardrobe_ShowStyle(ch, w, 0);
}

static int SameColour(HlsColour a, HlsColour b)
{
    return a.hue == b.hue && a.luminance == b.luminance && a.saturation == b.saturation;
}

static int SameText(const char *a, const char *b)
{
    return strcmp(a ? a : "", b ? b : "") == 0;
}

// The accessories as the canvas shows them (kinds, colours, places, depths;
// the key text only of a kind the catalogue does not know).
static int SamePlacements(const AccessorySet *a, const AccessorySet *b)
{
    int n = AccessorySet_Count(a);
    if (n != AccessorySet_Count(b))
        return 0;
    for (int i = 0; i < n; i++) {
        const AccessoryPlacement *pa = AccessorySet_Get(a, i), *pb = AccessorySet_Get(b, i);
        if (pa->depth != pb->depth || pa->kind != pb->kind || !SameColour(pa->colour, pb->colour) ||
            pa->position.x != pb->position.x || pa->position.y != pb->position.y ||
            (pa->kind < 0 && !SameText(pa->key, pb->key)))
            return 0;
    }
    return 1;
}

static int AccessorySelection(const DressStyle *style)
{
    return style && style->accessories ? style->accessories->selection : 0;
}

// Shows style `shown` of the wardrobe, which has just received its styles;
// `before` is the style the canvas showed (from the gathered record).
static void ShowChangedStyle(Character *ch, Wardrobe *w, int shown, int shownBefore, const DressStyle *before)
{
    DressStyle *style = Wardrobe_StyleAt(w, shown);
    if (!style)
        style = Wardrobe_StyleAt(w, shown = 0);
    if (!style)
        return;
    if (shown != shownBefore || !before) {
        Wardrobe_ShowStyle(ch, w, shown);
        return;
    }
    w->shown = w->selected = shown;
    // A key text counts only for a part the catalogue does not know; a
    // known one is read with its key and gathered without.
    if (style->dress != before->dress || !SameColour(style->colour, before->colour) ||
        (style->dress < 0 && !SameText(style->dressKey, before->dressKey)))
        LoadStyleDress(ch, style);
    if (!SamePlacements(style->accessories, before->accessories))
        ApplyAccessories(ch, w, style->accessories);
    else if (AccessorySelection(style) != AccessorySelection(before))
        Wardrobe_SelectDepthEntry(ch, w, AccessorySelection(style));
}

void Project_ApplyChanges(Project *p, const Project *now, Character *ch, Wardrobe *w, int shown)
{
    if (!SameText(p->name, now->name))
        Character_SetName(ch, p->name);
    struct Face {
        const PartChoice *choice, *was;
        HlsColour colour, wasColour;
        int32_t slot;
        void (*choose)(Character *, int);
    } faces[] = {
        {&p->brow, &now->brow, p->browColour, now->browColour, ID_BROW, Character_ChooseBrow},
        {&p->eye, &now->eye, p->eyeColour, now->eyeColour, ID_EYE, Character_ChooseEye},
        {&p->mouth, &now->mouth, p->mouthColour, now->mouthColour, ID_MOUTH, Character_ChooseMouth},
    };
    for (const Face &f : faces) {
        if (f.choice->index == f.was->index && SameColour(f.colour, f.wasColour))
            continue;
        Character_WriteSlot(ch, f.slot, f.colour);
        f.choose(ch, Traced(f.choice->index));
    }
    if (p->hair.index != now->hair.index || p->backHair.index != now->backHair.index ||
        !SameColour(p->hairColour, now->hairColour) || p->separateBackHair != now->separateBackHair ||
        p->hairDefaultColour != now->hairDefaultColour) {
        int front = Traced(p->hair.index);
        Character_ChooseHair(ch, front, Traced(p->backHair.index), p->hairColour, p->separateBackHair,
                             p->hairDefaultColour);
    }
    if (p->expression.index != now->expression.index)
        Character_ChooseExpression(ch, Traced(p->expression.index));
    const PartChoice *choices[CHOICE_COUNT] = {&p->brow, &p->eye, &p->mouth, &p->hair, &p->backHair, &p->expression};
    for (int i = 0; i < CHOICE_COUNT; i++)
        if (choices[i]->index < 0)
            Character_KeepUnknownKey(ch, i, choices[i]->key);

    int shownBefore = w->shown;
    const DressStyle *before = (const DressStyle *)PtrList_Get(now->styles, shownBefore);
    Wardrobe_ClearStyles(w);
    for (int i = 0; i < PtrList_Count(p->styles); i++)
        PtrList_Add(w->styles, PtrList_Get(p->styles, i));
    PtrList_Reset(p->styles, nullptr);
    ShowChangedStyle(ch, w, shown, shownBefore, before);
}

static void GatherChoice(PartChoice *c, int index, const PtrList *list, const char *unknownKey)
{
    c->index = index;
    c->key = nullptr;
    const char *key = PartFolderAt(list, index);
    if (key)
        c->key = Str_Dup(key);
    else if (unknownKey)
        c->key = Str_Dup(unknownKey);
}

Project *Project_Gather(Character *ch, Wardrobe *w, const char *freeFolder, int freeFolderFlag)
{
    Project *p = Project_Create();
    if (!p)
        return nullptr;
    const PartCatalog *cat = ch->catalog;
    Style_SetText(&p->name, ch->name);
    Style_SetText(&p->freeFolder, freeFolder ? freeFolder : "");
    p->freeFolderFlag = freeFolderFlag;
    GatherChoice(&p->brow, ch->brow, cat->browShapes, ch->unknownKey[CHOICE_BROW]);
    GatherChoice(&p->eye, ch->eye, cat->eyeShapes, ch->unknownKey[CHOICE_EYE]);
    GatherChoice(&p->mouth, ch->mouth, cat->mouthShapes, ch->unknownKey[CHOICE_MOUTH]);
    GatherChoice(&p->hair, ch->frontHair, cat->hairStyles, ch->unknownKey[CHOICE_FRONT_HAIR]);
    GatherChoice(&p->backHair, ch->backHair, cat->hairStyles, ch->unknownKey[CHOICE_BACK_HAIR]);
    GatherChoice(&p->expression, ch->expression, cat->expressions, ch->unknownKey[CHOICE_EXPRESSION]);
    Character_ReadSlot(ch, ID_BROW, &p->browColour);
    Character_ReadSlot(ch, ID_EYE, &p->eyeColour);
    Character_ReadSlot(ch, ID_MOUTH, &p->mouthColour);
    Character_ReadSlot(ch, ID_HAIR, &p->hairColour);
    p->separateBackHair = ch->separateBackHair;
    p->hairDefaultColour = ch->hairDefaultColour;

    DressStyle *shown = Wardrobe_StyleAt(w, w->shown);
    if (shown) {
        AccessorySet *captured = CaptureAccessories(ch, w);
        if (captured) {
            AccessorySet_Free(shown->accessories);
            shown->accessories = captured;
        }
    }
    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        DressStyle *copy = CopyStyle(Wardrobe_StyleAt(w, i));
        if (!copy || PtrList_Add(p->styles, copy) < 0) {
            FreeStyle(copy);
            Project_Free(p);
            return nullptr;
        }
    }
    return p;
}

Project *Project_MakeDefault(const PartCatalog *catalog, const char *startFolder)
{
    Project *p = Project_Create();
    if (!p)
        return nullptr;
    Style_SetText(&p->name, "NEW");
    Style_SetText(&p->freeFolder, startFolder ? startFolder : "");
    p->freeFolderFlag = 1;
    PartChoice first = {0, nullptr};
    p->brow = p->eye = p->mouth = p->hair = p->backHair = p->expression = first;
    if (PtrList_Count(catalog->browShapes) == 0) p->brow.index = -1;
    if (PtrList_Count(catalog->eyeShapes) == 0) p->eye.index = -1;
    if (PtrList_Count(catalog->mouthShapes) == 0) p->mouth.index = -1;
    if (PtrList_Count(catalog->hairStyles) == 0) p->hair.index = p->backHair.index = -1;
    p->separateBackHair = 0;
    p->hairDefaultColour = 1;
    DressStyle *style = NewStyle();
    if (!style || PtrList_Add(p->styles, style) < 0) {
        FreeStyle(style);
        Project_Free(p);
        return nullptr;
    }
    const PartEntry *dress = (const PartEntry *)PtrList_Get(catalog->dresses, 0);
    if (dress)
        style->colour = dress->color;
    return p;
}
