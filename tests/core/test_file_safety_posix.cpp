// Reading never blocks on or swallows what is not a regular file (a pipe,
// a device, a link to one), and writing through a temporary file never
// follows a link already standing at a name.
#include <doctest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/file.h"
#include "test_support.h"

TEST_CASE("only regular files are read, whatever their names point at")
{
    ScratchFolder dir;
    REQUIRE(mkfifo(ScratchFolder::Native(dir / "pipe").c_str(), 0600) == 0);
    REQUIRE(symlink("/dev/zero", ScratchFolder::Native(dir / "zero").c_str()) == 0);
    REQUIRE(symlink("/dev/urandom", ScratchFolder::Native(dir / "random").c_str()) == 0);
    ScratchFolder::WriteBytes(dir / "real", {'o', 'k'});
    REQUIRE(symlink("real", ScratchFolder::Native(dir / "link").c_str()) == 0);
    struct Case {
        std::string path;
        bool read;
    } cases[] = {
        {dir / "pipe", false},  {dir / "zero", false}, {dir / "random", false},
        {"/dev/zero", false},   {dir.path, false},     {dir / "real", true},
        {dir / "link", true},  // a link to a regular file is that file
    };
    for (const Case &c : cases) {
        CAPTURE(c.path);
        size_t size = 0;
        unsigned char *data = FILE_ReadAll(c.path.c_str(), 1 << 20, &size);
        CHECK((data != nullptr) == c.read);
        free(data);
        VorFileIn *in = FileIn_Open(c.path.c_str(), 1 << 20);
        CHECK((in != nullptr) == c.read);
        FileIn_Close(in);
    }
}

static int WriteX(VorFile *file, void *)
{
    return FILE_Write("x", 1, 1, file) == 1;
}

TEST_CASE("a link standing at a candidate temporary name is never written through")
{
    ScratchFolder dir;
    ScratchFolder::WriteBytes(dir / "victim", {'v'});
    // One-letter final names leave 36 temporary names: occupy them all with
    // links to the victim, so that every candidate is a link.
    const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (const char *p = digits; *p; p++) {
        std::string link = ScratchFolder::Native(dir / std::string(1, *p));
        REQUIRE(symlink("victim", link.c_str()) == 0);
    }
    char temp[VOR_MAX_PATH];
    CHECK(FILE_CreateBeside((dir / "z").c_str(), temp) == nullptr);
    // `z` is one of the links itself: the write refuses it before it looks for a temporary.
    CHECK(FILE_WriteAtomic((dir / "z").c_str(), WriteX, nullptr) == FILEWRITE_NOT_A_FILE);
    CHECK(ScratchFolder::ReadBytes(dir / "victim") == std::vector<unsigned char>{'v'});
}

TEST_CASE("FILE_Open for reading refuses a pipe at once instead of waiting for a writer")
{
    ScratchFolder dir;
    REQUIRE(mkfifo(ScratchFolder::Native(dir / "x_a.png").c_str(), 0600) == 0);
    CHECK(FILE_Open((dir / "x_a.png").c_str(), "rb") == nullptr);
    CHECK(FILE_Open("/dev/null", "rb") == nullptr);
}

TEST_CASE("the atomic write replaces only a regular file: links, pipes, sockets and folders stay as they are")
{
    ScratchFolder dir;
    ScratchFolder::WriteBytes(dir / "target", {'t'});
    REQUIRE(symlink("target", ScratchFolder::Native(dir / "link").c_str()) == 0);
    REQUIRE(symlink("gone", ScratchFolder::Native(dir / "dangling").c_str()) == 0);
    REQUIRE(symlink("/dev/null", ScratchFolder::Native(dir / "null").c_str()) == 0);
    REQUIRE(mkfifo(ScratchFolder::Native(dir / "pipe").c_str(), 0600) == 0);
    int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    REQUIRE(sock >= 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::string socketPath = ScratchFolder::Native(dir / "socket");
    REQUIRE(socketPath.size() < sizeof address.sun_path);
    memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    REQUIRE(bind(sock, (sockaddr *)&address, sizeof address) == 0);
    REQUIRE(mkdir(ScratchFolder::Native(dir / "folder").c_str(), 0777) == 0);
    for (const char *name : {"link", "dangling", "null", "pipe", "socket", "folder"}) {
        CAPTURE(name);
        struct stat before, after;
        REQUIRE(lstat(ScratchFolder::Native(dir / name).c_str(), &before) == 0);
        CHECK(File_IsOtherThanFile((dir / name).c_str()));
        CHECK(FILE_WriteAtomic((dir / name).c_str(), WriteX, nullptr) == FILEWRITE_NOT_A_FILE);
        REQUIRE(lstat(ScratchFolder::Native(dir / name).c_str(), &after) == 0);
        CHECK((before.st_mode & S_IFMT) == (after.st_mode & S_IFMT));
        CHECK(before.st_ino == after.st_ino);
    }
    close(sock);
    CHECK(ScratchFolder::ReadBytes(dir / "target") == std::vector<unsigned char>{'t'});
    // A regular file is still replaced.
    CHECK(FILE_WriteAtomic((dir / "target").c_str(), WriteX, nullptr) == FILEWRITE_OK);
    CHECK(ScratchFolder::ReadBytes(dir / "target") == std::vector<unsigned char>{'x'});
    CHECK_FALSE(File_IsOtherThanFile((dir / "target").c_str()));
    CHECK_FALSE(File_IsOtherThanFile((dir / "absent").c_str()));
}
