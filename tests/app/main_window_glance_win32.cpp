// The expressions window against the program's own export: the pictures it
// holds are the files the export writes, what it paints is those pictures
// scaled, it follows the character, and a click or a key chooses the
// expression in the CHARA page.
#include <doctest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app_window_fixture_win32.h"
#include "layers/render.h"

using namespace apptest;

namespace {

const int FRONT_HAIR = 1000;

double MillisecondsSince(const LARGE_INTEGER &from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)(now.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

bool SamePixels(const DIB *a, const DIB *b)
{
    return a && b && a->width == b->width && a->height == b->height && a->sizeImage == b->sizeImage &&
           memcmp(DIB_Bits(a), DIB_Bits(b), a->sizeImage) == 0;
}

// The client area as WM_PRINTCLIENT paints it.
struct Painted : guitest::Canvas24 {
    explicit Painted(HWND window) : Canvas24(ClientWidth(window), ClientHeight(window))
    {
        SendMessageW(window, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
        GdiFlush();
    }
    static int ClientWidth(HWND window)
    {
        RECT r;
        GetClientRect(window, &r);
        return r.right;
    }
    static int ClientHeight(HWND window)
    {
        RECT r;
        GetClientRect(window, &r);
        return r.bottom;
    }
    // Channel c of a pixel, in the DIB's order (0 blue, 1 green, 2 red).
    int Channel(int x, int y, int c) const { return bits[y * stride + 3 * x + c]; }
};

// The picture over the preview's background, as one channel value.
int FlatChannel(const DIB *picture, int x, int y, int c)
{
    const unsigned char *p = DIB_RowTD(picture, y) + x * 4;
    int background = (DOCUMENT_BACKGROUND >> (8 * (2 - c))) & 0xFF;  // COLORREF is 0xBBGGRR
    return (p[c] * p[3] + background * (255 - p[3]) + 127) / 255;
}

// How far the painted cell is from the picture scaled to the cell by area
// averaging: the share of pixels off by more than a rounding filter would
// be in any channel.
double ShareOff(const Painted &painted, RECT cell, const DIB *picture)
{
    int w = cell.right - cell.left, h = cell.bottom - cell.top, off = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int x0 = x * picture->width / w, x1 = (x + 1) * picture->width / w;
            int y0 = y * picture->height / h, y1 = (y + 1) * picture->height / h;
            bool bad = false;
            for (int c = 0; c < 3 && !bad; c++) {
                int sum = 0, n = 0;
                for (int sy = y0; sy < y1; sy++)
                    for (int sx = x0; sx < x1; sx++, n++)
                        sum += FlatChannel(picture, sx, sy, c);
                int expected = n ? sum / n : 0;
                bad = abs(painted.Channel(cell.left + x, cell.top + y, c) - expected) > 40;
            }
            off += bad;
        }
    return (double)off / (w * h);
}

}  // namespace

TEST_CASE("the expressions window holds the export's pictures, paints them scaled, follows the character and chooses")
{
    char started[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof started, started);
    AppWindow w;
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "Glance");
    w.Choose(PAGE_CHARA, FRONT_HAIR, 1);
    const int expressions = PtrList_Count(w.app.catalog->expressions);
    REQUIRE(expressions == 8);

    // Where it opens is tested below; here it opens where it was last, with
    // a client area that shows four pictures a row at exactly half their
    // size (the scale the paint checks measure against).
    RECT place = {0, 0, 4 * DOCUMENT_WIDTH / 2 + 5 * 8, 620};
    AdjustWindowRectEx(&place, WS_OVERLAPPEDWINDOW, FALSE, 0);
    OffsetRect(&place, -place.left, -place.top);
    Reg_SetString(REG_PROGRAM_KEY, "GlancePlace",
                  ("0,0," + std::to_string(place.right) + "," + std::to_string(place.bottom)).c_str());

    // Ctrl+E opens it; every picture arrives without the editor waiting.
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    w.Key(w.main, {VK_CONTROL}, 'E');
    HWND glance = w.app.glanceWindow;
    REQUIRE(glance);
    REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
    UpdateWindow(glance);
    MESSAGE("expressions window filled in " << MillisecondsSince(start) << " ms");
    CHECK(IsWindowEnabled(w.main));

    // The program's own export of the same character.
    CreateDirectoryA("out", nullptr);
    SavePage_SetFreeFolder(w.Page(PAGE_SAVE), "out");
    CheckDlgButton(w.Page(PAGE_SAVE), IDC_SAVE_FREE_RADIO, BST_CHECKED);
    {
        pagestest::ModalScript script({Answer("출력 완료창", IDOK, nullptr)}, AllTitles());
        w.Click(PAGE_SAVE, IDC_SAVE_OUTPUT);
        REQUIRE(w.RunUntil([&] { return script.Finished(); }, 30000));
        w.WaitIdle();
    }
    Painted painted(glance);
    for (int e = 0; e < expressions; e++) {
        const PartEntry *entry = (const PartEntry *)PtrList_Get(w.app.catalog->expressions, e);
        std::string file = std::string("out\\Glance\\default\\") + entry->folder + ".png";
        DIB *exported = DIB_CreateFromFile(file.c_str());
        REQUIRE_MESSAGE(exported, file);
        CHECK_MESSAGE(SamePixels(GlanceWindow_Picture(glance, e), exported), "expression " << e);
        RECT cell;
        REQUIRE(GlanceWindow_PictureRect(glance, e, &cell));
        CHECK(cell.right - cell.left >= DOCUMENT_WIDTH / 3);
        double right = ShareOff(painted, cell, exported);
        CHECK_MESSAGE(right < 0.0005, "painted expression " << e);
        // A neighbour that looks different is told apart by the same measure.
        const DIB *other = GlanceWindow_Picture(glance, (e + 1) % expressions);
        if (!SamePixels(other, exported))
            CHECK(ShareOff(painted, cell, other) > right);
        DIB_Delete_(exported);
    }
    guitest::SaveWindowPng(glance, (std::string(started) + "\\glance_window.png").c_str(), true);

    // A change of the character reaches every picture; the old ones stay
    // until the new ones arrive.
    std::vector<unsigned char> before(DIB_Bits(GlanceWindow_Picture(glance, 3)),
                                      DIB_Bits(GlanceWindow_Picture(glance, 3)) + DIB_BytesPerRow(GlanceWindow_Picture(glance, 3)) * DOCUMENT_HEIGHT);
    w.Choose(PAGE_CHARA, FRONT_HAIR, 0);
    CHECK(GlanceWindow_Picture(glance, 3) != nullptr);
    REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
    CHECK(memcmp(before.data(), DIB_Bits(GlanceWindow_Picture(glance, 3)), before.size()) != 0);

    // A click on a picture chooses its expression, as the CHARA page's box
    // would; the arrow keys step from there; each is one undo step.
    RECT cell;
    REQUIRE(GlanceWindow_PictureRect(glance, 5, &cell));
    SendMessageW(glance, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 10, cell.top + 10));
    SendMessageW(glance, WM_LBUTTONUP, 0, MAKELPARAM(cell.left + 10, cell.top + 10));
    w.WaitIdle();
    CHECK(w.app.character.expression == 5);
    CHECK(SendMessageW(w.Item(PAGE_CHARA, IDC_CHARA_EXPRESSION), CB_GETCURSEL, 0, 0) == 5);
    w.Key(glance, {}, VK_RIGHT);
    CHECK(w.app.character.expression == 6);
    w.Command(CMD_UNDO);
    CHECK(w.app.character.expression == 5);

    // Choosing an expression changes no picture; the window asks for none.
    w.Run(200);
    CHECK(GlanceWindow_IsCurrent(glance));
    guitest::SaveWindowPng(glance, (std::string(started) + "\\glance_window_chosen.png").c_str(), true);

    // Resized, the pictures take the arrangement that makes them largest:
    // one row in a wide window, two columns in a tall one.
    auto at = [&](int e) {
        RECT r = {};
        GlanceWindow_PictureRect(glance, e, &r);
        return r;
    };
    SetWindowPos(glance, nullptr, 0, 0, 1260, 330, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(at(7).top == at(0).top);
    CHECK(at(7).left > at(6).left);
    SetWindowPos(glance, nullptr, 0, 0, 400, 1000, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(at(1).top == at(0).top);
    CHECK(at(2).left == at(0).left);
    CHECK(at(7).top > at(5).top);
    CHECK(at(0).right - at(0).left > 150);

    // The CHARA page's button brings the open window back; Esc closes it.
    w.Click(PAGE_CHARA, IDC_CHARA_GLANCE);
    CHECK(w.app.glanceWindow == glance);
    w.Key(glance, {}, VK_ESCAPE);
    CHECK(w.app.glanceWindow == nullptr);
    CHECK_FALSE(IsWindow(glance));
}

TEST_CASE("the expressions window follows a colour dialog's live colours and goes back on Cancel")
{
    AppWindow w;
    w.Command(CMD_GLANCE);
    HWND glance = w.app.glanceWindow;
    REQUIRE(glance);
    REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
    DIB *before = DIB_MakeCopy(GlanceWindow_Picture(glance, 0));
    REQUIRE(before);
    bool followed = false;
    pagestest::ModalScript script(
        {[] { return FindDialog(COLOUR_TITLE) != nullptr; },
         [] {
             UiText_SetItem(FindDialog(COLOUR_TITLE), 1111, "170");
             return true;
         },
         // While the dialog is open the pictures take the colour tried.
         [&] {
             followed = GlanceWindow_IsCurrent(glance) && !SamePixels(GlanceWindow_Picture(glance, 0), before);
             return followed;
         },
         Answer(COLOUR_TITLE, IDCANCEL, nullptr)},
        AllTitles());
    w.Click(PAGE_CHARA, 1009);  // the hair colour button
    CHECK(script.Finished());
    CHECK(followed);
    REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
    CHECK(SamePixels(GlanceWindow_Picture(glance, 0), before));
    DIB_Delete_(before);
}

// What the window costs with the sample project: the time from the command
// to the last picture painted, the time to catch up after a change, and a
// part change in the editor with the window open against closed. Timings
// are reported, not enforced: a busy machine must not fail the suite.
TEST_CASE("benchmark: the expressions window with the sample project")
{
    const char *tree = getenv("VOR_SAMPLE_TREE");
    char root[MAX_PATH];
    if (!tree || !tree[0] || !GetFullPathNameA(tree, sizeof root, root, nullptr) ||
        GetFileAttributesA((std::string(root) + "\\sample.vor").c_str()) == INVALID_FILE_ATTRIBUTES) {
        MESSAGE("no sample tree: expressions window benchmark skipped");
        return;
    }
    char started[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof started, started);
    AppWindow w(root);
    FileMenu_OpenPath(&w.app, (std::string(root) + "\\sample.vor").c_str());
    w.WaitIdle();
    auto waitCurrent = [&] {
        while (!GlanceWindow_IsCurrent(w.app.glanceWindow)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            w.Run();
        }
        UpdateWindow(w.app.glanceWindow);
    };
    const int rounds = 5;
    double fill = 0, fillWorst = 0;
    for (int i = 0; i < rounds; i++) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        SendMessageW(w.main, WM_COMMAND, CMD_GLANCE, 0);
        REQUIRE(w.app.glanceWindow);
        waitCurrent();
        double ms = MillisecondsSince(start);
        fill += ms;
        fillWorst = ms > fillWorst ? ms : fillWorst;
        if (i + 1 < rounds)
            DestroyWindow(w.app.glanceWindow);
    }
    guitest::SaveWindowPng(w.app.glanceWindow, (std::string(started) + "\\glance_sample.png").c_str(), true);

    // A front hair changed back and forth, from the selection to the painted
    // canvas; with the window open it recomposes beside every change.
    int hair = w.app.character.frontHair, otherHair = hair == 1 ? 2 : 1;
    auto hairChanges = [&](double *worst, double *catchUp) {
        double total = 0;
        *worst = 0;
        *catchUp = 0;
        for (int i = 0; i < 2 * rounds; i++) {
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            double ms = w.TimedChoose(PAGE_CHARA, FRONT_HAIR, i % 2 == 0 ? otherHair : hair);
            total += ms;
            *worst = ms > *worst ? ms : *worst;
            if (w.app.glanceWindow) {
                waitCurrent();
                *catchUp += MillisecondsSince(start);
            }
        }
        *catchUp /= 2 * rounds;
        return total / (2 * rounds);
    };
    double openWorst, catchUp, unused;
    double open = hairChanges(&openWorst, &catchUp);
    DestroyWindow(w.app.glanceWindow);
    double closedWorst;
    double closed = hairChanges(&closedWorst, &unused);
    MESSAGE("expressions window, sample project: filled " << fill / rounds << " ms mean, " << fillWorst
                                                          << " ms worst after the command; caught up "
                                                          << catchUp << " ms after a front-hair change");
    MESSAGE("a front-hair change to the painted canvas: " << open << " ms mean, " << openWorst
                                                          << " ms worst with the window open; " << closed
                                                          << " ms mean, " << closedWorst << " ms worst closed");
    if (fill / rounds > 1000)
        WARN_MESSAGE(false, "the expressions window took over a second to fill");
}

namespace {

bool Overlaps(const RECT &a, const RECT &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

RECT ClientOnScreen(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, (POINT *)&r, 2);
    return r;
}

RECT WindowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

}  // namespace

TEST_CASE("the expressions window opens beside the main window, or where it was last, and frames without touching a caption")
{
    char started[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof started, started);
    Reg_SetString(REG_PROGRAM_KEY, "GlancePlace", "");
    AppWindow w;
    REQUIRE(GetSystemMetrics(SM_CXSCREEN) == 1280);  // the test display's screen
    REQUIRE(GetSystemMetrics(SM_CYSCREEN) == 1024);
    RECT screen = {0, 0, 1280, 1024};
    // Wherever the main window stands: left, centred, right, low.
    const POINT places[] = {{0, 0}, {250, 200}, {1280 - 780, 0}, {0, 420}};
    for (POINT at : places) {
        CAPTURE(at.x);
        CAPTURE(at.y);
        Reg_SetString(REG_PROGRAM_KEY, "GlancePlace", "");
        SetWindowPos(w.main, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        w.Key(w.main, {VK_CONTROL}, 'E');
        HWND glance = w.app.glanceWindow;
        REQUIRE(glance);
        RECT g = WindowRect(glance), main = ClientOnScreen(w.main);
        CHECK_FALSE(Overlaps(g, main));
        CHECK(g.left >= screen.left);
        CHECK(g.top >= screen.top);
        CHECK(g.right <= screen.right);
        CHECK(g.bottom <= screen.bottom);
        CHECK(g.right - g.left >= 240);
        CHECK(g.bottom - g.top >= 180);
        if (at.x == 0 && at.y == 0) {
            REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
            UpdateWindow(glance);
            w.Run(100);
            guitest::SaveWindowPng(GetDesktopWindow(), (std::string(started) + "\\glance_beside_main.png").c_str());
        }
        w.Key(glance, {}, VK_ESCAPE);
        REQUIRE(w.app.glanceWindow == nullptr);
    }

    // Moved by the user and closed, it opens there again; a place no
    // screen shows any more is not used.
    SetWindowPos(w.main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    w.Command(CMD_GLANCE);
    REQUIRE(w.app.glanceWindow);
    SetWindowPos(w.app.glanceWindow, nullptr, 300, 350, 500, 400, SWP_NOZORDER);
    w.Key(w.app.glanceWindow, {}, VK_ESCAPE);
    w.Command(CMD_GLANCE);
    REQUIRE(w.app.glanceWindow);
    RECT again = WindowRect(w.app.glanceWindow);
    CHECK(again.left == 300);
    CHECK(again.top == 350);
    CHECK(again.right == 800);
    CHECK(again.bottom == 750);
    w.Key(w.app.glanceWindow, {}, VK_ESCAPE);
    Reg_SetString(REG_PROGRAM_KEY, "GlancePlace", "5000,5000,5600,5400");
    w.Command(CMD_GLANCE);
    REQUIRE(w.app.glanceWindow);
    CHECK_FALSE(Overlaps(WindowRect(w.app.glanceWindow), ClientOnScreen(w.main)));
    CHECK(WindowRect(w.app.glanceWindow).right <= 1280);

    // The selected first picture's frame ends above its caption, which is
    // drawn whole below it.
    HWND glance = w.app.glanceWindow;
    SetFocus(glance);
    REQUIRE(w.RunUntil([&] { return GlanceWindow_IsCurrent(glance); }, 30000));
    REQUIRE(w.app.character.expression == 0);
    Painted painted(glance);
    RECT cell;
    REQUIRE(GlanceWindow_PictureRect(glance, 0, &cell));
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), text = GetSysColor(COLOR_BTNTEXT);
    auto is = [&](int x, int y, COLORREF c) {
        return painted.Channel(x, y, 2) == GetRValue(c) && painted.Channel(x, y, 1) == GetGValue(c) &&
               painted.Channel(x, y, 0) == GetBValue(c);
    };
    int frameBottom = -1, textTop = -1;
    for (int y = cell.bottom; y < painted.height && y < cell.bottom + 40; y++)
        for (int x = cell.left; x < cell.right; x++) {
            if (is(x, y, highlight))
                frameBottom = y;
            if (textTop < 0 && is(x, y, text))
                textTop = y;
        }
    CHECK(frameBottom >= cell.bottom);  // the frame is there
    CHECK(textTop > frameBottom);       // and the caption starts below it
    guitest::SaveWindowPng(glance, (std::string(started) + "\\glance_first_selected.png").c_str(), true);
    w.Key(glance, {}, VK_ESCAPE);
    Reg_SetString(REG_PROGRAM_KEY, "GlancePlace", "");
}
