// TokenIn: the character source of the definition-file tokenizer, and the
// two token readers built on it.
//
// A TokenIn reads one file byte by byte with one character of look-ahead
// (`current`) and keeps a push-back stack of 1024 bytes in front of the file,
// so that look-ahead and macro expansions can be put back and read again.
// Carriage returns never reach the tokenizer, and a line counter follows the
// line breaks read and pushed back. Every pushed byte carries the number of
// the macro expansion it belongs to (0 for none); the byte read from it hands
// that number on to the token it starts.
//
// TokenIn_ReadRaw cuts one raw token (word, number, string, double-byte
// character, comment, single character); TokenIn_Read classifies raw tokens
// into operators and keywords, skips blanks, joins adjacent strings and
// drops a backslash that ends a line.
#pragma once

#include "catalog/token.h"

struct VorFileIn;

enum { TOKENIN_STACK_SIZE = 1024 };

struct TokenIn {
    VorFileIn *file;
    int line;              // 0 on the first line; +1 per line break read, -1 per one pushed back
    int current;           // the character under examination; 0 once the input is exhausted
    int currentExpansion;  // expansion the current character came from
    int stackTop;          // index of the top byte; TOKENIN_STACK_SIZE when empty
    unsigned char stack[TOKENIN_STACK_SIZE];
    int stackExpansion[TOKENIN_STACK_SIZE];
};

// Opens an in-memory copy of `size` bytes (the preprocessor reads each
// definition file whole first); reads the first character.
TokenIn *TokenIn_OpenMemory(const void *data, unsigned size);
void TokenIn_Close(TokenIn *t);

// Advances to the next character (pushed-back bytes first) and returns it.
int TokenIn_GetChar(TokenIn *t);
// Non-zero when nothing is pushed back and the file has no byte left.
int TokenIn_IsEof(const TokenIn *t);
// Puts `c` in front of the current character. On a full stack the character
// is dropped with the debug line "TokenIn_PutChar : stack err".
void TokenIn_PutChar(TokenIn *t, int c, int expansion);
// Puts `text` back so that it is read next. A text longer than the free
// stack keeps its beginning; the rest is dropped with one debug line.
void TokenIn_PutString(TokenIn *t, const char *text, int expansion);
// Pushes a token back as the text it was read from (a string in quotes).
void TokenIn_PutToken(TokenIn *t, const Token *token);
// Advances while the current character is a space or a tab.
void TokenIn_SkipBlanks(TokenIn *t);

void TokenIn_ReadRaw(TokenIn *t, Token *token);
void TokenIn_Read(TokenIn *t, Token *token);
