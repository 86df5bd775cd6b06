// Dress style records: creation, deep copies and release.
#include "editor/dress_style.h"

#include <cstdlib>
#include <cstring>

#include "core/util.h"

int Style_SetText(char **field, const char *text)
{
    char *copy = nullptr;
    if (text && !(copy = Str_Dup(text)))
        return 0;
    free(*field);
    *field = copy;
    return 1;
}

AccessorySet *AccessorySet_Create(int32_t selection)
{
    AccessorySet *set = (AccessorySet *)calloc(1, sizeof(AccessorySet));
    if (!set)
        return nullptr;
    set->selection = selection;
    set->placements = PtrList_Create(0, 8);
    if (!set->placements) {
        free(set);
        return nullptr;
    }
    return set;
}

static void Placement_Free(void *item)
{
    AccessoryPlacement *p = (AccessoryPlacement *)item;
    free(p->key);
    free(p);
}

void AccessorySet_Free(AccessorySet *set)
{
    if (!set)
        return;
    PtrList_Destroy(set->placements, Placement_Free);
    free(set);
}

int AccessorySet_Add(AccessorySet *set, const AccessoryPlacement *placement)
{
    AccessoryPlacement *copy = (AccessoryPlacement *)malloc(sizeof(AccessoryPlacement));
    if (!copy)
        return -1;
    *copy = *placement;
    copy->key = nullptr;
    if (placement->key && !(copy->key = Str_Dup(placement->key))) {
        free(copy);
        return -1;
    }
    int index = PtrList_Add(set->placements, copy);
    if (index < 0)
        Placement_Free(copy);
    return index;
}

int AccessorySet_Count(const AccessorySet *set)
{
    return set ? PtrList_Count(set->placements) : 0;
}

AccessoryPlacement *AccessorySet_Get(const AccessorySet *set, int index)
{
    return set ? (AccessoryPlacement *)PtrList_Get(set->placements, index) : nullptr;
}

AccessorySet *AccessorySet_Copy(const AccessorySet *set)
{
    AccessorySet *copy = AccessorySet_Create(set->selection);
    if (!copy)
        return nullptr;
    for (int i = 0; i < AccessorySet_Count(set); i++) {
        if (AccessorySet_Add(copy, AccessorySet_Get(set, i)) < 0) {
            AccessorySet_Free(copy);
            return nullptr;
        }
    }
    return copy;
}

DressStyle *NewStyle(void)
{
    DressStyle *style = (DressStyle *)calloc(1, sizeof(DressStyle));
    if (!style)
        return nullptr;
    style->dress = 0;
    style->colour = HLS_DEFAULT;
    style->checkState = STYLE_CHECKED;
    style->accessories = AccessorySet_Create(0);
    style->name = Str_Dup("미설정");
    style->outputFolder = Str_Dup("default");
    if (!style->accessories || !style->name || !style->outputFolder) {
        FreeStyle(style);
        return nullptr;
    }
    return style;
}

DressStyle *CopyStyle(const DressStyle *style)
{
    DressStyle *copy = (DressStyle *)calloc(1, sizeof(DressStyle));
    if (!copy)
        return nullptr;
    copy->dress = style->dress;
    copy->colour = style->colour;
    copy->checkState = style->checkState;
    copy->accessories = AccessorySet_Copy(style->accessories);
    int ok = copy->accessories && Style_SetText(&copy->name, style->name) &&
             Style_SetText(&copy->outputFolder, style->outputFolder) &&
             Style_SetText(&copy->dressKey, style->dressKey);
    if (!ok) {
        FreeStyle(copy);
        return nullptr;
    }
    return copy;
}

void FreeStyle(DressStyle *style)
{
    if (!style)
        return;
    AccessorySet_Free(style->accessories);
    free(style->name);
    free(style->outputFolder);
    free(style->dressKey);
    free(style);
}

void FreeStyleItem(void *style)
{
    FreeStyle((DressStyle *)style);
}

int CountExportStyles(const PtrList *styles)
{
    int n = 0;
    for (int i = 0; i < PtrList_Count(styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(styles, i);
        if (s && s->checkState == STYLE_CHECKED)
            n++;
    }
    return n;
}
