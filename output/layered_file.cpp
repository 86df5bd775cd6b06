// The export's layered file: path, parts, encoding and the atomic write.
#include "output/layered_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "output/ora_file.h"
#include "output/psd_file.h"

int Layered_FormatFromName(const char *name)
{
    if (strcmp(name, "psd") == 0)
        return LAYERED_PSD;
    if (strcmp(name, "ora") == 0)
        return LAYERED_ORA;
    return -1;
}

// The picture's path with its ".png" replaced: the same length, so a path
// that fits stays fitting.
static void SwapExtension(char *path, int format)
{
    size_t n = strlen(path);
    if (n >= 4 && path[n - 4] == '.')
        memcpy(path + n - 3, format == LAYERED_PSD ? "psd" : "ora", 3);
}

void LayeredJob_Take(LayeredJob *job, int format, const Character *ch, const Wardrobe *w,
                     const ExportPicture *picture, const DIB *composed, LayerEncodings *shared)
{
    memset(job, 0, sizeof *job);
    if (format != LAYERED_PSD && format != LAYERED_ORA)
        return;
    job->format = format;
    job->shared = shared;
    job->failure = EXPORT_WRITTEN;
    snprintf(job->path, sizeof job->path, "%s", picture->havePath ? picture->path : picture->shown);
    SwapExtension(job->path, format);
    if (!picture->havePath)
        job->failure = FILEWRITE_PATH_TOO_LONG;
    else if (!composed)
        job->failure = EXPORT_NOT_COMPOSED;
    else if (!PartLayers_Take(ch, w, &job->parts))
        job->failure = FILEWRITE_NO_DATA;
}

int LayeredJob_WritePicture(LayeredJob *job, const DIB *image, const char *pngPath)
{
    if (job->format == LAYERED_NONE || job->failure != EXPORT_WRITTEN || !image)
        return Export_WriteImageFile(image, pngPath);
    // The PNG is encoded once: the picture's file and OpenRaster's merged
    // image are the same bytes.
    size_t pngSize = 0;
    unsigned char *png = DIB_EncodePNG(image, &pngSize);
    int failure = png ? Export_WriteBytesFile(pngPath, png, pngSize) : FILEWRITE_NO_DATA;
    std::vector<unsigned char> bytes;
    int encoded = job->format == LAYERED_PSD ? PsdFile_Encode(&job->parts, image, job->shared, &bytes)
                                             : png && OraFile_Encode(&job->parts, image, png, pngSize, job->shared, &bytes);
    free(png);
    job->failure = encoded ? Export_WriteBytesFile(job->path, bytes.data(), bytes.size()) : FILEWRITE_NO_DATA;
    return failure;
}

void LayeredJob_Release(LayeredJob *job)
{
    PartLayers_Free(&job->parts);
    job->format = LAYERED_NONE;
}
