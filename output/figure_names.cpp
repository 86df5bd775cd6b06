// The names of a figure set, checked before anything is written.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

#include "catalog/part_catalog.h"
#include "output/export_tag.h"
#include "output/figure_names.h"

// What the frames beside a pair's picture add to its file stem.
static const char *const FRAME_SUFFIXES[] = {"blink", "talk"};

int FigureNames_IsDeviceName(const char *name)
{
    static const char *const DEVICES[] = {"con", "nul", "aux", "prn"};
    char lower[8];
    size_t n = strlen(name);
    if (n < 3 || n > 4)
        return 0;
    for (size_t i = 0; i <= n; i++)
        lower[i] = (char)tolower((unsigned char)name[i]);
    for (const char *device : DEVICES)
        if (strcmp(lower, device) == 0)
            return 1;
    // com1 .. com9 and lpt1 .. lpt9 (com0 and lpt0 are ordinary names).
    return n == 4 && (memcmp(lower, "com", 3) == 0 || memcmp(lower, "lpt", 3) == 0) && lower[3] >= '1' &&
           lower[3] <= '9';
}

const char *FigureNames_Problem(const char *name)
{
    if (const char *problem = ExportTag_WordProblem(name, FIGURE_NAME_MAX, 1))
        return problem;
    if (!isalnum((unsigned char)name[0]))
        return "영문자나 숫자로 시작해야 합니다.";
    if (FigureNames_IsDeviceName(name))
        return "Windows 가 장치 이름으로 쓰는 이름입니다. (con, nul, aux, prn, com1~9, lpt1~9)";
    return nullptr;
}

std::string FigureNames_Stem(const FigureNames *names, int style, int expression, const char *frame)
{
    std::string stem = names->styles[style] + "_" + names->expressions[expression];
    if (frame)
        stem += std::string("_") + frame;
    return stem;
}

// A file of the set with the words that name its pair in a message.
struct FigureFile {
    std::string stem;
    std::string said;
};

int FigureNames_Gather(const Character *ch, const Wardrobe *w, const char *typedTag, const char *format,
                       int frames, FigureNames *names, char *message, size_t size)
{
    *names = FigureNames();
    if (!ExportTag_Choose(ch, typedTag, FigureNames_Problem, format, nullptr, &names->tag, message, size))
        return 0;
    const PtrList *expressions = ch->catalog->expressions;
    for (int j = 0; j < PtrList_Count(expressions); j++) {
        const PartEntry *entry = (const PartEntry *)PtrList_Get(expressions, j);
        if (const char *problem = FigureNames_Problem(entry->folder)) {
            snprintf(message, size, "표정 \"%s\" 은(는) %s 파일 이름으로 쓸 수 없습니다:\n\n%s", entry->folder, format,
                     problem);
            return 0;
        }
        names->expressions.push_back(entry->folder);
        names->expressionLabels.push_back(entry->name ? entry->name : "");
    }
    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        const DressStyle *s = Wardrobe_StyleAt(w, i);
        if (s->checkState != STYLE_CHECKED)
            continue;
        const char *folder = s->outputFolder ? s->outputFolder : "";
        const char *styleName = s->name ? s->name : "";
        if (const char *problem = FigureNames_Problem(folder)) {
            snprintf(message, size, "스타일 \"%s\" 의 출력 폴더명 \"%s\" 은(는) %s 파일 이름으로 쓸 수 없습니다:\n\n%s",
                     styleName, folder, format, problem);
            return 0;
        }
        names->styles.push_back(folder);
        names->styleIndex.push_back(i);
        names->styleLabels.push_back(styleName);
    }
    if (names->styles.empty() || names->expressions.empty()) {
        snprintf(message, size, "출력할 스타일이나 표정이 없습니다.");
        return 0;
    }
    // Two checked styles with one output folder would write one picture
    // over the other; so would `a_b` + `c` and `a` + `b_c`.
    std::vector<FigureFile> files;
    for (size_t i = 0; i < names->styles.size(); i++)
        for (size_t j = 0; j < names->expressions.size(); j++) {
            std::string said = "스타일 \"" + names->styleLabels[i] + "\" (" + names->styles[i] + ") 의 표정 \"" +
                               names->expressions[j] + "\"";
            files.push_back({FigureNames_Stem(names, (int)i, (int)j), said});
            if (frames)
                for (const char *frame : FRAME_SUFFIXES)
                    files.push_back({FigureNames_Stem(names, (int)i, (int)j, frame), said + " (" + frame + ")"});
        }
    std::map<std::string, size_t> seen;  // lower-cased stem: its file
    for (size_t a = 0; a < files.size(); a++) {
        std::string lower = files[a].stem;
        for (char &c : lower)
            c = (char)tolower((unsigned char)c);
        auto found = seen.emplace(lower, a);
        if (!found.second) {
            const FigureFile &b = files[found.first->second];
            snprintf(message, size, "%s 와(과) %s 가 같은 파일 이름 \"%s.png\" 이 됩니다. 하나를 바꿔 주세요.",
                     b.said.c_str(), files[a].said.c_str(), files[a].stem.c_str());
            return 0;
        }
    }
    return 1;
}
