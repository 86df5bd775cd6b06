// A small data tree with deliberate faults, for the tests of the catalogue
// and the loader: a part folder without vor.inf, a definition without a
// Folder statement, an eye that lacks some expressions, and an image file
// that is not a PNG. Next to each fault stands a sound folder of the same
// kind, so a test can tell "left out" from "nothing read at all".
#include <cstdio>
#include <cstring>

#include "catalog/data_tree.h"
#include "core/imaging/file.h"
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/sample_tree.h"

struct BrokenWriter {
    const char *root;
    WriteLog *log;
    Raster *raster;
    DIB *images[5];
    PartImages parts;
};

static void Broken_Clear(BrokenWriter *w)
{
    for (DIB *image : w->images)
        memset(DIB_Bits(image), 0, (size_t)DIB_BytesPerRow(image) * (size_t)image->height);
}

static void Broken_Image(BrokenWriter *w, const DIB *image, const char *relative)
{
    char path[VOR_MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\data\\%s", w->root, relative) < (int)sizeof path)
        Output_Image(w->log, image, path);
    else
        w->log->failures++;
}

static void Broken_Text(BrokenWriter *w, const char *text, const char *relative)
{
    char path[VOR_MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\data\\%s", w->root, relative) < (int)sizeof path)
        Output_Text(w->log, text, path);
    else
        w->log->failures++;
}

// Front and back images of one hair style below hair\<folder>\.
static void Broken_Hair(BrokenWriter *w, const char *folder, HairStyleId style)
{
    char relative[VOR_MAX_PATH];
    for (int back = 0; back < 2; back++) {
        Broken_Clear(w);
        Hair_Draw(w->raster, style, back, &w->parts);
        const DIB *images[3] = {w->parts.a, w->parts.b, w->parts.h};
        const char roles[] = "abh";
        for (int i = 0; i < 3; i++) {
            snprintf(relative, sizeof relative, DATA_KIND_HAIR "\\%s\\%s\\%s%s", folder,
                     back ? DATA_HAIR_BACK : DATA_HAIR_FRONT, folder, Role_Suffix(roles[i]));
            Broken_Image(w, images[i], relative);
        }
    }
}

// The eye images of the listed expressions only.
static void Broken_Eye(BrokenWriter *w, const char *folder, const int *expressions, int count)
{
    char relative[VOR_MAX_PATH];
    for (int i = 0; i < count; i++) {
        Broken_Clear(w);
        Eye_Draw(w->raster, EYE_ROUND, (Expression)expressions[i], &w->parts);
        const DIB *images[3] = {w->parts.a, w->parts.b, w->parts.h};
        const char roles[] = "abh";
        for (int k = 0; k < 3; k++) {
            snprintf(relative, sizeof relative, DATA_KIND_EYE "\\%s\\%s%s", folder, EXPRESSION_FOLDER[expressions[i]],
                     Role_Suffix(roles[k]));
            Broken_Image(w, images[k], relative);
        }
    }
}

static void Broken_Write(BrokenWriter *w)
{
    char text[512];
    Broken_Clear(w);
    Body_Draw(w->raster, w->images[0], 1);
    Broken_Image(w, w->images[0], DATA_BODY_PATH);

    // Hair: a sound folder, one without vor.inf, one whose vor.inf has no Folder.
    const SampleEntry good = {"good", "정상", 0x12648C};
    PartDefinition_Format(&good, text, sizeof text);
    Broken_Text(w, text, DATA_KIND_HAIR "\\good\\" DATA_DEFINITION);
    Broken_Hair(w, "good", HAIR_SHORT);
    Broken_Hair(w, "noinf", HAIR_BOB);
    Broken_Text(w, "// 폴더 없음\r\nName = \"폴더 없음\";\r\nColor = 0x12648C;\r\n",
                DATA_KIND_HAIR "\\nofolder\\" DATA_DEFINITION);
    Broken_Hair(w, "nofolder", HAIR_LONG);

    // Eyes: one complete, one with only three of the eight expressions.
    const SampleEntry full = {"full", "전부", 0x96788C}, partial = {"partial", "일부", 0x96788C};
    PartDefinition_Format(&full, text, sizeof text);
    Broken_Text(w, text, DATA_KIND_EYE "\\full\\" DATA_DEFINITION);
    const int all[EXPR_COUNT] = {0, 1, 2, 3, 4, 5, 6, 7};
    Broken_Eye(w, "full", all, EXPR_COUNT);
    PartDefinition_Format(&partial, text, sizeof text);
    Broken_Text(w, text, DATA_KIND_EYE "\\partial\\" DATA_DEFINITION);
    const int some[3] = {EXPR_SUMASHI, EXPR_NIKO, EXPR_ODOROKI};
    Broken_Eye(w, "partial", some, 3);

    // Mouth: every image sound except one that is plain text under a PNG name.
    const SampleEntry mouth = {"badpng", "깨진 그림", 0x008CC8};
    PartDefinition_Format(&mouth, text, sizeof text);
    Broken_Text(w, text, DATA_KIND_MOUTH "\\badpng\\" DATA_DEFINITION);
    char relative[VOR_MAX_PATH];
    for (int x = 0; x < EXPR_COUNT; x++) {
        Broken_Clear(w);
        Mouth_Draw(w->raster, MOUTH_SMALL, (Expression)x, &w->parts);
        const DIB *images[3] = {w->parts.a, w->parts.b, w->parts.h};
        const char roles[] = "abh";
        for (int k = 0; k < 3; k++) {
            snprintf(relative, sizeof relative, DATA_KIND_MOUTH "\\badpng\\%s%s", EXPRESSION_FOLDER[x],
                     Role_Suffix(roles[k]));
            if (x == EXPR_SUMASHI && roles[k] == 'a')
                Broken_Text(w, "This is not a PNG image.\r\n", relative);
            else
                Broken_Image(w, images[k], relative);
        }
    }
}

int BrokenTree_Write(const char *root, WriteLog *log)
{
    BrokenWriter w = {};
    w.root = root;
    w.log = log;
    int ok = 1;
    for (DIB *&image : w.images)
        ok = (image = DIB_Create(32, CANVAS_W, CANVAS_H)) != nullptr && ok;
    w.raster = ok ? Raster_Create(w.images[0]) : nullptr;
    if (w.raster) {
        w.parts = PartImages{w.images[0], w.images[1], w.images[2], w.images[3], w.images[4]};
        Broken_Write(&w);
        Raster_Free(w.raster);
    } else {
        log->failures++;
    }
    for (DIB *image : w.images)
        if (image)
            DIB_Delete_(image);
    return log->failures == 0;
}
