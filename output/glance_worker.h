// The thread that composes the expressions at a glance beside the editor.
//
// The editor hands it project file images; it works on the newest one only
// (a request that has not started yet is replaced, one being composed is
// abandoned between two pictures) and keeps the last picture of each
// expression until the editor takes it. Each picture stored is reported
// through a hook called on the worker's thread, which should do no more
// than post a message.
#pragma once

#include <cstddef>

#include "catalog/part_catalog.h"
#include "core/imaging/dib.h"

struct GlanceWorker;

struct GlanceWorkerHooks {
    void *context;
    // Called once on the worker's thread before it works (to lower its
    // priority); may be nullptr.
    void (*started)(void *context);
    // Expression `expression`'s picture of request `generation` is ready to
    // take; -1 when the request's image could not be shown.
    void (*ready)(void *context, int expression, unsigned generation);
};

// Starts the thread with a character of its own over the catalogue, which
// must stay unchanged while the worker runs. nullptr when memory or a
// thread runs out.
GlanceWorker *GlanceWorker_Start(const PartCatalog *catalog, const char *dataFolder, GlanceWorkerHooks hooks);
// Pictures for the project image `bytes` (taken over; free()d by the
// worker) in style `style`, labelled `generation`.
void GlanceWorker_Request(GlanceWorker *w, unsigned char *bytes, size_t size, int style, unsigned generation);
// The number of pictures a request gives (one per expression).
int GlanceWorker_Count(const GlanceWorker *w);
// Takes expression `expression`'s newest picture (the caller owns it) and
// the request it belongs to; nullptr when none arrived since the last take.
DIB *GlanceWorker_Take(GlanceWorker *w, int expression, unsigned *generation);
// Ends the thread (waiting for the picture being composed) and frees
// everything. nullptr is ignored.
void GlanceWorker_Stop(GlanceWorker *w);
