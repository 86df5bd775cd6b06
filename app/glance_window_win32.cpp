// The "표정 한눈에 보기" window: the shown dress style in every expression,
// side by side, each picture the one the export would write, scaled with
// HALFTONE to fit the window.
//
// The pictures are composed by a worker thread with a character of its own
// (output/glance_worker.h), so the editor never waits for them. After every
// change of the project the window waits a moment for further changes,
// takes the project as the history does, reduces it to what the pictures
// show and asks the worker for new pictures only when that differs from
// the last request; until they arrive the old ones stay. A click on a
// picture, or the arrow keys, choose that expression in the CHARA page.
//
// It opens where it was last (remembered in the registry while that place
// is still on a screen), else beside the main window where the screen has
// room, so that it never hides the controls whose changes it follows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/app_win32.h"
#include "core/imaging/dib.h"
#include "core/place_beside.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "layers/render.h"
#include "output/expression_glance.h"
#include "output/glance_worker.h"
#include "project/project_commands_win32.h"

static const wchar_t kClassName[] = L"VorGlance";

enum {
    GLANCE_MSG_READY = WM_APP + 1,  // wParam expression, lParam generation
    GLANCE_TIMER_REFRESH = 1,
    GLANCE_REFRESH_DELAY_MS = 30,   // changes closer together make one request
    GLANCE_MARGIN = 8,
    GLANCE_FRAME = 3,               // the current expression's frame
    // A caption starts below the frame and the focus rectangle around it
    // (GLANCE_FRAME + 2), so neither draws over the selected one's text.
    GLANCE_CAPTION_GAP = GLANCE_FRAME + 4,
    // Small enough to tuck away, large enough to tell the faces apart.
    GLANCE_MIN_WIDTH = 240,
    GLANCE_MIN_HEIGHT = 180,
};

// Where the window was when it was last closed: "left,top,right,bottom".
static const char kPlaceValue[] = "GlancePlace";

struct GlanceCell {
    DIB *picture = nullptr;   // the export's picture, 32 bits with alpha
    DIB *flat = nullptr;      // the same over the preview's background, 24 bits
    unsigned generation = 0;  // the request it belongs to (0: none yet)
    bool stale = false;       // arrived since the back buffer was drawn
};

struct GlanceWindow {
    AppContext *app = nullptr;
    HWND window = nullptr;
    GlanceWorker *worker = nullptr;
    std::vector<GlanceCell> cells;
    unsigned generation = 0;          // the newest request
    unsigned char *request = nullptr; // its reduced project image
    size_t requestSize = 0;
    int requestStyle = -1;
    int refreshPending = 0;           // a change waits for the refresh timer
    HBITMAP back = nullptr;           // pictures and labels at the client size
    SIZE backSize = {0, 0};
    int backStale = 1;
    // The grid: cell pictures of pictureSize, `columns` per row, from origin.
    int columns = 1;
    SIZE pictureSize = {0, 0};
    POINT origin = {0, 0};
    int labelHeight = 16;
};

static GlanceWindow *Glance_From(HWND window)
{
    return (GlanceWindow *)GetWindowLongPtrW(window, GWLP_USERDATA);
}

// ---- layout ----------------------------------------------------------------

static int Glance_LabelHeight(HWND window)
{
    HDC dc = GetDC(window);
    HFONT font = (HFONT)SendMessageW(window, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics;
    int height = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 12;
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
    return GLANCE_CAPTION_GAP + height + 4;
}

// The pictures as large as the client allows (never above their own size),
// in the number of rows that gives the largest, centred.
static void Glance_Layout(GlanceWindow *g, int width, int height)
{
    const int n = (int)g->cells.size() > 0 ? (int)g->cells.size() : 1;
    const int m = GLANCE_MARGIN;
    double best = 0;
    int bestColumns = n;
    for (int rows = 1; rows <= n; rows++) {
        int columns = (n + rows - 1) / rows;
        double w = (double)(width - m * (columns + 1)) / columns;
        double h = (double)(height - m * (rows + 1)) / rows - g->labelHeight;
        double scale = w / DOCUMENT_WIDTH < h / DOCUMENT_HEIGHT ? w / DOCUMENT_WIDTH : h / DOCUMENT_HEIGHT;
        if (scale > best) {
            best = scale;
            bestColumns = columns;
        }
    }
    if (best > 1)
        best = 1;
    g->columns = bestColumns;
    g->pictureSize.cx = (int)(DOCUMENT_WIDTH * best);
    g->pictureSize.cy = (int)(DOCUMENT_HEIGHT * best);
    int rows = (n + bestColumns - 1) / bestColumns;
    int gridW = bestColumns * g->pictureSize.cx + (bestColumns - 1) * m;
    int gridH = rows * (g->pictureSize.cy + g->labelHeight) + (rows - 1) * m;
    g->origin.x = (width - gridW) / 2;
    g->origin.y = (height - gridH) / 2;
    if (g->origin.x < 0)
        g->origin.x = 0;
    if (g->origin.y < 0)
        g->origin.y = 0;
    g->backStale = 1;
}

static RECT Glance_PictureRect(const GlanceWindow *g, int expression)
{
    int column = expression % g->columns, row = expression / g->columns;
    RECT r;
    r.left = g->origin.x + column * (g->pictureSize.cx + GLANCE_MARGIN);
    r.top = g->origin.y + row * (g->pictureSize.cy + g->labelHeight + GLANCE_MARGIN);
    r.right = r.left + g->pictureSize.cx;
    r.bottom = r.top + g->pictureSize.cy;
    return r;
}

static int Glance_HitTest(const GlanceWindow *g, POINT p)
{
    for (int e = 0; e < (int)g->cells.size(); e++) {
        RECT r = Glance_PictureRect(g, e);
        r.bottom += g->labelHeight;
        if (PtInRect(&r, p))
            return e;
    }
    return -1;
}

// ---- drawing ---------------------------------------------------------------

static void Glance_DrawLabel(GlanceWindow *g, HDC dc, int expression, RECT picture)
{
    const PartEntry *entry = (const PartEntry *)PtrList_Get(g->app->catalog->expressions, expression);
    std::wstring label = UiText_ToWide(entry ? entry->name : "");
    RECT r = {picture.left - GLANCE_MARGIN / 2, picture.bottom + GLANCE_CAPTION_GAP, picture.right + GLANCE_MARGIN / 2,
              picture.bottom + g->labelHeight};
    DrawTextW(dc, label.c_str(), (int)label.size(), &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

static void Glance_DrawPicture(const GlanceCell &cell, HDC dc, RECT r)
{
    if (!cell.flat) {
        // Not composed yet: the preview's background with a thin frame.
        HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
        FrameRect(dc, &r, brush);
        DeleteObject(brush);
        return;
    }
    const DIB *flat = cell.flat;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs it after the mode is set
    StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, flat->width, flat->height,
                  DIB_Bits(flat), (const BITMAPINFO *)flat, DIB_RGB_COLORS, SRCCOPY);
}

// Pictures and labels into the back buffer, at the client's size.
static void Glance_RenderBack(GlanceWindow *g, HDC target)
{
    RECT client;
    GetClientRect(g->window, &client);
    if (!g->back || g->backSize.cx != client.right || g->backSize.cy != client.bottom) {
        if (g->back)
            DeleteObject(g->back);
        g->back = CreateCompatibleBitmap(target, client.right > 0 ? client.right : 1,
                                         client.bottom > 0 ? client.bottom : 1);
        g->backSize.cx = client.right;
        g->backSize.cy = client.bottom;
        g->backStale = 1;
    }
    if (!g->back)
        return;
    HDC dc = CreateCompatibleDC(target);
    HGDIOBJ oldBitmap = SelectObject(dc, g->back);
    if (g->backStale) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        HFONT font = (HFONT)SendMessageW(g->app->mainWindow, WM_GETFONT, 0, 0);
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        for (int e = 0; e < (int)g->cells.size(); e++)
            Glance_DrawLabel(g, dc, e, Glance_PictureRect(g, e));
        if (oldFont)
            SelectObject(dc, oldFont);
    }
    // A picture that arrives redraws its own place only.
    for (int e = 0; e < (int)g->cells.size(); e++) {
        GlanceCell &cell = g->cells[e];
        if (!g->backStale && !cell.stale)
            continue;
        RECT r = Glance_PictureRect(g, e);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        Glance_DrawPicture(cell, dc, r);
        cell.stale = false;
    }
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    g->backStale = 0;
}

// The current expression's frame, around its picture (never over it).
static void Glance_DrawSelection(GlanceWindow *g, HDC dc)
{
    int e = g->app->character.expression;
    if (e < 0 || e >= (int)g->cells.size())
        return;
    RECT r = Glance_PictureRect(g, e);
    InflateRect(&r, GLANCE_FRAME, GLANCE_FRAME);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
    for (int i = 0; i < GLANCE_FRAME; i++) {
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
    DeleteObject(brush);
    if (GetFocus() == g->window) {
        r = Glance_PictureRect(g, e);
        InflateRect(&r, GLANCE_FRAME + 2, GLANCE_FRAME + 2);
        DrawFocusRect(dc, &r);
    }
}

static void Glance_PaintInto(GlanceWindow *g, HDC dc)
{
    Glance_RenderBack(g, dc);
    if (!g->back)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, g->back);
    BitBlt(dc, 0, 0, g->backSize.cx, g->backSize.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    Glance_DrawSelection(g, dc);
}

static void Glance_OnPaint(GlanceWindow *g)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(g->window, &ps);
    Glance_PaintInto(g, dc);
    EndPaint(g->window, &ps);
}

// ---- requests and pictures ---------------------------------------------------

static void Glance_SetCaption(GlanceWindow *g, int style)
{
    const DressStyle *s = Wardrobe_StyleAt(&g->app->wardrobe, style);
    std::string caption = "표정 한눈에 보기";
    if (s && s->name && s->name[0])
        caption += std::string(" - ") + s->name;
    UiText_SetWindow(g->window, caption.c_str());
}

// Asks for new pictures when what they would show changed.
static void Glance_Request(GlanceWindow *g)
{
    AppContext *app = g->app;
    // The export drives the character from its own thread; the pictures
    // wait until it has finished, and until the editor has loaded and
    // painted its own picture, so that they never compete with it.
    if (app->exporting || (app->doc && app->doc->loaderRunning) ||
        (app->canvas && IsWindowVisible(app->canvas) && !IsIconic(app->mainWindow) &&
         GetUpdateRect(app->canvas, nullptr, FALSE))) {
        SetTimer(g->window, GLANCE_TIMER_REFRESH, GLANCE_REFRESH_DELAY_MS, nullptr);
        return;
    }
    g->refreshPending = 0;
    InvalidateRect(g->window, nullptr, FALSE);  // the current expression may have moved
    ProjectState state;
    if (!ProjectCmd_TakeState(app, &state))
        return;
    int style = state.shownStyle >= 0 ? state.shownStyle : 0;
    size_t size = 0;
    unsigned char *reduced = ExpressionGlance_Reduce(state.bytes, state.size, &size);
    ProjectState_Free(&state);
    Glance_SetCaption(g, style);
    if (!reduced)
        return;
    if (g->request && style == g->requestStyle && size == g->requestSize && memcmp(reduced, g->request, size) == 0) {
        free(reduced);
        return;
    }
    unsigned char *handed = (unsigned char *)malloc(size);
    if (!handed) {
        free(reduced);
        return;
    }
    memcpy(handed, reduced, size);
    free(g->request);
    g->request = reduced;
    g->requestSize = size;
    g->requestStyle = style;
    GlanceWorker_Request(g->worker, handed, size, style, ++g->generation);
}

static void Glance_OnTimer(GlanceWindow *g, UINT_PTR id)
{
    if (id != GLANCE_TIMER_REFRESH)
        return;
    KillTimer(g->window, id);
    Glance_Request(g);
}

static DIB *Glance_Flatten(const DIB *picture)
{
    DIB *flat = DIB_Create(24, picture->width, picture->height);
    if (!flat)
        return nullptr;
    DIB24_FillRect(flat, nullptr, DOCUMENT_BACKGROUND);
    DIB24_BltDIBA24(flat, nullptr, picture);
    return flat;
}

static void Glance_ClearCells(GlanceWindow *g, unsigned generation)
{
    for (GlanceCell &cell : g->cells) {
        DIB_Delete_(cell.picture);
        DIB_Delete_(cell.flat);
        cell = GlanceCell();
        cell.generation = generation;
    }
    g->backStale = 1;
    InvalidateRect(g->window, nullptr, FALSE);
}

static void Glance_OnReady(GlanceWindow *g, int expression, unsigned generation)
{
    if (expression < 0) {
        // The newest project could not be shown (memory ran out): empty
        // places rather than pictures of an older one.
        if (generation == g->generation)
            Glance_ClearCells(g, generation);
        return;
    }
    unsigned from = 0;
    DIB *picture = GlanceWorker_Take(g->worker, expression, &from);
    if (!picture || expression >= (int)g->cells.size()) {
        DIB_Delete_(picture);
        return;
    }
    GlanceCell &cell = g->cells[expression];
    DIB *flat = Glance_Flatten(picture);
    DIB_Delete_(cell.picture);
    DIB_Delete_(cell.flat);
    cell.picture = picture;
    cell.flat = flat;
    cell.generation = from;
    cell.stale = true;
    RECT r = Glance_PictureRect(g, expression);
    InvalidateRect(g->window, &r, FALSE);
}

// ---- the worker's hooks (on its thread) -------------------------------------

static void Glance_WorkerStarted(void *)
{
    // The editor's own work comes first.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

static void Glance_WorkerReady(void *context, int expression, unsigned generation)
{
    PostMessageW((HWND)context, GLANCE_MSG_READY, (WPARAM)expression, (LPARAM)generation);
}

// ---- input ---------------------------------------------------------------

// Chooses the expression in the CHARA page as the user's own choice there.
static void Glance_Choose(GlanceWindow *g, int expression)
{
    AppContext *app = g->app;
    HWND page = app->pages[PAGE_CHARA];
    if (!page || expression < 0 || expression >= (int)g->cells.size() || !IsWindowEnabled(app->mainWindow))
        return;
    if (app->character.expression == expression)
        return;
    CharaPage_ChooseExpression(page, expression);
    InvalidateRect(g->window, nullptr, FALSE);
}

static void Glance_OnClick(GlanceWindow *g, LPARAM lp)
{
    SetFocus(g->window);
    POINT p = {(short)LOWORD(lp), (short)HIWORD(lp)};
    Glance_Choose(g, Glance_HitTest(g, p));
}

static void Glance_OnKey(GlanceWindow *g, WPARAM key)
{
    int e = g->app->character.expression;
    int n = (int)g->cells.size();
    switch (key) {
    case VK_LEFT: Glance_Choose(g, e > 0 ? e - 1 : 0); break;
    case VK_RIGHT: Glance_Choose(g, e + 1 < n ? e + 1 : n - 1); break;
    case VK_UP: Glance_Choose(g, e - g->columns >= 0 ? e - g->columns : e); break;
    case VK_DOWN: Glance_Choose(g, e + g->columns < n ? e + g->columns : e); break;
    case VK_HOME: Glance_Choose(g, 0); break;
    case VK_END: Glance_Choose(g, n - 1); break;
    case VK_ESCAPE: DestroyWindow(g->window); break;
    default:
        if (key >= '1' && key <= '9')
            Glance_Choose(g, (int)(key - '1'));
        break;
    }
}

// ---- life ------------------------------------------------------------------

// ---- placement -------------------------------------------------------------

static Rect Glance_WorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    Rect r = {work.left, work.top, work.right, work.bottom};
    return r;
}

static int Glance_RememberedPlace(Rect *r)
{
    char text[64];
    int left, top, right, bottom;
    if (!Reg_GetString(REG_PROGRAM_KEY, kPlaceValue, text, sizeof text) ||
        sscanf(text, "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4)
        return 0;
    Rect_Set(r, left, top, right, bottom);
    return 1;
}

// Where it was last if that is still on a screen, else beside the main
// window (core/place_beside.h).
static void Glance_Place(HWND window, HWND mainWindow)
{
    RECT self, owner;
    GetWindowRect(window, &self);
    GetWindowRect(mainWindow, &owner);
    Rect anchor = {owner.left, owner.top, owner.right, owner.bottom};
    Rect last, area = Glance_WorkArea(mainWindow);
    Rect r;
    if (Glance_RememberedPlace(&last)) {
        RECT asked = {last.left, last.top, last.right, last.bottom};
        HMONITOR monitor = MonitorFromRect(&asked, MONITOR_DEFAULTTONULL);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (monitor && GetMonitorInfoW(monitor, &info)) {
            Rect work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
            if (Place_IsUsable(&last, &work, GLANCE_MIN_WIDTH, GLANCE_MIN_HEIGHT)) {
                MoveWindow(window, last.left, last.top, Rect_Width(&last), Rect_Height(&last), FALSE);
                return;
            }
        }
    }
    r = Place_Beside(&anchor, &area, self.right - self.left, self.bottom - self.top, GLANCE_MIN_WIDTH,
                     GLANCE_MIN_HEIGHT);
    MoveWindow(window, r.left, r.top, Rect_Width(&r), Rect_Height(&r), FALSE);
}

// The place to open at next time: the window's normal place (not its
// minimised or maximised one).
static void Glance_RememberPlace(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return;
    // rcNormalPosition is in work-area coordinates; the window rectangle of
    // a window that is neither minimised nor maximised is in the screen's.
    RECT r = placement.rcNormalPosition;
    if (!IsIconic(window) && !IsZoomed(window))
        GetWindowRect(window, &r);
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", (long)r.left, (long)r.top, (long)r.right, (long)r.bottom);
    Reg_SetString(REG_PROGRAM_KEY, kPlaceValue, text);
}

static void Glance_OnDestroy(GlanceWindow *g)
{
    Glance_RememberPlace(g->window);
    GlanceWorker_Stop(g->worker);
    Glance_ClearCells(g, 0);
    if (g->back)
        DeleteObject(g->back);
    free(g->request);
    if (g->app->glanceWindow == g->window)
        g->app->glanceWindow = nullptr;
    SetWindowLongPtrW(g->window, GWLP_USERDATA, 0);
    delete g;
}

static void Glance_OnMinMax(MINMAXINFO *info)
{
    info->ptMinTrackSize.x = GLANCE_MIN_WIDTH;
    info->ptMinTrackSize.y = GLANCE_MIN_HEIGHT;
}

static void Glance_OnSize(GlanceWindow *g, int width, int height)
{
    Glance_Layout(g, width, height);
    InvalidateRect(g->window, nullptr, FALSE);
}

static LRESULT CALLBACK Glance_Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        GlanceWindow *created = (GlanceWindow *)((CREATESTRUCTW *)lp)->lpCreateParams;
        created->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)created);
    }
    GlanceWindow *g = Glance_From(window);
    if (!g)
        return DefWindowProcW(window, msg, wp, lp);
    switch (msg) {
    case WM_PAINT: Glance_OnPaint(g); return 0;
    case WM_PRINTCLIENT: Glance_PaintInto(g, (HDC)wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: Glance_OnSize(g, LOWORD(lp), HIWORD(lp)); return 0;
    case WM_GETMINMAXINFO: Glance_OnMinMax((MINMAXINFO *)lp); return 0;
    case WM_TIMER: Glance_OnTimer(g, wp); return 0;
    case GLANCE_MSG_READY: Glance_OnReady(g, (int)wp, (unsigned)lp); return 0;
    case WM_LBUTTONDOWN: Glance_OnClick(g, lp); return 0;
    case WM_KEYDOWN: Glance_OnKey(g, wp); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_DESTROY: Glance_OnDestroy(g); return 0;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

static int Glance_Register(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing))
        return 1;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = Glance_Proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"APP");
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

// The window's outer size for a client of four pictures at half size by two.
static SIZE Glance_StartSize(int labelHeight, DWORD style)
{
    RECT r = {0, 0, 4 * DOCUMENT_WIDTH / 2 + 5 * GLANCE_MARGIN,
              2 * (DOCUMENT_HEIGHT / 2 + labelHeight) + 3 * GLANCE_MARGIN};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    SIZE s = {r.right - r.left, r.bottom - r.top};
    return s;
}

void GlanceWindow_Open(AppContext *app)
{
    if (app->glanceWindow) {
        ShowWindow(app->glanceWindow, SW_RESTORE);
        SetForegroundWindow(app->glanceWindow);
        return;
    }
    if (!app->catalog || !Glance_Register(app->instance))
        return;
    GlanceWindow *g = new (std::nothrow) GlanceWindow;
    if (!g)
        return;
    g->app = app;
    g->cells.resize((size_t)PtrList_Count(app->catalog->expressions));
    g->labelHeight = Glance_LabelHeight(app->mainWindow);
    const DWORD style = WS_OVERLAPPEDWINDOW;
    SIZE size = Glance_StartSize(g->labelHeight, style);
    HWND window = CreateWindowExW(0, kClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                                  app->mainWindow, nullptr, app->instance, g);
    if (!window) {
        delete g;
        return;
    }
    g->window = window;
    app->glanceWindow = window;
    GlanceWorkerHooks hooks = {window, Glance_WorkerStarted, Glance_WorkerReady};
    g->worker = GlanceWorker_Start(app->catalog, app->character.dataFolder, hooks);
    if (!g->worker) {
        DestroyWindow(window);
        return;
    }
    Glance_Place(window, app->mainWindow);
    Glance_Request(g);
    ShowWindow(window, SW_SHOW);
}

void GlanceWindow_Refresh(AppContext *app)
{
    GlanceWindow *g = app->glanceWindow ? Glance_From(app->glanceWindow) : nullptr;
    if (!g)
        return;
    g->refreshPending = 1;
    SetTimer(g->window, GLANCE_TIMER_REFRESH, GLANCE_REFRESH_DELAY_MS, nullptr);
}

int GlanceWindow_IsCurrent(HWND window)
{
    GlanceWindow *g = window ? Glance_From(window) : nullptr;
    if (!g || !g->generation || g->refreshPending)
        return 0;
    for (const GlanceCell &cell : g->cells)
        if (cell.generation != g->generation)
            return 0;
    return 1;
}

const DIB *GlanceWindow_Picture(HWND window, int expression)
{
    GlanceWindow *g = window ? Glance_From(window) : nullptr;
    if (!g || expression < 0 || expression >= (int)g->cells.size())
        return nullptr;
    return g->cells[expression].picture;
}

int GlanceWindow_PictureRect(HWND window, int expression, RECT *r)
{
    GlanceWindow *g = window ? Glance_From(window) : nullptr;
    if (!g || expression < 0 || expression >= (int)g->cells.size())
        return 0;
    *r = Glance_PictureRect(g, expression);
    return 1;
}
