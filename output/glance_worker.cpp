// The glance's composing thread.
#include "output/glance_worker.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "output/expression_glance.h"

struct GlanceWorker {
    ExpressionGlance glance;   // used only by the thread
    GlanceWorkerHooks hooks;
    std::thread thread;
    std::mutex lock;           // guards everything below
    std::condition_variable wake;
    bool quit = false;
    bool requested = false;
    unsigned char *bytes = nullptr;
    size_t size = 0;
    int style = 0;
    unsigned generation = 0;
    std::vector<DIB *> pictures;       // one per expression, not taken yet
    std::vector<unsigned> generations;
};

// Whether the thread should drop what it is doing; the lock is held.
static bool Interrupted(const GlanceWorker *w)
{
    return w->quit || w->requested;
}

// Composes every picture of the request in hand, storing each as it is done,
// until a newer request or the end interrupts.
static void ComposeAll(GlanceWorker *w, unsigned generation)
{
    int count = (int)w->pictures.size();
    for (int e = 0; e < count; e++) {
        {
            std::lock_guard<std::mutex> hold(w->lock);
            if (Interrupted(w))
                return;
        }
        DIB *picture = ExpressionGlance_Compose(&w->glance, e);
        {
            std::lock_guard<std::mutex> hold(w->lock);
            DIB_Delete_(w->pictures[e]);
            w->pictures[e] = picture;
            w->generations[e] = generation;
        }
        w->hooks.ready(w->hooks.context, e, generation);
    }
}

static void GlanceWorker_Run(GlanceWorker *w)
{
    if (w->hooks.started)
        w->hooks.started(w->hooks.context);
    for (;;) {
        unsigned char *bytes;
        size_t size;
        int style;
        unsigned generation;
        {
            std::unique_lock<std::mutex> hold(w->lock);
            w->wake.wait(hold, [w] { return Interrupted(w); });
            if (w->quit)
                return;
            bytes = w->bytes;
            size = w->size;
            style = w->style;
            generation = w->generation;
            w->bytes = nullptr;
            w->requested = false;
        }
        int shown = ExpressionGlance_Show(&w->glance, bytes, size, style);
        free(bytes);
        if (shown)
            ComposeAll(w, generation);
        else
            w->hooks.ready(w->hooks.context, -1, generation);
    }
}

GlanceWorker *GlanceWorker_Start(const PartCatalog *catalog, const char *dataFolder, GlanceWorkerHooks hooks)
{
    GlanceWorker *w = new (std::nothrow) GlanceWorker;
    if (!w)
        return nullptr;
    w->hooks = hooks;
    if (!ExpressionGlance_Open(&w->glance, catalog, dataFolder)) {
        delete w;
        return nullptr;
    }
    int count = ExpressionGlance_Count(&w->glance);
    try {
        w->pictures.assign((size_t)count, nullptr);
        w->generations.assign((size_t)count, 0);
        w->thread = std::thread(GlanceWorker_Run, w);
    } catch (...) {
        ExpressionGlance_Close(&w->glance);
        delete w;
        return nullptr;
    }
    return w;
}

void GlanceWorker_Request(GlanceWorker *w, unsigned char *bytes, size_t size, int style, unsigned generation)
{
    std::lock_guard<std::mutex> hold(w->lock);
    free(w->bytes);
    w->bytes = bytes;
    w->size = size;
    w->style = style;
    w->generation = generation;
    w->requested = true;
    w->wake.notify_one();
}

int GlanceWorker_Count(const GlanceWorker *w)
{
    return (int)w->pictures.size();
}

DIB *GlanceWorker_Take(GlanceWorker *w, int expression, unsigned *generation)
{
    std::lock_guard<std::mutex> hold(w->lock);
    if (expression < 0 || expression >= (int)w->pictures.size())
        return nullptr;
    DIB *picture = w->pictures[expression];
    w->pictures[expression] = nullptr;
    if (generation)
        *generation = w->generations[expression];
    return picture;
}

void GlanceWorker_Stop(GlanceWorker *w)
{
    if (!w)
        return;
    {
        std::lock_guard<std::mutex> hold(w->lock);
        w->quit = true;
        w->wake.notify_one();
    }
    w->thread.join();
    for (DIB *picture : w->pictures)
        DIB_Delete_(picture);
    free(w->bytes);
    ExpressionGlance_Close(&w->glance);
    delete w;
}
