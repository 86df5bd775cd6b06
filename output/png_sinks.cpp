// The PNG export's sinks: one PNG per picture below the character's folder,
// then macro.txt; CREDITS.txt follows them (credits.cpp).
//
//   <base>\<name>\<style folder>\<expression>.png
//   <base>\<name>\macro.txt
#include <cstdlib>
#include <string>

#include "core/util.h"
#include "output/export_format.h"

namespace {

struct PngSink {
    std::string base;
};

// The character's name and every exported style's folder must make usable
// file names.
int Png_Begin(void *state, ExportDriver *driver, std::string *problem)
{
    (void)state;
    const Character *ch = ExportDriver_Character(driver);
    char message[1024];
    if (Export_Validate(ch->name ? ch->name : "", ExportDriver_Wardrobe(driver)->styles, message, sizeof message))
        return 1;
    *problem = message;
    return 0;
}

ExportPath Png_PathOf(const PngSink *sink, ExportDriver *driver, const ExportPicture *picture)
{
    const char *folder = picture->style->outputFolder ? picture->style->outputFolder : "";
    return ExportPath_Below(sink->base.c_str(), Export_PictureName(ExportDriver_Character(driver)->name, folder,
                                                                  picture->expressionFolder, ".png"));
}

void Png_Picture(void *state, ExportDriver *driver, ExportShot *shot)
{
    ExportPath path = Png_PathOf((PngSink *)state, driver, ExportShot_Picture(shot));
    Debug_Print(path.fits ? "create %s\n" : "cannot write %s\n", path.shown.c_str());
    ExportShot_WritePng(shot, path);
}

// The progress window shows the picture's file (nothing when its path is
// too long).
std::string Png_Describe(void *state, ExportDriver *driver, const ExportPicture *picture)
{
    return Png_PathOf((PngSink *)state, driver, picture).path;
}

void Png_Release(void *state)
{
    delete (PngSink *)state;
}

// ---- macro.txt ---------------------------------------------------------------

void Macro_Finish(void *state, ExportDriver *driver)
{
    const Character *ch = ExportDriver_Character(driver);
    const char *name = ch->name ? ch->name : "";
    ExportPath path = ExportPath_Below(((PngSink *)state)->base.c_str(), Export_CharacterFileName(name, "macro.txt"));
    if (!path.fits) {
        ExportDriver_Report(driver, path.shown, FILEWRITE_PATH_TOO_LONG);
        return;
    }
    size_t size = 0;
    char *text = Export_MacroText(name, ch->catalog->expressions, &size);
    ExportDriver_Report(driver, path.shown, text ? Export_WriteBytesFile(path.path, text, size) : (int)FILEWRITE_NO_DATA);
    free(text);
}

}  // namespace

int PngFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    ExportSink png = {new PngSink{choice->base}, Png_Begin, Png_Picture, nullptr, Png_Describe, Png_Release, 1, 0};
    ExportSink macro = {new PngSink{choice->base}, nullptr, nullptr, Macro_Finish, nullptr, Png_Release, 0, 1};
    sinks->push_back(png);
    sinks->push_back(macro);
    sinks->push_back(CreditsSink_Make(choice->base.c_str()));
    return 1;
}
