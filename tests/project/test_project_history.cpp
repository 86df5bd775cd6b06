// The undo history: steps, merging of typed runs, the saved state, the
// bound on the number of steps, and the recent-files list beside it.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "project/project_history.h"
#include "project/recent_files.h"

namespace {

// A state whose image is the text and whose shown style is `shown`.
ProjectState State(const std::string &image, int shown = 0)
{
    ProjectState s = {};
    s.size = image.size();
    s.bytes = (unsigned char *)malloc(image.size() + 1);
    memcpy(s.bytes, image.c_str(), image.size() + 1);
    s.styleCount = 1;
    s.selections = (int32_t *)malloc(sizeof(int32_t));
    s.selections[0] = shown;
    s.shownStyle = shown;
    return s;
}

std::string Image(const ProjectState *s)
{
    return s ? std::string((const char *)s->bytes, s->size) : std::string("(none)");
}

struct History {
    ProjectHistory h;
    History() { REQUIRE(History_Init(&h)); }
    ~History() { History_Release(&h); }
    void Reset(const std::string &image)
    {
        ProjectState s = State(image);
        History_Reset(&h, &s);
    }
    int Commit(const std::string &image, int tag = HISTORY_NO_MERGE, int shown = 0)
    {
        ProjectState s = State(image, shown);
        int added = History_Commit(&h, &s, tag);
        ProjectState_Free(&s);
        return added;
    }
    std::string Current() { return Image(&h.states[h.current]); }
};

}  // namespace

TEST_CASE("history: huge states keep within the byte bound, the current one and the one before it always")
{
    struct Case {
        size_t stateBytes;
        int commits;
        int expectedCount;  // states held at the end
    } cases[] = {
        {1000, 20, 21},                          // small: every step stays
        {HISTORY_MAX_BYTES / 4, 10, 3},          // three fit within the bound, a fourth would pass it
        {HISTORY_MAX_BYTES + 1, 5, 2},           // larger than the bound: still one undo step
    };
    for (const Case &c : cases) {
        CAPTURE(c.stateBytes);
        History t;
        t.Reset(std::string(c.stateBytes, 'a'));
        for (int i = 0; i < c.commits; i++)
            t.Commit(std::string(c.stateBytes, (char)('b' + i)));
        CHECK(t.h.count == c.expectedCount);
        CHECK((History_Bytes(&t.h) <= HISTORY_MAX_BYTES || t.h.count == 2));
        CHECK(t.Current() == std::string(c.stateBytes, (char)('b' + c.commits - 1)));
        REQUIRE(History_Undo(&t.h));
        CHECK(t.Current() == std::string(c.stateBytes, (char)('b' + c.commits - 2)));
    }
}

TEST_CASE("history: memory running out lets every step go but the current one")
{
    History t;
    t.Reset("A");
    t.Commit("B");
    t.Commit("C");
    History_Undo(&t.h);
    CHECK(History_DropAllButCurrent(&t.h));
    CHECK((t.h.count == 1 && t.Current() == "B"));
    CHECK(t.Commit("D") == 1);  // and the history goes on from there
}

TEST_CASE("history: changes are steps; undo and redo walk them; a new change drops the redo steps")
{
    History t;
    t.Reset("A");
    CHECK_FALSE(History_CanUndo(&t.h));
    CHECK_FALSE(History_IsModified(&t.h));
    CHECK(t.Commit("B") == 1);
    CHECK(t.Commit("C") == 1);
    CHECK(History_IsModified(&t.h));
    CHECK(Image(History_Undo(&t.h)) == "B");
    CHECK(Image(History_Undo(&t.h)) == "A");
    CHECK(History_Undo(&t.h) == nullptr);
    // Back at the saved state: not modified.
    CHECK_FALSE(History_IsModified(&t.h));
    CHECK(Image(History_Redo(&t.h)) == "B");
    CHECK(History_IsModified(&t.h));
    CHECK(t.Commit("D") == 1);
    CHECK_FALSE(History_CanRedo(&t.h));
    CHECK(Image(History_Undo(&t.h)) == "B");
    CHECK(Image(History_Redo(&t.h)) == "D");
    CHECK(History_Redo(&t.h) == nullptr);
}

TEST_CASE("history: the same project is no step but keeps the newest selections")
{
    History t;
    t.Reset("A");
    CHECK(t.Commit("A", HISTORY_NO_MERGE, 2) == 0);
    CHECK_FALSE(History_CanUndo(&t.h));
    CHECK(t.h.states[t.h.current].shownStyle == 2);
    CHECK(t.Commit("B") == 1);
    const ProjectState *back = History_Undo(&t.h);
    REQUIRE(back);
    CHECK(back->shownStyle == 2);
    CHECK(back->selections[0] == 2);
}

TEST_CASE("history: typing into one field merges; another tag, a break or an undo starts a new step")
{
    History t;
    t.Reset("N");
    const int NAME = 1007, FOLDER = 1030;
    CHECK(t.Commit("Na", NAME) == 1);
    CHECK(t.Commit("Nab", NAME) == 1);
    CHECK(t.h.count == 2);
    CHECK(t.Commit("Nab/f", FOLDER) == 1);
    CHECK(t.h.count == 3);
    History_BreakMerge(&t.h);
    CHECK(t.Commit("Nab/fg", FOLDER) == 1);
    CHECK(t.h.count == 4);
    CHECK(Image(History_Undo(&t.h)) == "Nab/f");
    CHECK(t.Commit("Nab/fh", FOLDER) == 1);
    CHECK(t.h.count == 4);
    CHECK(t.Current() == "Nab/fh");
    // A part choice (no tag) between two typed runs separates them.
    CHECK(t.Commit("X", NAME) == 1);
    CHECK(t.Commit("Y") == 1);
    CHECK(t.Commit("Ya", NAME) == 1);
    CHECK(Image(History_Undo(&t.h)) == "Y");
}

TEST_CASE("history: typing a field back to what it was leaves no step")
{
    History t;
    t.Reset("N");
    CHECK(t.Commit("P") == 1);
    CHECK(t.Commit("Pa", 7) == 1);
    CHECK(t.Commit("P", 7) == 1);
    CHECK(t.h.count == 2);
    CHECK(t.Current() == "P");
    CHECK(Image(History_Undo(&t.h)) == "N");
}

TEST_CASE("history: the first commit without a reset only sets the start")
{
    History t;
    CHECK(t.Commit("A") == 0);
    CHECK_FALSE(History_CanUndo(&t.h));
    CHECK_FALSE(History_IsModified(&t.h));
}

TEST_CASE("history: saving makes the current state the unmodified one, wherever it is")
{
    History t;
    t.Reset("A");
    t.Commit("B");
    t.Commit("C");
    History_MarkSaved(&t.h);
    CHECK_FALSE(History_IsModified(&t.h));
    History_Undo(&t.h);
    CHECK(History_IsModified(&t.h));
    History_Redo(&t.h);
    CHECK_FALSE(History_IsModified(&t.h));
    // A reset forgets every step and starts unmodified.
    t.Reset("Z");
    CHECK_FALSE(History_CanUndo(&t.h));
    CHECK_FALSE(History_CanRedo(&t.h));
    CHECK_FALSE(History_IsModified(&t.h));
}

TEST_CASE("history: at most the bound of steps; the oldest go first")
{
    History t;
    t.Reset("0");
    for (int i = 1; i <= HISTORY_MAX_STEPS + 30; i++)
        CHECK(t.Commit(std::to_string(i)) == 1);
    int undone = 0;
    const ProjectState *last = nullptr;
    while (const ProjectState *s = History_Undo(&t.h)) {
        last = s;
        undone++;
    }
    CHECK(undone == HISTORY_MAX_STEPS);
    CHECK(undone >= 100);
    CHECK(Image(last) == std::to_string(30));
    // The saved state went with the dropped steps, so this one is modified.
    CHECK(History_IsModified(&t.h));
}

TEST_CASE("recent files: newest first, each once, at most four; removing closes the gap")
{
    RecentFiles r = {};
    for (const char *p : {"C:\\a.vor", "C:\\b.vor", "C:\\c.vor", "C:\\a.vor", "C:\\d.vor", "C:\\e.vor", ""})
        RecentFiles_Add(&r, p);
    REQUIRE(r.count == 4);
    const char *expected[] = {"C:\\e.vor", "C:\\d.vor", "C:\\a.vor", "C:\\c.vor"};
    for (int i = 0; i < 4; i++)
        CHECK(std::string(r.paths[i]) == expected[i]);
    RecentFiles_Remove(&r, "C:\\d.vor");
    RecentFiles_Remove(&r, "C:\\nothing.vor");
    REQUIRE(r.count == 3);
    CHECK(std::string(r.paths[1]) == "C:\\a.vor");
    CHECK(std::string(r.paths[2]) == "C:\\c.vor");
    CHECK(r.paths[3][0] == '\0');
    std::string tooLong(VOR_MAX_PATH, 'x');
    RecentFiles_Add(&r, tooLong.c_str());
    CHECK(r.count == 3);
}

TEST_CASE("recent files: menu texts number the entries, shorten long paths and double ampersands")
{
    RecentFiles r = {};
    std::string deep = "C:\\projects\\characters\\second season\\main cast\\heroines\\final\\ann.vor";
    RecentFiles_Add(&r, deep.c_str());
    RecentFiles_Add(&r, "D:\\R&D\\x.vor");
    struct Row {
        int index;
        const char *text;
    } rows[] = {
        {0, "&1 D:\\R&&D\\x.vor"},
        {1, "&2 C:\\..\\second season\\main cast\\heroines\\final\\ann.vor"},
    };
    for (const Row &row : rows) {
        char text[400];
        RecentFiles_MenuText(&r, row.index, text, sizeof text);
        CHECK(std::string(text) == row.text);
    }
    char text[16] = "junk";
    RecentFiles_MenuText(&r, 2, text, sizeof text);
    CHECK(std::string(text).empty());
}
