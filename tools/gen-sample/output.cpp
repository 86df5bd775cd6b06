// Writing the generated files: PNG images and the CP949 definition texts,
// each below a folder that is created on the way.
#include <cstdio>
#include <cstring>

#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "tools/gen-sample/sample_tree.h"

static int Output_Folder(const char *path)
{
    char folder[VOR_MAX_PATH];
    if (!FilePath_CopyFolder(path, folder))
        return 0;
    return folder[0] == 0 || FileSys_MakeFolder(folder);
}

static int Output_Done(WriteLog *log, int ok, const char *path)
{
    if (ok) {
        log->files++;
    } else {
        log->failures++;
        fprintf(stderr, "cannot write %s\n", path);
    }
    return ok;
}

int Output_Image(WriteLog *log, const DIB *image, const char *path)
{
    int ok = 0;
    if (Output_Folder(path)) {
        VorFile *f = FILE_Open(path, "wb");
        if (f) {
            ok = DIB_WritePNG(image, f);
            ok = (FILE_Close(f) == 0) && ok;
        }
    }
    return Output_Done(log, ok, path);
}

int Output_Text(WriteLog *log, const char *text, const char *path)
{
    int ok = 0;
    if (Output_Folder(path)) {
        VorFile *f = FILE_Open(path, "wb");
        if (f) {
            size_t n = strlen(text);
            ok = n == 0 || FILE_Write(text, n, 1, f) == 1;
            ok = (FILE_Close(f) == 0) && ok;
        }
    }
    return Output_Done(log, ok, path);
}

// Every sample part is drawn by this generator and given away: its credits
// say so, as a shared pack's should.
static const char SAMPLE_AUTHOR[] = "VOR 견본 생성기";
static const char SAMPLE_LICENSE[] = "CC0-1.0";

// The definition reader takes the colour as one number 0xHHLLSS (hue,
// luminance, saturation bytes); a part that is never recoloured gets none.
void PartDefinition_Format(const SampleEntry *entry, char *buffer, int size)
{
    int n = snprintf(buffer, (size_t)size, "// %s\r\nName = \"%s\";\r\nFolder = \"%s\";\r\n", entry->name, entry->name,
                     entry->folder);
    if (entry->colour && n > 0 && n < size)
        n += snprintf(buffer + n, (size_t)(size - n), "Color = 0x%06X;\r\n", (unsigned)entry->colour);
    if (n > 0 && n < size)
        snprintf(buffer + n, (size_t)(size - n), "Author = \"%s\";\r\nLicense = \"%s\";\r\n", SAMPLE_AUTHOR,
                 SAMPLE_LICENSE);
}
