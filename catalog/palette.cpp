// Reading `palette.inf`: statements `Name = number, number, ...;` through the
// definition-file preprocessor, so macros and includes work as in `vor.inf`.
#include "catalog/palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/part_definition.h"
#include "catalog/preprocessor.h"

const char PALETTE_FILE_NAME[] = "palette.inf";

namespace {

const char *const LIST_NAMES[PALETTE_KINDS] = {"Hair", "Eye", "Mouth", "Neutral"};

// Chosen by eye on the sample parts: natural hair first, then the common
// drawn colours; eyes from dark to light; lip tones; a neutral dress set.
const HlsColour DEFAULT_HAIR[] = {{170, 30, 40},  {15, 50, 110},  {18, 85, 120}, {8, 100, 190},
                                  {30, 170, 170}, {35, 215, 90},  {170, 180, 20}, {235, 190, 200},
                                  {160, 110, 170}, {195, 100, 120}, {120, 110, 130}, {0, 110, 200}};
const HlsColour DEFAULT_EYE[] = {{18, 70, 130},  {30, 90, 110},  {85, 90, 140},  {150, 110, 180}, {140, 160, 180},
                                 {150, 140, 30}, {0, 100, 200},  {190, 110, 130}, {35, 130, 210}, {170, 40, 30}};
const HlsColour DEFAULT_MOUTH[] = {{250, 170, 120}, {245, 140, 150}, {5, 130, 140}, {10, 155, 140},
                                   {240, 110, 170}, {250, 95, 130},  {12, 120, 90}, {0, 100, 180}};
const HlsColour DEFAULT_NEUTRAL[] = {{0, 245, 0},    {0, 190, 0},   {0, 128, 0},     {0, 64, 0},
                                     {0, 20, 0},     {160, 50, 120}, {35, 220, 120}, {25, 180, 80},
                                     {18, 80, 100},  {245, 70, 140}, {90, 60, 100},  {0, 110, 200}};

void SetList(Palette *p, int kind, const HlsColour *colours, int count)
{
    p->count[kind] = count;
    for (int i = 0; i < count; i++)
        p->colours[kind][i] = colours[i];
}

int KindOf(const Token *token)
{
    if (token->kind != TOKEN_IDENTIFIER)
        return -1;
    for (int k = 0; k < PALETTE_KINDS; k++)
        if (strcmp(token->text, LIST_NAMES[k]) == 0)
            return k;
    return -1;
}

struct Reader {
    Preprocessor *pp;
    Token token;
    std::string path;
    std::vector<PaletteProblem> *problems;
    int problemCount;  // all found, kept or not
};

// A whole number as the author most likely wrote it (in hexadecimal, as
// 32 bits); a fraction as it is.
std::string ShownNumber(const char *text)
{
    if (strchr(text, '.'))
        return text;
    char shown[16];
    snprintf(shown, sizeof shown, "0x%X", (unsigned)strtoll(text, nullptr, 10));
    return shown;
}

// At the line the reading stands on, in the file it stands in.
void Problem(Reader *r, const std::string &message)
{
    if (r->problems && r->problemCount++ < PALETTE_MAX_PROBLEMS)
        r->problems->push_back({Preprocessor_FileName(r->pp), Preprocessor_ReadingLine(r->pp) + 1, message});
}

// A colour is a whole number from 0 to 0xFFFFFF. Numbers arrive as decimal
// text (a hexadecimal one as its signed 32-bit value): a fraction, a minus
// sign or more than 24 bits is no colour.
bool IsColourNumber(const char *text)
{
    unsigned long value = 0;
    if (!*text)
        return false;
    for (; *text; text++) {
        if (*text < '0' || *text > '9')
            return false;
        value = value * 10 + (unsigned long)(*text - '0');
        if (value > 0xFFFFFFul)
            return false;
    }
    return true;
}

// One statement from r->token on; returns with r->token on its `;` or where
// it broke off.
void ReadStatement(Reader *r, Palette *palette)
{
    int kind = KindOf(&r->token);
    if (kind < 0) {
        Problem(r, std::string("알 수 없는 문입니다: ") + r->token.text +
                       " (Hair, Eye, Mouth, Neutral 중 하나)");
        return;
    }
    Preprocessor_Next(r->pp, &r->token);
    if (r->token.kind != TOKEN_ASSIGN) {
        Problem(r, std::string(LIST_NAMES[kind]) + " 뒤에 = 이 없습니다");
        return;
    }
    HlsColour colours[PALETTE_MAX_SWATCHES];
    int count = 0, dropped = 0;
    for (;;) {
        Preprocessor_Next(r->pp, &r->token);
        if (r->token.kind != TOKEN_NUMBER) {
            Problem(r, std::string(LIST_NAMES[kind]) + ": 색은 0xHHLLSS 숫자로 적습니다");
            return;
        }
        if (!IsColourNumber(r->token.text)) {
            Problem(r, std::string(LIST_NAMES[kind]) + ": " + ShownNumber(r->token.text) +
                           "은(는) 색이 아닙니다: 0x000000부터 0xFFFFFF까지의 정수로 적습니다");
            return;
        }
        if (count < PALETTE_MAX_SWATCHES)
            colours[count++] = PartDefinition_ColourFromNumber(r->token.text);
        else
            dropped++;
        Preprocessor_Next(r->pp, &r->token);
        if (r->token.kind == TOKEN_SEMICOLON)
            break;
        if (r->token.kind != TOKEN_COMMA) {
            Problem(r, std::string(LIST_NAMES[kind]) + ": 색 사이에는 , 끝에는 ; 를 적습니다");
            return;
        }
    }
    if (dropped)
        Problem(r, std::string(LIST_NAMES[kind]) + ": 견본은 12개까지 보입니다; 나머지 " + std::to_string(dropped) +
                       "개는 쓰지 않습니다");
    SetList(palette, kind, colours, count);
}

}  // namespace

void Palette_Defaults(Palette *palette)
{
    SetList(palette, PALETTE_HAIR, DEFAULT_HAIR, (int)(sizeof DEFAULT_HAIR / sizeof DEFAULT_HAIR[0]));
    SetList(palette, PALETTE_EYE, DEFAULT_EYE, (int)(sizeof DEFAULT_EYE / sizeof DEFAULT_EYE[0]));
    SetList(palette, PALETTE_MOUTH, DEFAULT_MOUTH, (int)(sizeof DEFAULT_MOUTH / sizeof DEFAULT_MOUTH[0]));
    SetList(palette, PALETTE_NEUTRAL, DEFAULT_NEUTRAL,
            (int)(sizeof DEFAULT_NEUTRAL / sizeof DEFAULT_NEUTRAL[0]));
}

const char *Palette_ListName(int kind)
{
    return kind >= 0 && kind < PALETTE_KINDS ? LIST_NAMES[kind] : "";
}

int Palette_Read(const char *path, Palette *palette, std::vector<PaletteProblem> *problems)
{
    PtrList *errors = PtrList_Create(8, 8);
    Preprocessor *pp = errors ? Preprocessor_Open(path, errors) : nullptr;
    if (!pp) {
        PtrList_Destroy(errors, PreprocessorError_Free);
        return 0;
    }
    Reader r = {pp, {}, path, problems, 0};
    Preprocessor_Next(pp, &r.token);
    while (!Preprocessor_AtEnd(pp)) {
        ReadStatement(&r, palette);
        // Skip whatever is left of the statement, its `;` included.
        while (r.token.kind != TOKEN_SEMICOLON && !Preprocessor_AtEnd(pp))
            Preprocessor_Next(pp, &r.token);
        if (r.token.kind == TOKEN_SEMICOLON)
            Preprocessor_Next(pp, &r.token);
    }
    Preprocessor_Close(pp);
    if (problems && r.problemCount > PALETTE_MAX_PROBLEMS)
        problems->push_back({path, 0, "문제가 " + std::to_string(r.problemCount - PALETTE_MAX_PROBLEMS) +
                                          "건 더 있습니다 (앞의 " + std::to_string((int)PALETTE_MAX_PROBLEMS) +
                                          "건만 적었습니다)"});
    for (int i = 0; problems && i < PtrList_Count(errors); i++) {
        const PreprocessorError *e = (const PreprocessorError *)PtrList_Get(errors, i);
        problems->push_back({e->fileName ? e->fileName : path, e->line + 1, e->message});
    }
    PtrList_Destroy(errors, PreprocessorError_Free);
    return 1;
}
