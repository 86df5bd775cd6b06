// The export's driver (output/export_sink.h): the one loop over the
// pictures, every sink's steps, and the encoder threads that do the sinks'
// later work beside the next composition while keeping the files' order.
#include "output/export_sink.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "core/imaging/png_kept.h"
#include "core/util.h"
#include "layers/render.h"

static double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct ShotReport {
    std::string path;
    int failure;
};

struct ExportShot {
    ExportPicture picture;
    ExportDriver *driver;
    DIB *image = nullptr;
    int composed = 0;                   // composition was tried
    int pngDone = 0;                    // the PNG bytes were tried
    std::vector<unsigned char> png;
    std::vector<int> keepRows;          // rows whose encoder state other pictures start from
    std::vector<PngKept *> kept;        // that state, once the PNG is encoded
    int inLater = 0;                    // the later work is running
    std::vector<std::function<void(ExportShot *)>> later;
    std::vector<ShotReport> reports;
    int done = 0;                       // the later work has run
};

// The shots waiting for their later work, in the order they were taken; they
// are reported in that order too.
struct EncoderPool {
    std::mutex lock;
    std::condition_variable wake;      // a shot arrived or the pool is closing
    std::condition_variable finished;  // a shot was finished
    std::deque<ExportShot *> waiting;
    std::vector<ExportShot *> all;     // every shot not yet reported, in order
    bool closing = false;
    size_t maxWaiting = 0;             // shots waiting for an encoder, at most
    double encodeMs = 0;
    std::vector<std::thread> threads;
};

struct ExportDriver {
    Character *ch;
    Wardrobe *w;
    const ExportStage *stage;
    const ExportOptions *options;
    ExportStats *stats;
    std::vector<ExportSink> *sinks;
    ExportCredits credits;
    int threads;  // encoder threads; 0 when the later work is done at once
    EncoderPool pool;
    ExportStats localStats;  // where the counts go when the caller wants none
};

Character *ExportDriver_Character(ExportDriver *driver) { return driver->ch; }
Wardrobe *ExportDriver_Wardrobe(ExportDriver *driver) { return driver->w; }
const ExportCredits *ExportDriver_Credits(ExportDriver *driver) { return &driver->credits; }
ExportStats *ExportDriver_Stats(ExportDriver *driver) { return driver->stats; }

void ExportDriver_Report(ExportDriver *driver, const std::string &path, int failure)
{
    ExportTally_Add(&driver->stats->tally, path.c_str(), failure);
    if (driver->options && driver->options->fileDone)
        driver->options->fileDone(driver->options->context, path.c_str(), failure);
}

// ---- the shot ----------------------------------------------------------------

const ExportPicture *ExportShot_Picture(const ExportShot *shot)
{
    return &shot->picture;
}

const DIB *ExportShot_Image(ExportShot *shot)
{
    if (!shot->composed) {
        shot->composed = 1;
        auto start = std::chrono::steady_clock::now();
        shot->image = Canvas_ComposeExport(shot->driver->ch->doc);
        shot->driver->stats->composeMs += MillisecondsSince(start);
        if (shot->image)
            shot->driver->stats->images++;
    }
    return shot->image;
}

const std::vector<unsigned char> &ExportShot_Png(ExportShot *shot)
{
    if (!shot->pngDone && shot->image) {
        size_t size = 0;
        unsigned char *bytes = DIB_EncodePNGKeeping(shot->image, shot->keepRows, &shot->kept, &size);
        if (bytes)
            shot->png.assign(bytes, bytes + size);
        free(bytes);
    }
    shot->pngDone = 1;
    return shot->png;
}

void ExportShot_Later(ExportShot *shot, std::function<void(ExportShot *shot)> work)
{
    shot->later.push_back(std::move(work));
}

void ExportShot_Report(ExportShot *shot, const std::string &path, int failure)
{
    if (shot->inLater) {
        shot->reports.push_back({path, failure});
        return;
    }
    // From the picture step: in its place among the later work.
    shot->later.push_back([path, failure](ExportShot *s) { s->reports.push_back({path, failure}); });
}

int ExportShot_CanWrite(ExportShot *shot, const ExportPath &path)
{
    int failure = !path.fits ? (int)FILEWRITE_PATH_TOO_LONG : !ExportShot_Image(shot) ? (int)EXPORT_NOT_COMPOSED : 0;
    if (failure)
        ExportShot_Report(shot, path.shown, failure);
    return !failure;
}

void ExportShot_WritePng(ExportShot *shot, const ExportPath &path)
{
    if (!ExportShot_CanWrite(shot, path))
        return;
    std::string file = path.path;
    ExportShot_Later(shot, [file](ExportShot *s) {
        const std::vector<unsigned char> &png = ExportShot_Png(s);
        int failure = png.empty() ? (int)FILEWRITE_NO_DATA : Export_WriteBytesFile(file.c_str(), png.data(), png.size());
        ExportShot_Report(s, file, failure);
    });
}

void ExportShot_WriteOtherPng(ExportShot *shot, const ExportPath &path, DIB *image, int firstChangedRow)
{
    if (!path.fits || !image) {
        ExportShot_Report(shot, path.shown, !path.fits ? (int)FILEWRITE_PATH_TOO_LONG : (int)EXPORT_NOT_COMPOSED);
        if (image)
            DIB_Delete_(image);
        return;
    }
    // The shot's own encoding keeps its encoder at that row for this one.
    size_t keep = shot->keepRows.size();
    shot->keepRows.push_back(firstChangedRow);
    std::string file = path.path;
    ExportShot_Later(shot, [file, image, keep](ExportShot *s) {
        const std::vector<unsigned char> &own = ExportShot_Png(s);
        const PngKept *kept = keep < s->kept.size() && !own.empty() ? s->kept[keep] : nullptr;
        size_t size = 0;
        unsigned char *bytes = DIB_EncodePNGFrom(kept, own.empty() ? nullptr : own.data(), image, &size);
        ExportShot_Report(s, file, bytes ? Export_WriteBytesFile(file.c_str(), bytes, size) : (int)FILEWRITE_NO_DATA);
        free(bytes);
        DIB_Delete_(image);
    });
}

static void Shot_DoLater(ExportShot *shot)
{
    shot->inLater = 1;
    for (auto &work : shot->later)
        work(shot);
    shot->later.clear();
    DIB_Delete_(shot->image);
    shot->image = nullptr;
    std::vector<unsigned char>().swap(shot->png);
    for (PngKept *kept : shot->kept)
        PngKept_Free(kept);
    shot->kept.clear();
}

// ---- the encoder pool --------------------------------------------------------

static void Encoder_Work(EncoderPool *pool)
{
    std::unique_lock<std::mutex> hold(pool->lock);
    for (;;) {
        pool->wake.wait(hold, [pool] { return pool->closing || !pool->waiting.empty(); });
        if (pool->waiting.empty())
            return;
        ExportShot *shot = pool->waiting.front();
        pool->waiting.pop_front();
        hold.unlock();
        auto start = std::chrono::steady_clock::now();
        Shot_DoLater(shot);
        double ms = MillisecondsSince(start);
        hold.lock();
        pool->encodeMs += ms;
        shot->done = 1;
        pool->finished.notify_all();
    }
}

// Reports finished shots in order and frees them; with `all`, waits for
// every shot.
static void Driver_ReportShots(ExportDriver *d, bool all)
{
    EncoderPool *pool = &d->pool;
    std::unique_lock<std::mutex> hold(pool->lock);
    while (!pool->all.empty()) {
        ExportShot *shot = pool->all.front();
        if (!shot->done) {
            if (!all)
                break;
            pool->finished.wait(hold, [shot] { return shot->done != 0; });
        }
        pool->all.erase(pool->all.begin());
        hold.unlock();
        for (const ShotReport &r : shot->reports)
            ExportDriver_Report(d, r.path, r.failure);
        delete shot;
        hold.lock();
    }
}

// Hands a shot to the encoders (waiting while enough are queued), or does
// its later work at once when there are none.
static void Driver_AddShot(ExportDriver *d, ExportShot *shot)
{
    EncoderPool *pool = &d->pool;
    if (!d->threads) {
        auto start = std::chrono::steady_clock::now();
        Shot_DoLater(shot);
        d->stats->encodeMs += MillisecondsSince(start);
        shot->done = 1;
    }
    std::unique_lock<std::mutex> hold(pool->lock);
    pool->all.push_back(shot);
    if (!shot->done) {
        pool->finished.wait(hold, [pool] { return pool->waiting.size() < pool->maxWaiting; });
        pool->waiting.push_back(shot);
        pool->wake.notify_one();
    }
}

static void Driver_StartPool(ExportDriver *d)
{
    d->pool.maxWaiting = (size_t)d->threads * 2;
    for (int i = 0; i < d->threads; i++)
        d->pool.threads.emplace_back(Encoder_Work, &d->pool);
}

static void Driver_FinishPool(ExportDriver *d)
{
    {
        std::unique_lock<std::mutex> hold(d->pool.lock);
        d->pool.closing = true;
        d->pool.wake.notify_all();
    }
    Driver_ReportShots(d, true);
    for (std::thread &t : d->pool.threads)
        t.join();
    d->stats->encodeMs += d->pool.encodeMs;
}

// ---- the loop ------------------------------------------------------------------

static void Driver_ShowStyle(void *context, int style)
{
    ExportDriver *d = (ExportDriver *)context;
    d->stage->showStyle(d->stage->context, style);
}

static void Driver_ChooseExpression(void *context, int expression)
{
    ExportDriver *d = (ExportDriver *)context;
    d->stage->chooseExpression(d->stage->context, expression);
}

static void Driver_AwaitLoaded(ExportDriver *d)
{
    auto start = std::chrono::steady_clock::now();
    d->stage->awaitLoaded(d->stage->context);
    d->stats->loadMs += MillisecondsSince(start);
}

static void Driver_Picture(void *context, const ExportPicture *picture)
{
    ExportDriver *d = (ExportDriver *)context;
    if (d->stage->pictureBegins) {
        std::string label;
        for (const ExportSink &s : *d->sinks)
            if (s.describe) {
                label = s.describe(s.state, d, picture);
                break;
            }
        d->stage->pictureBegins(d->stage->context, label.c_str());
    }
    Driver_AwaitLoaded(d);
    Credits_NotePicture(&d->credits, d->ch, picture->style);
    ExportShot *shot = new ExportShot;
    shot->picture = *picture;
    shot->driver = d;
    for (const ExportSink &s : *d->sinks)
        if (s.picture)
            s.picture(s.state, d, shot);
    Driver_AddShot(d, shot);
    Driver_ReportShots(d, false);
}

static int Driver_PlannedFiles(const ExportDriver *d)
{
    int pictures = CountExportStyles(d->w->styles) * PtrList_Count(d->ch->catalog->expressions);
    int files = 0;
    for (const ExportSink &s : *d->sinks) {
        if (s.filesPerPicture < 0 || s.filesAtFinish < 0)
            return -1;
        files += s.filesPerPicture * pictures + s.filesAtFinish;
    }
    return files;
}

void ExportSinks_Release(std::vector<ExportSink> *sinks)
{
    for (ExportSink &s : *sinks)
        if (s.release)
            s.release(s.state);
    sinks->clear();
}

ExportDriver *ExportDriver_Begin(std::vector<ExportSink> *sinks, Character *ch, Wardrobe *w, const ExportStage *stage,
                                 const ExportOptions *options, ExportStats *stats, std::string *problem)
{
    ExportDriver *d = new ExportDriver;
    d->ch = ch;
    d->w = w;
    d->stage = stage;
    d->options = options;
    d->stats = stats ? stats : &d->localStats;
    *d->stats = ExportStats{};
    d->sinks = sinks;
    d->threads = options && options->threads > 1 ? options->threads : 0;
    for (ExportSink &s : *sinks) {
        std::string why;
        if (s.begin && !s.begin(s.state, d, &why)) {
            if (problem)
                *problem = why;
            ExportSinks_Release(sinks);
            delete d;
            return nullptr;
        }
    }
    if (options && options->planned)
        options->planned(options->context, Driver_PlannedFiles(d));
    return d;
}

void ExportDriver_Run(ExportDriver *d)
{
    Driver_StartPool(d);
    ExportSteps steps = {d, Driver_ShowStyle, Driver_ChooseExpression, Driver_Picture};
    Export_VisitPictures(d->ch, d->w, &steps);
    // The picture of the style and expression the user had.
    d->stage->awaitLoaded(d->stage->context);
    Driver_FinishPool(d);
    for (ExportSink &s : *d->sinks)
        if (s.finish)
            s.finish(s.state, d);
    ExportSinks_Release(d->sinks);
    delete d;
}

void ExportDriver_Release(ExportDriver *driver)
{
    ExportSinks_Release(driver->sinks);
    delete driver;
}
