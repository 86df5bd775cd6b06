// The WebGAL and atlas kinds of the SAVE page: the output button writes the
// same files as the headless export of the same pair shown, says so with the
// format's own message, and refuses a tag the figure sets cannot take before
// anything is written.
#include <doctest.h>

#include "output/export_format.h"
#include "output/figure_export.h"
#include "save_test_rig.h"

using namespace savetest;

namespace {

std::map<std::string, std::vector<unsigned char>> HeadlessFigures(const char *word, const char *base)
{
    Headless h;
    OpenHeadlessProject(&h, 0, 1);
    FigureNames names;
    char message[512];
    REQUIRE(FigureNames_Gather(&h.ch, &h.w, "", word, 0, &names, message, sizeof message));
    ExportStats stats;
    if (strcmp(word, "webgal") == 0) {
        WebGal_RunHeadless(&h.ch, &h.w, &names, base, nullptr, &stats);
    } else {
        AtlasExportOptions atlas;
        Atlas_RunHeadless(&h.ch, &h.w, &names, base, &atlas, nullptr, &stats);
    }
    CHECK(stats.tally.failed == 0);
    Headless_Close(&h);
    return FilesBelow(base);
}

}  // namespace

TEST_CASE("WebGAL and the atlas from the output button: the headless export's files; a device-name tag refused")
{
    for (const char *word : {"webgal", "atlas"}) {
        CAPTURE(word);
        const ExportFormat *format = ExportFormat_FromWord(word);
        Rig rig;
        HWND save = rig.CreateSavePageWithProject();
        rig.SelectExpression(1);
        SavePage_SetFreeFolder(save, "game\\");
        // The kind offers the format: its radio button is there and not hidden.
        REQUIRE((GetWindowLongW(GetDlgItem(save, SavePage_KindControl(format->saveKind)), GWL_STYLE) & WS_VISIBLE) != 0);

        ChooseKind(save, word, "con");
        Watch refused = rig.PressOutput();
        REQUIRE(refused.boxes.size() == 1);
        CHECK(refused.boxes[0].caption == format->refusalCaption);
        CHECK_FALSE(refused.progress.seen);
        CHECK(FilesBelow("game").empty());

        ChooseKind(save, word, "");
        Watch seen = rig.PressOutput();
        REQUIRE(seen.boxes.size() == 1);
        CHECK(seen.boxes[0].text.compare(0, strlen(format->doneMessage), format->doneMessage) == 0);
        auto program = FilesBelow("game");
        auto reference = HeadlessFigures(word, "ref\\");
        REQUIRE(program.size() == reference.size());
        for (const auto &file : reference) {
            CAPTURE(file.first);
            REQUIRE(program.count(file.first) == 1);
            CHECK(program[file.first] == file.second);
        }
    }
}
