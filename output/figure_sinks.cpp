// The WebGAL figure set's and the sprite atlas's sinks: the names are
// checked before anything is written; each shown picture is composed once
// for every sink (ExportShot_Image), and where the eye or mouth shape has a
// frame for the expression, composed again with the eyes shut or the mouth
// open (output/part_frames.h). The WebGAL set writes them at once, the
// still picture as the PNG export's; the atlas keeps them trimmed until
// every pair is in, then packs, composes and describes its pages.
#include <chrono>
#include <string>

#include "core/util.h"
#include "layers/render.h"
#include "output/atlas_sheet.h"
#include "output/credits.h"
#include "output/export_format.h"
#include "output/figure_export.h"
#include "output/part_frames.h"
#include "output/webgal_figure.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct FigureSink {
    std::string base;
    std::string typedTag;  // empty: from the character's name
    bool atlas = false;    // the atlas, else the WebGAL set
    bool powerOfTwo = false;
    FigureNames names;
    FigureFrameTable frames;  // which frames each pair has
    AtlasSheet sheet;         // the atlas being gathered
    PartFrames *partFrames = nullptr;  // the eye and mouth frames, nullptr: none
    int ok = 1;               // no picture failed to compose or trim
};

int FigureSink_Begin(void *state, ExportDriver *driver, std::string *problem)
{
    FigureSink *f = (FigureSink *)state;
    const Character *ch = ExportDriver_Character(driver);
    f->partFrames = PartFrames_Open(ch);
    // The frames' own files must be free too; the atlas names them by key.
    int frameFiles = !f->atlas && f->partFrames;
    char message[1024];
    if (!FigureNames_Gather(ch, ExportDriver_Wardrobe(driver), f->typedTag.c_str(), f->atlas ? "아틀라스" : "WebGAL",
                            frameFiles, &f->names, message, sizeof message)) {
        *problem = message;
        return 0;
    }
    f->frames.assign(f->names.styles.size() * f->names.expressions.size(), std::vector<char>(FIGURE_FRAME_COUNT, 0));
    f->sheet.tag = f->names.tag;
    return 1;
}

// The checked-style number of the picture's style, or the count when it is
// none of them.
int FigureSink_StyleOf(const FigureSink *f, const ExportPicture *picture)
{
    int style = 0;
    while (style < (int)f->names.styleIndex.size() && f->names.styleIndex[style] != picture->styleIndex)
        style++;
    return style;
}

void FigureSink_Write(ExportDriver *driver, const std::string &base, const std::string &relative,
                      const std::string &bytes)
{
    ExportPath path = ExportPath_Below(base.c_str(), relative);
    ExportDriver_Report(driver, path.shown,
                        path.fits ? Export_WriteBytesFile(path.path, bytes.data(), bytes.size())
                                  : (int)FILEWRITE_PATH_TOO_LONG);
}

// The shown picture with the eyes shut (FIGURE_BLINK) or the mouth open
// (FIGURE_TALK); nullptr when the shape has no such frame for the
// expression or memory ran out (`*has` says which).
DIB *FigureSink_ComposeFrame(FigureSink *f, ExportDriver *driver, const DIB *still, int frame, int expression,
                             char *has, int *firstChangedRow)
{
    static const int kPartFrame[FIGURE_FRAME_COUNT] = {-1, PART_FRAME_CLOSED, PART_FRAME_TALK};
    const Character *ch = ExportDriver_Character(driver);
    const Layer *live = nullptr;
    Layer *standIn = PartFrames_Show(f->partFrames, ch, kPartFrame[frame], expression, &live);
    *has = standIn != nullptr;
    *firstChangedRow = 0;
    return standIn ? Canvas_ComposeExportChanged(ch->doc, still, live, standIn, firstChangedRow) : nullptr;
}

void FigureSink_Picture(void *state, ExportDriver *driver, ExportShot *shot)
{
    FigureSink *f = (FigureSink *)state;
    const ExportPicture *picture = ExportShot_Picture(shot);
    int style = FigureSink_StyleOf(f, picture);
    if (style >= (int)f->names.styles.size()) {
        f->ok = 0;  // not a style the names were gathered for
        return;
    }
    int expression = picture->expression;
    std::vector<char> &has = f->frames[style * f->names.expressions.size() + expression];
    has[FIGURE_STILL] = 1;
    const DIB *still = ExportShot_Image(shot);
    auto start = std::chrono::steady_clock::now();
    DIB *frames[FIGURE_FRAME_COUNT] = {nullptr};
    int firstChangedRow[FIGURE_FRAME_COUNT] = {0};
    for (int frame = FIGURE_BLINK; frame < FIGURE_FRAME_COUNT; frame++)
        frames[frame] =
            FigureSink_ComposeFrame(f, driver, still, frame, expression, &has[frame], &firstChangedRow[frame]);
    ExportDriver_Stats(driver)->composeMs += MillisecondsSince(start);
    if (f->atlas) {
        // Trimming copies the pictures: the shot's image is gone by the next one.
        start = std::chrono::steady_clock::now();
        const DIB *pair[FIGURE_FRAME_COUNT] = {still, frames[FIGURE_BLINK], frames[FIGURE_TALK]};
        for (int frame = FIGURE_BLINK; frame < FIGURE_FRAME_COUNT; frame++)
            if (has[frame] && !frames[frame])
                f->ok = 0;
        if (!still || !AtlasSheet_AddPair(&f->sheet, &f->names, style, expression, pair))
            f->ok = 0;
        for (DIB *image : frames)
            if (image)
                DIB_Delete_(image);
        ExportDriver_Stats(driver)->composeMs += MillisecondsSince(start);
        return;
    }
    ExportShot_WritePng(shot,
                        ExportPath_Below(f->base.c_str(), WebGal_FigureFile(&f->names, style, expression, FIGURE_STILL)));
    for (int frame = FIGURE_BLINK; frame < FIGURE_FRAME_COUNT; frame++)
        if (has[frame])
            ExportShot_WriteOtherPng(
                shot, ExportPath_Below(f->base.c_str(), WebGal_FigureFile(&f->names, style, expression, frame)),
                frames[frame], firstChangedRow[frame]);
}

// The progress window shows the pair's file stem.
std::string FigureSink_Describe(void *state, ExportDriver *driver, const ExportPicture *picture)
{
    (void)driver;
    const FigureSink *f = (const FigureSink *)state;
    int style = FigureSink_StyleOf(f, picture);
    return style < (int)f->names.styles.size() ? FigureNames_Stem(&f->names, style, picture->expression) : "";
}

std::string FigureSink_Credits(ExportDriver *driver)
{
    const Character *ch = ExportDriver_Character(driver);
    return Credits_FileBytes(ExportDriver_Credits(driver), ch->catalog, ch->name);
}

void WebGalSink_Finish(void *state, ExportDriver *driver)
{
    FigureSink *f = (FigureSink *)state;
    FigureSink_Write(driver, f->base, WebGal_CreditsFile(&f->names), FigureSink_Credits(driver));
    FigureSink_Write(driver, f->base, WebGal_SceneFile(&f->names), WebGal_SceneText(&f->names, f->frames));
    FigureSink_Write(driver, f->base, WEBGAL_README_FILE, WebGal_ReadmeText(&f->names));
}

// The pages and their JSON, the Godot resource, CREDITS.txt; a picture that
// could not be kept, or a pair larger than a page, fails the first page.
void AtlasSink_Finish(void *state, ExportDriver *driver)
{
    FigureSink *f = (FigureSink *)state;
    auto start = std::chrono::steady_clock::now();
    AtlasPackOptions pack;
    pack.powerOfTwo = f->powerOfTwo ? 1 : 0;
    if (!f->ok || !AtlasSheet_Pack(&f->sheet, pack)) {
        ExportDriver_Report(driver, ExportPath_Below(f->base.c_str(), AtlasSheet_PageFile(f->names.tag, 0, "png")).shown,
                            EXPORT_NOT_COMPOSED);
        return;
    }
    for (int page = 0; page < (int)f->sheet.layout.pages.size(); page++) {
        DIB *image = AtlasSheet_ComposePage(&f->sheet, page);
        ExportPath path = ExportPath_Below(f->base.c_str(), AtlasSheet_PageFile(f->names.tag, page, "png"));
        int failure = !path.fits ? (int)FILEWRITE_PATH_TOO_LONG
                      : !image   ? (int)EXPORT_NOT_COMPOSED
                                 : Export_WriteImageFile(image, path.path);
        ExportDriver_Report(driver, path.shown, failure);
        DIB_Delete_(image);
        FigureSink_Write(driver, f->base, AtlasSheet_PageFile(f->names.tag, page, "json"),
                         AtlasSheet_Json(&f->sheet, page));
    }
    FigureSink_Write(driver, f->base, AtlasSheet_PageFile(f->names.tag, 0, "tres"), AtlasSheet_Godot(&f->sheet));
    FigureSink_Write(driver, f->base, CREDITS_FILE, FigureSink_Credits(driver));
    ExportDriver_Stats(driver)->encodeMs += MillisecondsSince(start);
}

void FigureSink_Release(void *state)
{
    FigureSink *f = (FigureSink *)state;
    AtlasSheet_Release(&f->sheet);
    PartFrames_Close(f->partFrames);
    delete f;
}

FigureSink *FigureSink_New(const ExportChoice *choice, bool atlas)
{
    FigureSink *f = new FigureSink;
    f->base = choice->base;
    f->atlas = atlas;
    auto tag = choice->settings.find("tag");
    if (tag != choice->settings.end())
        f->typedTag = tag->second;
    auto pot = choice->settings.find("pot");
    f->powerOfTwo = pot != choice->settings.end() && pot->second == "1";
    return f;
}

int Figure_RunHeadless(const char *word, Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                       std::map<std::string, std::string> settings, const ExportOptions *options, ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    settings["tag"] = names->tag;
    ExportChoice choice = {ExportFormat_FromWord(word), base, settings};
    Export_RunChoicesHeadless(ch, w, {choice}, options, stats, nullptr);
    return stats->tally.written;
}

}  // namespace

int WebGalFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    // Three texts at the finish: CREDITS.txt, the scene, README.txt; a
    // picture's frames, and so its files, are known as it is shown.
    sinks->push_back(ExportSink{FigureSink_New(choice, false), FigureSink_Begin, FigureSink_Picture,
                                WebGalSink_Finish, FigureSink_Describe, FigureSink_Release, -1, 3});
    return 1;
}

int AtlasFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    // How many pages there are is known once the frames are packed.
    sinks->push_back(ExportSink{FigureSink_New(choice, true), FigureSink_Begin, FigureSink_Picture, AtlasSink_Finish,
                                FigureSink_Describe, FigureSink_Release, 0, -1});
    return 1;
}

int WebGal_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                       const ExportOptions *options, ExportStats *stats)
{
    return Figure_RunHeadless("webgal", ch, w, names, base, {}, options, stats);
}

int Atlas_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                      const AtlasExportOptions *atlas, const ExportOptions *options, ExportStats *stats)
{
    std::map<std::string, std::string> settings;
    if (atlas && atlas->powerOfTwo)
        settings["pot"] = "1";
    return Figure_RunHeadless("atlas", ch, w, names, base, settings, options, stats);
}
