// Canvas_Refresh and the loader thread that runs a load pass for the canvas.
//
// The pass itself is the layer engine's; this file gives it callbacks that
// reach the user-interface thread only through SendMessageA, so the loader
// waits while the parent updates its progress display and while the canvas
// composes the result. The document's loader-running flag holds the
// thread's handle from the start of a pass until FLM_RENDER has composed it.
#include <process.h>

#include "canvas/canvas_internal_win32.h"
#include "core/util.h"
#include "layers/load_pass.h"

namespace {

void Loader_ItemStarted(void *context, int index)
{
    Canvas_Notify((HWND)context, FLN_LOADITEM, index);
}

void Loader_RenderRequested(void *context)
{
    // Composes on the user-interface thread, sends FLN_LOADDONE and clears
    // the loader-running flag there.
    SendMessageA((HWND)context, FLM_RENDER, 0, 0);
}

LoadPassHooks Loader_Hooks(HWND canvas)
{
    LoadPassHooks hooks = {canvas, Loader_ItemStarted, Loader_RenderRequested, nullptr};
    return hooks;
}

void __cdecl Loader_Thread(void *argument)
{
    HWND canvas = (HWND)argument;
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    LoadPassHooks hooks = Loader_Hooks(canvas);
    Canvas_LoadPass(doc, &hooks);
}

}  // namespace

void Canvas_Refresh(HWND canvas)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc || doc->loaderRunning)
        return;  // a running pass composes at its end
    if (PtrList_Count(doc->requests) == 0) {
        SendMessageA(canvas, FLM_RENDER, 0, 0);
        return;
    }
    Canvas_Notify(canvas, FLN_LOADSTART, (LPARAM)canvas);
    // Marked running before the thread exists; the thread's first message
    // to this thread can only be handled after this function returns.
    doc->loaderRunning = 1;
    uintptr_t thread = _beginthread(Loader_Thread, 0, canvas);
    if (thread == (uintptr_t)-1 || thread == 0) {
        // Without a thread the pass runs here, so that it still ends with
        // FLN_LOADDONE and the parent enables itself again.
        Debug_Print("thread : cannot start the loader, loading in place\n");
        LoadPassHooks hooks = Loader_Hooks(canvas);
        Canvas_LoadPass(doc, &hooks);
        return;
    }
    doc->loaderRunning = thread;
}
