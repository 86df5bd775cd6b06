// The Ren'Py export's names: the tag and the attribute names, checked before
// anything is written.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "catalog/part_catalog.h"
#include "core/text_cp949.h"
#include "editor/name_rules.h"
#include "output/export_tag.h"
#include "output/renpy_export.h"

// The words Ren'Py's parser never takes as a part of an image name: a
// `show` statement would stop its attributes there. (The layeredimage
// statement's own words, "default" among them, read fine as names.)
static const char *const RESERVED[] = {
    "as", "at", "behind", "call", "expression", "hide", "if", "in", "image", "init", "jump",
    "menu", "onlayer", "python", "return", "scene", "show", "with", "while", "zorder", "transform",
};

const char *RenPy_NameProblem(const char *name)
{
    if (const char *problem = ExportTag_WordProblem(name, RENPY_NAME_MAX, 0))
        return problem;
    if (!isalpha((unsigned char)name[0]))
        return "영문자로 시작해야 합니다.";
    for (const char *word : RESERVED)
        if (strcmp(name, word) == 0)
            return "Ren'Py 가 예약한 단어입니다.";
    return nullptr;
}

// Python's keywords and the names Ren'Py's own store gives meaning to:
// `define <tag> = Character(...)` would fail to parse or replace them.
static const char *const STORE_NAMES[] = {
    "False", "None", "True", "and", "assert", "async", "await", "break", "class", "continue", "def", "del",
    "elif", "else", "except", "finally", "for", "from", "global", "import", "is", "lambda", "nonlocal", "not",
    "or", "pass", "raise", "try", "yield", "achievement", "adv", "audio", "build", "centered", "config",
    "director", "extend", "gui", "im", "layeredimage", "library", "narrator", "nvl", "persistent",
    "preferences", "renpy", "store", "style", "theme", "ui", "updater", "voice",
};

const char *RenPy_SpeakerProblem(const char *tag)
{
    for (const char *word : STORE_NAMES)
        if (strcmp(tag, word) == 0)
            return "Ren'Py 게임의 파이썬 이름과 겹쳐 캐릭터(define)의 이름으로 쓸 수 없습니다.";
    // Names Ren'Py keeps for itself start with an underscore; the export's
    // own helpers with vor_.
    if (tag[0] == '_' || strncmp(tag, "vor_", 4) == 0)
        return "_ 나 vor_ 로 시작하는 이름은 Ren'Py 와 내보내기가 씁니다.";
    return nullptr;
}

static bool SameIgnoringCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return false;
    return true;
}

// The tag names the script and the images' folder (<tag>.rpy, images\<tag>\):
// a Windows device name can be neither, and a refusal after the images
// would leave a folder of images without a script.
static const char *RenPy_TagProblem(const char *tag)
{
    if (const char *problem = RenPy_NameProblem(tag))
        return problem;
    if (Name_IsDeviceName(tag))
        return "Windows 장치 이름(con, nul, aux, prn, com1~com9, lpt1~lpt9)은 파일 이름이 될 수 없습니다.";
    return nullptr;
}

int RenPy_Validate(const Character *ch, const Wardrobe *w, const char *typedTag, RenPyNames *names,
                   char *message, size_t size)
{
    *names = RenPyNames();
    if (!ExportTag_Choose(ch, typedTag, RenPy_TagProblem, "Ren'Py", "(ASCII 영문자로 시작하고 영문자, 숫자, _ 만 쓴 이름)",
                          &names->tag, message, size))
        return 0;
    if (const char *problem = RenPy_SpeakerProblem(names->tag.c_str())) {
        snprintf(message, size, "Ren'Py 태그 \"%s\" 는 쓸 수 없습니다:\n\n%s", names->tag.c_str(), problem);
        return 0;
    }
    // Every attribute with the words that name it in a message.
    std::vector<std::string> said;
    const PtrList *expressions = ch->catalog->expressions;
    for (int j = 0; j < PtrList_Count(expressions); j++) {
        const char *folder = ((const PartEntry *)PtrList_Get(expressions, j))->folder;
        if (const char *problem = RenPy_NameProblem(folder)) {
            snprintf(message, size, "표정 \"%s\" 은(는) Ren'Py 속성 이름으로 쓸 수 없습니다:\n\n%s", folder, problem);
            return 0;
        }
        names->expressions.push_back(folder);
        names->labels.push_back(Cp949_ToUtf8(((const PartEntry *)PtrList_Get(expressions, j))->name));
        said.push_back(std::string("표정 \"") + folder + "\"");
    }
    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        const DressStyle *s = Wardrobe_StyleAt(w, i);
        if (s->checkState != STYLE_CHECKED)
            continue;
        const char *folder = s->outputFolder ? s->outputFolder : "";
        const char *styleName = s->name ? s->name : "";
        if (const char *problem = RenPy_NameProblem(folder)) {
            snprintf(message, size, "스타일 \"%s\" 의 출력 폴더명 \"%s\" 은(는) Ren'Py 속성 이름으로 쓸 수 없습니다:\n\n%s",
                     styleName, folder, problem);
            return 0;
        }
        names->styles.push_back(folder);
        names->styleIndex.push_back(i);
        said.push_back(std::string("스타일 \"") + styleName + "\" 의 출력 폴더명 \"" + folder + "\"");
    }
    if (names->styles.empty() || names->expressions.empty()) {
        snprintf(message, size, "출력할 스타일이나 표정이 없습니다.");
        return 0;
    }
    std::vector<std::string> all = names->expressions;
    all.insert(all.end(), names->styles.begin(), names->styles.end());
    // The export's own attribute, first so that a clash names it first.
    all.insert(all.begin(), RENPY_NO_BLINK);
    said.insert(said.begin(), "눈 깜빡임을 멈추는 속성 \"" RENPY_NO_BLINK "\"");
    for (size_t a = 0; a < all.size(); a++)
        for (size_t b = 0; b < a; b++)
            if (SameIgnoringCase(all[a], all[b])) {
                snprintf(message, size, "%s 와(과) %s 가 같은 Ren'Py 속성 이름이 됩니다. 하나를 바꿔 주세요.",
                         said[b].c_str(), said[a].c_str());
                return 0;
            }
    names->defaultExpression = ch->expression >= 0 && ch->expression < (int)names->expressions.size() ? ch->expression : 0;
    names->speaker = Cp949_ToUtf8(ch->name ? ch->name : "");
    names->frames = RenPy_TakeFrames(ch);
    return 1;
}
