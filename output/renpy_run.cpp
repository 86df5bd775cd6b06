// The Ren'Py export's sink: the same visit of every checked style and
// expression as the PNG export, recording what each pair draws instead of
// composing it; its finish plans the layers and writes them as images and
// one script.
#include <chrono>
#include <cstring>

#include "core/util.h"
#include "output/credits.h"
#include "output/export_format.h"
#include "output/renpy_export.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct RenPySink {
    std::string base;
    std::string typedTag;  // empty: from the character's name
    bool defineCharacter = true;
    RenPyNames names;
    RenPyCapture capture;
    int ok = 1;  // memory did not run out while recording
};

int RenPySink_Begin(void *state, ExportDriver *driver, std::string *problem)
{
    RenPySink *r = (RenPySink *)state;
    char message[1024];
    if (!RenPy_Validate(ExportDriver_Character(driver), ExportDriver_Wardrobe(driver), r->typedTag.c_str(), &r->names,
                        message, sizeof message)) {
        *problem = message;
        return 0;
    }
    r->names.defineCharacter = r->names.defineCharacter && r->defineCharacter;
    RenPyCapture_Init(&r->capture, (int)r->names.styles.size(), (int)r->names.expressions.size());
    return 1;
}

// The checked-style number of the picture's style, or the count when it is
// none of them.
int RenPySink_StyleOf(const RenPySink *r, const ExportPicture *picture)
{
    int style = 0;
    while (style < (int)r->names.styleIndex.size() && r->names.styleIndex[style] != picture->styleIndex)
        style++;
    return style;
}

void RenPySink_Picture(void *state, ExportDriver *driver, ExportShot *shot)
{
    RenPySink *r = (RenPySink *)state;
    const ExportPicture *picture = ExportShot_Picture(shot);
    int style = RenPySink_StyleOf(r, picture);
    auto start = std::chrono::steady_clock::now();
    if (style >= (int)r->names.styles.size() ||
        !RenPyCapture_Take(&r->capture, ExportDriver_Character(driver)->doc, style, picture->expression))
        r->ok = 0;
    ExportDriver_Stats(driver)->composeMs += MillisecondsSince(start);
}

// The progress window shows the pair's show statement.
std::string RenPySink_Describe(void *state, ExportDriver *driver, const ExportPicture *picture)
{
    (void)driver;
    const RenPySink *r = (const RenPySink *)state;
    int style = RenPySink_StyleOf(r, picture);
    return "show " + r->names.tag + " " + r->names.expressions[picture->expression] + " " +
           (style < (int)r->names.styles.size() ? r->names.styles[style] : "");
}

void RenPySink_Write(ExportDriver *driver, const std::string &base, const std::string &relative,
                     const std::string &bytes)
{
    ExportPath path = ExportPath_Below(base.c_str(), relative);
    ExportDriver_Report(driver, path.shown,
                        path.fits ? Export_WriteBytesFile(path.path, bytes.data(), bytes.size())
                                  : (int)FILEWRITE_PATH_TOO_LONG);
}

// The layer images, CREDITS.txt beside them, then the script; a failed
// recording fails the script.
void RenPySink_Finish(void *state, ExportDriver *driver)
{
    RenPySink *r = (RenPySink *)state;
    ExportStats *stats = ExportDriver_Stats(driver);
    const std::string script = r->names.tag + RENPY_SCRIPT_EXTENSION;
    auto start = std::chrono::steady_clock::now();
    RenPyPlan plan;
    if (!r->ok || r->capture.broken || !RenPy_Plan(&r->capture, &r->names, &plan)) {
        ExportDriver_Report(driver, ExportPath_Below(r->base.c_str(), script).shown, EXPORT_NOT_COMPOSED);
        return;
    }
    stats->composeMs += MillisecondsSince(start);
    stats->images += (int)plan.images.size();
    start = std::chrono::steady_clock::now();
    for (const RenPyImage &image : plan.images) {
        ExportPath path = ExportPath_Below(r->base.c_str(), image.file);
        ExportDriver_Report(driver, path.shown,
                            path.fits ? Export_WriteImageFile(image.image, path.path) : (int)FILEWRITE_PATH_TOO_LONG);
    }
    const Character *ch = ExportDriver_Character(driver);
    RenPySink_Write(driver, r->base, "images/" + r->names.tag + "/" + CREDITS_FILE,
                    Credits_FileBytes(ExportDriver_Credits(driver), ch->catalog, ch->name));
    RenPySink_Write(driver, r->base, script, RenPy_Script(&plan, &r->names, r->capture.width, r->capture.height));
    stats->encodeMs += MillisecondsSince(start);
    RenPyPlan_Release(&plan);
}

void RenPySink_Release(void *state)
{
    RenPySink *r = (RenPySink *)state;
    RenPyCapture_Release(&r->capture);
    delete r;
}

}  // namespace

int RenPyFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks)
{
    RenPySink *r = new RenPySink;
    r->base = choice->base;
    auto tag = choice->settings.find("tag");
    if (tag != choice->settings.end())
        r->typedTag = tag->second;
    r->defineCharacter = !choice->settings.count("no-character");
    // How many layer images there are is known once the layers are planned.
    sinks->push_back(ExportSink{r, RenPySink_Begin, RenPySink_Picture, RenPySink_Finish, RenPySink_Describe,
                                RenPySink_Release, 0, -1});
    return 1;
}

int RenPy_RunHeadless(Character *ch, Wardrobe *w, const RenPyNames *names, const char *base,
                      const ExportOptions *options, ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    ExportChoice choice = {ExportFormat_FromWord("renpy"), base, {{"tag", names->tag}}};
    Export_RunChoicesHeadless(ch, w, {choice}, options, stats, nullptr);
    return stats->tally.written;
}
