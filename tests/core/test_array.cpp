// Growable arrays and pointer lists: growth, block moves, insertion, removal
// and the lookups every list of the program relies on.
#include <doctest.h>

#include <cstring>
#include <string>

#include "core/array.h"

// The list's elements as one letter each, for compact expectations.
static std::string Letters(const Array *a)
{
    std::string s;
    for (int i = 0; i < Array_Count(a); i++)
        s += *(const char *)Array_ItemAt(a, i);
    return s;
}

static Array *LetterArray(const char *letters)
{
    Array *a = Array_Create(4, 4, 1);
    for (const char *p = letters; *p; p++)
        Array_Append(a, p);
    return a;
}

TEST_CASE("growth is by exactly the growth step, starting lazily at capacity 0")
{
    Array *a = Array_Create(0, 3, 4);
    REQUIRE(a);
    CHECK(a->capacity == 0);
    CHECK(a->items == nullptr);
    // Appending 10, 20, ... 70: the index each append returns, the capacity
    // after it, and the stored values, all as fixed figures.
    const struct {
        int value, index, capacity;
    } steps[] = {{10, 0, 3}, {20, 1, 3}, {30, 2, 3}, {40, 3, 6}, {50, 4, 6}, {60, 5, 6}, {70, 6, 9}};
    for (const auto &step : steps) {
        CAPTURE(step.value);
        CHECK(Array_Append(a, &step.value) == step.index);
        CHECK(a->capacity == step.capacity);
    }
    const int stored[] = {10, 20, 30, 40, 50, 60, 70};
    REQUIRE(Array_Count(a) == 7);
    CHECK(memcmp(a->items, stored, sizeof stored) == 0);
    Array_Free(a);

    Array *b = Array_Create(32, 32, 4);
    CHECK(b->capacity == 32);
    for (int i = 0; i < 33; i++)
        Array_Append(b, &i);
    CHECK(b->capacity == 64);
    Array_Free(b);
}

TEST_CASE("Array_Move moves blocks and normalises its arguments")
{
    struct Case {
        int first, last, before;
        const char *result;
        int moved;
    } cases[] = {
        {3, 3, 1, "PSQRT", 1},
        {1, 1, 4, "PRSQT", 1},
        {3, 1, 0, "QPRST", 1},   // last < first: the block becomes 1..1
        {1, 2, 1, "PQRST", 0},   // before == first
        {1, 2, 3, "PQRST", 0},   // before == last + 1
        {0, 1, 5, "RSTPQ", 1},   // to the very end
        {3, 4, 0, "STPQR", 1},   // a block to the front
        {-4, 1, 4, "RSPQT", 1},  // first < 0 becomes 0
        {3, 99, 1, "PSTQR", 1},  // last beyond the end becomes count - 1
        {1, 1, -1, "PQRST", 0},  // before outside the list moves nothing
        {1, 1, 6, "PQRST", 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.first);
        CAPTURE(c.last);
        CAPTURE(c.before);
        Array *a = LetterArray("PQRST");
        CHECK(Array_Move(a, c.first, c.last, c.before) == c.moved);
        CHECK(Letters(a) == c.result);
        Array_Free(a);
    }
}

TEST_CASE("Array_Insert places the element once and returns the index given")
{
    struct Case {
        int index;
        const char *result;
    } cases[] = {{0, "XPQR"}, {1, "PXQR"}, {2, "PQXR"}, {3, "PQRX"}, {-1, "PQRX"}, {7, "PQRX"}};
    for (const Case &c : cases) {
        CAPTURE(c.index);
        Array *a = LetterArray("PQR");
        char x = 'X';
        CHECK(Array_Insert(a, c.index, &x) == c.index);
        CHECK(Letters(a) == c.result);
        Array_Free(a);
    }
}

static std::string g_destroyed;
static void RecordSlot(void *slot) { g_destroyed += *(char *)slot; }
static void RecordText(void *item) { g_destroyed += (const char *)item; }

TEST_CASE("removal calls the destructor once and ignores indices out of range")
{
    Array *a = LetterArray("PQRS");
    g_destroyed.clear();
    Array_RemoveAt(a, 1, RecordSlot);
    Array_RemoveAt(a, -1, RecordSlot);
    Array_RemoveAt(a, 3, RecordSlot);
    CHECK(Letters(a) == "PRS");
    CHECK(g_destroyed == "Q");
    CHECK(Array_ItemAt(a, 3) == nullptr);
    CHECK(Array_ItemAt(a, -1) == nullptr);

    g_destroyed.clear();
    Array_Clear(a, RecordSlot);
    CHECK(g_destroyed == "PRS");
    CHECK(a->capacity == 0);
    CHECK(a->count == 0);
    CHECK(a->items == nullptr);
    CHECK(Array_Append(a, "Z") == 0);  // usable again after a clear
    Array_Free(a);
    Array_Free(nullptr);
}

TEST_CASE("pointer lists: reset keeps storage, destroy releases, take and remove")
{
    PtrList *list = PtrList_Create(2, 2);
    const char *texts[] = {"a", "b", "c", "d"};
    for (const char *t : texts)
        PtrList_Add(list, (void *)t);
    CHECK(list->capacity == 4);

    CHECK(PtrList_Take(list, 1) == texts[1]);
    CHECK(PtrList_Take(list, 9) == nullptr);
    CHECK(PtrList_Count(list) == 3);
    CHECK(PtrList_Get(list, 1) == texts[2]);
    CHECK(PtrList_Get(list, 3) == nullptr);

    g_destroyed.clear();
    PtrList_RemoveAt(list, 0, RecordText);
    CHECK(g_destroyed == "a");
    PtrList_InsertAt(list, 0, (void *)texts[0]);
    CHECK(PtrList_IndexOf(list, texts[0]) == 0);
    CHECK(PtrList_IndexOf(list, texts[1]) == -1);

    g_destroyed.clear();
    PtrList_Reset(list, RecordText);
    CHECK(g_destroyed == "acd");
    CHECK(PtrList_Count(list) == 0);
    CHECK(list->capacity == 4);

    PtrList_Add(list, (void *)texts[3]);
    g_destroyed.clear();
    PtrList_Destroy(list, RecordText);
    CHECK(g_destroyed == "d");
    PtrList_Destroy(nullptr, RecordText);
    PtrList_Reset(nullptr, RecordText);
    CHECK(PtrList_Count(nullptr) == 0);
}

TEST_CASE("PtrList_FindString compares whole texts byte for byte")
{
    PtrList *list = PtrList_Create(0, 8);
    char abc[] = "abc", abd[] = "abd", korean[] = "\xC7\xD1\xB1\xDB";  // 한글
    PtrList_Add(list, abc);
    PtrList_Add(list, abd);
    PtrList_Add(list, korean);
    CHECK(PtrList_FindString(list, "abd") == 1);
    CHECK(PtrList_FindString(list, "ab") == -1);
    CHECK(PtrList_FindString(list, "abcd") == -1);
    CHECK(PtrList_FindString(list, "\xC7\xD1\xB1\xDB") == 2);
    CHECK(PtrList_FindString(list, "\xC7\xD1") == -1);
    CHECK(PtrList_FindString(nullptr, "abc") == -1);
    PtrList_Destroy(list, nullptr);
}

static int CompareChars(const void *a, const void *b)
{
    return *(const char *)a - *(const char *)b;
}

TEST_CASE("sorting and a loop that appends to the list it walks")
{
    Array *a = LetterArray("TRPSQ");
    Array_Sort(a, CompareChars);
    CHECK(Letters(a) == "PQRST");
    Array_Free(a);

    // Each step appends the next letter while the list is short; every
    // append regrows the storage (capacity 1, step 1), and the walk must
    // still see the old items unchanged and the new ones in order.
    static const char *const letters[] = {"a", "b", "c", "d", "e"};
    PtrList *list = PtrList_Create(1, 1);
    PtrList_Add(list, (void *)letters[0]);
    std::string walked;
    for (int i = 0; i < PtrList_Count(list); i++) {
        walked += (const char *)PtrList_Get(list, i);
        if (PtrList_Count(list) < 4)
            CHECK(PtrList_Add(list, (void *)letters[PtrList_Count(list)]) == i + 1);
    }
    CHECK(walked == "abcd");
    CHECK(list->capacity == 4);
    PtrList_Destroy(list, nullptr);
}
