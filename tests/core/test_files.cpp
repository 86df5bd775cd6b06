// Files, length-prefixed strings, the byte reader, path texts, folder
// listing and folder creation.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "core/util.h"
#include "test_support.h"

typedef std::vector<unsigned char> Bytes;

TEST_CASE("Stream_WriteString writes length + 1, the text and its NUL; ReadBlock reads it back")
{
    ScratchFolder dir;
    std::string path = dir / "s.bin";
    VorFile *f = FILE_Open(path.c_str(), "wb");
    REQUIRE(f);
    CHECK(Stream_WriteString("abc", f) == 1);
    CHECK(Stream_WriteString("", f) == 1);
    CHECK(FILE_Close(f) == 0);
    CHECK(ScratchFolder::ReadBytes(path) == Bytes{4, 0, 0, 0, 'a', 'b', 'c', 0, 1, 0, 0, 0, 0});

    f = FILE_Open(path.c_str(), "rb");
    int32_t n;
    int complete;
    char *s = (char *)Stream_ReadBlock(f, &n, &complete);
    CHECK(n == 4);
    CHECK(complete == 1);
    CHECK(strcmp(s, "abc") == 0);
    free(s);
    s = (char *)Stream_ReadBlock(f, &n, &complete);
    CHECK(n == 1);
    CHECK(s[0] == 0);
    free(s);
    // Past the end: the length counts as 0.
    s = (char *)Stream_ReadBlock(f, &n, &complete);
    CHECK(n == 0);
    CHECK(complete == 0);
    free(s);
    FILE_Close(f);
}

TEST_CASE("Stream_ReadBlock refuses negative and absurd lengths and flags short blocks")
{
    ScratchFolder dir;
    struct Case {
        Bytes bytes;
        bool block;
        int complete;
    } cases[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF}, false, 0},        // -1
        {{0x00, 0x00, 0x00, 0x40}, false, 0},        // 1 GiB
        {{5, 0, 0, 0, 'a', 'b'}, true, 0},           // two of five bytes
        {{2, 0}, true, 0},                           // the length itself is cut
    };
    for (const Case &c : cases) {
        std::string path = dir / "b.bin";
        ScratchFolder::WriteBytes(path, c.bytes);
        VorFile *f = FILE_Open(path.c_str(), "rb");
        int complete = -1;
        void *block = Stream_ReadBlock(f, nullptr, &complete);
        CHECK((block != nullptr) == c.block);
        CHECK(complete == c.complete);
        free(block);
        FILE_Close(f);
    }
}

TEST_CASE("paths of 260 bytes or more are refused, not cut")
{
    std::string longPath(259, 'a');
    CHECK(FILE_Open(longPath.c_str(), "rb") == nullptr);
    std::string tooLong(260, 'a');
    CHECK(FILE_Open(tooLong.c_str(), "wb") == nullptr);
    CHECK(FileIn_Open(tooLong.c_str(), 1 << 20) == nullptr);
    CHECK(FileSys_MakeFolder(tooLong.c_str()) == 0);
    CHECK(FILE_Open("", "rb") == nullptr);
    CHECK(FILE_Open(nullptr, "rb") == nullptr);
}

TEST_CASE("FileIn hands out every byte, then -1, and reports the end before reading past it")
{
    ScratchFolder dir;
    Bytes content;
    for (int i = 0; i < 70000; i++)  // more than one read chunk
        content.push_back((unsigned char)(i * 7 + (i >> 8)));
    content.push_back(0xFF);
    std::string path = dir / "in.txt";
    ScratchFolder::WriteBytes(path, content);

    VorFileIn *in = FileIn_Open(path.c_str(), content.size());
    REQUIRE(in);
    CHECK(FileIn_Size(in) == content.size());
    Bytes got;
    while (!FileIn_IsEof(in))
        got.push_back((unsigned char)FileIn_GetChar(in));
    CHECK(got == content);
    CHECK(FileIn_GetChar(in) == -1);
    CHECK(FileIn_IsEof(in));
    FileIn_Close(in);

    VorFileIn *mem = FileIn_OpenMemory("ab", 2);
    CHECK(FileIn_GetChar(mem) == 'a');
    CHECK_FALSE(FileIn_IsEof(mem));
    CHECK(FileIn_GetChar(mem) == 'b');
    CHECK(FileIn_IsEof(mem));
    CHECK(FileIn_GetChar(mem) == -1);
    FileIn_Close(mem);

    ScratchFolder::WriteBytes(dir / "empty", {});
    VorFileIn *empty = FileIn_Open((dir / "empty").c_str(), 0);
    CHECK(FileIn_IsEof(empty));
    FileIn_Close(empty);
    CHECK(FileIn_Open((dir / "missing").c_str(), 10) == nullptr);
    // One byte over the limit, or a folder: nothing is read.
    CHECK(FileIn_Open(path.c_str(), content.size() - 1) == nullptr);
    CHECK(FileIn_Open(dir.path.c_str(), 1 << 20) == nullptr);
    size_t size = 1;
    CHECK(FILE_ReadAll(dir.path.c_str(), 1 << 20, &size) == nullptr);
    CHECK(size == 0);
}

TEST_CASE("FilePath_SetName replaces or appends the name part and refuses overflow")
{
    struct Case {
        const char *path, *name, *result;
    } cases[] = {
        {"data\\hair\\long\\", "vor.inf", "data\\hair\\long\\vor.inf"},
        {"data\\hair\\long", "vor.inf", "data\\hair\\vor.inf"},
        {"C:\\pics\\", "kim\\a\\sumashi.png", "C:\\pics\\kim\\a\\sumashi.png"},
        {"C:\\work", "VOR", "C:\\VOR"},
        {"plain", "other", "other"},
        {"", "x", "x"},
    };
    for (const Case &c : cases) {
        char buf[VOR_MAX_PATH];
        strcpy(buf, c.path);
        CHECK(FilePath_SetName(buf, c.name) == 1);
        CHECK(std::string(buf) == c.result);
    }
    char buf[VOR_MAX_PATH];
    strcpy(buf, "dir\\");
    std::string name(255, 'n');
    CHECK(FilePath_SetName(buf, name.c_str()) == 1);  // 4 + 255 = 259 fits
    strcpy(buf, "dir\\");
    name += 'n';
    CHECK(FilePath_SetName(buf, name.c_str()) == 0);
    CHECK(std::string(buf) == "dir\\");
}

TEST_CASE("FilePath_GetName and FilePath_CopyFolder")
{
    const char *p = "data\\eye\\tare\\sumashi_a.png";
    CHECK(FilePath_GetName(p) == p + 14);
    CHECK(std::string(FilePath_GetName("noslash")) == "noslash");
    CHECK(std::string(FilePath_GetName("ends\\")) == "");
    // A Korean name whose second byte is a letter: no false separator.
    CHECK(std::string(FilePath_GetName("a\\\xB0\x5A.png")) == "\xB0\x5A.png");

    char folder[VOR_MAX_PATH];
    CHECK(FilePath_CopyFolder(p, folder));
    CHECK(std::string(folder) == "data\\eye\\tare\\");
    CHECK(FilePath_CopyFolder("name.vor", folder));
    CHECK(std::string(folder) == "");
    CHECK(FilePath_CopyFolder("C:\\a\\", folder));
    CHECK(std::string(folder) == "C:\\a\\");
}

static int CollectPaths(void *user, const char *path)
{
    ((std::vector<std::string> *)user)->push_back(path);
    return 1;
}

static int StopAfterTwo(void *user, const char *path)
{
    auto *v = (std::vector<std::string> *)user;
    v->push_back(path);
    return v->size() < 2;
}

TEST_CASE("Folder_FindEx delivers sorted entries, folders with a backslash, dots with their dot")
{
    ScratchFolder dir;
    CHECK(FileSys_MakeFolder((dir / "b_folder").c_str()));
    CHECK(FileSys_MakeFolder((dir / "A_folder").c_str()));
    ScratchFolder::WriteBytes(dir / "c.txt", {1});
    ScratchFolder::WriteBytes(dir / "a.png", {1});

    std::vector<std::string> got;
    std::string pattern = dir / "*";
    int delivered = Folder_FindEx(pattern.c_str(), 2, CollectPaths, &got);
    CHECK(delivered == (int)got.size());
    std::vector<std::string> expected = {dir / ".", dir / "..", dir / "A_folder\\", dir / "a.png",
                                         dir / "b_folder\\", dir / "c.txt"};
    CHECK(got == expected);

    got.clear();
    std::string pngs = dir / "*.PNG";
    Folder_FindEx(pngs.c_str(), 2, CollectPaths, &got);
    CHECK(got == std::vector<std::string>{dir / "a.png"});

    got.clear();
    Folder_FindEx(pattern.c_str(), 2, StopAfterTwo, &got);
    CHECK(got.size() == 2);

    got.clear();
    std::string missing = dir / "nothere\\*";
    CHECK(Folder_FindEx(missing.c_str(), 2, CollectPaths, &got) <= 0);
    CHECK(got.empty());
}

TEST_CASE("FileSys_MakeFolder creates missing parents and accepts existing folders")
{
    ScratchFolder dir;
    std::string deep = dir / "kim\\style one\\deeper";
    CHECK_FALSE(FileSys_FolderExists(deep.c_str()));
    CHECK(FileSys_MakeFolder(deep.c_str()) == 1);
    CHECK(FileSys_FolderExists(deep.c_str()));
    CHECK(FileSys_MakeFolder((deep + "\\").c_str()) == 1);  // trailing separator, already there
    CHECK(FileSys_MakeFolder(deep.c_str()) == 1);

    // A file where a folder should be: refused.
    ScratchFolder::WriteBytes(dir / "file", {1});
    CHECK(FileSys_MakeFolder((dir / "file\\sub").c_str()) == 0);

    std::string target = deep + "\\x.bin";
    VorFile *f = FILE_Open(target.c_str(), "wb");
    REQUIRE(f);
    CHECK(FILE_Write("xyz", 3, 1, f) == 1);
    CHECK(FILE_Close(f) == 0);
    CHECK(File_Exists(target.c_str()));
    CHECK_FALSE(File_Exists(deep.c_str()));
}

TEST_CASE("File_Replace swaps a finished file over the old one")
{
    ScratchFolder dir;
    ScratchFolder::WriteBytes(dir / "p.vor", {1, 2, 3});
    ScratchFolder::WriteBytes(dir / "p.vor.tmp", {9});
    CHECK(File_Replace((dir / "p.vor.tmp").c_str(), (dir / "p.vor").c_str()));
    CHECK(ScratchFolder::ReadBytes(dir / "p.vor") == Bytes{9});
    CHECK_FALSE(File_Exists((dir / "p.vor.tmp").c_str()));
    CHECK(File_Delete((dir / "p.vor").c_str()));
    CHECK_FALSE(File_Exists((dir / "p.vor").c_str()));

    size_t size = 1;
    CHECK(FILE_ReadAll((dir / "gone").c_str(), 100, &size) == nullptr);
    ScratchFolder::WriteBytes(dir / "big", Bytes(200, 7));
    CHECK(FILE_ReadAll((dir / "big").c_str(), 100, &size) == nullptr);
    unsigned char *all = FILE_ReadAll((dir / "big").c_str(), 200, &size);
    CHECK(size == 200);
    free(all);
}

static std::string g_lines;
static void CaptureLine(const char *line) { g_lines += line; }

TEST_CASE("Debug_Print formats into one line and goes to the sink")
{
    DebugSink old = Debug_SetSink(CaptureLine);
    g_lines.clear();
    Debug_Print("thread : %s\n", "data\\body\\sotai.png");
    Debug_Print("id = %d\n", 2001);
    std::string longText(600, 'x');
    Debug_Print("%s", longText.c_str());
    Debug_SetSink(old);
    CHECK(g_lines.substr(0, 44) == "thread : data\\body\\sotai.png\nid = 2001\nxxxxx");
    CHECK(g_lines.size() == 29 + 10 + 511);  // a long line is cut at 511 characters
}
