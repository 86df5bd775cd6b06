// The canvas's load pass on its loader thread: the order of the load
// notifications, refreshes during a pass, an empty queue, and a canvas
// destroyed while its loader still runs.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "canvas_test_support.h"
#include "core/imaging/file.h"
#include "layers/image_request.h"
#include "test_support.h"

using namespace guitest;

namespace {

std::string WritePng(const ScratchFolder &folder, const char *name, COLORREF colour)
{
    std::string path = folder / name;
    DIB *image = Solid(16, 16, colour, 255);
    VorFile *file = FILE_Open(path.c_str(), "wb");
    REQUIRE(file);
    REQUIRE(DIB_WritePNG(image, file));
    FILE_Close(file);
    DIB_Delete_(image);
    return path;
}

void Queue(LayerDocument *doc, Layer *layer, const std::string &path, const HlsColour *colour = nullptr)
{
    Canvas_QueueImage(doc, ImageRequest_Create(layer, path.c_str(), colour));
}

std::vector<int> LoadCodes(const TestWindow &parent)
{
    std::vector<int> codes;
    for (const Notice &n : parent.notices)
        if (n.code >= FLN_LOADSTART && n.code <= FLN_LOADITEM)
            codes.push_back(n.code == FLN_LOADITEM ? 0x1000 + (int)n.lParam : n.code);
    return codes;
}

bool LoadDone(const TestWindow &parent)
{
    return !parent.WithCode(FLN_LOADDONE).empty();
}

}  // namespace

TEST_CASE("a load pass over three requests reports start, each item and done, in order")
{
    ScratchFolder folder;
    CanvasFixture f;
    Layer *a = ImageLayer(2001, f.doc->root, nullptr, 0, 0);
    Layer *b = ImageLayer(2002, f.doc->root, nullptr, 20, 0);
    Layer *c = ImageLayer(2003, f.doc->root, nullptr, 40, 0);
    for (Layer *l : {a, b, c})
        PtrList_Add(f.doc->depthList, l);
    HlsColour tint = {0, 128, 255};
    Queue(f.doc, a, WritePng(folder, "a.png", RGB(128, 128, 128)), &tint);
    Queue(f.doc, b, WritePng(folder, "b.png", RGB(0, 0, 255)));
    Queue(f.doc, c, folder / "missing.png");
    f.parent.Clear();

    DWORD uiThread = GetCurrentThreadId();
    std::vector<DWORD> senders;
    f.parent.onCommand = [&](const Notice &n) {
        if (n.code == FLN_LOADITEM)
            senders.push_back(InSendMessage() ? 1 : 0);
    };
    Canvas_Refresh(f.canvas);
    CHECK(f.doc->loaderRunning != 0);
    REQUIRE(PumpUntil([&] { return LoadDone(f.parent); }, 10000));
    Pump();

    std::vector<int> expected = {FLN_LOADSTART, 0x1000, 0x1001, 0x1002, FLN_LOADDONE};
    CHECK(LoadCodes(f.parent) == expected);
    // The items came from the loader thread, through SendMessageA.
    CHECK(senders == std::vector<DWORD>{1, 1, 1});
    CHECK(GetCurrentThreadId() == uiThread);
    CHECK(f.doc->loaderRunning == 0);
    CHECK(PtrList_Count(f.doc->requests) == 0);
    // The grey image was tinted red, the blue one copied, the missing one empty.
    COLORREF tinted = ComposedAt(f.doc, 5, 5);
    CHECK(GetRValue(tinted) > 200);
    CHECK(GetGValue(tinted) < 60);
    CHECK(GetBValue(tinted) < 60);
    CHECK(Layer_GetImage(a)->palette != nullptr);
    CHECK(ComposedAt(f.doc, 25, 5) == RGB(0, 0, 255));
    CHECK(Layer_GetImage(c)->image == nullptr);
    CHECK(ComposedAt(f.doc, 45, 5) == RGB(0, 255, 0));
}

TEST_CASE("a refresh during a pass changes nothing; requests queued meanwhile are loaded by it")
{
    ScratchFolder folder;
    CanvasFixture f;
    Layer *a = ImageLayer(2001, f.doc->root, nullptr, 0, 0);
    Layer *b = ImageLayer(2002, f.doc->root, nullptr, 20, 0);
    PtrList_Add(f.doc->depthList, a);
    PtrList_Add(f.doc->depthList, b);
    std::string red = WritePng(folder, "red.png", RGB(255, 0, 0));
    std::string blue = WritePng(folder, "blue.png", RGB(0, 0, 255));
    Queue(f.doc, a, red);
    f.parent.Clear();
    f.parent.onCommand = [&](const Notice &n) {
        if (n.code == FLN_LOADITEM && n.lParam == 0) {
            Queue(f.doc, b, blue);
            Canvas_Refresh(f.canvas);
            Canvas_Refresh(f.canvas);
        }
    };
    Canvas_Refresh(f.canvas);
    Canvas_Refresh(f.canvas);  // still running: nothing
    REQUIRE(PumpUntil([&] { return LoadDone(f.parent); }, 10000));
    Pump(50);
    std::vector<int> expected = {FLN_LOADSTART, 0x1000, 0x1001, FLN_LOADDONE};
    CHECK(LoadCodes(f.parent) == expected);
    CHECK(ComposedAt(f.doc, 25, 5) == RGB(0, 0, 255));

    // With nothing queued a refresh composes at once and says nothing.
    f.parent.Clear();
    f.parent.onCommand = nullptr;
    Layer_MoveTo(b, 100, 100);
    Canvas_Refresh(f.canvas);
    CHECK(f.parent.notices.empty());
    CHECK(f.doc->loaderRunning == 0);
    CHECK(ComposedAt(f.doc, 105, 105) == RGB(0, 0, 255));
    CHECK(ComposedAt(f.doc, 25, 5) == RGB(0, 255, 0));
}

TEST_CASE("destroying the canvas while its loader runs lets the pass finish first")
{
    ScratchFolder folder;
    std::string red = WritePng(folder, "red.png", RGB(255, 0, 0));
    CanvasFixture f;
    for (int i = 0; i < 40; i++) {
        Layer *layer = ImageLayer(3000 + i, f.doc->root, nullptr, 0, 0);
        PtrList_Add(f.doc->depthList, layer);
        Queue(f.doc, layer, red);
    }
    f.parent.Clear();
    Canvas_Refresh(f.canvas);
    DestroyWindow(f.canvas);
    f.canvas = nullptr;
    CHECK(LoadDone(f.parent));
    CHECK(f.parent.WithCode(FLN_LOADITEM).size() == 40);
}
