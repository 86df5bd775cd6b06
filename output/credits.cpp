// The export's credits (see credits.h).
#include "output/credits.h"

#include <cstdio>
#include <cstring>

#include "core/services/filesys.h"
#include "core/text_controls.h"
#include "core/text_cp949.h"
#include "output/export.h"
#include "output/export_format.h"

namespace {

const char UNKNOWN[] = "알 수 없음";

// A value as the list shows it: a pack's texts are copied into a file and a
// window other people read, so a line break cannot forge an entry and an
// escape sequence cannot reach a terminal; each control shows as \xHH.
std::string Shown(const char *value, const char *absent = "")
{
    return value ? Text_ShowControls(value) : absent;
}

// The kinds as the list names them, in PartListId order; the expressions
// are built in and drawn by nobody.
const char *const KIND_NAMES[PART_LIST_COUNT] = {"머리", "옷", "눈", "눈썹", "입", "볼", "장신구", nullptr};

void Note(ExportCredits *credits, int list, int index)
{
    if (index < 0)
        return;
    std::vector<char> &used = credits->used[list];
    if ((size_t)index >= used.size())
        used.resize((size_t)index + 1, 0);
    used[(size_t)index] = 1;
}

// Export_VisitPictures' steps for noting only: nothing is shown, and the
// face parts do not depend on the style or the expression.
struct NoteOnly {
    ExportCredits *credits;
    const Character *ch;
};
void StayStyle(void *, int) {}
void StayExpression(void *, int) {}
void NotePicture(void *context, const ExportPicture *picture)
{
    NoteOnly *n = (NoteOnly *)context;
    Credits_NotePicture(n->credits, n->ch, picture->style);
}

}  // namespace

void Credits_NotePicture(ExportCredits *credits, const Character *ch, const DressStyle *style)
{
    credits->pictures++;
    Note(credits, PART_LIST_HAIR, ch->frontHair);
    Note(credits, PART_LIST_HAIR, ch->backHair);
    Note(credits, PART_LIST_EYE, ch->eye);
    Note(credits, PART_LIST_BROW, ch->brow);
    Note(credits, PART_LIST_MOUTH, ch->mouth);
    Note(credits, PART_LIST_CHEEK, ch->cheek);
    if (!style)
        return;
    Note(credits, PART_LIST_DRESS, style->dress);
    for (int i = 0; i < AccessorySet_Count(style->accessories); i++) {
        int kind = AccessorySet_Get(style->accessories, i)->kind;
        if (kind > 0)  // 0 is the built-in "none"
            Note(credits, PART_LIST_ACCESSORY, kind);
    }
}

void Credits_NoteExport(ExportCredits *credits, const Character *ch, const Wardrobe *w)
{
    NoteOnly n = {credits, ch};
    ExportSteps steps = {&n, StayStyle, StayExpression, NotePicture};
    Export_VisitPictures(ch, w, &steps);
}

std::string Credits_Text(const ExportCredits *credits, const PartCatalog *catalog, const char *name)
{
    std::string text = "; CREDITS.txt: \"" + Shown(name) + "\"의 그림에 쓰인 부품\r\n";
    int parts = 0;
    for (int list = 0; list < PART_LIST_COUNT; list++) {
        const PtrList *entries = PartCatalog_List(catalog, list);
        const std::vector<char> &used = credits->used[list];
        for (size_t i = 0; i < used.size() && KIND_NAMES[list]; i++) {
            const PartEntry *e = used[i] ? (const PartEntry *)PtrList_Get(entries, (int)i) : nullptr;
            if (!e || !e->path[0])
                continue;
            parts++;
            text += std::string("\r\n[") + KIND_NAMES[list] + "] " + Shown(e->name) + " (" + Shown(e->folder) + ")\r\n";
            text += "그린 사람: " + Shown(e->author, UNKNOWN) + "\r\n";
            text += "사용 조건: " + Shown(e->license, UNKNOWN) + "\r\n";
            text += "주소: " + Shown(e->url, UNKNOWN) + "\r\n";
        }
    }
    if (parts == 0)
        text += "\r\n(내보내는 그림이 없습니다)\r\n";
    return text;
}

std::string Credits_FileBytes(const ExportCredits *credits, const PartCatalog *catalog, const char *name)
{
    return Cp949_ToUtf8(Credits_Text(credits, catalog, name).c_str());
}

// ---- the sink: CREDITS.txt beside macro.txt ----------------------------------

namespace {

struct CreditsSink {
    std::string base;
};

void CreditsSink_Finish(void *state, ExportDriver *driver)
{
    const Character *ch = ExportDriver_Character(driver);
    const char *name = ch->name ? ch->name : "";
    ExportPath path = ExportPath_Below(((CreditsSink *)state)->base.c_str(), Export_CharacterFileName(name, CREDITS_FILE));
    if (!path.fits) {
        ExportDriver_Report(driver, path.shown, FILEWRITE_PATH_TOO_LONG);
        return;
    }
    std::string utf8 = Credits_FileBytes(ExportDriver_Credits(driver), ch->catalog, name);
    ExportDriver_Report(driver, path.shown, Export_WriteBytesFile(path.path, utf8.data(), utf8.size()));
}

void CreditsSink_Release(void *state)
{
    delete (CreditsSink *)state;
}

}  // namespace

ExportSink CreditsSink_Make(const char *base)
{
    return ExportSink{new CreditsSink{base}, nullptr, nullptr, CreditsSink_Finish, nullptr, CreditsSink_Release, 0, 1};
}
