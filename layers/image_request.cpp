// Creation and release of image requests.
#include "layers/image_request.h"

#include <cstdlib>
#include <cstring>

ImageRequest *ImageRequest_Create(Layer *layer, const char *path, const HlsColour *colour)
{
    if (!path)
        return nullptr;
    size_t length = strlen(path);
    if (length >= sizeof(((ImageRequest *)nullptr)->path))
        return nullptr;
    ImageRequest *request = (ImageRequest *)calloc(1, sizeof(ImageRequest));
    if (!request)
        return nullptr;
    if (colour) {
        request->colour = (HlsColour *)malloc(sizeof(HlsColour));
        if (!request->colour) {
            free(request);
            return nullptr;
        }
        *request->colour = *colour;
    }
    request->layer = layer;
    memcpy(request->path, path, length + 1);
    return request;
}

void ImageRequest_Free(ImageRequest *request)
{
    if (!request)
        return;
    free(request->colour);
    free(request);
}

void ImageRequest_FreeItem(void *request)
{
    ImageRequest_Free((ImageRequest *)request);
}
