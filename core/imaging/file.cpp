// File access over the C runtime, with the program's path rules, and the
// buffered byte reader used by the definition-file tokenizer.
#include "core/imaging/file.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>

#include "core/imaging/system_path.h"

struct VorFile {
    FILE *f;
    int failed;  // a write came up short
};

// Bytes that may still be written before the injected fault; -1 for none.
static std::atomic<long long> g_writeBudget(-1);

void FILE_FailWritesAfter(long long bytes)
{
    g_writeBudget = bytes < 0 ? -1 : bytes;
}

// Takes `bytes` from the injected budget; 0 once it is spent.
static int WriteBudget_Take(size_t bytes)
{
    long long left = g_writeBudget.load();
    while (left >= 0) {
        if ((unsigned long long)left < bytes) {
            g_writeBudget = 0;
            return 0;
        }
        if (g_writeBudget.compare_exchange_weak(left, left - (long long)bytes))
            return 1;
    }
    return 1;
}

static VorFile *VorFile_Wrap(FILE *f)
{
    if (!f)
        return nullptr;
    VorFile *file = (VorFile *)calloc(1, sizeof(VorFile));
    if (!file) {
        fclose(f);
        return nullptr;
    }
    file->f = f;
    return file;
}

VorFile *FILE_Open(const char *path, const char *mode)
{
    char sys[VOR_MAX_PATH];
    if (!mode || !SystemPath_From(path, sys) || !sys[0])
        return nullptr;
    // The program reads only regular files: opening a pipe or a device for
    // reading could wait for ever or never end.
    if (mode[0] == 'r' && !strchr(mode, '+'))
        return VorFile_Wrap(SystemFile_OpenRegular(sys));
    return VorFile_Wrap(fopen(sys, mode));
}

size_t FILE_Read(void *buffer, size_t size, size_t count, VorFile *file)
{
    if (!file || size == 0)
        return 0;
    return fread(buffer, size, count, file->f);
}

size_t FILE_Write(const void *buffer, size_t size, size_t count, VorFile *file)
{
    if (!file || size == 0)
        return 0;
    if (!WriteBudget_Take(size * count)) {
        file->failed = 1;
        return 0;
    }
    size_t done = fwrite(buffer, size, count, file->f);
    if (done != count)
        file->failed = 1;
    return done;
}

int FILE_Close(VorFile *file)
{
    if (!file)
        return -1;
    int failed = file->failed || ferror(file->f);
    if (fclose(file->f) != 0)
        failed = 1;
    free(file);
    return failed ? -1 : 0;
}

unsigned char *FILE_ReadAll(const char *path, size_t maxBytes, size_t *outSize)
{
    *outSize = 0;
    VorFile *file = FILE_Open(path, "rb");
    if (!file)
        return nullptr;
    size_t size = 0, capacity = 0;
    unsigned char *data = nullptr;
    for (;;) {
        if (size == capacity) {
            size_t grown = capacity ? capacity * 2 : 65536;
            if (grown > maxBytes + 1)
                grown = maxBytes + 1;
            if (grown <= capacity)
                break;
            unsigned char *p = (unsigned char *)realloc(data, grown);
            if (!p) {
                free(data);
                FILE_Close(file);
                return nullptr;
            }
            data = p;
            capacity = grown;
        }
        size_t n = fread(data + size, 1, capacity - size, file->f);
        size += n;
        if (n == 0)
            break;
    }
    int readError = ferror(file->f);
    FILE_Close(file);
    if (readError || size > maxBytes) {
        free(data);
        return nullptr;
    }
    if (!data)
        data = (unsigned char *)malloc(1);
    *outSize = size;
    return data;
}

// Temporary names: as many characters as the final name has (at most 12),
// `~` and then letters and digits, so the temporary fits wherever the final
// path does. Exclusive creation makes a clash harmless: the next name is tried.
enum { TEMP_NAME_MAX = 12, TEMP_ATTEMPTS = 64 };

static void TempName_Make(char *name, size_t length, unsigned long long seed)
{
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (size_t i = 0; i < length; i++) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        name[i] = kDigits[(seed >> 33) % 36];
    }
    if (length > 1)
        name[0] = '~';
    name[length] = 0;
}

static int TempName_SameName(const char *temp, const char *name)
{
    for (; *temp && *name; temp++, name++)
        if (tolower((unsigned char)*temp) != tolower((unsigned char)*name))
            return 0;
    return *temp == *name;
}

VorFile *FILE_CreateBeside(const char *finalPath, char *tempPath)
{
    static std::atomic<unsigned long long> counter(0);
    tempPath[0] = 0;
    if (!finalPath)
        return nullptr;
    size_t total = strlen(finalPath);
    if (total >= VOR_MAX_PATH)
        return nullptr;
    const char *slash = strrchr(finalPath, '\\');
#ifndef _WIN32
    const char *posixSlash = strrchr(finalPath, '/');
    if (posixSlash && (!slash || posixSlash > slash))
        slash = posixSlash;
#endif
    size_t folderLength = slash ? (size_t)(slash - finalPath) + 1 : 0;
    size_t nameLength = total - folderLength;
    if (nameLength == 0)
        return nullptr;
    if (nameLength > TEMP_NAME_MAX)
        nameLength = TEMP_NAME_MAX;
    unsigned long long seed = (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count() ^
                              ((unsigned long long)(uintptr_t)tempPath << 16);
    for (int attempt = 0; attempt < TEMP_ATTEMPTS; attempt++) {
        char path[VOR_MAX_PATH];
        memcpy(path, finalPath, folderLength);
        TempName_Make(path + folderLength, nameLength, seed + counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL);
        // A short final name may be drawn itself (or, on Windows, itself in
        // other case): that would be no temporary at all.
        if (TempName_SameName(path + folderLength, finalPath + folderLength))
            continue;
        char sys[VOR_MAX_PATH];
        if (!SystemPath_From(path, sys))
            return nullptr;
        FILE *f = SystemFile_CreateNew(sys);
        if (!f) {
            if (SystemFile_Exists(sys))
                continue;  // a clash: another name
            return nullptr;
        }
        VorFile *file = VorFile_Wrap(f);
        if (!file) {
            File_Delete(path);
            return nullptr;
        }
        memcpy(tempPath, path, strlen(path) + 1);
        return file;
    }
    return nullptr;
}

int FILE_WriteAtomic(const char *path, int (*produce)(VorFile *file, void *context), void *context)
{
    if (!path || !path[0] || strlen(path) >= VOR_MAX_PATH)
        return FILEWRITE_PATH_TOO_LONG;
    if (File_IsOtherThanFile(path))
        return FILEWRITE_NOT_A_FILE;
    char temp[VOR_MAX_PATH];
    VorFile *file = FILE_CreateBeside(path, temp);
    if (!file)
        return FILEWRITE_CANNOT_CREATE;
    int ok = produce(file, context);
    ok = FILE_Close(file) == 0 && ok;
    if (!ok) {
        File_Delete(temp);
        return FILEWRITE_WRITE_FAILED;
    }
    // Asked again: something may have been put there while this was written.
    if (File_IsOtherThanFile(path)) {
        File_Delete(temp);
        return FILEWRITE_NOT_A_FILE;
    }
    if (!File_Replace(temp, path)) {
        File_Delete(temp);
        return FILEWRITE_CANNOT_REPLACE;
    }
    return FILEWRITE_OK;
}

// FileIn: a byte reader over a file read whole on opening, or a memory copy.
struct VorFileIn {
    unsigned char *buffer;  // the whole source
    size_t length;          // its bytes
    size_t pos;             // next byte to hand out
};

VorFileIn *FileIn_Open(const char *path, size_t maxBytes)
{
    size_t size = 0;
    unsigned char *data = FILE_ReadAll(path, maxBytes, &size);
    if (!data)
        return nullptr;
    VorFileIn *in = (VorFileIn *)calloc(1, sizeof(VorFileIn));
    if (!in) {
        free(data);
        return nullptr;
    }
    in->buffer = data;
    in->length = size;
    return in;
}

VorFileIn *FileIn_OpenMemory(const void *data, size_t size)
{
    VorFileIn *in = (VorFileIn *)calloc(1, sizeof(VorFileIn));
    unsigned char *buffer = (unsigned char *)malloc(size ? size : 1);
    if (!in || !buffer) {
        free(in);
        free(buffer);
        return nullptr;
    }
    if (size)
        memcpy(buffer, data, size);
    in->buffer = buffer;
    in->length = size;
    return in;
}

size_t FileIn_Size(const VorFileIn *in)
{
    return in ? in->length : 0;
}

int FileIn_GetChar(VorFileIn *in)
{
    if (!in || in->pos >= in->length)
        return -1;
    return in->buffer[in->pos++];
}

int FileIn_IsEof(VorFileIn *in)
{
    return !in || in->pos >= in->length;
}

void FileIn_Close(VorFileIn *in)
{
    if (!in)
        return;
    free(in->buffer);
    free(in);
}
