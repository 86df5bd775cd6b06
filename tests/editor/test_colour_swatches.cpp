// The colour dialog's swatch data: the clipboard text of a colour, the list
// of recent colours as the registry keeps it, and the preset row of a slot.
#include <doctest.h>

#include <initializer_list>
#include <string>

#include "catalog/palette.h"
#include "editor/character.h"
#include "editor/colour_swatches.h"

namespace {

std::string Text(HlsColour c)
{
    char text[COLOUR_TEXT_SIZE];
    ColourText_Format(c, text);
    return text;
}

RecentColours Pushed(std::initializer_list<int> hues)
{
    RecentColours r = {};
    for (int h : hues)
        RecentColours_Push(&r, HlsColour{(uint8_t)h, 128, 200});
    return r;
}

std::string Hues(const RecentColours &r)
{
    std::string out;
    for (int i = 0; i < r.count; i++)
        out += std::to_string(r.colours[i].hue) + " ";
    return out;
}

}  // namespace

TEST_CASE("colour text: H,L,S read back as written, anything else refused")
{
    CHECK(Text({255, 0, 9}) == "255,0,9");
    struct Case {
        const char *text;
        bool reads;
        HlsColour colour;
    } cases[] = {
        {"12,128,255", true, {12, 128, 255}},
        {" 12 , 128 ,255 \r\n", true, {12, 128, 255}},
        {"0,0,0\n", true, {0, 0, 0}},
        {"256,0,0", false, {}},
        {"12,128", false, {}},
        {"12,128,255,4", false, {}},
        {"12;128;255", false, {}},
        {"-1,2,3", false, {}},
        {"0012,1,1", false, {}},
        {"", false, {}},
        {"1,2,3\n\n", false, {}},
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        HlsColour got = {7, 7, 7};
        CHECK(ColourText_Parse(c.text, &got) == (int)c.reads);
        HlsColour want = c.reads ? c.colour : HlsColour{7, 7, 7};
        CHECK(Text(got) == Text(want));
    }
}

TEST_CASE("recent colours: newest first, no repeats, eight at most, kept as text")
{
    CHECK(Hues(Pushed({1, 2, 3})) == "3 2 1 ");
    CHECK(Hues(Pushed({1, 2, 3, 1})) == "1 3 2 ");
    CHECK(Hues(Pushed({1, 2, 3, 4, 5, 6, 7, 8, 9})) == "9 8 7 6 5 4 3 2 ");
    CHECK(Hues(Pushed({1, 2, 3, 4, 5, 6, 7, 8, 8})) == "8 7 6 5 4 3 2 1 ");
    CHECK(Hues(Pushed({1, 2, 3, 4, 5, 6, 7, 8, 3})) == "3 8 7 6 5 4 2 1 ");

    RecentColours full = Pushed({1, 2, 3, 4, 5, 6, 7, 8});
    RecentColours back = {};
    RecentColours_Parse(RecentColours_Format(&full).c_str(), &back);
    CHECK(Hues(back) == Hues(full));
    CHECK(RecentColours_Format(&back) == RecentColours_Format(&full));

    // A damaged value: the readable entries, each once.
    RecentColours_Parse("1,2,3;x;300,1,1;;1,2,3;4,5,6", &back);
    CHECK(RecentColours_Format(&back) == "1,2,3;4,5,6");
    RecentColours_Parse("", &back);
    CHECK(back.count == 0);
}

TEST_CASE("each colour slot gets its preset row")
{
    CHECK(ColourSwatches_KindOfSlot(ID_HAIR) == PALETTE_HAIR);
    CHECK(ColourSwatches_KindOfSlot(ID_BROW) == PALETTE_HAIR);
    CHECK(ColourSwatches_KindOfSlot(ID_EYE) == PALETTE_EYE);
    CHECK(ColourSwatches_KindOfSlot(ID_MOUTH) == PALETTE_MOUTH);
    CHECK(ColourSwatches_KindOfSlot(ID_DRESS) == PALETTE_NEUTRAL);
    CHECK(ColourSwatches_KindOfSlot(ID_HAIR_ACCESSORY) == PALETTE_NEUTRAL);
    CHECK(ColourSwatches_KindOfSlot(ID_ACCESSORY_FIRST + 3) == PALETTE_NEUTRAL);
}
