// CP949 texts as Unicode (layer names, CREDITS.txt, vor-cli's UTF-8): Hangul,
// ASCII and the empty text come out the same bytes on both builds, and so
// does what is not CP949: one U+FFFD per bad byte or bad pair, the text
// after it kept.
#include <doctest.h>

#include <string>

#include "core/text_cp949.h"

TEST_CASE("CP949 to UTF-8: Hangul and ASCII exactly, bad bytes replaced without losing the rest")
{
    const struct {
        const char *cp949;
        const char *utf8;
    } cases[] = {
        {"", ""},
        {"CC0-1.0 https://example.com/a?b=c", "CC0-1.0 https://example.com/a?b=c"},
        {"홍길동", u8"홍길동"},              // the literal is CP949 bytes
        {"그린 사람: 알 수 없음\r\n", u8"그린 사람: 알 수 없음\r\n"},
        {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},
        {"\xB1\x30x", "\xEF\xBF\xBD" "0x"},    // a lead byte whose trail is not one
        {"\xC7\x41z", "\xEF\xBF\xBD" "z"},     // a lead and a trail that map to nothing
        {"\xB1", "\xEF\xBF\xBD"},              // a lead byte at the end
    };
    for (const auto &c : cases) {
        CAPTURE(c.utf8);
        CHECK(Cp949_ToUtf8(c.cp949) == c.utf8);
    }
    CHECK(Cp949_ToUtf8(nullptr).empty());
}
