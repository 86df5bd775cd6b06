// Applying projects to the character and gathering them back.
#include "output/project_model.h"

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
    ch->hairDefaultColour = p->hairDefaultColour ? 1 : 0;
    Character_WriteSlot(ch, ID_HAIR, p->hairColour);
    // The separate-back-hair flag is set before the front hair is chosen, so
    // that a separate back hair is not overwritten by the front one.
    ch->separateBackHair = p->separateBackHair ? 1 : 0;
    Character_ChooseFrontHair(ch, Traced(p->hair.index));
    ch->separateBackHair = p->separateBackHair ? 1 : 0;
    Character_ChooseBackHair(ch, Traced(p->backHair.index));
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
