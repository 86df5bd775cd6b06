// Replays a fuzz target's saved corpus (every file of one folder) as an
// ordinary test, so the finds that once crashed or hung stay fixed in both
// builds. Exits non-zero when the folder cannot be read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static bool ReadWholeFile(const std::string &path, std::vector<uint8_t> &out)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    fclose(f);
    return true;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: replay CORPUS_FOLDER\n");
        return 2;
    }
    DIR *dir = opendir(argv[1]);
    if (!dir) {
        fprintf(stderr, "replay: cannot read %s\n", argv[1]);
        return 1;
    }
    int count = 0;
    while (struct dirent *e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        std::vector<uint8_t> data;
        if (!ReadWholeFile(std::string(argv[1]) + "/" + e->d_name, data))
            continue;
        LLVMFuzzerTestOneInput(data.data(), data.size());
        count++;
    }
    closedir(dir);
    printf("replayed %d inputs\n", count);
    return 0;
}
