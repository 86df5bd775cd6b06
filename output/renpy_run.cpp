// The Ren'Py export's files, and the export without a window: the same
// visit of every checked style and expression as the PNG export, recording
// instead of composing, then the plan written as images and one script.
#include <chrono>
#include <cstring>

#include "core/services/filesys.h"
#include "core/util.h"
#include "output/credits.h"
#include "output/renpy_export.h"

static double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The program path of `relative` (`/`-separated) below the base, or 0 when
// it does not fit; `shown` receives the path as text either way.
static int RenPy_PathBelow(const char *base, const std::string &relative, char *path, std::string *shown)
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

static void RenPy_Report(const ExportOptions *options, ExportTally *tally, const std::string &path, int failure)
{
    ExportTally_Add(tally, path.c_str(), failure);
    if (options && options->fileDone)
        options->fileDone(options->context, path.c_str(), failure);
}

// Writes `bytes` to `relative` below the base and reports it.
static void RenPy_WriteText(const char *base, const std::string &relative, const std::string &bytes,
                            const ExportOptions *options, ExportTally *tally)
{
    char path[VOR_MAX_PATH];
    std::string shown;
    int failure = RenPy_PathBelow(base, relative, path, &shown) ? Export_WriteBytesFile(path, bytes.data(), bytes.size())
                                                                : (int)FILEWRITE_PATH_TOO_LONG;
    RenPy_Report(options, tally, failure == FILEWRITE_PATH_TOO_LONG ? shown : std::string(path), failure);
}

void RenPy_WriteFiles(const RenPyPlan *plan, const RenPyNames *names, const char *base, int width, int height,
                      const std::string &credits, const ExportOptions *options, ExportTally *tally)
{
    char path[VOR_MAX_PATH];
    std::string shown;
    for (const RenPyImage &image : plan->images) {
        int failure = RenPy_PathBelow(base, image.file, path, &shown) ? Export_WriteImageFile(image.image, path)
                                                                       : (int)FILEWRITE_PATH_TOO_LONG;
        RenPy_Report(options, tally, failure == FILEWRITE_PATH_TOO_LONG ? shown : std::string(path), failure);
    }
    RenPy_WriteText(base, "images/" + names->tag + "/" + CREDITS_FILE, credits, options, tally);
    RenPy_WriteText(base, names->tag + ".rpy", RenPy_Script(plan, names, width, height), options, tally);
}

// ---- without a window ------------------------------------------------------------

struct RenPyHeadless {
    Character *ch;
    Wardrobe *w;
    const RenPyNames *names;
    RenPyCapture capture;
    ExportStats *stats;
    int ok;  // memory did not run out
    ExportCredits credits;  // the parts the pictures use
};

static void RenPyHeadless_ShowStyle(void *context, int style)
{
    RenPyHeadless *r = (RenPyHeadless *)context;
    Wardrobe_ShowStyle(r->ch, r->w, style);
}

static void RenPyHeadless_ChooseExpression(void *context, int expression)
{
    RenPyHeadless *r = (RenPyHeadless *)context;
    Character_ChooseExpression(r->ch, expression);
}

static void RenPyHeadless_Picture(void *context, const ExportPicture *picture)
{
    RenPyHeadless *r = (RenPyHeadless *)context;
    Credits_NotePicture(&r->credits, r->ch, picture->style);
    int style = 0;
    while (style < (int)r->names->styleIndex.size() && r->names->styleIndex[style] != picture->styleIndex)
        style++;
    auto start = std::chrono::steady_clock::now();
    Export_LoadNow(r->ch->doc);
    r->stats->loadMs += MillisecondsSince(start);
    start = std::chrono::steady_clock::now();
    if (style >= (int)r->names->styleIndex.size() ||
        !RenPyCapture_Take(&r->capture, r->ch->doc, style, picture->expression))
        r->ok = 0;
    r->stats->composeMs += MillisecondsSince(start);
}

// Every file the plan would have written, counted as not written: the
// pictures could not be composed.
static void RenPy_ReportNotComposed(const RenPyNames *names, const char *base, const ExportOptions *options,
                                    ExportTally *tally)
{
    char path[VOR_MAX_PATH];
    std::string shown;
    RenPy_PathBelow(base, names->tag + ".rpy", path, &shown);
    RenPy_Report(options, tally, shown, EXPORT_NOT_COMPOSED);
}

int RenPy_RunHeadless(Character *ch, Wardrobe *w, const RenPyNames *names, const char *base,
                      const ExportOptions *options, ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    RenPyHeadless r = {ch, w, names, RenPyCapture(), stats, 1, ExportCredits()};
    RenPyCapture_Init(&r.capture, (int)names->styles.size(), (int)names->expressions.size());
    ExportSteps steps = {&r, RenPyHeadless_ShowStyle, RenPyHeadless_ChooseExpression, RenPyHeadless_Picture};
    Export_VisitPictures(ch, w, base, &steps);
    Export_LoadNow(ch->doc);

    auto start = std::chrono::steady_clock::now();
    RenPyPlan plan;
    if (r.ok && !r.capture.broken && RenPy_Plan(&r.capture, names, &plan)) {
        stats->composeMs += MillisecondsSince(start);
        stats->images = (int)plan.images.size();
        start = std::chrono::steady_clock::now();
        std::string credits = Credits_FileBytes(&r.credits, ch->catalog, ch->name);
        RenPy_WriteFiles(&plan, names, base, r.capture.width, r.capture.height, credits, options, &stats->tally);
        stats->encodeMs += MillisecondsSince(start);
        RenPyPlan_Release(&plan);
    } else {
        RenPy_ReportNotComposed(names, base, options, &stats->tally);
    }
    RenPyCapture_Release(&r.capture);
    return stats->tally.written;
}
