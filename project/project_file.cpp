// Reading and writing the project file's bytes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/imaging/file.h"
#include "core/util.h"
#include "project/project.h"

// No real project comes near this size; a larger file is not ours.
static const size_t PROJECT_MAX_FILE = 64 * 1024 * 1024;

static void Choice_Free(PartChoice *c)
{
    free(c->key);
    c->key = nullptr;
}

Project *Project_Create(void)
{
    Project *p = (Project *)calloc(1, sizeof(Project));
    if (!p)
        return nullptr;
    p->name = Str_Dup("");
    p->freeFolder = Str_Dup("");
    p->styles = PtrList_Create(0, 8);
    PartChoice none = {-1, nullptr};
    p->brow = p->eye = p->mouth = p->hair = p->backHair = p->expression = none;
    p->browColour = p->eyeColour = p->mouthColour = p->hairColour = HLS_DEFAULT;
    if (!p->name || !p->freeFolder || !p->styles) {
        Project_Free(p);
        return nullptr;
    }
    return p;
}

void Project_Free(Project *p)
{
    if (!p)
        return;
    free(p->name);
    free(p->freeFolder);
    Choice_Free(&p->brow);
    Choice_Free(&p->eye);
    Choice_Free(&p->mouth);
    Choice_Free(&p->hair);
    Choice_Free(&p->backHair);
    Choice_Free(&p->expression);
    PtrList_Destroy(p->styles, FreeStyleItem);
    free(p);
}

// A bounds-checked cursor over the file image: every read either succeeds
// whole or marks the cursor failed, and a failed cursor reads nothing more.
struct Reader {
    const unsigned char *data;
    size_t size;
    size_t pos;
    int failed;
};

static int Read_Int(Reader *r, int32_t *out)
{
    if (r->failed || r->size - r->pos < 4) {
        r->failed = 1;
        return 0;
    }
    const unsigned char *b = r->data + r->pos;
    *out = (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
    r->pos += 4;
    return 1;
}

static int Read_Colour(Reader *r, HlsColour *out)
{
    if (r->failed || r->size - r->pos < 3) {
        r->failed = 1;
        return 0;
    }
    out->hue = r->data[r->pos];
    out->luminance = r->data[r->pos + 1];
    out->saturation = r->data[r->pos + 2];
    r->pos += 3;
    return 1;
}

// A length-prefixed text: the length counts the closing NUL, so it is at
// least 1, fits in the rest of the file and its last byte is its only NUL (a
// text cut short by an inner NUL could not be written back as it was read).
static char *Read_String(Reader *r)
{
    int32_t len;
    if (!Read_Int(r, &len))
        return nullptr;
    if (len < 1 || (size_t)len > r->size - r->pos || r->data[r->pos + (size_t)len - 1] != 0 ||
        memchr(r->data + r->pos, 0, (size_t)len - 1) != nullptr) {
        r->failed = 1;
        return nullptr;
    }
    char *text = (char *)malloc((size_t)len);
    if (!text) {
        r->failed = 1;
        return nullptr;
    }
    memcpy(text, r->data + r->pos, (size_t)len);
    r->pos += (size_t)len;
    return text;
}

static void Read_Choice(Reader *r, PartChoice *c)
{
    c->index = -1;
    c->key = Read_String(r);
}

// The smallest encodings, used to refuse counts the rest of the file cannot hold.
enum { MIN_PLACEMENT_BYTES = 5 + 12 + 3, MIN_STYLE_BYTES = 5 + 5 + 5 + 3 + 8 + 4 };

static AccessorySet *Read_AccessorySet(Reader *r)
{
    int32_t selection, count;
    if (!Read_Int(r, &selection) || !Read_Int(r, &count))
        return nullptr;
    if (count < 0 || (size_t)count > (r->size - r->pos) / MIN_PLACEMENT_BYTES) {
        r->failed = 1;
        return nullptr;
    }
    AccessorySet *set = AccessorySet_Create(selection);
    if (!set) {
        r->failed = 1;
        return nullptr;
    }
    for (int32_t i = 0; i < count && !r->failed; i++) {
        AccessoryPlacement p = {};
        p.kind = -1;
        p.key = Read_String(r);
        Read_Int(r, &p.depth);
        Read_Int(r, &p.position.x);
        Read_Int(r, &p.position.y);
        Read_Colour(r, &p.colour);
        if (!r->failed && AccessorySet_Add(set, &p) < 0)
            r->failed = 1;
        free(p.key);
    }
    if (r->failed) {
        AccessorySet_Free(set);
        return nullptr;
    }
    return set;
}

static DressStyle *Read_Style(Reader *r)
{
    DressStyle *s = (DressStyle *)calloc(1, sizeof(DressStyle));
    if (!s) {
        r->failed = 1;
        return nullptr;
    }
    s->dress = -1;
    s->name = Read_String(r);
    s->outputFolder = Read_String(r);
    s->dressKey = Read_String(r);
    Read_Colour(r, &s->colour);
    if (!r->failed)
        s->accessories = Read_AccessorySet(r);
    Read_Int(r, &s->checkState);
    if (r->failed) {
        FreeStyle(s);
        return nullptr;
    }
    return s;
}

int Project_Parse(const unsigned char *data, size_t size, Project **out)
{
    *out = nullptr;
    if (size < PROJECT_HEADER_SIZE)
        return PROJECT_DAMAGED;
    // The magic is compared as a NUL-terminated text: "VOR" then NUL.
    if (memcmp(data, "VOR", 4) != 0)
        return PROJECT_BAD_HEADER;
    Reader r = {data, size, 4, 0};
    int32_t version;
    Read_Int(&r, &version);
    if (version > PROJECT_VERSION)
        return PROJECT_BAD_HEADER;

    Project *p = (Project *)calloc(1, sizeof(Project));
    if (!p)
        return PROJECT_DAMAGED;
    p->styles = PtrList_Create(0, 8);
    if (!p->styles)
        r.failed = 1;
    p->name = Read_String(&r);
    p->freeFolder = Read_String(&r);
    Read_Int(&r, &p->freeFolderFlag);
    Read_Choice(&r, &p->brow);
    Read_Colour(&r, &p->browColour);
    Read_Choice(&r, &p->eye);
    Read_Colour(&r, &p->eyeColour);
    Read_Choice(&r, &p->mouth);
    Read_Colour(&r, &p->mouthColour);
    Read_Choice(&r, &p->hair);
    Read_Colour(&r, &p->hairColour);
    Read_Choice(&r, &p->backHair);
    Read_Int(&r, &p->separateBackHair);
    Read_Int(&r, &p->hairDefaultColour);
    Read_Choice(&r, &p->expression);
    int32_t styleCount = 0;
    if (Read_Int(&r, &styleCount) &&
        (styleCount < 0 || (size_t)styleCount > (r.size - r.pos) / MIN_STYLE_BYTES))
        r.failed = 1;
    for (int32_t i = 0; i < styleCount && !r.failed; i++) {
        DressStyle *s = Read_Style(&r);
        if (s && PtrList_Add(p->styles, s) < 0) {
            FreeStyle(s);
            r.failed = 1;
        }
    }
    if (r.failed) {
        Project_Free(p);
        return PROJECT_DAMAGED;
    }
    *out = p;
    return PROJECT_OK;
}

int Project_ReadProblem(const char *path)
{
    return File_ReadProblem(path, PROJECT_MAX_FILE);
}

int Project_ReadFile(const char *path, Project **out)
{
    *out = nullptr;
    size_t size;
    unsigned char *data = FILE_ReadAll(path, PROJECT_MAX_FILE, &size);
    if (!data)
        return PROJECT_CANNOT_OPEN;
    int result = Project_Parse(data, size, out);
    free(data);
    return result;
}

// Writing: the image is built in memory first, so that nothing reaches the
// disk until every field is known.
static void Put_Int(std::string &b, int32_t v)
{
    uint32_t u = (uint32_t)v;
    char bytes[4] = {(char)u, (char)(u >> 8), (char)(u >> 16), (char)(u >> 24)};
    b.append(bytes, 4);
}

static void Put_String(std::string &b, const char *text)
{
    if (!text)
        text = "";
    size_t len = strlen(text) + 1;
    Put_Int(b, (int32_t)len);
    b.append(text, len);
}

static void Put_Colour(std::string &b, HlsColour c)
{
    b += (char)c.hue;
    b += (char)c.luminance;
    b += (char)c.saturation;
}

static const char *KeyFor(const ProjectKeySource *keys, int list, int32_t index, const char *stored)
{
    if (index >= 0 && keys && keys->keyOf) {
        const char *k = keys->keyOf(keys->context, list, index);
        if (k)
            return k;
    }
    return stored ? stored : "";
}

static void Put_Choice(std::string &b, const ProjectKeySource *keys, int list, const PartChoice &c)
{
    Put_String(b, KeyFor(keys, list, c.index, c.key));
}

unsigned char *Project_Serialize(const Project *p, const ProjectKeySource *keys, size_t *outSize)
{
    std::string b;
    b.append("VOR", 4);
    Put_Int(b, PROJECT_VERSION);
    Put_String(b, p->name);
    Put_String(b, p->freeFolder);
    Put_Int(b, p->freeFolderFlag);
    Put_Choice(b, keys, KEYLIST_BROW, p->brow);
    Put_Colour(b, p->browColour);
    Put_Choice(b, keys, KEYLIST_EYE, p->eye);
    Put_Colour(b, p->eyeColour);
    Put_Choice(b, keys, KEYLIST_MOUTH, p->mouth);
    Put_Colour(b, p->mouthColour);
    Put_Choice(b, keys, KEYLIST_HAIR, p->hair);
    Put_Colour(b, p->hairColour);
    Put_Choice(b, keys, KEYLIST_HAIR, p->backHair);
    Put_Int(b, p->separateBackHair);
    Put_Int(b, p->hairDefaultColour);
    Put_Choice(b, keys, KEYLIST_EXPRESSION, p->expression);
    Put_Int(b, PtrList_Count(p->styles));
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(p->styles, i);
        Put_String(b, s->name);
        Put_String(b, s->outputFolder);
        Put_String(b, KeyFor(keys, KEYLIST_DRESS, s->dress, s->dressKey));
        Put_Colour(b, s->colour);
        Put_Int(b, s->accessories ? s->accessories->selection : -1);
        Put_Int(b, AccessorySet_Count(s->accessories));
        for (int j = 0; j < AccessorySet_Count(s->accessories); j++) {
            const AccessoryPlacement *a = AccessorySet_Get(s->accessories, j);
            Put_String(b, KeyFor(keys, KEYLIST_ACCESSORY, a->kind, a->key));
            Put_Int(b, a->depth);
            Put_Int(b, a->position.x);
            Put_Int(b, a->position.y);
            Put_Colour(b, a->colour);
        }
        Put_Int(b, s->checkState);
    }
    unsigned char *out = (unsigned char *)malloc(b.size());
    if (!out)
        return nullptr;
    memcpy(out, b.data(), b.size());
    *outSize = b.size();
    return out;
}

struct ProjectBytes {
    const unsigned char *data;
    size_t size;
};

static int ProduceProject(VorFile *file, void *context)
{
    const ProjectBytes *image = (const ProjectBytes *)context;
    return FILE_Write(image->data, image->size, 1, file) == 1;
}

int Project_WriteFileResult(const char *path, const Project *project, const ProjectKeySource *keys)
{
    size_t size;
    unsigned char *bytes = Project_Serialize(project, keys, &size);
    if (!bytes)
        return FILEWRITE_NO_DATA;
    ProjectBytes image = {bytes, size};
    int result = FILE_WriteAtomic(path, ProduceProject, &image);
    free(bytes);
    return result;
}

int Project_WriteFile(const char *path, const Project *project, const ProjectKeySource *keys)
{
    return Project_WriteFileResult(path, project, keys) == FILEWRITE_OK;
}
