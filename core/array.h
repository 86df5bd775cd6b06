// Growable arrays: the one list type behind every list of the program.
//
// An Array holds `count` elements of `elemSize` bytes in one heap block with
// room for `capacity`. It grows only when full, and then by exactly `growStep`
// elements (never doubling), so owners control their memory precisely.
// Elements are plain bytes, copied in and out and never interpreted.
//
// A PtrList is an Array of pointers. It owns nothing by itself: the objects it
// points to are released only through a destructor passed to the releasing
// operations. Loops over a list re-read the count on every step, so a loop
// body may append to the list it walks.
#pragma once

#include <cstddef>

struct Array {
    int capacity;   // elements the storage can hold
    int count;      // elements in use, 0 <= count <= capacity
    int growStep;   // elements added to the capacity each time it grows
    int elemSize;   // bytes per element
    unsigned char *items; // capacity * elemSize bytes, or nullptr
};

typedef Array PtrList;

// Called with the address of a slot (Array) or with the pointer (PtrList).
typedef void (*SlotDestructor)(void *slot);
typedef void (*PtrDestructor)(void *item);
typedef int (*SlotCompare)(const void *a, const void *b);

Array *Array_Create(int initialCapacity, int growStep, int elemSize);
int Array_Append(Array *a, const void *elem);
int Array_Insert(Array *a, int index, const void *elem);
int Array_Move(Array *a, int first, int last, int before);
void Array_RemoveAt(Array *a, int index, SlotDestructor destroy);
void Array_Clear(Array *a, SlotDestructor destroy);
void Array_Free(Array *a);
void *Array_ItemAt(const Array *a, int index);
int Array_Count(const Array *a);
void Array_Sort(Array *a, SlotCompare compare);

PtrList *PtrList_Create(int initialCapacity, int growStep);
int PtrList_Add(PtrList *list, void *item);
int PtrList_InsertAt(PtrList *list, int index, void *item);
void *PtrList_Get(const PtrList *list, int index);
void PtrList_Set(PtrList *list, int index, void *item);
void *PtrList_Take(PtrList *list, int index);
void PtrList_RemoveAt(PtrList *list, int index, PtrDestructor destroy);
void PtrList_Reset(PtrList *list, PtrDestructor destroy);
void PtrList_Destroy(PtrList *list, PtrDestructor destroy);
int PtrList_IndexOf(const PtrList *list, const void *item);
int PtrList_FindString(const PtrList *list, const char *text);
int PtrList_Count(const PtrList *list);
