// The data-tree checks behind `vor-cli lint` (see part_lint.h).
//
// Three passes: the kind folders and their definitions (what decides whether
// a part is listed at all), the catalogue's entries and the images the
// program asks for each of them (missing, undecodable, oversized, empty,
// coloured where grey is needed), and finally every file of the tree that
// no pass claimed (a name the program never asks for is most often a typo).
// Names on disk are compared without ASCII case, as Windows opens them.
#include "catalog/part_lint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "catalog/data_tree.h"
#include "catalog/lint_images.h"
#include "catalog/palette.h"
#include "catalog/part_catalog.h"
#include "catalog/part_definition.h"
#include "catalog/preprocessor.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "core/text_controls.h"

namespace {

// A pixel counts as visible from this alpha on: the faint fringe of
// anti-aliasing carries too little colour to judge.
const int VISIBLE_ALPHA = 16;
// Channels further apart than this are colour, not the noise of a grey that
// went through an editor's colour management.
const int GREY_TOLERANCE = 12;
// Below this share of coloured pixels an image still tints as intended.
const int COLOURED_SHARE_LIMIT = 1;

enum Need { OPTIONAL, REQUIRED };
enum Stem { STEM_KEY, STEM_EXPRESSION, STEM_FIXED };

// One image the program asks for in a part folder: `sub` + stem + `suffix`.
struct ImageRole {
    const char *sub;     // "before\\", "after\\" or ""
    Stem stem;           // the folder key, each expression's folder, or none
    const char *suffix;  // DATA_IMAGE_A ... or the whole name for STEM_FIXED
    const char *role;    // what the layer is, for the message (CP949)
    Need need;           // REQUIRED: a missing file is reported
    bool recoloured;     // tinted from grey: must be grey
};

const ImageRole HAIR_ROLES[] = {
    {DATA_HAIR_FRONT "\\", STEM_KEY, DATA_IMAGE_A, "앞머리 색칠 층", REQUIRED, true},
    {DATA_HAIR_FRONT "\\", STEM_KEY, DATA_IMAGE_B, "앞머리 고정색 층", REQUIRED, false},
    {DATA_HAIR_FRONT "\\", STEM_KEY, DATA_IMAGE_H, "앞머리 하이라이트 층", OPTIONAL, false},
    {DATA_HAIR_FRONT "\\", STEM_KEY, DATA_IMAGE_D, "앞머리 머리띠 층", OPTIONAL, true},
    {DATA_HAIR_BACK "\\", STEM_KEY, DATA_IMAGE_A, "뒷머리 색칠 층", REQUIRED, true},
    {DATA_HAIR_BACK "\\", STEM_KEY, DATA_IMAGE_B, "뒷머리 고정색 층", REQUIRED, false},
    {DATA_HAIR_BACK "\\", STEM_KEY, DATA_IMAGE_H, "뒷머리 하이라이트 층", OPTIONAL, false},
    {DATA_HAIR_BACK "\\", STEM_KEY, DATA_IMAGE_D, "뒷머리 머리띠 층", OPTIONAL, true},
};
const ImageRole DRESS_ROLES[] = {
    {"", STEM_FIXED, DATA_BODY_IMAGE, "옷에 맞춘 몸", REQUIRED, false},
    {"", STEM_KEY, DATA_IMAGE_A, "옷 색칠 층", REQUIRED, true},
    {"", STEM_KEY, DATA_IMAGE_B, "옷 고정색 층", REQUIRED, false},
    {"", STEM_KEY, DATA_IMAGE_C, "옷 무늬 층", OPTIONAL, false},
};
const ImageRole EYE_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_IMAGE_A, "눈 색칠 층", REQUIRED, true},
    {"", STEM_EXPRESSION, DATA_IMAGE_B, "눈 고정색 층", REQUIRED, false},
    {"", STEM_EXPRESSION, DATA_IMAGE_H, "눈 하이라이트 층", OPTIONAL, false},
};
const ImageRole BROW_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_IMAGE_A, "눈썹 색칠 층", REQUIRED, true},
    {"", STEM_EXPRESSION, DATA_IMAGE_B, "쌍꺼풀 층", OPTIONAL, false},
};
const ImageRole MOUTH_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_IMAGE_A, "입 색칠 층", REQUIRED, true},
    {"", STEM_EXPRESSION, DATA_IMAGE_B, "입 고정색 층", REQUIRED, false},
    {"", STEM_EXPRESSION, DATA_IMAGE_H, "입 하이라이트 층", OPTIONAL, false},
};
const ImageRole CHEEK_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_IMAGE_B, "볼 층", REQUIRED, false},
};
// An accessory may be all colour (_b only) or all grey (_a, _c): each layer
// is optional, but one of them must be there.
const ImageRole ACCESSORY_ROLES[] = {
    {"", STEM_KEY, DATA_IMAGE_A, "장신구 색칠 층", OPTIONAL, true},
    {"", STEM_KEY, DATA_IMAGE_B, "장신구 고정색 층", OPTIONAL, false},
    {"", STEM_KEY, DATA_IMAGE_C, "장신구 색칠 무늬 층", OPTIONAL, true},
};

// The frames of eyes and mouths, row for row beside the images they stand
// in for (EYE_ROLES, MOUTH_ROLES): each is optional, and a closed eye
// rightly has no iris, so an empty frame image is never reported.
const ImageRole EYE_FRAME_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_FRAME_CLOSED DATA_IMAGE_A, "감은 눈 색칠 층", OPTIONAL, true},
    {"", STEM_EXPRESSION, DATA_FRAME_CLOSED DATA_IMAGE_B, "감은 눈 고정색 층", OPTIONAL, false},
    {"", STEM_EXPRESSION, DATA_FRAME_CLOSED DATA_IMAGE_H, "감은 눈 하이라이트 층", OPTIONAL, false},
};
const ImageRole MOUTH_FRAME_ROLES[] = {
    {"", STEM_EXPRESSION, DATA_FRAME_TALK DATA_IMAGE_A, "말하는 입 색칠 층", OPTIONAL, true},
    {"", STEM_EXPRESSION, DATA_FRAME_TALK DATA_IMAGE_B, "말하는 입 고정색 층", OPTIONAL, false},
    {"", STEM_EXPRESSION, DATA_FRAME_TALK DATA_IMAGE_H, "말하는 입 하이라이트 층", OPTIONAL, false},
};

struct Kind {
    const char *folder;  // below the data folder, spelled as on disk
    int list;            // PartListId
    const ImageRole *roles;
    int roleCount;
    const ImageRole *frameRoles;  // roleCount rows beside `roles`, or nullptr
    const char *frameName;        // what the frames are, for the notes (CP949; the particle 이 follows)
};

#define ROLES(table) table, (int)(sizeof table / sizeof table[0])
const Kind KINDS[] = {
    {DATA_KIND_HAIR, PART_LIST_HAIR, ROLES(HAIR_ROLES), nullptr, nullptr},
    {DATA_KIND_DRESS, PART_LIST_DRESS, ROLES(DRESS_ROLES), nullptr, nullptr},
    {DATA_KIND_EYE, PART_LIST_EYE, ROLES(EYE_ROLES), EYE_FRAME_ROLES, "눈 깜빡임 프레임"},
    {DATA_KIND_BROW, PART_LIST_BROW, ROLES(BROW_ROLES), nullptr, nullptr},
    {DATA_KIND_MOUTH, PART_LIST_MOUTH, ROLES(MOUTH_ROLES), MOUTH_FRAME_ROLES, "말하는 입 프레임"},
    {DATA_KIND_CHEEK, PART_LIST_CHEEK, ROLES(CHEEK_ROLES), nullptr, nullptr},
    {DATA_KIND_ACCESSORY, PART_LIST_ACCESSORY, ROLES(ACCESSORY_ROLES), nullptr, nullptr},
};
static_assert(sizeof EYE_FRAME_ROLES == sizeof EYE_ROLES, "a frame role beside every eye role");
static_assert(sizeof MOUTH_FRAME_ROLES == sizeof MOUTH_ROLES, "a frame role beside every mouth role");
#undef ROLES
const char BODY_FOLDER[] = DATA_KIND_BODY;
const char BODY_IMAGE[] = DATA_BODY_PATH;

std::string Lower(const std::string &s)
{
    std::string out = s;
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return out;
}

// A path as the host's file system tells paths apart: without ASCII case on
// Windows, byte for byte elsewhere (there `Twin` and `twin` are two folders
// the program reads as two, and a case-only clash is reported on its own).
std::string Key(const std::string &s)
{
#ifdef _WIN32
    return Lower(s);
#else
    return s;
#endif
}

struct ListedEntry {
    std::string name;
    bool folder;
};

int CollectEntry(void *user, const char *path)
{
    std::vector<std::string> *paths = (std::vector<std::string> *)user;
    paths->push_back(path);
    return 1;
}

// The entries of `folder` (ending with `\`), without `.` and `..`; those
// whose paths are too long for the program come too.
std::vector<ListedEntry> ListFolder(const std::string &folder)
{
    std::vector<std::string> paths;
    std::vector<ListedEntry> entries;
    std::string pattern = folder + "*";
    if (pattern.size() >= VOR_MAX_PATH ||
        Folder_FindEx(pattern.c_str(), 2 | FOLDER_FIND_LONG, CollectEntry, &paths) < 0)
        return entries;
    for (const std::string &p : paths) {
        if (p.size() <= folder.size() || p.back() == '.')
            continue;
        std::string name = p.substr(folder.size());
        bool isFolder = name.back() == '\\';
        if (isFolder)
            name.pop_back();
        entries.push_back({name, isFolder});
    }
    return entries;
}

// Paths below are keyed by Key(): as the host's file system compares them.
struct Linter {
    std::string data;                          // the data folder, ending with a separator
    LintReport *report;
    std::map<std::string, std::string> files;  // keyed relative path -> as on disk
    std::set<std::string> claimed;             // keyed relative paths some pass reads
    std::set<std::string> skipped;             // keyed folders reported as a whole
    std::map<std::string, std::set<std::string>> expected;  // keyed folder -> names it may hold
    std::map<std::string, int> perFile;        // findings kept per path
    long omitted;                              // findings over the caps
    std::set<std::pair<unsigned long long, unsigned long long>> walked;  // folders listed, by identity
    LintImages images;                         // every image's facts, decoded ahead on all cores
};

void Add(Linter *l, int severity, const std::string &path, int line, const std::string &message)
{
    (severity == LINT_ERROR ? l->report->errors : l->report->warnings)++;
    int &kept = l->perFile[path];
    if (kept >= LINT_MAX_PER_FILE || l->report->findings.size() >= LINT_MAX_FINDINGS) {
        l->omitted++;
        return;
    }
    kept++;
    l->report->findings.push_back({severity, path, line, message});
}

std::string Relative(const Linter *l, const std::string &path)
{
    if (path.compare(0, l->data.size(), l->data) == 0)
        return path.substr(l->data.size());
    return path;
}

std::string FolderOf(const std::string &relative)
{
    size_t slash = relative.rfind('\\');
    return slash == std::string::npos ? "" : relative.substr(0, slash + 1);
}

std::string NameOf(const std::string &relative)
{
    size_t slash = relative.rfind('\\');
    return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

// Names in one folder that differ only in ASCII case: Windows opens them
// as one, so a pack that has both works differently there.
void CheckCaseClashes(Linter *l, const std::string &relative, const std::vector<ListedEntry> &entries)
{
    std::map<std::string, std::string> seen;  // lower-case name -> first as on disk
    for (const ListedEntry &e : entries) {
        auto first = seen.emplace(Lower(e.name), e.name);
        if (first.second)
            continue;
        std::string shown = relative + e.name + (e.folder ? "\\" : "");
        Add(l, LINT_ERROR, shown, 0,
            std::string(e.folder ? "폴더" : "파일") + " 이름이 " + relative + first.first->second +
                "와(과) 대소문자만 다릅니다: Windows에서는 둘이 하나로 열립니다");
    }
}

// Every file below `folder` (relative, ending with `\` or empty) into
// l->files. Folder links come as files (never followed), so the walk stays
// in the tree and ends.
void ListTree(Linter *l, const std::string &relative)
{
    std::vector<ListedEntry> entries = ListFolder(l->data + relative);
    CheckCaseClashes(l, relative, entries);
    for (const ListedEntry &e : entries) {
        std::string path = relative + e.name;
        if ((l->data + path).size() + (e.folder ? 1 : 0) >= VOR_MAX_PATH) {
            char text[160];
            snprintf(text, sizeof text, "경로가 %d바이트를 넘어 프로그램이 읽지 못합니다", (int)VOR_MAX_PATH - 1);
            Add(l, LINT_ERROR, path + (e.folder ? "\\" : ""), 0, text);
        } else if (e.folder) {
            ListTree(l, path + "\\");
        } else {
            l->files[Key(path)] = path;
        }
    }
}

bool Exists(const Linter *l, const std::string &relative)
{
    return l->files.count(Key(relative)) != 0;
}

// Marks a file as read by the program and its name as one its folder may hold.
void Claim(Linter *l, const std::string &relative)
{
    l->claimed.insert(Key(relative));
    l->expected[Key(FolderOf(relative))].insert(NameOf(relative));
}

// The quoted includes of a definition file, claimed as read (recursively,
// each file once). The preprocessor reports the ones it cannot open.
void ClaimIncludes(Linter *l, const std::string &relative)
{
    VorFile *file = FILE_Open((l->data + relative).c_str(), "rb");
    if (!file)
        return;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = FILE_Read(buffer, 1, sizeof buffer, file)) > 0 && text.size() < (1u << 20))
        text.append(buffer, n);
    FILE_Close(file);
    size_t at = 0;
    while ((at = text.find("#include", at)) != std::string::npos) {
        at += 8;
        size_t open = text.find_first_not_of(" \t", at);
        if (open == std::string::npos || text[open] != '"')
            continue;
        size_t close = text.find_first_of("\"\r\n", open + 1);
        if (close == std::string::npos || text[close] != '"')
            continue;
        std::string included = FolderOf(relative) + text.substr(open + 1, close - open - 1);
        if (Exists(l, included) && !l->claimed.count(Key(included))) {
            Claim(l, included);
            ClaimIncludes(l, included);
        }
    }
}

struct FolderKey {
    std::string key;
    std::string folder;  // relative, ending with `\`
};

// The credits a part carries into CREDITS.txt: a value that is not a
// string is dropped by the reader; a part without an author or a licence
// is credited as unknown, which a pack meant for sharing should not be.
void CheckCredits(Linter *l, const std::string &inf, const PartDefinition *def)
{
    for (int i = 0; i < PART_CREDIT_COUNT; i++)
        if (def->notString >> i & 1u)
            Add(l, LINT_ERROR, inf, 0,
                std::string(PartDefinition_CreditKey(i)) + " 값은 \"...\" 문자열이어야 합니다: 이 값은 읽히지 않습니다");
    // What CREDITS.txt and the parts window show of another person's pack:
    // a control character there could forge a line or drive a terminal,
    // so it is shown as \xHH and refused here.
    const struct {
        const char *key, *value;
    } shown[] = {{"Name", def->name}, {"Author", def->author}, {"License", def->license}, {"Url", def->url}};
    for (const auto &s : shown)
        if (Text_HasControl(s.value))
            Add(l, LINT_ERROR, inf, 0,
                std::string(s.key) + " 값에 줄바꿈, ESC 같은 제어 문자가 있습니다: CREDITS.txt와 부품 정보 창에는 \\xHH로 적힙니다");
    if (!def->author && !(def->notString >> PART_CREDIT_AUTHOR & 1u))
        Add(l, LINT_WARNING, inf, 0, "Author 문이 없어 CREDITS.txt에 그린 사람이 '알 수 없음'으로 적힙니다");
    if (!def->license && !(def->notString >> PART_CREDIT_LICENSE & 1u))
        Add(l, LINT_WARNING, inf, 0, "License 문이 없어 CREDITS.txt에 사용 조건이 '알 수 없음'으로 적힙니다");
}

// One part folder of a kind: its definition, read as the catalogue reads it
// but with the errors kept.
void CheckPartFolder(Linter *l, const std::string &folder, std::vector<FolderKey> *keys)
{
    std::string inf = folder + DATA_DEFINITION;
    if (!Exists(l, inf)) {
        Add(l, LINT_ERROR, folder, 0, "vor.inf가 없어 이 폴더는 목록에 나오지 않습니다");
        l->skipped.insert(Key(folder));
        return;
    }
    Claim(l, inf);
    ClaimIncludes(l, inf);
    PtrList *errors = PtrList_Create(8, 8);
    std::string infPath = l->data + l->files[Key(inf)];
    Preprocessor *pp = errors ? Preprocessor_OpenIn(infPath.c_str(), l->data.c_str(), errors) : nullptr;
    PartDefinition *def = pp ? ReadPartDefinition(pp) : nullptr;
    if (pp)
        Preprocessor_Close(pp);
    if (!def) {
        Add(l, LINT_ERROR, inf, 0, "vor.inf를 읽지 못했습니다");
    } else {
        for (int i = 0; i < PtrList_Count(errors); i++) {
            const PreprocessorError *e = (const PreprocessorError *)PtrList_Get(errors, i);
            Add(l, LINT_ERROR, Relative(l, e->fileName ? e->fileName : infPath), e->line + 1, e->message);
        }
        if (!def->name)
            Add(l, LINT_ERROR, inf, 0, "Name 문이 없어 이 폴더는 목록에 나오지 않습니다");
        if (!def->folder)
            Add(l, LINT_ERROR, inf, 0, "Folder 문이 없어 이 폴더는 목록에 나오지 않습니다");
        if (def->folder && def->name) {
            keys->push_back({def->folder, folder});
            CheckCredits(l, inf, def);
        } else
            l->skipped.insert(Key(folder));
    }
    PartDefinition_Free(def);
    PtrList_Destroy(errors, PreprocessorError_Free);
}

void CheckKindFolders(Linter *l, const Kind &kind)
{
    std::string kindFolder = std::string(kind.folder) + "\\";
    std::vector<FolderKey> keys;
    for (const ListedEntry &e : ListFolder(l->data + kindFolder))
        if (e.folder)
            CheckPartFolder(l, kindFolder + e.name + "\\", &keys);
    // Projects find a part by its key, and the first folder in key order
    // wins: every other folder with the same key can never be chosen back.
    std::stable_sort(keys.begin(), keys.end(),
                     [](const FolderKey &a, const FolderKey &b) { return strcmp(a.key.c_str(), b.key.c_str()) < 0; });
    for (size_t i = 1; i < keys.size(); i++)
        if (keys[i].key == keys[i - 1].key)
            Add(l, LINT_ERROR, keys[i].folder + DATA_DEFINITION, 0,
                "Folder \"" + keys[i].key + "\"를 " + keys[i - 1].folder +
                    " 폴더도 씁니다: 프로젝트는 이 키로 부품을 찾으므로 한쪽만 불러옵니다");
}

// ---- images ---------------------------------------------------------------

enum ImageState { IMAGE_BROKEN, IMAGE_TRANSPARENT, IMAGE_VISIBLE };

// Decodes and checks one image; whether it is fully transparent is for the
// caller to judge (an empty layer is normal in some expressions).
ImageState CheckImage(Linter *l, const std::string &relative, const ImageRole &role)
{
    std::string path = l->data + l->files[Key(relative)];
    LintImageFacts image = LintImages_Facts(&l->images, path);
    // The program refuses a part larger than this from its header, before
    // decoding; the measuring never decodes one either.
    if (image.tooLarge) {
        char refused[256];
        snprintf(refused, sizeof refused, "%s 그림(%d x %d)이 %d x %d보다 커서 프로그램이 읽지 않습니다", role.role,
                 image.width, image.height, (int)DIB_MAX_PART_SIDE, (int)DIB_MAX_PART_SIDE);
        Add(l, LINT_ERROR, relative, 0, refused);
        return IMAGE_BROKEN;
    }
    if (!image.decoded) {
        Add(l, LINT_ERROR, relative, 0,
            std::string(role.role) + " 그림을 읽을 수 없습니다: " +
                (image.png ? "PNG 데이터가 손상되었거나 지원하지 않는 형식입니다" : "PNG 파일이 아닙니다"));
        return IMAGE_BROKEN;
    }
    char text[256];
    if (image.width > LINT_PICTURE_WIDTH || image.height > LINT_PICTURE_HEIGHT) {
        snprintf(text, sizeof text, "그림(%d x %d)이 %d x %d 화면보다 큽니다: 넘치는 부분은 보이지 않습니다",
                 image.width, image.height, LINT_PICTURE_WIDTH, LINT_PICTURE_HEIGHT);
        Add(l, LINT_WARNING, relative, 0, text);
    }
    bool visible = image.visible;
    if (!visible)
        return IMAGE_TRANSPARENT;
    int share = role.recoloured ? image.colouredShare : 0;
    if (share >= COLOURED_SHARE_LIMIT) {
        snprintf(text, sizeof text, "%s은 색칠되는 그림이라 회색이어야 하는데 보이는 픽셀의 %d%%에 색이 있습니다: 색이 틀어져 칠해집니다",
                 role.role, share);
        Add(l, LINT_WARNING, relative, 0, text);
    }
    return IMAGE_VISIBLE;
}

std::string ImageName(const ImageRole &role, const char *key, const char *expression)
{
    std::string name = role.sub;
    if (role.stem == STEM_KEY)
        name += key;
    else if (role.stem == STEM_EXPRESSION)
        name += expression;
    return name + role.suffix;
}

// The images of one catalogue entry, as the character and dress models ask
// for them. A fully transparent image is reported only where it can never be
// meant: a required layer of a part without expressions, or a layer that is
// empty in every expression (a closed eye rightly has no highlight).
void CheckEntryImages(Linter *l, const Kind &kind, const PartEntry *entry, const PtrList *expressions)
{
    std::string folder = Relative(l, entry->path);
    bool perExpression = kind.roles[0].stem == STEM_EXPRESSION;
    int rounds = perExpression ? PtrList_Count(expressions) : 1;
    std::vector<int> shown(kind.roleCount, 0), empty(kind.roleCount, 0);
    std::string blank;  // expressions without any image
    int present = 0;
    for (int x = 0; x < rounds; x++) {
        const PartEntry *expr = (const PartEntry *)PtrList_Get(expressions, x);
        std::vector<const ImageRole *> missing;
        int found = 0;
        for (int r = 0; r < kind.roleCount; r++) {
            const ImageRole &role = kind.roles[r];
            std::string relative = folder + ImageName(role, entry->folder, expr->folder);
            Claim(l, relative);
            if (Exists(l, relative)) {
                found++;
                ImageState state = CheckImage(l, relative, role);
                shown[r] += state == IMAGE_VISIBLE;
                empty[r] += state == IMAGE_TRANSPARENT;
                if (state == IMAGE_TRANSPARENT && !perExpression && role.need == REQUIRED)
                    Add(l, LINT_WARNING, relative, 0, std::string(role.role) + " 그림이 완전히 투명합니다");
            } else if (role.need == REQUIRED) {
                missing.push_back(&role);
            }
        }
        present += found;
        if (perExpression && found == 0) {
            blank += std::string(blank.empty() ? "" : ", ") + expr->folder + "(" + expr->name + ")";
            continue;
        }
        for (const ImageRole *role : missing)
            Add(l, LINT_WARNING, folder + ImageName(*role, entry->folder, expr->folder), 0,
                std::string(role->role) + " 그림이 없습니다");
    }
    // One finding for all the expressions in which the face part is blank.
    if (!blank.empty())
        Add(l, LINT_ERROR, folder, 0, "그림이 하나도 없어 비어 보이는 표정: " + blank);
    if (perExpression)
        for (int r = 0; r < kind.roleCount; r++)
            if (empty[r] > 0 && shown[r] == 0)
                Add(l, LINT_WARNING, folder, 0,
                    std::string(kind.roles[r].role) + " 그림이 모든 표정에서 완전히 투명합니다");
    if (!perExpression && present == 0)
        Add(l, LINT_ERROR, folder, 0, "그림이 하나도 없어 이 부품은 보이지 않습니다");
}

// An eye's or mouth's frames for every expression, checked like the images
// they stand in for, and of the same size: a frame drawn on a canvas of
// another size would land elsewhere. The expressions without a frame are
// one note.
void CheckEntryFrames(Linter *l, const Kind &kind, const PartEntry *entry, const PtrList *expressions)
{
    std::string folder = Relative(l, entry->path);
    std::string without;
    int framed = 0, count = PtrList_Count(expressions);
    for (int x = 0; x < count; x++) {
        const PartEntry *expr = (const PartEntry *)PtrList_Get(expressions, x);
        int found = 0;
        for (int r = 0; r < kind.roleCount; r++) {
            const ImageRole &frame = kind.frameRoles[r];
            std::string relative = folder + ImageName(frame, entry->folder, expr->folder);
            Claim(l, relative);
            if (!Exists(l, relative))
                continue;
            found++;
            if (CheckImage(l, relative, frame) == IMAGE_BROKEN)
                continue;
            std::string still = folder + ImageName(kind.roles[r], entry->folder, expr->folder);
            if (!Exists(l, still))
                continue;
            LintImageFacts a = LintImages_Facts(&l->images, l->data + l->files[Key(relative)]);
            LintImageFacts b = LintImages_Facts(&l->images, l->data + l->files[Key(still)]);
            if (b.decoded && !b.tooLarge && (a.width != b.width || a.height != b.height)) {
                char text[256];
                snprintf(text, sizeof text, "%s 그림(%d x %d)이 대신하는 %s(%d x %d)와 크기가 달라 자리가 어긋납니다",
                         frame.role, a.width, a.height, NameOf(still).c_str(), b.width, b.height);
                Add(l, LINT_WARNING, relative, 0, text);
            }
        }
        framed += found > 0;
        if (!found)
            without += std::string(without.empty() ? "" : ", ") + expr->folder + "(" + expr->name + ")";
    }
    if (!framed)
        l->report->notes.push_back({LINT_NOTE, folder, 0, std::string(kind.frameName) + "이 없습니다: 내보낸 캐릭터가 움직이지 않습니다"});
    else if (!without.empty())
        l->report->notes.push_back({LINT_NOTE, folder, 0, std::string(kind.frameName) + "이 없는 표정: " + without});
}

// Whether the display name can be shown whole in the part lists.
void CheckName(Linter *l, const PartEntry *entry)
{
    std::string inf = Relative(l, entry->path) + DATA_DEFINITION;
    if (Text_HasControl(entry->name))
        return;  // an error already (CheckCredits)
    if (!PartLint_IsShowableCp949(entry->name))
        Add(l, LINT_WARNING, inf, 0, "Name에 CP949로 보일 수 없는 바이트가 있습니다 (파일이 CP949로 저장되었는지 확인하세요)");
    else if ((int)strlen(entry->name) > LINT_NAME_SHOWN_BYTES) {
        char text[200];
        snprintf(text, sizeof text, "Name이 %d바이트로, 목록에는 앞의 %d바이트(한글 %d자) 정도만 보입니다", (int)strlen(entry->name),
                 LINT_NAME_SHOWN_BYTES, LINT_NAME_SHOWN_BYTES / 2);
        Add(l, LINT_WARNING, inf, 0, text);
    }
}

// ---- files nobody reads -----------------------------------------------------

std::string Closest(const std::string &name, const std::set<std::string> &candidates)
{
    std::string best;
    int bestDistance = 0;
    for (const std::string &c : candidates) {
        int d = PartLint_NameDistance(name, c);
        if (best.empty() || d < bestDistance) {
            best = c;
            bestDistance = d;
        }
    }
    // A name that shares little with every candidate is no typo of one.
    if (best.empty() || bestDistance > (int)std::max(name.size(), best.size()) / 2)
        return "";
    return best;
}

// Each folder above the file is looked up once: the walk stays linear in
// the number of folders however many were skipped.
bool InSkippedFolder(const Linter *l, const std::string &keyedPath)
{
    for (size_t slash = keyedPath.find('\\'); slash != std::string::npos; slash = keyedPath.find('\\', slash + 1))
        if (l->skipped.count(keyedPath.substr(0, slash + 1)))
            return true;
    return false;
}

void CheckUnread(Linter *l)
{
    std::set<std::string> kindNames = {BODY_FOLDER};
    for (const Kind &k : KINDS)
        kindNames.insert(k.folder);
    std::set<std::string> reportedFolders;
    for (const auto &f : l->files) {
        const std::string &key = f.first, &path = f.second;
        if (l->claimed.count(key) || InSkippedFolder(l, key))
            continue;
        std::string top = Key(path.substr(0, path.find('\\')));
        if (path.find('\\') != std::string::npos && !kindNames.count(top)) {
            // A whole folder the program never looks into: once, for the folder.
            std::string folder = path.substr(0, top.size()) + "\\";
            if (reportedFolders.insert(top).second) {
                std::string near = Closest(top, kindNames);
                Add(l, LINT_WARNING, folder, 0,
                    near.empty() ? std::string("프로그램이 읽지 않는 폴더입니다")
                                 : "프로그램이 읽지 않는 폴더입니다 (비슷한 이름: " + near + ")");
            }
            continue;
        }
        auto names = l->expected.find(FolderOf(key));
        std::string near = names == l->expected.end() ? "" : Closest(NameOf(path), names->second);
        Add(l, LINT_WARNING, path, 0,
            near.empty() ? std::string("프로그램이 읽지 않는 파일입니다")
                         : "프로그램이 읽지 않는 파일입니다 (비슷한 이름: " + near + ")");
    }
}

// The colour dialog's presets, when the tree has its own.
void CheckPalette(Linter *l)
{
    if (!Exists(l, PALETTE_FILE_NAME))
        return;
    std::string relative = l->files[Key(PALETTE_FILE_NAME)];
    Claim(l, relative);
    ClaimIncludes(l, relative);
    Palette palette;
    Palette_Defaults(&palette);
    std::vector<PaletteProblem> problems;
    if (!Palette_Read((l->data + relative).c_str(), &palette, &problems)) {
        Add(l, LINT_ERROR, relative, 0, "palette.inf를 읽지 못했습니다: 기본 견본 색을 씁니다");
        return;
    }
    for (const PaletteProblem &p : problems)
        Add(l, LINT_ERROR, Relative(l, p.file), p.line, p.message);
}

}  // namespace

int PartLint_ColouredShare(const unsigned char *bgra, int count)
{
    long long visible = 0, coloured = 0;
    for (int i = 0; i < count; i++) {
        const unsigned char *p = bgra + (size_t)i * 4;
        if (p[3] < VISIBLE_ALPHA)
            continue;
        visible++;
        int lo = std::min(p[0], std::min(p[1], p[2])), hi = std::max(p[0], std::max(p[1], p[2]));
        if (hi - lo > GREY_TOLERANCE)
            coloured++;
    }
    return visible ? (int)(coloured * 100 / visible) : 0;
}

int PartLint_IsShowableCp949(const char *text)
{
    const unsigned char *p = (const unsigned char *)text;
    while (*p) {
        if (*p < 0x20 || *p == 0x7F || *p == 0x80 || *p == 0xFF)
            return 0;
        if (*p < 0x80) {
            p++;
            continue;
        }
        unsigned char trail = p[1];
        bool ok = (trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) || (trail >= 0x81 && trail <= 0xFE);
        if (!ok)
            return 0;
        p += 2;
    }
    return 1;
}

int PartLint_NameDistance(const std::string &a, const std::string &b)
{
    std::string x = Lower(a), y = Lower(b);
    std::vector<int> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); j++)
        row[j] = (int)j;
    for (size_t i = 1; i <= x.size(); i++) {
        int diagonal = row[0];
        row[0] = (int)i;
        for (size_t j = 1; j <= y.size(); j++) {
            int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

int PartLint_Run(const char *dataFolder, LintReport *report)
{
    return PartLint_RunWith(dataFolder, nullptr, report);
}

int PartLint_RunWith(const char *dataFolder, const LintOptions *options, LintReport *report)
{
    report->findings.clear();
    report->notes.clear();
    report->errors = report->warnings = 0;
    Linter l;
    l.omitted = 0;
    l.data = dataFolder ? dataFolder : "";
    l.report = report;
    // The program's own separator throughout, so that every path the
    // listing, the catalogue and the preprocessor give back shares its prefix.
    std::replace(l.data.begin(), l.data.end(), '/', '\\');
    if (l.data.empty() || l.data.back() != '\\')
        l.data += '\\';
    std::string bare = l.data.substr(0, l.data.size() - 1);
    if (!FileSys_FolderExists(bare.c_str()))
        return 0;
    ListTree(&l, "");
    // Every PNG of the tree is decoded ahead, on every core; the checks
    // below read the facts in their own order.
    std::vector<std::string> images;
    for (const auto &f : l.files)
        if (f.first.size() > 4 && f.first.compare(f.first.size() - 4, 4, ".png") == 0)
            images.push_back(l.data + f.second);
    LintImages_MeasureAll(images, options ? options->threads : 0, options ? options->progress : nullptr,
                          options ? options->user : nullptr, &l.images);

    Claim(&l, BODY_IMAGE);
    if (!Exists(&l, BODY_IMAGE))
        Add(&l, LINT_ERROR, BODY_IMAGE, 0, "기본 몸 그림이 없습니다: 옷이 없는 동안 몸이 보이지 않습니다");
    else if (CheckImage(&l, BODY_IMAGE, ImageRole{"", STEM_FIXED, DATA_BODY_IMAGE, "기본 몸", REQUIRED, false}) ==
             IMAGE_TRANSPARENT)
        Add(&l, LINT_WARNING, BODY_IMAGE, 0, "기본 몸 그림이 완전히 투명합니다");
    for (const Kind &kind : KINDS)
        CheckKindFolders(&l, kind);
    CheckPalette(&l);

    PartCatalog catalog = {};
    PartCatalog_Load(&catalog, l.data.c_str());
    for (const Kind &kind : KINDS) {
        const PtrList *list = PartCatalog_List(&catalog, kind.list);
        for (int i = 0; i < PtrList_Count(list); i++) {
            const PartEntry *entry = (const PartEntry *)PtrList_Get(list, i);
            if (!entry->path[0])
                continue;  // the built-in "none" accessory
            CheckName(&l, entry);
            CheckEntryImages(&l, kind, entry, catalog.expressions);
            if (kind.frameRoles)
                CheckEntryFrames(&l, kind, entry, catalog.expressions);
        }
    }
    PartCatalog_Free(&catalog);
    CheckUnread(&l);

    std::stable_sort(report->findings.begin(), report->findings.end(), [](const LintFinding &a, const LintFinding &b) {
        return a.path != b.path ? a.path < b.path : a.line < b.line;
    });
    std::stable_sort(report->notes.begin(), report->notes.end(),
                     [](const LintFinding &a, const LintFinding &b) { return a.path < b.path; });
    if (l.omitted > 0) {
        char text[200];
        snprintf(text, sizeof text, "그 밖에 %ld건은 적지 않았습니다 (파일마다 %d건, 모두 %d건까지 적습니다)", l.omitted,
                 (int)LINT_MAX_PER_FILE, (int)LINT_MAX_FINDINGS);
        report->findings.push_back({LINT_WARNING, "", 0, text});
    }
    return 1;
}
