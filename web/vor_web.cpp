// The page's entry points into the core: one character session over the part
// pack the page has written below /pack/data, driven through the same model
// calls as the program's pages and vor-cli, so that the page draws the
// pictures vor-cli renders. Texts cross to the page as UTF-8 (the program's
// CP949 through Cp949_ToUtf8); pictures as RGBA rows, top row first.
//
// Every call returns at once; nothing runs on a thread (the web build has
// none), so the loads run synchronously before each composition.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/data_tree.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/imaging/zip_writer.h"
#include "core/services/filesys.h"
#include "core/text_cp949.h"
#include "layers/render.h"
#include "output/export.h"
#include "output/headless.h"
#include "project/project_model.h"

#define WEB_API extern "C" EMSCRIPTEN_KEEPALIVE

namespace {

const char DATA_FOLDER[] = "\\pack\\data\\";
const char EXPORT_BASE[] = "\\export\\";

enum { THUMB_SIDE = 72 };

struct WebSession {
    Headless h;          // the character shown
    Headless thumbs;     // a second character the list pictures are drawn with
    int open;
    std::string freeFolder;
    int freeFolderFlag;
    std::string json;                   // the last text handed out
    std::vector<unsigned char> rgba;    // the last picture handed out
    int width, height;
    std::vector<unsigned char> bytes;   // the last file handed out
};

WebSession g_web;

void Json_String(std::string &out, const std::string &utf8)
{
    out += '"';
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += (char)c;
        }
    }
    out += '"';
}

void Json_Text(std::string &out, const char *cp949)
{
    Json_String(out, Cp949_ToUtf8(cp949 ? cp949 : ""));
}

void Json_Colour(std::string &out, HlsColour c)
{
    out += "[" + std::to_string(c.hue) + "," + std::to_string(c.luminance) + "," + std::to_string(c.saturation) + "]";
}

// The picture as RGBA rows from the top, kept for the page to read.
void KeepPicture(const DIB *image)
{
    g_web.width = image ? image->width : 0;
    g_web.height = image ? image->height : 0;
    g_web.rgba.assign((size_t)g_web.width * g_web.height * 4, 0);
    for (int y = 0; y < g_web.height; y++) {
        const unsigned char *in = DIB_RowTD(image, y);
        unsigned char *out = g_web.rgba.data() + (size_t)y * g_web.width * 4;
        for (int x = 0; x < g_web.width; x++, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
    }
}

void ClosePack()
{
    if (g_web.open) {
        Headless_Close(&g_web.h);
        Headless_Close(&g_web.thumbs);
    }
    g_web.open = 0;
}

// The box of the 360 x 480 picture a list's pictures show, scaled to the
// thumbnail: the head for hair and face parts, the body for dresses.
struct Box {
    int x, y, side;
};

Box ThumbBox(int list)
{
    switch (list) {
    case PART_LIST_HAIR: return {60, 0, 240};
    case PART_LIST_DRESS: return {30, 150, 300};
    case PART_LIST_ACCESSORY: return {30, 0, 300};
    default: return {120, 160, 120};
    }
}

DressStyle *ShownStyle(Headless *h)
{
    return Wardrobe_StyleAt(&h->w, h->w.selected);
}

void ChooseDress(Headless *h, int dress)
{
    DressStyle *style = ShownStyle(h);
    const PartEntry *entry = (const PartEntry *)PtrList_Get(h->catalog.dresses, dress);
    if (!style || !entry)
        return;
    // As the DRESS page does: the dress brings its own colour.
    style->dress = dress;
    style->colour = entry->color;
    Style_SetText(&style->dressKey, nullptr);
    LoadStyleDress(&h->ch, style);
}

// The missing parts of the shown project: keys that the pack does not have.
void Json_Missing(std::string &out)
{
    static const char *const choiceNames[CHOICE_COUNT] = {"brow", "eye", "mouth", "hair", "backHair",
                                                          "expression"};
    const Character *ch = &g_web.h.ch;
    out += "[";
    int first = 1;
    auto add = [&](const char *kind, const char *key) {
        if (!first)
            out += ",";
        first = 0;
        out += "{\"kind\":\"";
        out += kind;
        out += "\",\"key\":";
        Json_Text(out, key);
        out += "}";
    };
    for (int i = 0; i < CHOICE_COUNT; i++)
        if (ch->unknownKey[i])
            add(choiceNames[i], ch->unknownKey[i]);
    for (int i = 0; i < PtrList_Count(g_web.h.w.styles); i++) {
        const DressStyle *s = Wardrobe_StyleAt(&g_web.h.w, i);
        if (s->dress < 0 && s->dressKey)
            add("dress", s->dressKey);
        for (int a = 0; a < AccessorySet_Count(s->accessories); a++) {
            const AccessoryPlacement *p = AccessorySet_Get(s->accessories, a);
            if (p->kind < 0 && p->key)
                add("accessory", p->key);
        }
    }
    for (int i = 0; i < ACCESSORY_SLOT_COUNT; i++) {
        const AccessorySlot *slot = &g_web.h.w.slots[i];
        if (slot->inUse && slot->kind < 0 && slot->key)
            add("accessory", slot->key);
    }
    out += "]";
}

// The depth-list index of the layer `id`, or -1.
int DepthIndexOf(const Headless *h, int32_t id)
{
    for (int i = 0; i < PtrList_Count(h->doc->depthList); i++)
        if (((const Layer *)PtrList_Get(h->doc->depthList, i))->id == id)
            return i;
    return -1;
}

// The accessory the thumbnails of the accessory list are drawn with.
int32_t ThumbAccessory(Headless *t)
{
    for (int i = 0; i < ACCESSORY_SLOT_COUNT; i++)
        if (t->w.slots[i].inUse)
            return ID_ACCESSORY_FIRST + i;
    Layer *layer = Wardrobe_AddAccessory(&t->ch, &t->w);
    return layer ? layer->id : -1;
}

}  // namespace

// Reads the pack below /pack/data. 1 when it can be used; 0 when memory ran
// out; -1 when it has no body picture (not a part pack, or a damaged one);
// -2 when it has no hair or no dress.
WEB_API int vw_open()
{
    ClosePack();
    if (!Headless_Open(&g_web.h, DATA_FOLDER))
        return 0;
    if (!Headless_Open(&g_web.thumbs, DATA_FOLDER)) {
        Headless_Close(&g_web.h);
        return 0;
    }
    g_web.open = 1;
    g_web.freeFolder.clear();
    g_web.freeFolderFlag = 0;
    char body[VOR_MAX_PATH];
    Character_BodyPath(&g_web.h.ch, body);
    DIB *image = DIB_CreateFromFile(body);
    int usable = image != nullptr;
    DIB_Delete_(image);
    if (!usable) {
        ClosePack();
        return -1;
    }
    if (PtrList_Count(g_web.h.catalog.hairStyles) == 0 || PtrList_Count(g_web.h.catalog.dresses) == 0) {
        ClosePack();
        return -2;
    }
    return 1;
}

// Reads a project file (PROJECT_OK = 1, else the ProjectReadResult; nothing
// changes then).
WEB_API int vw_load_project(const char *path)
{
    if (!g_web.open)
        return PROJECT_CANNOT_OPEN;
    Project *p = nullptr;
    int result = Project_ReadFile(path, &p);
    if (result != PROJECT_OK)
        return result;
    g_web.freeFolder = p->freeFolder ? p->freeFolder : "";
    g_web.freeFolderFlag = p->freeFolderFlag;
    Project_ResolveKeys(p, &g_web.h.catalog);
    Project_Apply(p, &g_web.h.ch, &g_web.h.w);
    Project_Free(p);
    return PROJECT_OK;
}

// The catalogue: every list with its entries' names, keys and colours.
WEB_API const char *vw_catalog_json()
{
    std::string &out = g_web.json;
    out = "{";
    for (int list = 0; list < PART_LIST_COUNT && g_web.open; list++) {
        if (list)
            out += ",";
        out += "\"";
        out += PartCatalog_ListName(list);
        out += "\":[";
        PtrList *entries = PartCatalog_List(&g_web.h.catalog, list);
        for (int i = 0; i < PtrList_Count(entries); i++) {
            const PartEntry *e = (const PartEntry *)PtrList_Get(entries, i);
            out += i ? ",{\"name\":" : "{\"name\":";
            Json_Text(out, e->name);
            out += ",\"key\":";
            Json_Text(out, e->folder);
            out += ",\"colour\":";
            Json_Colour(out, e->color);
            out += "}";
        }
        out += "]";
    }
    out += "}";
    return out.c_str();
}

// The character as it is now: name, choices, colours, styles, the shown
// style's accessories and the parts the pack lacks.
WEB_API const char *vw_state_json()
{
    std::string &out = g_web.json;
    const Character *ch = &g_web.h.ch;
    const Wardrobe *w = &g_web.h.w;
    out = "{\"name\":";
    Json_Text(out, ch->name);
    out += ",\"hair\":" + std::to_string(ch->frontHair) + ",\"backHair\":" + std::to_string(ch->backHair) +
           ",\"separateBackHair\":" + std::to_string(ch->separateBackHair) + ",\"eye\":" + std::to_string(ch->eye) +
           ",\"brow\":" + std::to_string(ch->brow) + ",\"mouth\":" + std::to_string(ch->mouth) +
           ",\"hairDefaultColour\":" + std::to_string(ch->hairDefaultColour) +
           ",\"cheek\":" + std::to_string(ch->cheek) + ",\"expression\":" + std::to_string(ch->expression) +
           ",\"selected\":" + std::to_string(w->selected) + ",\"colours\":{";
    static const int32_t ids[] = {ID_HAIR, ID_EYE, ID_BROW, ID_MOUTH};
    for (size_t i = 0; i < sizeof ids / sizeof ids[0]; i++) {
        HlsColour c = HLS_DEFAULT;
        Character_ReadSlot(ch, ids[i], &c);
        out += (i ? ",\"" : "\"") + std::to_string(ids[i]) + "\":";
        Json_Colour(out, c);
    }
    out += "},\"styles\":[";
    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        const DressStyle *s = Wardrobe_StyleAt(w, i);
        out += i ? ",{\"name\":" : "{\"name\":";
        Json_Text(out, s->name);
        out += ",\"folder\":";
        Json_Text(out, s->outputFolder);
        out += ",\"dress\":" + std::to_string(s->dress) + ",\"checked\":" +
               std::to_string(s->checkState == STYLE_CHECKED) + ",\"colour\":";
        Json_Colour(out, s->colour);
        out += "}";
    }
    out += "],\"accessories\":[";
    int first = 1;
    for (int i = 0; i < ACCESSORY_SLOT_COUNT; i++) {
        const AccessorySlot *slot = &w->slots[i];
        if (!slot->inUse)
            continue;
        out += first ? "{\"id\":" : ",{\"id\":";
        first = 0;
        out += std::to_string(ID_ACCESSORY_FIRST + i) + ",\"kind\":" + std::to_string(slot->kind) + ",\"colour\":";
        Json_Colour(out, slot->colour);
        out += "}";
    }
    out += "],\"missing\":";
    Json_Missing(out);
    out += "}";
    return out.c_str();
}

// A choice from a list (PartListId); the hair list's index -2 - n chooses
// back hair n on its own. The dress goes to the shown style.
WEB_API void vw_choose(int list, int index)
{
    Character *ch = &g_web.h.ch;
    switch (list) {
    case PART_LIST_HAIR:
        if (index <= -2) {
            Character_SetSeparateBackHair(ch, 1);
            Character_ChooseBackHair(ch, -2 - index);
        } else {
            Character_ChooseFrontHair(ch, index);
        }
        break;
    case PART_LIST_DRESS: ChooseDress(&g_web.h, index); break;
    case PART_LIST_EYE: Character_ChooseEye(ch, index); break;
    case PART_LIST_BROW: Character_ChooseBrow(ch, index); break;
    case PART_LIST_MOUTH: Character_ChooseMouth(ch, index); break;
    case PART_LIST_CHEEK: Character_ChooseCheek(ch, index); break;
    case PART_LIST_EXPRESSION: Character_ChooseExpression(ch, index); break;
    }
}

// The back hair follows the front hair again (0) or is chosen on its own.
WEB_API void vw_set_separate_back_hair(int separate)
{
    Character_SetSeparateBackHair(&g_web.h.ch, separate);
}

// A colour slot (2002..2009, the dress 2006 of the shown style, or an
// accessory 2100..2131), as the colour dialog applies it.
WEB_API void vw_set_colour(int id, int hue, int luminance, int saturation)
{
    HlsColour c = {(uint8_t)hue, (uint8_t)luminance, (uint8_t)saturation};
    ApplySlotColour(&g_web.h.ch, &g_web.h.w, id, c, id == ID_DRESS);
    // A hair colour of the user's own replaces the hair's default colour,
    // as on the CHARA page (else the next load would reset it).
    if (id == ID_HAIR)
        g_web.h.ch.hairDefaultColour = 0;
}

// The hair's own colour applied whenever a front hair is chosen (1), or not.
WEB_API void vw_set_hair_default_colour(int apply)
{
    Character_SetHairDefaultColour(&g_web.h.ch, apply);
}

WEB_API int vw_show_style(int index)
{
    return Wardrobe_ShowStyle(&g_web.h.ch, &g_web.h.w, index);
}

// A new accessory of the shown style (kind "none", in front); its colour
// slot id, or -1 when all 32 are worn.
WEB_API int vw_add_accessory()
{
    Layer *layer = Wardrobe_AddAccessory(&g_web.h.ch, &g_web.h.w);
    return layer ? layer->id : -1;
}

WEB_API int vw_remove_accessory(int id)
{
    return Wardrobe_RemoveAccessory(&g_web.h.ch, &g_web.h.w, DepthIndexOf(&g_web.h, id));
}

// Another kind for the accessory `id` (it takes the kind's own colour).
WEB_API int vw_set_accessory_kind(int id, int kind)
{
    return Wardrobe_SetAccessoryKind(&g_web.h.ch, &g_web.h.w, DepthIndexOf(&g_web.h, id), kind);
}

// Whether a style is exported.
WEB_API void vw_check_style(int index, int checked)
{
    DressStyle *s = Wardrobe_StyleAt(&g_web.h.w, index);
    if (s)
        s->checkState = checked ? STYLE_CHECKED : STYLE_UNCHECKED;
}

// Loads what the changes queued and composes the picture the export writes;
// returns its RGBA rows (vw_width x vw_height), or 0.
WEB_API unsigned char *vw_render()
{
    if (!g_web.open)
        return nullptr;
    Headless_LoadNow(&g_web.h);
    DIB *image = Canvas_ComposeExport(g_web.h.doc);
    if (!image)
        return nullptr;
    KeepPicture(image);
    DIB_Delete_(image);
    return g_web.rgba.data();
}

WEB_API int vw_width()
{
    return g_web.width;
}

WEB_API int vw_height()
{
    return g_web.height;
}

// The list picture of entry `index` of `list`: the default character
// wearing it, the part's region scaled to THUMB_SIDE square. RGBA, or 0.
WEB_API unsigned char *vw_thumb(int list, int index)
{
    if (!g_web.open)
        return nullptr;
    Headless *t = &g_web.thumbs;
    switch (list) {
    case PART_LIST_HAIR: Character_ChooseFrontHair(&t->ch, index); break;
    case PART_LIST_DRESS: ChooseDress(t, index); break;
    case PART_LIST_EYE: Character_ChooseEye(&t->ch, index); break;
    case PART_LIST_BROW: Character_ChooseBrow(&t->ch, index); break;
    case PART_LIST_MOUTH: Character_ChooseMouth(&t->ch, index); break;
    case PART_LIST_CHEEK: Character_ChooseCheek(&t->ch, index); break;
    case PART_LIST_EXPRESSION: Character_ChooseExpression(&t->ch, index); break;
    case PART_LIST_ACCESSORY: {
        // "None" has no image: the thumbnail is then the bare character.
        int32_t id = ThumbAccessory(t);
        if (id < 0 || index < 0 || index >= PtrList_Count(t->catalog.accessories))
            return nullptr;
        Wardrobe_SetAccessoryKind(&t->ch, &t->w, DepthIndexOf(t, id), index);
        break;
    }
    default: return nullptr;
    }
    Headless_LoadNow(t);
    DIB *image = Canvas_ComposeExport(t->doc);
    if (!image)
        return nullptr;
    Box box = ThumbBox(list);
    g_web.width = g_web.height = THUMB_SIDE;
    g_web.rgba.assign(THUMB_SIDE * THUMB_SIDE * 4, 0);
    // Each thumbnail pixel averages its square of the picture (alpha-weighted).
    int step = box.side / THUMB_SIDE > 0 ? box.side / THUMB_SIDE : 1;
    for (int ty = 0; ty < THUMB_SIDE; ty++) {
        for (int tx = 0; tx < THUMB_SIDE; tx++) {
            unsigned sum[4] = {0, 0, 0, 0}, n = 0;
            int x0 = box.x + tx * box.side / THUMB_SIDE, y0 = box.y + ty * box.side / THUMB_SIDE;
            for (int y = y0; y < y0 + step && y < image->height; y++) {
                const unsigned char *row = DIB_RowTD(image, y);
                for (int x = x0; x < x0 + step && x < image->width; x++, n++) {
                    const unsigned char *p = row + 4 * x;
                    sum[0] += p[2] * p[3];
                    sum[1] += p[1] * p[3];
                    sum[2] += p[0] * p[3];
                    sum[3] += p[3];
                }
            }
            unsigned char *o = g_web.rgba.data() + (ty * THUMB_SIDE + tx) * 4;
            if (n && sum[3]) {
                for (int c = 0; c < 3; c++)
                    o[c] = (unsigned char)(sum[c] / sum[3]);
                o[3] = (unsigned char)(sum[3] / n);
            }
        }
    }
    DIB_Delete_(image);
    return g_web.rgba.data();
}

// The last file's bytes (vw_png, vw_project, vw_export_zip).
WEB_API int vw_bytes_size()
{
    return (int)g_web.bytes.size();
}

// The picture as vw_render composes it, as PNG; its bytes, or 0.
WEB_API unsigned char *vw_png()
{
    g_web.bytes.clear();
    if (!g_web.open)
        return nullptr;
    Headless_LoadNow(&g_web.h);
    DIB *image = Canvas_ComposeExport(g_web.h.doc);
    size_t size = 0;
    unsigned char *png = image ? DIB_EncodePNG(image, &size) : nullptr;
    DIB_Delete_(image);
    if (!png)
        return nullptr;
    g_web.bytes.assign(png, png + size);
    free(png);
    return g_web.bytes.data();
}

// The project file of the character now (what Save writes); its bytes, or 0.
WEB_API unsigned char *vw_project()
{
    g_web.bytes.clear();
    if (!g_web.open)
        return nullptr;
    Project *p = Project_Gather(&g_web.h.ch, &g_web.h.w, g_web.freeFolder.c_str(), g_web.freeFolderFlag);
    if (!p)
        return nullptr;
    ProjectKeySource keys = Project_CatalogKeys(&g_web.h.catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project_Free(p);
    if (!bytes)
        return nullptr;
    g_web.bytes.assign(bytes, bytes + size);
    free(bytes);
    return g_web.bytes.data();
}

namespace {

struct ZipExport {
    ZipArchive zip;
    int failed;
};

// Each file the export wrote goes into the archive under its path below
// the export folder, as UTF-8.
void Zip_FileDone(void *context, const char *path, int failure)
{
    ZipExport *z = (ZipExport *)context;
    size_t size = 0;
    unsigned char *data = failure == EXPORT_WRITTEN ? FILE_ReadAll(path, (size_t)1 << 30, &size) : nullptr;
    if (!data) {
        z->failed++;
        return;
    }
    std::string name = Cp949_ToUtf8(path + strlen(EXPORT_BASE));
    for (char &c : name)
        if (c == '\\')
            c = '/';
    // PNG data is compressed already.
    int png = name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0;
    if (!ZipArchive_Add(&z->zip, name.c_str(), data, size, png ? ZIP_STORED : ZIP_DEFLATED))
        z->failed++;
    free(data);
    File_Delete(path);
}

}  // namespace

// The export (every checked style x every expression, macro.txt and
// CREDITS.txt) as one zip; its bytes, or 0 with the reason in vw_message.
WEB_API unsigned char *vw_export_zip()
{
    g_web.bytes.clear();
    g_web.json.clear();
    if (!g_web.open)
        return nullptr;
    char message[512] = "";
    if (!Export_Validate(g_web.h.ch.name, g_web.h.w.styles, message, sizeof message)) {
        g_web.json = Cp949_ToUtf8(message);
        return nullptr;
    }
    if (CountExportStyles(g_web.h.w.styles) == 0) {
        g_web.json = "nothing";
        return nullptr;
    }
    ZipExport z = {};
    ExportOptions options = {1, &z, Zip_FileDone};
    ExportStats stats;
    Export_RunHeadless(&g_web.h.ch, &g_web.h.w, EXPORT_BASE, &options, &stats);
    if (z.failed || stats.tally.failed || !ZipArchive_Finish(&z.zip)) {
        g_web.json = "failed";
        return nullptr;
    }
    g_web.bytes.swap(z.zip.bytes);
    return g_web.bytes.data();
}

// Why the last export gave nothing (UTF-8).
WEB_API const char *vw_message()
{
    return g_web.json.c_str();
}

int main()
{
    return 0;
}
