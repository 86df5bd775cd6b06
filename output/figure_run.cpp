// The WebGAL figure set and the sprite atlas without a window: the PNG
// export's visit of every pair, composing each picture; the WebGAL set
// writes it at once, the atlas keeps it trimmed until every pair is in and
// then packs, composes and describes its pages.
#include <chrono>
#include <cstring>
#include <string>

#include "core/services/filesys.h"
#include "core/util.h"
#include "layers/render.h"
#include "output/atlas_sheet.h"
#include "output/credits.h"
#include "output/figure_export.h"
#include "output/webgal_figure.h"

static double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The program path of `relative` (`/`-separated) below the base, or 0 when
// it does not fit; `shown` receives the path as text either way.
static int Figure_PathBelow(const char *base, const std::string &relative, char *path, std::string *shown)
{
    std::string native = relative;
    for (char &c : native)
        if (c == '/')
            c = '\\';
    *shown = std::string(base) + native;
    if (strlen(base) >= VOR_MAX_PATH)
        return 0;
    strcpy(path, base);
    return FilePath_SetName(path, native.c_str());
}

static void Figure_Report(const ExportOptions *options, ExportStats *stats, const std::string &path, int failure)
{
    ExportTally_Add(&stats->tally, path.c_str(), failure);
    if (options && options->fileDone)
        options->fileDone(options->context, path.c_str(), failure);
}

// Writes a picture (image non-null) or bytes to `relative` and reports it.
static void Figure_Write(const char *base, const std::string &relative, const DIB *image, const std::string *bytes,
                         const ExportOptions *options, ExportStats *stats)
{
    char path[VOR_MAX_PATH];
    std::string shown;
    int failure;
    if (!Figure_PathBelow(base, relative, path, &shown))
        failure = FILEWRITE_PATH_TOO_LONG;
    else if (bytes)
        failure = Export_WriteBytesFile(path, bytes->data(), bytes->size());
    else
        failure = Export_WriteImageFile(image, path);
    Figure_Report(options, stats, failure == FILEWRITE_PATH_TOO_LONG ? shown : std::string(path), failure);
}

// ---- the visit ---------------------------------------------------------------

struct FigureRun {
    Character *ch;
    Wardrobe *w;
    const FigureNames *names;
    const char *base;
    const ExportOptions *options;
    ExportStats *stats;
    ExportCredits credits;
    FigureFrameTable frames;  // which frames each pair has
    AtlasSheet *sheet;        // the atlas being gathered, or nullptr for WebGAL
    int ok;                   // no picture failed to compose or trim
};

static void FigureRun_ShowStyle(void *context, int style)
{
    FigureRun *r = (FigureRun *)context;
    Wardrobe_ShowStyle(r->ch, r->w, style);
}

static void FigureRun_ChooseExpression(void *context, int expression)
{
    FigureRun *r = (FigureRun *)context;
    Character_ChooseExpression(r->ch, expression);
}

static void FigureRun_Picture(void *context, const ExportPicture *picture)
{
    FigureRun *r = (FigureRun *)context;
    Credits_NotePicture(&r->credits, r->ch, picture->style);
    int style = 0;
    while (style < (int)r->names->styleIndex.size() && r->names->styleIndex[style] != picture->styleIndex)
        style++;
    if (style == (int)r->names->styleIndex.size())
        return;  // not a style the names were gathered for
    auto start = std::chrono::steady_clock::now();
    Export_LoadNow(r->ch->doc);
    r->stats->loadMs += MillisecondsSince(start);
    start = std::chrono::steady_clock::now();
    const DIB *frames[FIGURE_FRAME_COUNT] = {};
    DIB *still = Canvas_ComposeExport(r->ch->doc);
    frames[FIGURE_STILL] = still;
    r->stats->composeMs += MillisecondsSince(start);
    size_t pair = style * r->names->expressions.size() + picture->expression;
    r->frames[pair][FIGURE_STILL] = 1;
    if (still)
        r->stats->images++;
    start = std::chrono::steady_clock::now();
    if (r->sheet) {
        if (!still || !AtlasSheet_AddPair(r->sheet, r->names, style, picture->expression, frames))
            r->ok = 0;
    } else {
        for (int f = 0; f < FIGURE_FRAME_COUNT; f++)
            if (f == FIGURE_STILL || frames[f])
                Figure_Write(r->base, WebGal_FigureFile(r->names, style, picture->expression, f),
                             f == FIGURE_STILL ? still : frames[f], nullptr, r->options, r->stats);
    }
    r->stats->encodeMs += MillisecondsSince(start);
    DIB_Delete_(still);
}

static void FigureRun_Visit(FigureRun *r)
{
    r->frames.assign(r->names->styles.size() * r->names->expressions.size(),
                     std::vector<char>(FIGURE_FRAME_COUNT, 0));
    ExportSteps steps = {r, FigureRun_ShowStyle, FigureRun_ChooseExpression, FigureRun_Picture};
    Export_VisitPictures(r->ch, r->w, r->base, &steps);
    Export_LoadNow(r->ch->doc);
}

static void FigureRun_Start(FigureRun *r, Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                            const ExportOptions *options, ExportStats *stats)
{
    *stats = ExportStats{};
    r->ch = ch;
    r->w = w;
    r->names = names;
    r->base = base;
    r->options = options;
    r->stats = stats;
    r->sheet = nullptr;
    r->ok = 1;
}

int WebGal_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                       const ExportOptions *options, ExportStats *stats)
{
    ExportStats local = {};
    FigureRun r;
    FigureRun_Start(&r, ch, w, names, base, options, stats ? stats : &local);
    FigureRun_Visit(&r);
    std::string credits = Credits_FileBytes(&r.credits, ch->catalog, ch->name);
    std::string scene = WebGal_SceneText(names, r.frames);
    std::string readme = WebGal_ReadmeText(names);
    Figure_Write(base, WebGal_CreditsFile(names), nullptr, &credits, options, r.stats);
    Figure_Write(base, WebGal_SceneFile(names), nullptr, &scene, options, r.stats);
    Figure_Write(base, WEBGAL_README_FILE, nullptr, &readme, options, r.stats);
    return r.stats->tally.written;
}

int Atlas_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                      const AtlasExportOptions *atlas, const ExportOptions *options, ExportStats *stats)
{
    ExportStats local = {};
    FigureRun r;
    FigureRun_Start(&r, ch, w, names, base, options, stats ? stats : &local);
    AtlasSheet sheet;
    r.sheet = &sheet;
    FigureRun_Visit(&r);

    auto start = std::chrono::steady_clock::now();
    AtlasPackOptions pack;
    pack.powerOfTwo = atlas ? atlas->powerOfTwo : 0;
    if (!r.ok || !AtlasSheet_Pack(&sheet, pack)) {
        std::string shown = std::string(base) + AtlasSheet_PageFile(names->tag, 0, "png");
        Figure_Report(options, r.stats, shown, EXPORT_NOT_COMPOSED);
        AtlasSheet_Release(&sheet);
        return r.stats->tally.written;
    }
    for (int page = 0; page < (int)sheet.layout.pages.size(); page++) {
        DIB *image = AtlasSheet_ComposePage(&sheet, page);
        std::string json = AtlasSheet_Json(&sheet, page);
        Figure_Write(base, AtlasSheet_PageFile(names->tag, page, "png"), image, nullptr, options, r.stats);
        Figure_Write(base, AtlasSheet_PageFile(names->tag, page, "json"), nullptr, &json, options, r.stats);
        DIB_Delete_(image);
    }
    std::string godot = AtlasSheet_Godot(&sheet);
    std::string credits = Credits_FileBytes(&r.credits, ch->catalog, ch->name);
    Figure_Write(base, AtlasSheet_PageFile(names->tag, 0, "tres"), nullptr, &godot, options, r.stats);
    Figure_Write(base, CREDITS_FILE, nullptr, &credits, options, r.stats);
    r.stats->encodeMs += MillisecondsSince(start);
    AtlasSheet_Release(&sheet);
    return r.stats->tally.written;
}
