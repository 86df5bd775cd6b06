// Control characters in CP949 texts and the names Windows keeps for its
// devices: the two rules that keep a stranger's names from forging lines
// or naming files no one can write.
#include <doctest.h>

#include <string>

#include "core/services/filesys.h"
#include "core/text_controls.h"

TEST_CASE("control characters are found and shown as \\xHH, Hangul left whole")
{
    struct Case {
        const char *text;
        const char *shown;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"evil\r\n[x]", "evil\\x0D\\x0A[x]"},
        {"\x1b[2J", "\\x1B[2J"},
        {"tab\there", "tab\\x09here"},
        {"del\x7f", "del\\x7F"},
        {"\x80", "\\x80"},                      // never a character of CP949
        {"c1 \x85 alone", "c1 \\x85 alone"},    // a C1 byte without a trail
        {"\x85", "\\x85"},                      // at the very end
        {"\x85\x41", "\x85\x41"},               // a lead 0x81..0x9F with its trail: Hangul
        {"유나", "유나"},                       // 0xC0AF 0xB3AA
        {"\xB0\r\n", "\xB0\\x0D\\x0A"},         // a stray lead byte does not hide the CR
        {"\xA1\x1b", "\xA1\\x1B"},
        {"a\xFF", "a\xFF"},                     // not CP949, but no control either
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        std::string shown = Text_ShowControls(c.text);
        CHECK(shown == c.shown);
        CHECK(Text_HasControl(c.text) == (shown != c.text));
    }
    CHECK(Text_HasControl(nullptr) == 0);
    CHECK(Text_ShowControls(nullptr).empty());
}

TEST_CASE("Windows device names, in any case and with any extension, are recognised on every system")
{
    struct Case {
        const char *name;
        int device;
    } cases[] = {
        {"con", 1},         {"CON", 1},        {"Con", 1},          {"nul.txt", 1},      {"aux.rpy", 1},
        {"prn", 1},         {"com1", 1},       {"COM9.png", 1},     {"lpt1", 1},         {"Lpt9.tar.gz", 1},
        {"aux .txt", 1},    {"conin$", 1},     {"C:\\out\\nul", 1}, {"a/b/con.png", 1},  {"x:con", 1},
        {"console", 0},     {"com10", 0},      {"lpt", 0},          {"comx", 0},         {"icon", 0},
        {"con_1", 0},       {"nul\\x.png", 0}, {"", 0},             {"abc", 0},          {"null", 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        CHECK(FilePath_IsDeviceName(c.name) == c.device);
    }
}
