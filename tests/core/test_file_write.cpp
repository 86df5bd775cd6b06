// Whole-file writes: all or nothing through a temporary file beside the
// target, with failures injected through the file layer (a full disk), a
// missing folder, a folder in the way and paths too long.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "test_support.h"

typedef std::vector<unsigned char> Bytes;

namespace {

struct Payload {
    Bytes bytes;
    int chunk;   // bytes per FILE_Write call
    int result;  // what the producer reports
};

int Produce(VorFile *file, void *context)
{
    const Payload *p = (const Payload *)context;
    for (size_t at = 0; at < p->bytes.size(); at += (size_t)p->chunk) {
        size_t n = p->bytes.size() - at < (size_t)p->chunk ? p->bytes.size() - at : (size_t)p->chunk;
        if (FILE_Write(p->bytes.data() + at, n, 1, file) != 1)
            return 0;
    }
    return p->result;
}

// Names in the folder (the temporary files must all be gone).
std::vector<std::string> NamesIn(const std::string &folder)
{
    std::vector<std::string> names;
    Folder_FindEx((folder + "*").c_str(), 2, [](void *user, const char *path) {
        std::string p = path;
        if (!p.empty() && p.back() == '\\')
            p.pop_back();  // a folder
        std::string name = FilePath_GetName(p.c_str());
        if (!name.empty() && name.back() != '.')
            ((std::vector<std::string> *)user)->push_back(name);
        return 1;
    }, &names);
    return names;
}

struct FaultScope {
    explicit FaultScope(long long bytes) { FILE_FailWritesAfter(bytes); }
    ~FaultScope() { FILE_FailWritesAfter(-1); }
};

}  // namespace

TEST_CASE("FILE_WriteAtomic replaces the target only with a complete file")
{
    ScratchFolder dir;
    const Bytes old = {'o', 'l', 'd'};
    Bytes big(300000);
    for (size_t i = 0; i < big.size(); i++)
        big[i] = (unsigned char)(i * 13);
    struct Case {
        const char *what;
        long long fault;  // bytes before the injected full disk, -1 none
        int result;       // the producer's own verdict
        int expected;
    } cases[] = {
        {"written", -1, 1, FILEWRITE_OK},
        {"disk full at once", 0, 1, FILEWRITE_WRITE_FAILED},
        {"disk full half way", 150000, 1, FILEWRITE_WRITE_FAILED},
        {"disk full one byte short", 299999, 1, FILEWRITE_WRITE_FAILED},
        {"the producer fails", -1, 0, FILEWRITE_WRITE_FAILED},
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        std::string target = dir / "picture.png";
        ScratchFolder::WriteBytes(target, old);
        Payload payload = {big, 4096, c.result};
        int result;
        {
            FaultScope fault(c.fault);
            result = FILE_WriteAtomic(target.c_str(), Produce, &payload);
        }
        CHECK(result == c.expected);
        CHECK(ScratchFolder::ReadBytes(target) == (c.expected == FILEWRITE_OK ? big : old));
        CHECK(NamesIn(dir.path) == std::vector<std::string>{"picture.png"});
    }
}

TEST_CASE("FILE_WriteAtomic names why nothing was written")
{
    ScratchFolder dir;
    Payload payload = {{'x'}, 1, 1};
    FileSys_MakeFolder((dir / "folder.png").c_str());
    std::string deep = dir.path;
    while (deep.size() < 250)
        deep += "d";
    struct Case {
        std::string path;
        int expected;
    } cases[] = {
        {dir / "missing\\a.png", FILEWRITE_CANNOT_CREATE},       // no such folder
        {dir / "folder.png", FILEWRITE_NOT_A_FILE},              // a folder stands there
        {deep + "\\abcdefghijk.png", FILEWRITE_PATH_TOO_LONG},   // 266 bytes
        {"", FILEWRITE_PATH_TOO_LONG},
    };
    for (const Case &c : cases) {
        CAPTURE(c.path);
        CHECK(FILE_WriteAtomic(c.path.c_str(), Produce, &payload) == c.expected);
    }
    CHECK(FileSys_FolderExists((dir / "folder.png").c_str()));
    CHECK(NamesIn(dir.path) == std::vector<std::string>{"folder.png"});
}

TEST_CASE("FILE_CreateBeside makes a new name no longer than the final one, in its folder")
{
    ScratchFolder dir;
    for (const char *name : {"a", "ab", "project.vor", "a-very-long-file-name.png"}) {
        CAPTURE(name);
        std::string final = dir / name;
        char temp[VOR_MAX_PATH];
        VorFile *f = FILE_CreateBeside(final.c_str(), temp);
        REQUIRE(f);
        CHECK(FILE_Close(f) == 0);
        std::string t = temp;
        CHECK(t.compare(0, dir.path.size(), dir.path) == 0);
        CHECK(t.size() <= final.size());
        CHECK(t.size() > dir.path.size());
        CHECK(t != final);
        CHECK(File_Exists(temp));
        // Created exclusively: a second call never hands out the same name.
        char again[VOR_MAX_PATH];
        VorFile *g = FILE_CreateBeside(final.c_str(), again);
        REQUIRE(g);
        FILE_Close(g);
        CHECK(std::string(again) != t);
        File_Delete(temp);
        File_Delete(again);
    }
    // A one-letter name has 35 others to draw from, never itself.
    std::string single = dir / "b";
    std::vector<std::string> made;
    for (int i = 0; i < 30; i++) {
        char name[VOR_MAX_PATH];
        VorFile *f = FILE_CreateBeside(single.c_str(), name);
        if (!f)
            break;
        FILE_Close(f);
        made.push_back(name);
        CHECK(made.back() != single);
    }
    CHECK(made.size() >= 20);
    for (const std::string &m : made)
        File_Delete(m.c_str());
    char temp[VOR_MAX_PATH];
    CHECK(FILE_CreateBeside((dir / "no\\such\\x.vor").c_str(), temp) == nullptr);
    CHECK(FILE_CreateBeside(dir.path.c_str(), temp) == nullptr);  // no name part
}

#ifdef _WIN32
TEST_CASE("Windows device names are refused as outputs, in any folder and with any extension")
{
    ScratchFolder dir;
    Payload payload = {{'x'}, 1, 1};
    struct Case {
        std::string path;
        int expected;
    } cases[] = {
        {"NUL", FILEWRITE_NOT_A_FILE},
        {dir / "con.png", FILEWRITE_NOT_A_FILE},
        {dir / "Com1.vor", FILEWRITE_NOT_A_FILE},
        {dir / "lpt9", FILEWRITE_NOT_A_FILE},
        {dir / "aux .txt", FILEWRITE_NOT_A_FILE},
        {"\\\\.\\PhysicalDrive0", FILEWRITE_NOT_A_FILE},
        {dir / "console.png", FILEWRITE_OK},  // only the names themselves are devices
        {dir / "com10.png", FILEWRITE_OK},
    };
    for (const Case &c : cases) {
        CAPTURE(c.path);
        CHECK(FILE_WriteAtomic(c.path.c_str(), Produce, &payload) == c.expected);
    }
}
#endif
