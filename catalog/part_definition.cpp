// The reader of definition files: picks the Name, Folder and Color
// statements out of the preprocessor's tokens. A value is stored as soon as
// it is seen, so a statement that breaks off after its value still counts.
#include "catalog/part_definition.h"

#include <cstdlib>
#include <cstring>

#include "catalog/preprocessor.h"
#include "core/util.h"

enum StatementKey { KEY_NONE, KEY_NAME, KEY_FOLDER, KEY_COLOR, KEY_AUTHOR, KEY_LICENSE, KEY_URL };

// The credit statements in PartCredit order, from KEY_AUTHOR on.
static const char *const CREDIT_KEYS[PART_CREDIT_COUNT] = {"Author", "License", "Url"};

const char *PartDefinition_CreditKey(int credit)
{
    return credit >= 0 && credit < PART_CREDIT_COUNT ? CREDIT_KEYS[credit] : nullptr;
}

static StatementKey KeyOf(const Token *token)
{
    if (token->kind != TOKEN_IDENTIFIER)
        return KEY_NONE;
    if (strcmp(token->text, "Name") == 0)
        return KEY_NAME;
    if (strcmp(token->text, "Folder") == 0)
        return KEY_FOLDER;
    if (strcmp(token->text, "Color") == 0)
        return KEY_COLOR;
    for (int i = 0; i < PART_CREDIT_COUNT; i++)
        if (strcmp(token->text, CREDIT_KEYS[i]) == 0)
            return (StatementKey)(KEY_AUTHOR + i);
    return KEY_NONE;
}

static void ReplaceText(char **field, const char *value)
{
    char *copy = Str_Dup(value);
    if (!copy)
        return;
    free(*field);
    *field = copy;
}

// The colour is the integer of the number's leading digits, as 0xHHLLSS.
// Digits beyond 32 bits wrap, so every build reads an overlong number alike
// (a hexadecimal number arrives as signed decimal and may start with '-').
HlsColour PartDefinition_ColourFromNumber(const char *text)
{
    int negative = (*text == '-');
    if (negative)
        text++;
    uint32_t bits = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        bits = bits * 10u + (uint32_t)(*text - '0');
    if (negative)
        bits = 0u - bits;
    HlsColour color;
    color.hue = (uint8_t)(bits >> 16);
    color.luminance = (uint8_t)(bits >> 8);
    color.saturation = (uint8_t)bits;
    return color;
}

// Reads one statement starting at `token`. Returns 1 when it was complete
// up to its `;`; otherwise `token` is where it broke off.
static int ReadStatement(Preprocessor *pp, PartDefinition *def, Token *token)
{
    StatementKey key = KeyOf(token);
    if (key == KEY_NONE)
        return 0;
    Preprocessor_Next(pp, token);
    if (token->kind != TOKEN_ASSIGN)
        return 0;
    Preprocessor_Next(pp, token);
    if (key == KEY_COLOR) {
        if (token->kind != TOKEN_NUMBER)
            return 0;
        def->color = PartDefinition_ColourFromNumber(token->text);
    } else if (key >= KEY_AUTHOR) {
        int credit = key - KEY_AUTHOR;
        if (token->kind != TOKEN_STRING) {
            def->notString |= 1u << credit;
            return 0;
        }
        char **fields[PART_CREDIT_COUNT] = {&def->author, &def->license, &def->url};
        ReplaceText(fields[credit], token->text);
    } else {
        if (token->kind != TOKEN_STRING)
            return 0;
        ReplaceText(key == KEY_NAME ? &def->name : &def->folder, token->text);
    }
    Preprocessor_Next(pp, token);
    return token->kind == TOKEN_SEMICOLON;
}

PartDefinition *ReadPartDefinition(Preprocessor *pp)
{
    PartDefinition *def = (PartDefinition *)calloc(1, sizeof(PartDefinition));
    if (!def)
        return nullptr;
    Token token;
    Preprocessor_Next(pp, &token);
    while (!Preprocessor_AtEnd(pp)) {
        if (!ReadStatement(pp, def, &token)) {
            // Skip the broken statement up to and including its `;`.
            while (token.kind != TOKEN_SEMICOLON && !Preprocessor_AtEnd(pp))
                Preprocessor_Next(pp, &token);
        }
        if (token.kind == TOKEN_SEMICOLON)
            Preprocessor_Next(pp, &token);
    }
    return def;
}

void PartDefinition_Free(PartDefinition *def)
{
    if (!def)
        return;
    free(def->name);
    free(def->folder);
    free(def->path);
    free(def->author);
    free(def->license);
    free(def->url);
    free(def);
}
