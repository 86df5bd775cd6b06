// vor-gen-sample: draws the sample data tree, the imperfect test tree or a
// preview sheet.
//
//   vor-gen-sample [OUT]                         sample tree and sample.vor below OUT (default "sample")
//   vor-gen-sample --broken OUT                  imperfect test tree below OUT
//   vor-gen-sample --contact-sheet ROOT PNG [--sheet N] [--full] [--crop X Y W H]
//
// Exit 0 on success, 1 when a file could not be written, 2 for a usage error.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/gen-sample/sample_tree.h"

static int Usage(void)
{
    fprintf(stderr, "usage: vor-gen-sample [OUT] | --broken OUT | --contact-sheet ROOT PNG [--sheet N] [--full] [--crop X Y W H]\n");
    return 2;
}

static int Main_Sheet(int argc, char **argv)
{
    if (argc < 4)
        return Usage();
    int sheet = 0, full = 0;
    Rect crop = {0, 0, 0, 0};
    for (int i = 4; i < argc; i++) {
        if (!strcmp(argv[i], "--full"))
            full = 1;
        else if (!strcmp(argv[i], "--crop") && i + 4 < argc) {
            crop.left = atoi(argv[i + 1]);
            crop.top = atoi(argv[i + 2]);
            crop.right = crop.left + atoi(argv[i + 3]);
            crop.bottom = crop.top + atoi(argv[i + 4]);
            i += 4;
        } else if (!strcmp(argv[i], "--sheet") && i + 1 < argc)
            sheet = atoi(argv[++i]);
        else
            return Usage();
    }
    if (!ContactSheet_Write(argv[2], argv[3], sheet, full, crop.right > crop.left ? &crop : nullptr)) {
        fprintf(stderr, "cannot write the sheet %s\n", argv[3]);
        return 1;
    }
    printf("1 file written\n");
    return 0;
}

int main(int argc, char **argv)
{
    DIB_InitGlobal();
    if (argc >= 2 && !strcmp(argv[1], "--contact-sheet"))
        return Main_Sheet(argc, argv);
    WriteLog log = {};
    int ok;
    const char *root;
    if (argc >= 2 && !strcmp(argv[1], "--broken")) {
        if (argc != 3)
            return Usage();
        root = argv[2];
        ok = BrokenTree_Write(root, &log);
    } else {
        if (argc > 2 || (argc == 2 && argv[1][0] == '-'))
            return Usage();
        root = argc == 2 ? argv[1] : "sample";
        ok = SampleTree_Write(root, &log);
        ok = SampleProject_Write(root, &log) && ok;
    }
    printf("%d files written below %s\n", log.files, root);
    if (!ok)
        fprintf(stderr, "%d files could not be written\n", log.failures);
    return ok ? 0 : 1;
}
