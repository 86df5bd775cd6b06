// CP949 texts as UTF-8 (CREDITS.txt): Hangul, ASCII and the empty text come
// out the same bytes on both builds; on the host a byte that is not CP949
// becomes U+FFFD and the text after it is kept.
#include <doctest.h>

#include <string>

#include "core/text_utf8.h"

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
#ifndef _WIN32
        {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},
        {"\xB1\x30x", "\xEF\xBF\xBD" "0x"},    // a lead byte whose trail is not one
        {"\xB1", "\xEF\xBF\xBD"},              // a lead byte at the end
#endif
    };
    for (const auto &c : cases) {
        CAPTURE(c.utf8);
        CHECK(Text_Cp949ToUtf8(c.cp949) == c.utf8);
    }
    CHECK(Text_Cp949ToUtf8(nullptr).empty());
}
