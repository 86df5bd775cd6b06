// The export without a window: drives the character and the wardrobe
// through every exported style and expression, composes each picture and
// hands it to PNG encoders, which may run on threads beside the next
// composition.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "core/util.h"
#include "layers/load_pass.h"
#include "layers/render.h"
#include "output/credits.h"
#include "output/export.h"
#include "output/layered_file.h"

static double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

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

int Export_WriteMacroFile(const char *base, const char *name, const PtrList *expressions, char *pathOut)
{
    char path[VOR_MAX_PATH];
    if (pathOut)
        Export_MacroPathText(base, name, pathOut, EXPORT_PATH_TEXT_MAX);
    if (!Export_MacroPath(base, name, path))
        return FILEWRITE_PATH_TOO_LONG;
    if (pathOut)
        memcpy(pathOut, path, sizeof path);
    size_t size = 0;
    char *text = Export_MacroText(name, expressions, &size);
    if (!text)
        return FILEWRITE_NO_DATA;
    int result = Export_WriteBytesFile(path, text, size);
    free(text);
    return result;
}

// Pictures waiting for their PNG encoding, in the order they were composed;
// results are reported in that order too.
struct EncodeJob {
    std::string path;
    DIB *image;
    int done;
    int failure;  // EXPORT_WRITTEN or why not
    LayeredJob layered;  // the file beside it, when one is asked for
};

struct EncoderPool {
    std::mutex lock;
    std::condition_variable wake;     // a job arrived or the pool is closing
    std::condition_variable finished; // a job was finished
    std::deque<EncodeJob *> waiting;
    std::vector<EncodeJob *> all;     // every job, composition order
    size_t reported = 0;
    bool closing = false;
    size_t maxWaiting = 0;            // composed pictures waiting for an encoder, at most
    double encodeMs = 0;
    std::vector<std::thread> threads;
};

static void Encoder_Work(EncoderPool *pool)
{
    std::unique_lock<std::mutex> hold(pool->lock);
    for (;;) {
        pool->wake.wait(hold, [pool] { return pool->closing || !pool->waiting.empty(); });
        if (pool->waiting.empty())
            return;
        EncodeJob *job = pool->waiting.front();
        pool->waiting.pop_front();
        hold.unlock();
        auto start = std::chrono::steady_clock::now();
        int failure = LayeredJob_WritePicture(&job->layered, job->image, job->path.c_str());
        double ms = MillisecondsSince(start);
        hold.lock();
        pool->encodeMs += ms;
        job->failure = failure;
        job->done = 1;
        pool->finished.notify_all();
    }
}

// Reports finished jobs in order; with `all`, waits for every job.
static void Encoder_Report(EncoderPool *pool, const ExportOptions *options, ExportTally *tally, bool all)
{
    std::unique_lock<std::mutex> hold(pool->lock);
    while (pool->reported < pool->all.size()) {
        EncodeJob *job = pool->all[pool->reported];
        if (!job->done) {
            if (!all)
                break;
            pool->finished.wait(hold, [job] { return job->done != 0; });
        }
        pool->reported++;
        ExportTally_Add(tally, job->path.c_str(), job->failure);
        if (job->layered.format)
            ExportTally_Add(tally, job->layered.path, job->layered.failure);
        hold.unlock();
        if (options && options->fileDone) {
            options->fileDone(options->context, job->path.c_str(), job->failure);
            if (job->layered.format)
                options->fileDone(options->context, job->layered.path, job->layered.failure);
        }
        hold.lock();
    }
}

static void EncoderPool_Start(EncoderPool *pool, int threads)
{
    pool->maxWaiting = (size_t)threads * 2;
    for (int i = 0; i < threads; i++)
        pool->threads.emplace_back(Encoder_Work, pool);
}

// Hands a job to the encoders (waiting while enough are queued), or records
// one that is done already.
static void EncoderPool_Add(EncoderPool *pool, EncodeJob *job)
{
    std::unique_lock<std::mutex> hold(pool->lock);
    pool->all.push_back(job);
    if (!job->done) {
        pool->finished.wait(hold, [pool] { return pool->waiting.size() < pool->maxWaiting; });
        pool->waiting.push_back(job);
        pool->wake.notify_one();
    }
}

// Lets the encoders finish, reports every job and frees them.
static void EncoderPool_Finish(EncoderPool *pool, const ExportOptions *options, ExportStats *stats)
{
    {
        std::unique_lock<std::mutex> hold(pool->lock);
        pool->closing = true;
        pool->wake.notify_all();
    }
    Encoder_Report(pool, options, &stats->tally, true);
    for (std::thread &t : pool->threads)
        t.join();
    stats->encodeMs += pool->encodeMs;
    for (EncodeJob *job : pool->all) {
        DIB_Delete_(job->image);
        LayeredJob_Release(&job->layered);
        delete job;
    }
    pool->all.clear();
}

// The headless export's state while the loop runs.
struct HeadlessExport {
    Character *ch;
    Wardrobe *w;
    const ExportOptions *options;
    ExportStats *stats;
    int threads;  // encoder threads; 0 when pictures are written in turn
    EncoderPool pool;
    ExportCredits credits;  // the parts the pictures use
    LayerEncodings *layerEncodings;  // shared by the layered files; may be nullptr
};

static void Headless_ShowStyle(void *context, int style)
{
    HeadlessExport *e = (HeadlessExport *)context;
    Wardrobe_ShowStyle(e->ch, e->w, style);
}

static void Headless_ChooseExpression(void *context, int expression)
{
    HeadlessExport *e = (HeadlessExport *)context;
    Character_ChooseExpression(e->ch, expression);
}

// Loads and composes the picture the character shows.
static void Headless_Compose(HeadlessExport *e, EncodeJob *job)
{
    auto start = std::chrono::steady_clock::now();
    Export_LoadNow(e->ch->doc, e->threads ? e->threads : 1);
    e->stats->loadMs += MillisecondsSince(start);
    start = std::chrono::steady_clock::now();
    job->image = Canvas_ComposeExport(e->ch->doc);
    e->stats->composeMs += MillisecondsSince(start);
    if (job->image)
        e->stats->images++;
    else
        job->failure = EXPORT_NOT_COMPOSED;
}

static void Headless_Picture(void *context, const ExportPicture *picture)
{
    HeadlessExport *e = (HeadlessExport *)context;
    Credits_NotePicture(&e->credits, e->ch, picture->style);
    EncodeJob *job = new EncodeJob{std::string(), nullptr, 0, EXPORT_WRITTEN, LayeredJob{}};
    if (!picture->havePath) {
        job->path = picture->shown;
        job->failure = FILEWRITE_PATH_TOO_LONG;
    } else {
        job->path = picture->path;
        Debug_Print("create %s\n", picture->path);
        Headless_Compose(e, job);
    }
    LayeredJob_Take(&job->layered, e->options ? e->options->layered : LAYERED_NONE, e->ch, e->w, picture,
                    job->image, e->layerEncodings);
    // Without encoder threads, and for a picture that failed already, the
    // file is settled here.
    if (!e->threads || job->failure != EXPORT_WRITTEN) {
        auto start = std::chrono::steady_clock::now();
        if (job->failure == EXPORT_WRITTEN)
            job->failure = LayeredJob_WritePicture(&job->layered, job->image, picture->path);
        e->stats->encodeMs += MillisecondsSince(start);
        job->done = 1;
    }
    EncoderPool_Add(&e->pool, job);
    Encoder_Report(&e->pool, e->options, &e->stats->tally, false);
}

static void Headless_FileDone(HeadlessExport *e, const char *path, int failure)
{
    ExportTally_Add(&e->stats->tally, path, failure);
    if (e->options && e->options->fileDone)
        e->options->fileDone(e->options->context, path, failure);
}

// macro.txt, then CREDITS.txt of the parts the pictures used.
static void Headless_WriteTexts(HeadlessExport *e, const char *base)
{
    char path[EXPORT_PATH_TEXT_MAX] = "";
    const char *name = e->ch->name ? e->ch->name : "";
    Headless_FileDone(e, path, Export_WriteMacroFile(base, name, e->ch->catalog->expressions, path));
    path[0] = 0;
    Headless_FileDone(e, path, Export_WriteCreditsFile(base, name, &e->credits, e->ch->catalog, path));
}

int Export_RunHeadless(Character *ch, Wardrobe *w, const char *base, const ExportOptions *options,
                       ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    HeadlessExport e;
    e.ch = ch;
    e.w = w;
    e.options = options;
    e.stats = stats;
    e.threads = options && options->threads > 1 ? options->threads : 0;
    // Without it each layered file encodes all its layers itself.
    e.layerEncodings = options && options->layered ? LayerEncodings_Create(LAYERED_SHARED_BUDGET) : nullptr;
    EncoderPool_Start(&e.pool, e.threads);

    ExportSteps steps = {&e, Headless_ShowStyle, Headless_ChooseExpression, Headless_Picture};
    Export_VisitPictures(ch, w, base, &steps);
    // The picture of the style and expression the user had.
    Export_LoadNow(ch->doc);

    EncoderPool_Finish(&e.pool, options, stats);
    LayerEncodings_Destroy(e.layerEncodings);
    Headless_WriteTexts(&e, base);
    return stats->tally.written;
}
