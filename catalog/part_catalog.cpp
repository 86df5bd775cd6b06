// Building the part catalogue: the folder scans in their fixed order, the
// reading of each folder's definition, the sort, and the built-in entries.
#include "catalog/part_catalog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/data_tree.h"
#include "catalog/part_definition.h"
#include "catalog/preprocessor.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "core/util.h"

PartCatalog g_partCatalog;

enum { PART_LIST_CAPACITY = 32, PART_LIST_GROWTH = 16 };

struct BuiltInPart {
    const char *name;
    const char *folder;
};

// The order is the order of the expression boxes and of the export.
static const BuiltInPart kExpressions[PART_EXPRESSION_COUNT] = {
    {"기본", "sumashi"}, {"^-^", "niko"},    {"^o^", "nikkori"}, {"*^^*", "makka"},
    {"'-';", "naki"},    {"T.T", "utumuki"}, {"--+", "ikari"},   {"O_O", "odoroki"},
};

static const char kNoAccessoryName[] = "없음";

static void PartEntry_Free(void *item)
{
    PartEntry *entry = (PartEntry *)item;
    if (!entry)
        return;
    free(entry->name);
    free(entry->folder);
    free(entry->path);
    free(entry->author);
    free(entry->license);
    free(entry->url);
    free(entry);
}

static PartEntry *PartEntry_Create(const char *name, const char *folder, const char *path, HlsColour color)
{
    PartEntry *entry = (PartEntry *)calloc(1, sizeof(PartEntry));
    if (!entry)
        return nullptr;
    entry->name = Str_Dup(name);
    entry->folder = Str_Dup(folder);
    entry->path = Str_Dup(path);
    entry->color = color;
    if (!entry->name || !entry->folder || !entry->path) {
        PartEntry_Free(entry);
        return nullptr;
    }
    return entry;
}

static int AddEntry(PtrList *list, const char *name, const char *folder, const char *path, HlsColour color)
{
    PartEntry *entry = PartEntry_Create(name, folder, path, color);
    if (!entry)
        return 0;
    if (PtrList_Add(list, entry) < 0) {
        PartEntry_Free(entry);
        return 0;
    }
    return 1;
}

// The last entry of the list takes the definition's credits. Returns 0
// when memory ran out.
static int KeepCredits(PtrList *list, const PartDefinition *def)
{
    PartEntry *entry = (PartEntry *)PtrList_Get(list, PtrList_Count(list) - 1);
    const char *from[] = {def->author, def->license, def->url};
    char **to[] = {&entry->author, &entry->license, &entry->url};
    for (int i = 0; i < 3; i++)
        if (from[i] && !(*to[i] = Str_Dup(from[i])))
            return 0;
    return 1;
}

struct ScanState {
    PtrList *list;
    int failed;     // memory ran out
    int longPaths;  // folders whose own or definition path is too long
    const char *dataFolder;  // includes stay below it
};

// One entry of a kind folder. Only folders count (mode 2 delivers them
// ending with `\`); `.` and `..` end with a dot, plain files with neither.
// A folder without a readable definition, or whose definition lacks a Name
// or a Folder, is left out.
static int VisitPartFolder(void *user, const char *path)
{
    ScanState *scan = (ScanState *)user;
    size_t length = strlen(path);
    if (length == 0 || path[length - 1] == '.' || path[length - 1] != '\\')
        return 1;
    char definitionPath[VOR_MAX_PATH];
    if (length >= VOR_MAX_PATH) {
        scan->longPaths++;
        Debug_Print("path too long, folder left out: %.200s...\n", path);
        return 1;
    }
    memcpy(definitionPath, path, length + 1);
    if (!FilePath_SetName(definitionPath, DATA_DEFINITION)) {
        scan->longPaths++;
        Debug_Print("path too long, folder left out: %s\n", path);
        return 1;
    }
    Debug_Print("%s\n", definitionPath);
    Preprocessor *pp = Preprocessor_OpenIn(definitionPath, scan->dataFolder, nullptr);
    if (!pp)
        return 1;
    PartDefinition *def = ReadPartDefinition(pp);
    if (!def)
        scan->failed = 1;
    else if (def->name && def->folder &&
             (!AddEntry(scan->list, def->name, def->folder, path, def->color) || !KeepCredits(scan->list, def)))
        scan->failed = 1;
    PartDefinition_Free(def);
    Preprocessor_Close(pp);
    return 1;
}

static int CompareByFolder(const void *a, const void *b)
{
    const PartEntry *x = *(const PartEntry *const *)a;
    const PartEntry *y = *(const PartEntry *const *)b;
    return strcmp(x->folder, y->folder);  // unsigned bytes
}

// Creates a list from the folders of `dataFolder` + `kind` + `\*`, sorted.
static PtrList *ScanKind(const char *dataFolder, const char *kind, int *failed, int *longPaths)
{
    PtrList *list = PtrList_Create(PART_LIST_CAPACITY, PART_LIST_GROWTH);
    if (!list) {
        *failed = 1;
        return nullptr;
    }
    char pattern[VOR_MAX_PATH * 2];
    snprintf(pattern, sizeof pattern, "%s%s\\*", dataFolder, kind);
    if (strlen(pattern) < VOR_MAX_PATH) {
        ScanState scan = {list, 0, 0, dataFolder};
        Folder_FindEx(pattern, 2 | FOLDER_FIND_LONG, VisitPartFolder, &scan);
        if (scan.failed)
            *failed = 1;
        *longPaths += scan.longPaths;
    }
    Array_Sort(list, CompareByFolder);
    return list;
}

// The image suffixes a frame replaces: an eye's and a mouth's three layers.
static const char *const kFrameSuffixes[] = {DATA_IMAGE_A, DATA_IMAGE_B, DATA_IMAGE_H};

// Notes in each entry of an eye or mouth list which expressions have a
// frame. Only file names are looked at; nothing is opened.
static void NoteFrames(PtrList *list, int listId)
{
    for (int i = 0; i < PtrList_Count(list); i++) {
        PartEntry *entry = (PartEntry *)PtrList_Get(list, i);
        for (int x = 0; x < PART_EXPRESSION_COUNT; x++)
            for (const char *suffix : kFrameSuffixes) {
                char path[VOR_MAX_PATH];
                if (PartEntry_FrameImagePath(entry, listId, kExpressions[x].folder, suffix, path) && File_Exists(path))
                    entry->frames |= 1u << x;
            }
    }
}

void PartCatalog_Free(PartCatalog *catalog)
{
    for (int id = 0; id < PART_LIST_COUNT; id++)
        PtrList_Destroy(PartCatalog_List(catalog, id), PartEntry_Free);
    memset(catalog, 0, sizeof *catalog);
}

int PartCatalog_Load(PartCatalog *catalog, const char *dataFolder)
{
    PartCatalog_Free(catalog);
    int failed = 0;
    const HlsColour none = {0, 0, 0};

    catalog->accessories = ScanKind(dataFolder, DATA_KIND_ACCESSORY, &failed, &catalog->longPaths);
    if (catalog->accessories) {
        // Inserted after the sort so that it stays first.
        int before = PtrList_Count(catalog->accessories);
        PartEntry *entry = PartEntry_Create(kNoAccessoryName, "", "", none);
        if (entry)
            PtrList_InsertAt(catalog->accessories, 0, entry);
        if (!entry || PtrList_Count(catalog->accessories) == before) {
            PartEntry_Free(entry);
            failed = 1;
        }
    }
    catalog->eyeShapes = ScanKind(dataFolder, DATA_KIND_EYE, &failed, &catalog->longPaths);
    NoteFrames(catalog->eyeShapes, PART_LIST_EYE);
    catalog->browShapes = ScanKind(dataFolder, DATA_KIND_BROW, &failed, &catalog->longPaths);
    catalog->cheekShapes = ScanKind(dataFolder, DATA_KIND_CHEEK, &failed, &catalog->longPaths);
    catalog->mouthShapes = ScanKind(dataFolder, DATA_KIND_MOUTH, &failed, &catalog->longPaths);
    NoteFrames(catalog->mouthShapes, PART_LIST_MOUTH);
    catalog->hairStyles = ScanKind(dataFolder, DATA_KIND_HAIR, &failed, &catalog->longPaths);
    catalog->expressions = PtrList_Create(PART_EXPRESSION_COUNT, PART_LIST_GROWTH);
    if (!catalog->expressions) {
        failed = 1;
    } else {
        for (const BuiltInPart &e : kExpressions)
            if (!AddEntry(catalog->expressions, e.name, e.folder, "", none))
                failed = 1;
    }
    catalog->dresses = ScanKind(dataFolder, DATA_KIND_DRESS, &failed, &catalog->longPaths);
    return !failed;
}

void LoadPartCatalog()
{
    PartCatalog_Load(&g_partCatalog, ".\\data\\");
}

PtrList *PartCatalog_List(const PartCatalog *catalog, int listId)
{
    switch (listId) {
    case PART_LIST_HAIR: return catalog->hairStyles;
    case PART_LIST_DRESS: return catalog->dresses;
    case PART_LIST_EYE: return catalog->eyeShapes;
    case PART_LIST_BROW: return catalog->browShapes;
    case PART_LIST_MOUTH: return catalog->mouthShapes;
    case PART_LIST_CHEEK: return catalog->cheekShapes;
    case PART_LIST_ACCESSORY: return catalog->accessories;
    case PART_LIST_EXPRESSION: return catalog->expressions;
    default: return nullptr;
    }
}

const char *PartCatalog_ListName(int listId)
{
    static const char *const names[PART_LIST_COUNT] = {
        "hair", "dress", "eye", "brow", "mouth", "cheek", "accessory", "expression",
    };
    return (listId >= 0 && listId < PART_LIST_COUNT) ? names[listId] : "";
}

int FindPartByFolder(const PtrList *list, const char *folder)
{
    int count = PtrList_Count(list);
    for (int i = 0; i < count; i++) {
        const PartEntry *entry = (const PartEntry *)PtrList_Get(list, i);
        if (strcmp(entry->folder, folder) == 0)
            return i;
    }
    return -1;
}

const char *PartFolderAt(const PtrList *list, int index)
{
    const PartEntry *entry = (const PartEntry *)PtrList_Get(list, index);
    return entry ? entry->folder : nullptr;
}

const char *PartCatalog_FrameStem(int listId)
{
    switch (listId) {
    case PART_LIST_EYE: return DATA_FRAME_CLOSED;
    case PART_LIST_MOUTH: return DATA_FRAME_TALK;
    default: return nullptr;
    }
}

int PartEntry_HasFrame(const PartEntry *entry, int expression)
{
    return entry && expression >= 0 && expression < PART_EXPRESSION_COUNT && (entry->frames >> expression & 1u);
}

int PartEntry_FrameImagePath(const PartEntry *entry, int listId, const char *expression, const char *suffix,
                             char *path)
{
    path[0] = 0;
    const char *stem = PartCatalog_FrameStem(listId);
    if (!entry || !stem || !entry->path[0])
        return 0;
    int n = snprintf(path, VOR_MAX_PATH, "%s%s%s%s", entry->path, expression, stem, suffix);
    if (n < 0 || n >= VOR_MAX_PATH) {
        path[0] = 0;
        return 0;
    }
    return 1;
}
