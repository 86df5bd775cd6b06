// The tokens of a definition file: kind codes, the token record and limits.
//
// A token is a kind code and the bytes of its text. Codes 8..51 are the
// operators and punctuation, 52..80 the keywords; the order of both tables
// (token_read.cpp) follows these codes exactly. Every token also remembers
// the macro expansion its first byte came from, so that the preprocessor can
// refuse to expand a macro's name inside that macro's own expansion.
#pragma once

enum TokenKind {
    TOKEN_ERROR = -1,      // overlong word or number, broken string
    TOKEN_END = 0,         // end of input (also the byte 0xFF), empty text
    TOKEN_IDENTIFIER = 1,
    TOKEN_NUMBER = 2,      // decimal digits, at most one '.'; hex already decimal
    TOKEN_STRING = 3,      // content between the quotes, escapes undecoded
    TOKEN_CHARACTER = 4,   // one unclassified character (line break, '?', ...)
    TOKEN_MULTIBYTE = 5,   // one double-byte character (lead + trail byte)
    TOKEN_HASH = 6,
    TOKEN_BACKSLASH = 7,   // '\' not followed by a line break
    TOKEN_LPAREN = 8,
    TOKEN_RPAREN = 9,
    TOKEN_LBRACKET = 10,
    TOKEN_RBRACKET = 11,
    TOKEN_LBRACE = 12,
    TOKEN_RBRACE = 13,
    TOKEN_COMMA = 14,
    TOKEN_SEMICOLON = 15,
    TOKEN_COLON = 16,
    TOKEN_ARROW = 17,
    TOKEN_DOT = 18,
    TOKEN_NOT = 19,
    TOKEN_TILDE = 20,
    TOKEN_INCREMENT = 21,
    TOKEN_DECREMENT = 22,
    TOKEN_STAR = 23,
    TOKEN_SLASH = 24,
    TOKEN_PERCENT = 25,
    TOKEN_PLUS = 26,
    TOKEN_MINUS = 27,
    TOKEN_SHIFT_LEFT = 28,
    TOKEN_SHIFT_RIGHT = 29,
    TOKEN_LESS = 30,
    TOKEN_LESS_EQUAL = 31,
    TOKEN_GREATER = 32,
    TOKEN_GREATER_EQUAL = 33,
    TOKEN_EQUAL = 34,
    TOKEN_NOT_EQUAL = 35,
    TOKEN_AMPERSAND = 36,
    // 37 is never produced
    TOKEN_BAR = 38,
    TOKEN_AND = 39,
    TOKEN_OR = 40,
    TOKEN_ASSIGN = 41,
    TOKEN_STAR_ASSIGN = 42,
    TOKEN_SLASH_ASSIGN = 43,
    TOKEN_PERCENT_ASSIGN = 44,
    TOKEN_PLUS_ASSIGN = 45,
    TOKEN_MINUS_ASSIGN = 46,
    TOKEN_SHIFT_LEFT_ASSIGN = 47,
    TOKEN_SHIFT_RIGHT_ASSIGN = 48,
    TOKEN_AND_ASSIGN = 49,
    // 50 is never produced
    TOKEN_OR_ASSIGN = 51,
    TOKEN_FIRST_KEYWORD = 52,  // "auto"; 52 + position in the keyword table
    TOKEN_LAST_KEYWORD = 80,   // "while"
};

enum {
    TOKEN_TEXT_SIZE = 1024,    // text buffer, NUL included
    TOKEN_WORD_MAX = 1022,     // longest identifier, number or single string
    TOKEN_TEXT_MAX = 1023,     // longest joined string or multibyte run
};

struct Token {
    int kind;                  // TokenKind
    int expansion;             // macro expansion of the first byte, 0 = none
    char text[TOKEN_TEXT_SIZE];
};

// Sets the token to `kind` with a copy of `text` (cut to TOKEN_TEXT_MAX).
void Token_Set(Token *token, int kind, const char *text);
// 1 for the end token (kind 0 with empty text).
int Token_IsEnd(const Token *token);
// 1 when the byte starts a double-byte character (code page 949 lead byte).
int Token_IsLeadByte(int c);
