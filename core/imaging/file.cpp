// File access over the C runtime, with the program's path rules, and the
// buffered byte reader used by the definition-file tokenizer.
#include "core/imaging/file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/imaging/system_path.h"

struct VorFile {
    FILE *f;
    int failed;  // a write came up short
};

VorFile *FILE_Open(const char *path, const char *mode)
{
    char sys[VOR_MAX_PATH];
    if (!mode || !SystemPath_From(path, sys) || !sys[0])
        return nullptr;
    FILE *f = fopen(sys, mode);
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

// FileIn: a byte reader over a file (read in 64 KiB chunks) or a memory copy.
enum { FILEIN_CHUNK = 65536 };

struct VorFileIn {
    VorFile *file;          // nullptr for a memory source
    unsigned char *buffer;  // chunk of the file, or the whole memory copy
    size_t length;          // valid bytes in buffer
    size_t pos;             // next byte to hand out
    int atEnd;              // the source has no more bytes to give
};

static void FileIn_Fill(VorFileIn *in)
{
    if (in->pos < in->length || in->atEnd)
        return;
    in->pos = 0;
    in->length = in->file ? fread(in->buffer, 1, FILEIN_CHUNK, in->file->f) : 0;
    if (in->length == 0)
        in->atEnd = 1;
}

VorFileIn *FileIn_Open(const char *path)
{
    VorFile *file = FILE_Open(path, "rb");
    if (!file)
        return nullptr;
    VorFileIn *in = (VorFileIn *)calloc(1, sizeof(VorFileIn));
    unsigned char *buffer = (unsigned char *)malloc(FILEIN_CHUNK);
    if (!in || !buffer) {
        free(in);
        free(buffer);
        FILE_Close(file);
        return nullptr;
    }
    in->file = file;
    in->buffer = buffer;
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

int FileIn_GetChar(VorFileIn *in)
{
    if (!in)
        return -1;
    if (in->pos >= in->length) {
        if (!in->file) {
            in->atEnd = 1;
            return -1;
        }
        FileIn_Fill(in);
        if (in->atEnd)
            return -1;
    }
    return in->buffer[in->pos++];
}

int FileIn_IsEof(VorFileIn *in)
{
    if (!in)
        return 1;
    if (in->pos < in->length)
        return 0;
    if (!in->file)
        return 1;
    FileIn_Fill(in);
    return in->atEnd;
}

void FileIn_Close(VorFileIn *in)
{
    if (!in)
        return;
    if (in->file)
        FILE_Close(in->file);
    free(in->buffer);
    free(in);
}
