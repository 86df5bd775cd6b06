// Part packs that point their definition files at devices, pipes and links
// to endless files: each is refused like a missing file and the reading of
// the whole catalogue ends (a regression here hangs the test).
#include <doctest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "catalog/part_catalog.h"
#include "catalog_test_support.h"
#include "core/services/filesys.h"
#include "test_support.h"

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    ScratchFolder::WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string UpToRoot()
{
    std::string up;
    for (int i = 0; i < 40; i++)
        up += "..\\";
    return up;
}

}  // namespace

TEST_CASE("includes of devices, pipes and links to devices are refused as unopenable")
{
    ScratchFolder dir;
    REQUIRE(mkfifo(ScratchFolder::Native(dir / "pipe.inf").c_str(), 0600) == 0);
    REQUIRE(symlink("/dev/urandom", ScratchFolder::Native(dir / "random.inf").c_str()) == 0);
    const std::string zero = UpToRoot() + "dev\\zero";
    WriteText(dir / "vor.inf", "a\n#include \"" + zero + "\"\n#include \"pipe.inf\"\n#include \"random.inf\"\nb\n");
    PreprocessorRun run = PreprocessFile(dir / "vor.inf");
    CHECK(run.tokens == TokenList{{1, "a"}, {1, "b"}});
    REQUIRE(run.errors.size() == 3);
    // What leads out of the folder, by `..` or by a link, is refused as such.
    CHECK(run.errors[0] == std::make_pair(1, dir / zero + " 데이터 폴더 밖의 파일은 포함할 수 없음"));
    CHECK(run.errors[1] == std::make_pair(2, dir / "pipe.inf" + " 열 수 없음"));
    CHECK(run.errors[2] == std::make_pair(3, dir / "random.inf" + " 데이터 폴더 밖의 파일은 포함할 수 없음"));
    CHECK(Preprocessor_Open((dir / "pipe.inf").c_str(), nullptr) == nullptr);
    CHECK(Preprocessor_Open("/dev/zero", nullptr) == nullptr);
}

TEST_CASE("the catalogue of a hostile tree loads, and quickly")
{
    ScratchFolder dir;
    const std::string data = dir / "data\\";
    for (const char *folder : {"hair\\zero", "hair\\pipe", "hair\\random", "hair\\self", "hair\\good", "dress\\big"})
        FileSys_MakeFolder((data + folder).c_str());
    WriteText(data + "hair\\zero\\vor.inf", "#include \"" + UpToRoot() + "dev\\zero\"\nName = \"z\";");
    REQUIRE(mkfifo(ScratchFolder::Native(data + "hair\\pipe\\vor.inf").c_str(), 0600) == 0);
    REQUIRE(symlink("/dev/urandom", ScratchFolder::Native(data + "hair\\random\\vor.inf").c_str()) == 0);
    WriteText(data + "hair\\self\\vor.inf", "#include \"vor.inf\"\n#include \"vor.inf\"\nName = \"s\";");
    WriteText(data + "hair\\good\\vor.inf", "Name = \"g\"; Folder = \"good\";");
    std::string big(1024 * 1024 + 1, ' ');
    WriteText(data + "dress\\big\\vor.inf", "Name = \"b\";" + big);

    auto start = std::chrono::steady_clock::now();
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    CHECK(seconds < 20);  // generous for sanitised builds on a loaded machine; it was for ever
    bool good = false;
    const PtrList *hair = PartCatalog_List(&catalog, PART_LIST_HAIR);
    for (int i = 0; i < PtrList_Count(hair); i++)
        good = good || std::string(((const PartEntry *)PtrList_Get(hair, i))->folder) == "good";
    CHECK(good);
    PartCatalog_Free(&catalog);
}
