// TokenIn_Read: classifies raw tokens into operators and keywords.
//
// Blanks are skipped, `#` and a lone `\` get their own kinds, a `\` before a
// line break joins the lines, operator characters combine into the longest
// operator of the table, words are looked up among the keywords, and a
// string absorbs the strings that directly follow it.
#include <cstring>

#include "catalog/token_in.h"

// In ascending byte order: the binary search depends on it, and a keyword's
// kind is TOKEN_FIRST_KEYWORD plus its position.
static const char *const kKeywords[] = {
    "auto",   "break",  "case",   "char",     "continue", "default", "do",
    "double", "else",   "extern", "float",    "for",      "goto",    "if",
    "int",    "long",   "register", "return", "short",    "signed",  "sizeof",
    "static", "struct", "switch", "typedef",  "union",    "unsigned", "void",
    "while",
};
enum { KEYWORD_COUNT = sizeof kKeywords / sizeof kKeywords[0] };
static_assert(KEYWORD_COUNT == TOKEN_LAST_KEYWORD - TOKEN_FIRST_KEYWORD + 1, "keyword table and codes disagree");

struct OperatorSpelling {
    const char *text;
    int kind;
};

static const OperatorSpelling kOperators[] = {
    {"(", TOKEN_LPAREN},        {")", TOKEN_RPAREN},         {"[", TOKEN_LBRACKET},
    {"]", TOKEN_RBRACKET},      {"{", TOKEN_LBRACE},         {"}", TOKEN_RBRACE},
    {",", TOKEN_COMMA},         {";", TOKEN_SEMICOLON},      {":", TOKEN_COLON},
    {"->", TOKEN_ARROW},        {".", TOKEN_DOT},            {"!", TOKEN_NOT},
    {"~", TOKEN_TILDE},         {"++", TOKEN_INCREMENT},     {"--", TOKEN_DECREMENT},
    {"*", TOKEN_STAR},          {"/", TOKEN_SLASH},          {"%", TOKEN_PERCENT},
    {"+", TOKEN_PLUS},          {"-", TOKEN_MINUS},          {"<<", TOKEN_SHIFT_LEFT},
    {">>", TOKEN_SHIFT_RIGHT},  {"<", TOKEN_LESS},           {"<=", TOKEN_LESS_EQUAL},
    {">", TOKEN_GREATER},       {">=", TOKEN_GREATER_EQUAL}, {"==", TOKEN_EQUAL},
    {"!=", TOKEN_NOT_EQUAL},    {"&", TOKEN_AMPERSAND},      {"|", TOKEN_BAR},
    {"&&", TOKEN_AND},          {"||", TOKEN_OR},            {"=", TOKEN_ASSIGN},
    {"*=", TOKEN_STAR_ASSIGN},  {"/=", TOKEN_SLASH_ASSIGN},  {"%=", TOKEN_PERCENT_ASSIGN},
    {"+=", TOKEN_PLUS_ASSIGN},  {"-=", TOKEN_MINUS_ASSIGN},  {"<<=", TOKEN_SHIFT_LEFT_ASSIGN},
    {">>=", TOKEN_SHIFT_RIGHT_ASSIGN}, {"&=", TOKEN_AND_ASSIGN}, {"|=", TOKEN_OR_ASSIGN},
};

static int KeywordKind(const char *word)
{
    int low = 0, high = KEYWORD_COUNT - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        int order = strcmp(word, kKeywords[middle]);
        if (order == 0)
            return TOKEN_FIRST_KEYWORD + middle;
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return TOKEN_IDENTIFIER;
}

static int OperatorKind(const char *text)
{
    for (const OperatorSpelling &op : kOperators)
        if (strcmp(op.text, text) == 0)
            return op.kind;
    return -1;
}

// Greedy growth finds the longest operator because every three-character
// operator starts with a two-character one.
static void CombineOperator(TokenIn *t, Token *token)
{
    size_t length = 1;
    while (length < 3 && t->current != 0) {
        token->text[length] = (char)t->current;
        token->text[length + 1] = 0;
        if (OperatorKind(token->text) < 0) {
            token->text[length] = 0;
            break;
        }
        length++;
        TokenIn_GetChar(t);
    }
    token->kind = OperatorKind(token->text);
}

// One classified token; adjacent strings are not joined here.
static void ReadClassified(TokenIn *t, Token *token)
{
    for (;;) {
        TokenIn_ReadRaw(t, token);
        if (token->kind == TOKEN_IDENTIFIER) {
            token->kind = KeywordKind(token->text);
            return;
        }
        if (token->kind != TOKEN_CHARACTER)
            return;
        int c = (unsigned char)token->text[0];
        if (c == ' ' || c == '\t')
            continue;
        if (c == '#') {
            token->kind = TOKEN_HASH;
            return;
        }
        if (c == '\\') {
            Token next;
            TokenIn_ReadRaw(t, &next);
            if (next.kind == TOKEN_CHARACTER && next.text[0] == '\n')
                continue;
            TokenIn_PutToken(t, &next);
            token->kind = TOKEN_BACKSLASH;
            return;
        }
        char single[2] = {(char)c, 0};
        if (OperatorKind(single) >= 0)
            CombineOperator(t, token);
        return;
    }
}

void TokenIn_Read(TokenIn *t, Token *token)
{
    ReadClassified(t, token);
    if (token->kind != TOKEN_STRING)
        return;
    size_t length = strlen(token->text);
    Token next;
    for (;;) {
        ReadClassified(t, &next);
        if (next.kind != TOKEN_STRING) {
            TokenIn_PutToken(t, &next);
            return;
        }
        size_t add = strlen(next.text);
        if (add > TOKEN_TEXT_MAX - length)
            add = TOKEN_TEXT_MAX - length;
        memcpy(token->text + length, next.text, add);
        length += add;
        token->text[length] = 0;
    }
}
