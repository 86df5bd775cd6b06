// Growable arrays and pointer lists (see array.h for the contract).
#include "core/array.h"

#include <cstdlib>
#include <cstring>

Array *Array_Create(int initialCapacity, int growStep, int elemSize)
{
    if (elemSize <= 0 || initialCapacity < 0)
        return nullptr;
    Array *a = (Array *)calloc(1, sizeof(Array));
    if (!a)
        return nullptr;
    a->growStep = growStep > 0 ? growStep : 1;
    a->elemSize = elemSize;
    if (initialCapacity > 0) {
        a->items = (unsigned char *)malloc((size_t)initialCapacity * (size_t)elemSize);
        if (!a->items) {
            free(a);
            return nullptr;
        }
        a->capacity = initialCapacity;
    }
    return a;
}

static unsigned char *Array_Slot(const Array *a, int index)
{
    return a->items + (size_t)index * (size_t)a->elemSize;
}

// Grows by exactly the growth step; 0 leaves the array untouched.
static int Array_Grow(Array *a)
{
    long long newCapacity = (long long)a->capacity + a->growStep;
    if (newCapacity > 0x7FFFFFFF / a->elemSize)
        return 0;
    void *p = realloc(a->items, (size_t)newCapacity * (size_t)a->elemSize);
    if (!p)
        return 0;
    a->items = (unsigned char *)p;
    a->capacity = (int)newCapacity;
    return 1;
}

int Array_Append(Array *a, const void *elem)
{
    if (!a)
        return -1;
    if (a->count == a->capacity && !Array_Grow(a))
        return -1;
    memcpy(Array_Slot(a, a->count), elem, (size_t)a->elemSize);
    return a->count++;
}

int Array_Insert(Array *a, int index, const void *elem)
{
    int at = Array_Append(a, elem);
    if (at < 0)
        return index;
    Array_Move(a, at, at, index);
    return index;
}

int Array_Move(Array *a, int first, int last, int before)
{
    if (!a)
        return 0;
    if (last < first)
        first = last;
    if (first < 0)
        first = 0;
    if (last >= a->count)
        last = a->count - 1;
    if (last < first || before < 0 || before > a->count)
        return 0;
    if (first <= before && before <= last + 1)
        return 0;

    int n = last - first + 1;
    size_t es = (size_t)a->elemSize;
    unsigned char *block = (unsigned char *)malloc((size_t)n * es);
    if (!block)
        return 0;
    memcpy(block, Array_Slot(a, first), (size_t)n * es);
    if (before < first) {
        memmove(Array_Slot(a, before + n), Array_Slot(a, before), (size_t)(first - before) * es);
        memcpy(Array_Slot(a, before), block, (size_t)n * es);
    } else {
        memmove(Array_Slot(a, first), Array_Slot(a, last + 1), (size_t)(before - last - 1) * es);
        memcpy(Array_Slot(a, before - n), block, (size_t)n * es);
    }
    free(block);
    return 1;
}

void Array_RemoveAt(Array *a, int index, SlotDestructor destroy)
{
    if (!a || index < 0 || index >= a->count)
        return;
    if (destroy)
        destroy(Array_Slot(a, index));
    size_t es = (size_t)a->elemSize;
    memmove(Array_Slot(a, index), Array_Slot(a, index + 1), (size_t)(a->count - index - 1) * es);
    a->count--;
}

void Array_Clear(Array *a, SlotDestructor destroy)
{
    if (!a)
        return;
    if (destroy)
        for (int i = 0; i < a->count; i++)
            destroy(Array_Slot(a, i));
    free(a->items);
    a->items = nullptr;
    a->capacity = 0;
    a->count = 0;
}

void Array_Free(Array *a)
{
    if (!a)
        return;
    free(a->items);
    free(a);
}

void *Array_ItemAt(const Array *a, int index)
{
    if (!a || index < 0 || index >= a->count)
        return nullptr;
    return Array_Slot(a, index);
}

int Array_Count(const Array *a)
{
    return a ? a->count : 0;
}

void Array_Sort(Array *a, SlotCompare compare)
{
    if (a && a->count > 1)
        qsort(a->items, (size_t)a->count, (size_t)a->elemSize, compare);
}

PtrList *PtrList_Create(int initialCapacity, int growStep)
{
    return Array_Create(initialCapacity, growStep, (int)sizeof(void *));
}

int PtrList_Add(PtrList *list, void *item)
{
    return Array_Append(list, &item);
}

int PtrList_InsertAt(PtrList *list, int index, void *item)
{
    return Array_Insert(list, index, &item);
}

void *PtrList_Get(const PtrList *list, int index)
{
    void **slot = (void **)Array_ItemAt(list, index);
    return slot ? *slot : nullptr;
}

void PtrList_Set(PtrList *list, int index, void *item)
{
    void **slot = (void **)Array_ItemAt(list, index);
    if (slot)
        *slot = item;
}

void *PtrList_Take(PtrList *list, int index)
{
    void **slot = (void **)Array_ItemAt(list, index);
    if (!slot)
        return nullptr;
    void *item = *slot;
    Array_RemoveAt(list, index, nullptr);
    return item;
}

void PtrList_RemoveAt(PtrList *list, int index, PtrDestructor destroy)
{
    void **slot = (void **)Array_ItemAt(list, index);
    if (!slot)
        return;
    if (destroy)
        destroy(*slot);
    Array_RemoveAt(list, index, nullptr);
}

void PtrList_Reset(PtrList *list, PtrDestructor destroy)
{
    if (!list)
        return;
    if (destroy)
        for (int i = 0; i < list->count; i++)
            destroy(((void **)list->items)[i]);
    list->count = 0;
}

void PtrList_Destroy(PtrList *list, PtrDestructor destroy)
{
    if (!list)
        return;
    PtrList_Reset(list, destroy);
    Array_Free(list);
}

int PtrList_IndexOf(const PtrList *list, const void *item)
{
    for (int i = 0; i < PtrList_Count(list); i++)
        if (((void **)list->items)[i] == item)
            return i;
    return -1;
}

int PtrList_FindString(const PtrList *list, const char *text)
{
    for (int i = 0; i < PtrList_Count(list); i++) {
        const char *s = (const char *)((void **)list->items)[i];
        if (s && text && strcmp(s, text) == 0)
            return i;
    }
    return -1;
}

int PtrList_Count(const PtrList *list)
{
    return list ? list->count : 0;
}
