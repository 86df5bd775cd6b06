// The character source of the tokenizer: one file (or memory block) with one
// character of look-ahead and a push-back stack in front of it.
#include "catalog/token_in.h"

#include <cstdlib>
#include <cstring>

#include "core/imaging/file.h"
#include "core/util.h"

static TokenIn *TokenIn_Start(VorFileIn *file)
{
    if (!file)
        return nullptr;
    TokenIn *t = (TokenIn *)calloc(1, sizeof(TokenIn));
    if (!t) {
        FileIn_Close(file);
        return nullptr;
    }
    t->file = file;
    t->line = 0;
    t->stackTop = TOKENIN_STACK_SIZE;
    TokenIn_GetChar(t);
    return t;
}

TokenIn *TokenIn_OpenMemory(const void *data, unsigned size)
{
    return TokenIn_Start(FileIn_OpenMemory(data, size));
}

void TokenIn_Close(TokenIn *t)
{
    if (!t)
        return;
    FileIn_Close(t->file);
    free(t);
}

int TokenIn_GetChar(TokenIn *t)
{
    for (;;) {
        int c;
        int expansion = 0;
        if (t->stackTop < TOKENIN_STACK_SIZE) {
            c = t->stack[t->stackTop];
            expansion = t->stackExpansion[t->stackTop];
            t->stackTop++;
        } else if (FileIn_IsEof(t->file)) {
            c = 0;
        } else {
            c = FileIn_GetChar(t->file);
            if (c < 0)
                c = 0;
        }
        if (c == '\r')
            continue;
        t->current = c;
        t->currentExpansion = expansion;
        if (c == '\n')
            t->line++;
        return c;
    }
}

int TokenIn_IsEof(const TokenIn *t)
{
    return t->stackTop == TOKENIN_STACK_SIZE && FileIn_IsEof(t->file);
}

// Text put back was read once already, so only a line break that goes onto
// the stack is taken off the counter: it counts again when it is read again.
void TokenIn_PutChar(TokenIn *t, int c, int expansion)
{
    if (t->stackTop == 0) {
        Debug_Print("TokenIn_PutChar : stack err\n");
        return;
    }
    t->stackTop--;
    t->stack[t->stackTop] = (unsigned char)t->current;
    t->stackExpansion[t->stackTop] = t->currentExpansion;
    if (t->current == '\n')
        t->line--;
    t->current = c & 0xFF;
    t->currentExpansion = expansion;
}

void TokenIn_PutString(TokenIn *t, const char *text, int expansion)
{
    size_t n = strlen(text);
    if (n > (size_t)t->stackTop) {
        Debug_Print("TokenIn_PutChar : stack err\n");
        n = (size_t)t->stackTop;
    }
    while (n > 0) {
        n--;
        TokenIn_PutChar(t, (unsigned char)text[n], expansion);
    }
}

void TokenIn_PutToken(TokenIn *t, const Token *token)
{
    if (token->kind != TOKEN_STRING) {
        TokenIn_PutString(t, token->text, token->expansion);
        return;
    }
    char quoted[TOKEN_TEXT_SIZE + 2];
    size_t n = strlen(token->text);
    quoted[0] = '"';
    memcpy(quoted + 1, token->text, n);
    quoted[n + 1] = '"';
    quoted[n + 2] = 0;
    TokenIn_PutString(t, quoted, token->expansion);
}

void TokenIn_SkipBlanks(TokenIn *t)
{
    while (t->current == ' ' || t->current == '\t')
        TokenIn_GetChar(t);
}
