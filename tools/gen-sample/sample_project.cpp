// sample.vor: a finished character over the sample tree, so that the export
// and the file commands have something real to work on. Parts are named by
// their folder keys; the program resolves them against its catalogue.
#include <cstdio>
#include <cstdlib>

#include "core/imaging/file.h"
#include "core/util.h"
#include "project/project.h"
#include "tools/gen-sample/sample_tree.h"

static HlsColour Colour(uint32_t v)
{
    return HlsColour{(uint8_t)(v >> 16), (uint8_t)(v >> 8), (uint8_t)v};
}

static int Choice_Set(PartChoice *choice, const char *key)
{
    choice->index = -1;
    free(choice->key);
    choice->key = Str_Dup(key);
    return choice->key != nullptr;
}

struct SampleAccessory {
    const char *key;
    int depth;   // fixed depth-list entries in front of it
    int x, y;
    uint32_t colour;
};

struct SampleStyle {
    const char *name;
    const char *outputFolder;
    const char *dress;
    uint32_t colour;
    int checkState;
    SampleAccessory accessories[2];
    int accessoryCount;
};

// Two exported styles and one kept aside, with one accessory each: the
// wings behind everything, the other two in front.
static const SampleStyle SAMPLE_STYLES[] = {
    {"교복", "school", "tg", 0xA03C8C, STYLE_CHECKED, {{"wing1", 9, 0, 6, 0x96C8B4}}, 1},
    {"웨이트리스", "waitress", "waitress", 0xF0508C, STYLE_CHECKED, {{"catusya", 0, 0, 0, 0x00DCFF}}, 1},
    {"유카타", "yukata", "yukata", 0x1E96B4, STYLE_UNCHECKED, {{"kanzashi", 0, -6, 2, 0x0A8CDC}}, 1},
};

static DressStyle *SampleStyle_Make(const SampleStyle *s)
{
    DressStyle *style = NewStyle();
    if (!style)
        return nullptr;
    int ok = Style_SetText(&style->name, s->name) && Style_SetText(&style->outputFolder, s->outputFolder) &&
             Style_SetText(&style->dressKey, s->dress);
    style->dress = -1;
    style->colour = Colour(s->colour);
    style->checkState = s->checkState;
    style->accessories->selection = -1;
    for (int i = 0; ok && i < s->accessoryCount; i++) {
        const SampleAccessory *a = &s->accessories[i];
        AccessoryPlacement placement = {};
        placement.depth = a->depth;
        placement.kind = -1;
        placement.colour = Colour(a->colour);
        placement.position = Point{a->x, a->y};
        placement.key = (char *)a->key; // copied by AccessorySet_Add
        ok = AccessorySet_Add(style->accessories, &placement) >= 0;
    }
    if (!ok) {
        FreeStyle(style);
        return nullptr;
    }
    return style;
}

int SampleProject_Write(const char *root, WriteLog *log)
{
    char path[VOR_MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\sample.vor", root) >= (int)sizeof path) {
        log->failures++;
        return 0;
    }
    Project *p = Project_Create();
    int ok = p != nullptr;
    if (ok) {
        free(p->name);
        p->name = Str_Dup("Yuna");
        p->freeFolderFlag = 1;
        ok = p->name && Choice_Set(&p->brow, "hoso") && Choice_Set(&p->eye, "maru") &&
             Choice_Set(&p->mouth, "futsu") && Choice_Set(&p->hair, "ponny") && Choice_Set(&p->backHair, "ponny") &&
             Choice_Set(&p->expression, "sumashi");
        p->browColour = Colour(0x122C50);
        p->eyeColour = Colour(0x8C6EA0);
        p->mouthColour = Colour(0xF596C8);
        p->hairColour = Colour(0x145A96);
        p->separateBackHair = 0;
        p->hairDefaultColour = 1;
        for (const SampleStyle &s : SAMPLE_STYLES) {
            DressStyle *style = ok ? SampleStyle_Make(&s) : nullptr;
            if (!style || PtrList_Add(p->styles, style) < 0) {
                FreeStyle(style);
                ok = 0;
            }
        }
    }
    ok = ok && Project_WriteFile(path, p, nullptr);
    Project_Free(p);
    if (ok) {
        log->files++;
    } else {
        log->failures++;
        fprintf(stderr, "cannot write %s\n", path);
    }
    return ok;
}
