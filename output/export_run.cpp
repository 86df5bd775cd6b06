// The export without a window: the driver's stage is the headless
// character itself, loaded synchronously before each picture; the sinks'
// encoding runs on threads beside the next composition. Also the export's
// atomic file writes, which every sink uses.
#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "layers/load_pass.h"
#include "output/export.h"
#include "output/export_format.h"

static void NoRender(void *) {}

void Export_LoadNow(LayerDocument *doc, int threads)
{
    if (PtrList_Count(doc->requests) == 0)
        return;
    Canvas_DecodeAhead(doc, threads);
    LoadPassHooks hooks = {};
    hooks.renderRequested = NoRender;
    doc->loaderRunning = 1;
    Canvas_LoadPass(doc, &hooks);
    doc->loaderRunning = 0;
}

// Writes through a temporary file; a folder that is missing is created and
// the writing tried once more. The folder may also have appeared since the
// first try (the encoder threads write the first pictures of a style side by
// side, and one of them makes the folder): then too it is tried once more.
static int Export_WriteFile(const char *path, int (*produce)(VorFile *, void *), void *context)
{
    int result = FILE_WriteAtomic(path, produce, context);
    if (result != FILEWRITE_CANNOT_CREATE)
        return result;
    char folder[VOR_MAX_PATH];
    if (FilePath_CopyFolder(path, folder) && folder[0] &&
        (FileSys_FolderExists(folder) || FileSys_MakeFolder(folder)))
        result = FILE_WriteAtomic(path, produce, context);
    return result;
}

static int ProducePng(VorFile *file, void *image)
{
    return DIB_WritePNG((const DIB *)image, file);
}

int Export_WriteImageFile(const DIB *image, const char *path)
{
    if (!image)
        return EXPORT_NOT_COMPOSED;
    return Export_WriteFile(path, ProducePng, (void *)image);
}

struct Bytes {
    const char *data;
    size_t size;
};

static int ProduceBytes(VorFile *file, void *context)
{
    const Bytes *bytes = (const Bytes *)context;
    return bytes->size == 0 || FILE_Write(bytes->data, bytes->size, 1, file) == 1;
}

int Export_WriteBytesFile(const char *path, const void *data, size_t size)
{
    Bytes bytes = {(const char *)data, size};
    return Export_WriteFile(path, ProduceBytes, &bytes);
}

// ---- without a window ----------------------------------------------------

struct HeadlessStage {
    Character *ch;
    Wardrobe *w;
    int threads;  // decoding threads
};

static void Headless_ShowStyle(void *context, int style)
{
    HeadlessStage *s = (HeadlessStage *)context;
    Wardrobe_ShowStyle(s->ch, s->w, style);
}

static void Headless_ChooseExpression(void *context, int expression)
{
    Character_ChooseExpression(((HeadlessStage *)context)->ch, expression);
}

static void Headless_AwaitLoaded(void *context)
{
    HeadlessStage *s = (HeadlessStage *)context;
    Export_LoadNow(s->ch->doc, s->threads);
}

int Export_RunChoicesHeadless(Character *ch, Wardrobe *w, const std::vector<ExportChoice> &choices,
                              const ExportOptions *options, ExportStats *stats, std::string *problem)
{
    std::vector<ExportSink> sinks;
    if (!ExportFormat_MakeSinks(choices, &sinks)) {
        if (problem)
            *problem = "out of memory";
        return 0;
    }
    HeadlessStage s = {ch, w, options && options->threads > 1 ? options->threads : 1};
    ExportStage stage = {&s, Headless_ShowStyle, Headless_ChooseExpression, Headless_AwaitLoaded, nullptr};
    ExportDriver *driver = ExportDriver_Begin(&sinks, ch, w, &stage, options, stats, problem);
    if (!driver)
        return 0;
    ExportDriver_Run(driver);
    return 1;
}

int Export_RunHeadless(Character *ch, Wardrobe *w, const char *base, const ExportOptions *options,
                       ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    ExportChoice png = {ExportFormat_FromWord("png"), base, {}};
    int layered = options ? options->layered : 0;
    std::vector<const ExportFormat *> beside = ExportFormat_BesideFormats();
    if (layered > 0 && layered <= (int)beside.size())
        png.settings[EXPORT_SETTING_LAYERED] = beside[(size_t)layered - 1]->word;
    Export_RunChoicesHeadless(ch, w, {png}, options, stats, nullptr);
    return stats->tally.written;
}
