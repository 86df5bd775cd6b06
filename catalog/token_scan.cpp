// TokenIn_ReadRaw: cuts one raw token from the character source.
//
// Raw tokens are words, numbers, strings (quotes removed, escapes kept as
// written), double-byte characters, block comments (one space) and single
// characters; line comments are skipped up to their line break. Words,
// numbers and strings longer than TOKEN_WORD_MAX bytes, and strings that
// meet a line break or the end of input, give the error token; the reader
// then stands after the bad token, never inside it. A broken string stops
// before its line break, so the line that follows is read as usual.
#include <cstdint>
#include <cstdio>

#include "catalog/token_in.h"
#include "core/util.h"

// The end of all input: nothing left on the stack or in the file. A NUL
// byte inside the file is a character like any other here.
static int AtEndOfInput(const TokenIn *t)
{
    return t->current == 0 && TokenIn_IsEof(t);
}

static int IsWordStart(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

static int IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Collects bytes into a token's text, remembering when the word limit was
// passed instead of writing beyond it.
struct TextBuilder {
    Token *token;
    int length;
    int overflow;
};

static void Builder_Add(TextBuilder *b, int c)
{
    if (b->length >= TOKEN_WORD_MAX) {
        b->overflow = 1;
        return;
    }
    b->token->text[b->length++] = (char)c;
}

// No token takes a line break into itself, so after a bad token the line
// counter still stands on the line where it began.
static void Builder_Finish(TextBuilder *b, int kind)
{
    b->token->text[b->length] = 0;
    b->token->kind = kind;
    if (b->overflow) {
        b->token->kind = TOKEN_ERROR;
        b->token->text[0] = 0;
    }
}

static void ScanWord(TokenIn *t, Token *token)
{
    TextBuilder b = {token, 0, 0};
    while (IsWordStart(t->current) || IsDigit(t->current)) {
        Builder_Add(&b, t->current);
        TokenIn_GetChar(t);
    }
    Builder_Finish(&b, TOKEN_IDENTIFIER);
}

// Hexadecimal numbers are handed on as the signed decimal text of their
// 32-bit value, so every later reader only ever parses decimal.
static void ScanNumber(TokenIn *t, Token *token)
{
    TextBuilder b = {token, 0, 0};
    if (t->current == '0') {
        TokenIn_GetChar(t);
        if (t->current == 'x' || t->current == 'X') {
            TokenIn_GetChar(t);
            uint32_t value = 0;
            while (Hex_DigitValue(t->current) >= 0) {
                value = value * 16u + (uint32_t)Hex_DigitValue(t->current);
                TokenIn_GetChar(t);
            }
            snprintf(token->text, sizeof token->text, "%ld", (long)(int32_t)value);
            token->kind = TOKEN_NUMBER;
            return;
        }
        Builder_Add(&b, '0');
    }
    int seenPoint = 0;
    for (;;) {
        if (IsDigit(t->current)) {
            Builder_Add(&b, t->current);
        } else if (t->current == '.' && !seenPoint) {
            seenPoint = 1;
            Builder_Add(&b, '.');
        } else {
            break;
        }
        TokenIn_GetChar(t);
    }
    Builder_Finish(&b, TOKEN_NUMBER);
}

// A string stops before a line break or the end of input without taking it,
// so a broken string never swallows the line that follows.
static void ScanString(TokenIn *t, Token *token)
{
    TextBuilder b = {token, 0, 0};
    int closed = 0;
    TokenIn_GetChar(t);
    for (;;) {
        int c = t->current;
        if (c == '"') {
            TokenIn_GetChar(t);
            closed = 1;
            break;
        }
        if (c == '\n' || c == 0)
            break;
        if (c == '\\' || Token_IsLeadByte(c)) {
            Builder_Add(&b, c);
            TokenIn_GetChar(t);
            c = t->current;
            if (c == '\n' || c == 0)
                break;
        }
        Builder_Add(&b, c);
        TokenIn_GetChar(t);
    }
    if (!closed)
        b.overflow = 1;
    Builder_Finish(&b, TOKEN_STRING);
}

static void SkipBlockComment(TokenIn *t)
{
    TokenIn_GetChar(t);  // past '*'
    while (!AtEndOfInput(t)) {
        if (t->current == '*') {
            TokenIn_GetChar(t);
            if (t->current == '/') {
                TokenIn_GetChar(t);
                return;
            }
            continue;
        }
        TokenIn_GetChar(t);
    }
}

static void SkipLineComment(TokenIn *t)
{
    while (t->current != '\n' && !AtEndOfInput(t))
        TokenIn_GetChar(t);
}

static void SetSingle(Token *token, int kind, int c)
{
    token->kind = kind;
    token->text[0] = (char)c;
    token->text[1] = 0;
}

void TokenIn_ReadRaw(TokenIn *t, Token *token)
{
    for (;;) {
        int c = t->current;
        token->expansion = t->currentExpansion;
        if (Token_IsLeadByte(c)) {
            token->kind = TOKEN_MULTIBYTE;
            token->text[0] = (char)c;
            token->text[1] = 0;
            TokenIn_GetChar(t);
            if (t->current != 0) {
                token->text[1] = (char)t->current;
                token->text[2] = 0;
                TokenIn_GetChar(t);
            }
            return;
        }
        if (IsWordStart(c)) {
            ScanWord(t, token);
            return;
        }
        if (IsDigit(c)) {
            ScanNumber(t, token);
            return;
        }
        if (c == '"') {
            ScanString(t, token);
            return;
        }
        if (c == '/') {
            TokenIn_GetChar(t);
            if (t->current == '*') {
                SkipBlockComment(t);
                SetSingle(token, TOKEN_CHARACTER, ' ');
                return;
            }
            if (t->current == '/') {
                SkipLineComment(t);
                continue;
            }
            SetSingle(token, TOKEN_CHARACTER, '/');
            return;
        }
        if (c == 0 || c == 0xFF) {
            // Stepping past the byte keeps a NUL or 0xFF inside the file from
            // being read as the end over and over.
            token->kind = TOKEN_END;
            token->text[0] = 0;
            TokenIn_GetChar(t);
            return;
        }
        SetSingle(token, TOKEN_CHARACTER, c);
        TokenIn_GetChar(t);
        return;
    }
}
