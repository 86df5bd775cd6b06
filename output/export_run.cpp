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
#include "output/export.h"

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

int Export_WriteImage(const DIB *image, const char *path)
{
    VorFile *file = FILE_Open(path, "wb");
    if (!file) {
        char folder[VOR_MAX_PATH];
        if (FilePath_CopyFolder(path, folder) && folder[0])
            FileSys_MakeFolder(folder);
        file = FILE_Open(path, "wb");
    }
    if (!file)
        return 0;
    int ok = DIB_WritePNG(image, file);
    return FILE_Close(file) == 0 && ok;
}

int Export_WriteMacro(const char *base, const char *name, const PtrList *expressions, char *pathOut)
{
    char path[VOR_MAX_PATH];
    if (pathOut)
        pathOut[0] = 0;
    if (!Export_MacroPath(base, name, path))
        return 0;
    if (pathOut)
        memcpy(pathOut, path, sizeof path);
    size_t size = 0;
    char *text = Export_MacroText(name, expressions, &size);
    if (!text)
        return 0;
    VorFile *file = FILE_Open(path, "wb");
    if (!file) {
        char folder[VOR_MAX_PATH];
        if (FilePath_CopyFolder(path, folder) && folder[0])
            FileSys_MakeFolder(folder);
        file = FILE_Open(path, "wb");
    }
    int written = 0;
    if (file) {
        written = size == 0 || FILE_Write(text, size, 1, file) == 1;
        written = FILE_Close(file) == 0 && written;
    }
    free(text);
    return written;
}

// Pictures waiting for their PNG encoding, in the order they were composed;
// results are reported in that order too.
struct EncodeJob {
    std::string path;
    DIB *image;
    int done;
    int written;
};

struct EncoderPool {
    std::mutex lock;
    std::condition_variable wake;     // a job arrived or the pool is closing
    std::condition_variable finished; // a job was finished
    std::deque<EncodeJob *> waiting;
    std::vector<EncodeJob *> all;     // every job, composition order
    size_t reported = 0;
    bool closing = false;
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
        int written = Export_WriteImage(job->image, job->path.c_str());
        double ms = MillisecondsSince(start);
        hold.lock();
        pool->encodeMs += ms;
        job->written = written;
        job->done = 1;
        pool->finished.notify_all();
    }
}

// Reports finished jobs in order; with `all`, waits for every job.
static int Encoder_Report(EncoderPool *pool, const ExportOptions *options, bool all)
{
    int written = 0;
    std::unique_lock<std::mutex> hold(pool->lock);
    while (pool->reported < pool->all.size()) {
        EncodeJob *job = pool->all[pool->reported];
        if (!job->done) {
            if (!all)
                break;
            pool->finished.wait(hold, [job] { return job->done != 0; });
        }
        pool->reported++;
        written += job->written;
        hold.unlock();
        if (options && options->fileDone)
            options->fileDone(options->context, job->path.c_str(), job->written);
        hold.lock();
    }
    return written;
}

int Export_RunHeadless(Character *ch, Wardrobe *w, const char *base, const ExportOptions *options,
                       ExportStats *stats)
{
    ExportStats local = {};
    if (!stats)
        stats = &local;
    *stats = ExportStats{};
    int threads = options && options->threads > 1 ? options->threads : 0;
    // Composed pictures waiting for an encoder; bounds the memory in use.
    const size_t maxWaiting = threads ? (size_t)threads * 2 : 0;

    EncoderPool pool;
    for (int i = 0; i < threads; i++)
        pool.threads.emplace_back(Encoder_Work, &pool);

    int written = 0;
    const int styleBefore = w->selected;
    const int expressionBefore = ch->expression;
    const PtrList *expressions = ch->catalog->expressions;
    char name[EXPORT_NAME_MAX + 1];
    snprintf(name, sizeof name, "%s", ch->name ? ch->name : "");

    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        DressStyle *style = Wardrobe_StyleAt(w, i);
        if (style->checkState != STYLE_CHECKED)
            continue;
        if (w->selected != i)
            Wardrobe_ShowStyle(ch, w, i);
        for (int j = 0; j < PtrList_Count(expressions); j++) {
            const PartEntry *expr = (const PartEntry *)PtrList_Get(expressions, j);
            Character_ChooseExpression(ch, j);
            char path[VOR_MAX_PATH];
            if (!Export_ImagePath(base, name, style->outputFolder, expr->folder, path))
                continue;
            Debug_Print("create %s\n", path);

            auto start = std::chrono::steady_clock::now();
            Export_LoadNow(ch->doc, threads ? threads : 1);
            stats->loadMs += MillisecondsSince(start);
            start = std::chrono::steady_clock::now();
            DIB *image = Canvas_ComposeExport(ch->doc);
            stats->composeMs += MillisecondsSince(start);
            if (!image)
                continue;
            stats->images++;

            EncodeJob *job = new EncodeJob{path, image, 0, 0};
            if (!threads) {
                start = std::chrono::steady_clock::now();
                job->written = Export_WriteImage(image, path);
                stats->encodeMs += MillisecondsSince(start);
                job->done = 1;
            }
            {
                std::unique_lock<std::mutex> hold(pool.lock);
                pool.all.push_back(job);
                if (threads) {
                    pool.finished.wait(hold, [&] { return pool.waiting.size() < maxWaiting; });
                    pool.waiting.push_back(job);
                    pool.wake.notify_one();
                }
            }
            written += Encoder_Report(&pool, options, false);
        }
    }

    // Back to the style and expression the user had.
    if (styleBefore >= 0 && w->selected != styleBefore)
        Wardrobe_ShowStyle(ch, w, styleBefore);
    if (ch->expression != expressionBefore)
        Character_ChooseExpression(ch, expressionBefore);
    Export_LoadNow(ch->doc);

    {
        std::unique_lock<std::mutex> hold(pool.lock);
        pool.closing = true;
        pool.wake.notify_all();
    }
    written += Encoder_Report(&pool, options, true);
    for (std::thread &t : pool.threads)
        t.join();
    stats->encodeMs += pool.encodeMs;
    for (EncodeJob *job : pool.all) {
        DIB_Delete_(job->image);
        delete job;
    }

    char macroPath[VOR_MAX_PATH] = "";
    int macroWritten = Export_WriteMacro(base, ch->name ? ch->name : "", expressions, macroPath);
    if (macroPath[0] && options && options->fileDone)
        options->fileDone(options->context, macroPath, macroWritten);
    written += macroWritten;
    stats->written = written;
    return written;
}
