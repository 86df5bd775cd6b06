// vor-gen-resources: draws the program's icon and check picture.
//
//   vor-gen-resources OUTDIR   writes OUTDIR/app.ico and OUTDIR/btn_check.png
//
// The results are committed under resources/, so the Windows build needs
// no host tool; run this again after changing a drawing.
// Exit 0 on success, 1 when a file could not be written, 2 for a usage error.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/imaging/file.h"
#include "tools/gen-resources/gen_resources.h"

static int WriteBytes(const std::string &path, const unsigned char *bytes, size_t size)
{
    VorFile *file = FILE_Open(path.c_str(), "wb");
    if (!file)
        return 0;
    size_t written = FILE_Write(bytes, size, 1, file);
    return FILE_Close(file) == 0 && written == 1;
}

static int WriteIcon(const std::string &path)
{
    const int sizes[] = {16, 32, 48};
    DIB *images[3] = {};
    int ok = 1;
    for (int i = 0; i < 3; i++)
        ok = (images[i] = Icon_Draw(sizes[i])) != nullptr && ok;
    size_t size = 0;
    unsigned char *bytes = ok ? Ico_Encode(images, 3, &size) : nullptr;
    ok = bytes && WriteBytes(path, bytes, size);
    free(bytes);
    for (DIB *image : images)
        if (image)
            DIB_Delete_(image);
    return ok;
}

static int WriteCheck(const std::string &path)
{
    DIB *image = Check_Draw();
    size_t size = 0;
    unsigned char *bytes = image ? DIB_EncodePNG(image, &size) : nullptr;
    int ok = bytes && WriteBytes(path, bytes, size);
    free(bytes);
    if (image)
        DIB_Delete_(image);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: vor-gen-resources OUTDIR\n");
        return 2;
    }
    DIB_InitGlobal();
    std::string folder = argv[1];
    if (folder.back() != '/' && folder.back() != '\\')
        folder += '\\';
    int ok = 1;
    if (!WriteIcon(folder + "app.ico")) {
        fprintf(stderr, "cannot write %sapp.ico\n", folder.c_str());
        ok = 0;
    }
    if (!WriteCheck(folder + "btn_check.png")) {
        fprintf(stderr, "cannot write %sbtn_check.png\n", folder.c_str());
        ok = 0;
    }
    return ok ? 0 : 1;
}
