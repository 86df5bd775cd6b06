// The sample data tree: every standard part folder with its vor.inf and one
// image per role (and per expression for the face parts), all drawn here.
// The tables below are the data; the writer only walks them.
#include <cstdio>
#include <cstring>
#include <string>

#include "catalog/data_tree.h"
#include "core/imaging/file.h"
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/sample_tree.h"

const SampleEntry SAMPLE_HAIR[HAIR_STYLE_COUNT] = {
    {"amikomi", "땋아 올린 머리", 0x128C96}, {"bob", "보브", 0x1A5A78},
    {"carl", "컬", 0x1CAAC8},               {"hairb", "헤어밴드", 0x0A6E8C},
    {"jaggy", "재기", 0x9C5078},            {"long", "롱", 0x14463C},
    {"maeage", "올린 앞머리", 0x10788C},     {"maeage3", "올린 앞머리 3", 0xC88C8C},
    {"mituami", "세 갈래 땋은 머리", 0x127896}, {"musubi", "양갈래 묶음", 0xF0A0C8},
    {"okappa", "단발 바가지 머리", 0x00323C}, {"ponny", "포니테일", 0x12648C},
    {"slong", "세미롱", 0x1E96A0},          {"shaggy", "섀기", 0x6E7878},
    {"short", "쇼트", 0x0E5A8C},            {"wavelong", "웨이브 롱", 0x1CB4B4},
};

const SampleEntry SAMPLE_DRESS[DRESS_COUNT] = {
    {"waitress", "웨이트리스", 0x9C5AB4},
    {"tg", "타이드가든 교복", 0x9C4696},
    {"ev", "엠버베일 교복", 0x5A5064},
    {"yukata", "유카타", 0xAA8CB4},
};

const SampleEntry SAMPLE_ACCESSORY[ACC_COUNT] = {
    {"kanzashi", "비녀", 0xF08CDC},
    {"c-bonbon", "머리띠 B", 0xF0B4FF},
    {"catusya", "머리띠", 0xAAB4C8},
    {"wing1", "날개", 0x8CDC50},
};

const SampleEntry SAMPLE_EYE[EYE_SHAPE_COUNT] = {
    {"maru", "둥근 눈", 0x96788C},
    {"tare", "처진 눈", 0x1C6496},
    {"tsuri", "올라간 눈", 0x5A7896},
};

const SampleEntry SAMPLE_BROW[BROW_SHAPE_COUNT] = {
    {"hoso", "가는 눈썹", 0x12303C},
    {"futo", "굵은 눈썹", 0x122850},
};

const SampleEntry SAMPLE_MOUTH[MOUTH_SHAPE_COUNT] = {
    {"futsu", "보통 입", 0x008CC8},
    {"neko", "고양이 입", 0xF096B4},
};

// The one cheek part is named after its kind folder.
const SampleEntry SAMPLE_CHEEK = {DATA_KIND_CHEEK, "볼 터치", 0};

const char *const EXPRESSION_FOLDER[EXPR_COUNT] = {
    "sumashi", "niko", "nikkori", "makka", "naki", "utumuki", "ikari", "odoroki",
};

const char *Role_Suffix(char role)
{
    switch (role) {
    case 'a': return DATA_IMAGE_A;
    case 'b': return DATA_IMAGE_B;
    case 'c': return DATA_IMAGE_C;
    case 'd': return DATA_IMAGE_D;
    case 'h': return DATA_IMAGE_H;
    }
    return "";
}

// Working state of one tree: the output root, the shared surface and one
// blank image per role, cleared before each drawing.
struct TreeWriter {
    const char *root;
    WriteLog *log;
    Raster *raster;
    DIB *images[5];
    PartImages parts;
};

static void Images_Clear(TreeWriter *w)
{
    for (DIB *image : w->images)
        memset(DIB_Bits(image), 0, (size_t)DIB_BytesPerRow(image) * (size_t)image->height);
}

static void Tree_Image(TreeWriter *w, const DIB *image, const char *relative)
{
    char path[VOR_MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\data\\%s", w->root, relative) >= (int)sizeof path) {
        w->log->failures++;
        return;
    }
    Output_Image(w->log, image, path);
}

static void Tree_Definition(TreeWriter *w, const char *kind, const SampleEntry *entry)
{
    char path[VOR_MAX_PATH], text[512];
    snprintf(path, sizeof path, "%s\\data\\%s\\%s\\" DATA_DEFINITION, w->root, kind, entry->folder);
    PartDefinition_Format(entry, text, sizeof text);
    Output_Text(w->log, text, path);
}

// Writes the images named `<folder><sub><stem>_<role>.png` for each role letter.
static void Tree_Roles(TreeWriter *w, const char *kind, const char *folder, const char *sub, const char *stem,
                       const char *roles)
{
    for (const char *role = roles; *role; role++) {
        const DIB *image = nullptr;
        switch (*role) {
        case 'a': image = w->parts.a; break;
        case 'b': image = w->parts.b; break;
        case 'c': image = w->parts.c; break;
        case 'd': image = w->parts.d; break;
        case 'h': image = w->parts.h; break;
        }
        char relative[VOR_MAX_PATH];
        snprintf(relative, sizeof relative, "%s\\%s\\%s%s%s", kind, folder, sub, stem, Role_Suffix(*role));
        Tree_Image(w, image, relative);
    }
}

static void Tree_Hair(TreeWriter *w)
{
    for (int i = 0; i < HAIR_STYLE_COUNT; i++) {
        const SampleEntry *e = &SAMPLE_HAIR[i];
        Tree_Definition(w, DATA_KIND_HAIR, e);
        for (int back = 0; back < 2; back++) {
            Images_Clear(w);
            int band = Hair_Draw(w->raster, (HairStyleId)i, back, &w->parts);
            Tree_Roles(w, DATA_KIND_HAIR, e->folder, back ? DATA_HAIR_BACK "\\" : DATA_HAIR_FRONT "\\", e->folder,
                       band ? "habd" : "hab");
        }
    }
}

static void Tree_Dresses(TreeWriter *w)
{
    for (int i = 0; i < DRESS_COUNT; i++) {
        const SampleEntry *e = &SAMPLE_DRESS[i];
        char relative[VOR_MAX_PATH];
        Tree_Definition(w, DATA_KIND_DRESS, e);
        Images_Clear(w);
        Body_Draw(w->raster, w->images[0], 0);
        snprintf(relative, sizeof relative, DATA_KIND_DRESS "\\%s\\" DATA_BODY_IMAGE, e->folder);
        Tree_Image(w, w->images[0], relative);
        Images_Clear(w);
        Dress_Draw(w->raster, (DressId)i, &w->parts);
        Tree_Roles(w, DATA_KIND_DRESS, e->folder, "", e->folder, "abc");
    }
}

static void Tree_Accessories(TreeWriter *w)
{
    for (int i = 0; i < ACC_COUNT; i++) {
        const SampleEntry *e = &SAMPLE_ACCESSORY[i];
        Tree_Definition(w, DATA_KIND_ACCESSORY, e);
        Images_Clear(w);
        Accessory_Draw(w->raster, (AccessoryId)i, &w->parts);
        Tree_Roles(w, DATA_KIND_ACCESSORY, e->folder, "", e->folder, "abc");
    }
}

// The stem of an expression's frame images ("sumashi_close").
static std::string FrameStem(int expression, const char *frame)
{
    return std::string(EXPRESSION_FOLDER[expression]) + frame;
}

static void Tree_Face(TreeWriter *w)
{
    for (int s = 0; s < EYE_SHAPE_COUNT; s++) {
        Tree_Definition(w, DATA_KIND_EYE, &SAMPLE_EYE[s]);
        for (int x = 0; x < EXPR_COUNT; x++) {
            Images_Clear(w);
            Eye_Draw(w->raster, (EyeShape)s, (Expression)x, &w->parts);
            Tree_Roles(w, DATA_KIND_EYE, SAMPLE_EYE[s].folder, "", EXPRESSION_FOLDER[x], "abh");
            // A blink where the eyes are open: the lids alone.
            Images_Clear(w);
            if (Eye_DrawBlink(w->raster, (EyeShape)s, (Expression)x, &w->parts))
                Tree_Roles(w, DATA_KIND_EYE, SAMPLE_EYE[s].folder, "", FrameStem(x, DATA_FRAME_CLOSED).c_str(), "b");
        }
    }
    for (int s = 0; s < BROW_SHAPE_COUNT; s++) {
        Tree_Definition(w, DATA_KIND_BROW, &SAMPLE_BROW[s]);
        for (int x = 0; x < EXPR_COUNT; x++) {
            Images_Clear(w);
            Brow_Draw(w->raster, (BrowShape)s, (Expression)x, &w->parts);
            Tree_Roles(w, DATA_KIND_BROW, SAMPLE_BROW[s].folder, "", EXPRESSION_FOLDER[x], "ab");
        }
    }
    for (int s = 0; s < MOUTH_SHAPE_COUNT; s++) {
        Tree_Definition(w, DATA_KIND_MOUTH, &SAMPLE_MOUTH[s]);
        for (int x = 0; x < EXPR_COUNT; x++) {
            Images_Clear(w);
            Mouth_Draw(w->raster, (MouthShape)s, (Expression)x, &w->parts);
            Tree_Roles(w, DATA_KIND_MOUTH, SAMPLE_MOUTH[s].folder, "", EXPRESSION_FOLDER[x], "abh");
            Images_Clear(w);
            Mouth_DrawTalk(w->raster, (MouthShape)s, (Expression)x, &w->parts);
            Tree_Roles(w, DATA_KIND_MOUTH, SAMPLE_MOUTH[s].folder, "", FrameStem(x, DATA_FRAME_TALK).c_str(), "abh");
        }
    }
    Tree_Definition(w, DATA_KIND_CHEEK, &SAMPLE_CHEEK);
    for (int x = 0; x < EXPR_COUNT; x++) {
        Images_Clear(w);
        Cheek_Draw(w->raster, (Expression)x, &w->parts);
        Tree_Roles(w, DATA_KIND_CHEEK, SAMPLE_CHEEK.folder, "", EXPRESSION_FOLDER[x], "b");
    }
}

int SampleTree_Write(const char *root, WriteLog *log)
{
    TreeWriter w = {};
    w.root = root;
    w.log = log;
    for (DIB *&image : w.images) {
        image = DIB_Create(32, CANVAS_W, CANVAS_H);
        if (!image) {
            log->failures++;
            for (DIB *made : w.images)
                if (made)
                    DIB_Delete_(made);
            return 0;
        }
    }
    w.parts = PartImages{w.images[0], w.images[1], w.images[2], w.images[3], w.images[4]};
    w.raster = Raster_Create(w.images[0]);
    if (w.raster) {
        Images_Clear(&w);
        Body_Draw(w.raster, w.images[0], 1);
        Tree_Image(&w, w.images[0], DATA_BODY_PATH);
        Tree_Hair(&w);
        Tree_Dresses(&w);
        Tree_Accessories(&w);
        Tree_Face(&w);
        Raster_Free(w.raster);
    } else {
        log->failures++;
    }
    for (DIB *image : w.images)
        DIB_Delete_(image);
    return log->failures == 0;
}
