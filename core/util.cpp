// String copies, length-prefixed blocks and the diagnostic print.
#include "core/util.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/debug_output.h"
#include "core/imaging/file.h"

// Length-prefixed blocks longer than this are refused as damaged input: no
// field of a project file comes near it.
static const int32_t STREAM_MAX_BLOCK = 16 * 1024 * 1024;

char *Str_Dup(const char *text)
{
    if (!text)
        return nullptr;
    size_t n = strlen(text) + 1;
    char *copy = (char *)malloc(n);
    if (copy)
        memcpy(copy, text, n);
    return copy;
}

int Hex_DigitValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static int32_t ReadLE32(const unsigned char *b)
{
    return (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
}

void *Stream_ReadBlock(VorFile *file, int32_t *outLength, int *outComplete)
{
    unsigned char lenBytes[4];
    int32_t n = 0;
    int complete = 0;
    if (FILE_Read(lenBytes, 4, 1, file) == 1) {
        n = ReadLE32(lenBytes);
        complete = 1;
    }
    if (outLength)
        *outLength = n;
    if (outComplete)
        *outComplete = 0;
    if (n < 0 || n > STREAM_MAX_BLOCK)
        return nullptr;
    // One spare byte, so that an empty block is still a valid allocation.
    unsigned char *block = (unsigned char *)malloc((size_t)n + 1);
    if (!block)
        return nullptr;
    block[n] = 0;
    if (n > 0 && FILE_Read(block, (size_t)n, 1, file) != 1)
        complete = 0;
    if (outComplete)
        *outComplete = complete;
    return block;
}

int Stream_WriteString(const char *text, VorFile *file)
{
    size_t len = strlen(text) + 1;
    unsigned char lenBytes[4] = {(unsigned char)len, (unsigned char)(len >> 8),
                                 (unsigned char)(len >> 16), (unsigned char)(len >> 24)};
    if (FILE_Write(lenBytes, 4, 1, file) != 1)
        return 0;
    return FILE_Write(text, len, 1, file) == 1;
}

static DebugSink g_debugSink = Debug_PlatformOutput;

DebugSink Debug_SetSink(DebugSink sink)
{
    DebugSink old = g_debugSink;
    g_debugSink = sink ? sink : Debug_PlatformOutput;
    return old;
}

void Debug_Print(const char *format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_debugSink(line);
}
