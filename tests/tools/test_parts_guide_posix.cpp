// The author's guide (docs/parts.md) shows definition files as they would
// stand in a data tree. Every such example is written into the sample tree
// here: the tree must still lint clean, and each example must mean what the
// guide says it means.
#include <doctest.h>

#include <iconv.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/part_catalog.h"
#include "catalog/part_lint.h"
#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

namespace {

struct Example {
    std::string path;  // below the tree's root, `\`-separated, from the first line
    std::string text;  // UTF-8, as in the guide
};

// The ```inf blocks of the guide whose first line is `// data\...`.
std::vector<Example> GuideExamples(const std::string &guide)
{
    std::vector<Example> examples;
    std::istringstream in(guide);
    std::string line;
    bool inside = false;
    Example current;
    while (std::getline(in, line)) {
        if (!inside && line == "```inf") {
            inside = true;
            current = Example();
        } else if (inside && line == "```") {
            inside = false;
            examples.push_back(current);
        } else if (inside) {
            if (current.text.empty() && line.compare(0, 3, "// ") == 0)
                current.path = line.substr(3);
            current.text += line + "\r\n";
        }
    }
    return examples;
}

std::string Cp949(const std::string &utf8)
{
    iconv_t cd = iconv_open("CP949", "UTF-8");
    REQUIRE(cd != (iconv_t)-1);
    std::string in = utf8, out(utf8.size() * 2 + 16, '\0');
    char *src = &in[0], *dst = &out[0];
    size_t left = in.size(), room = out.size();
    size_t converted = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    REQUIRE(converted != (size_t)-1);
    out.resize(out.size() - room);
    return out;
}

const PartEntry *FindEntry(const PartCatalog &catalog, int list, const char *key)
{
    const PtrList *entries = PartCatalog_List(&catalog, list);
    int index = FindPartByFolder(entries, key);
    REQUIRE(index >= 0);
    return (const PartEntry *)PtrList_Get(entries, index);
}

}  // namespace

TEST_CASE("the guide's examples stand in the sample tree, lint clean and mean what the guide says")
{
    std::filesystem::path root = std::filesystem::path(VOR_TEST_DATA).parent_path().parent_path();
    std::ifstream file(root / "docs" / "parts.md", std::ios::binary);
    REQUIRE(file);
    std::string guide((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<Example> examples = GuideExamples(guide);
    REQUIRE(examples.size() == 4);

    ScratchFolder scratch;
    std::string tree = scratch.path.substr(0, scratch.path.size() - 1);
    WriteLog log = {};
    REQUIRE(SampleTree_Write(tree.c_str(), &log));
    for (const Example &e : examples) {
        CAPTURE(e.path);
        REQUIRE(e.path.compare(0, 5, "data\\") == 0);
        std::string bytes = Cp949(e.text);
        ScratchFolder::WriteBytes(scratch / e.path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }

    std::string data = scratch / "data\\";
    LintReport report;
    REQUIRE(PartLint_Run(data.c_str(), &report));
    std::string findings;
    for (const LintFinding &f : report.findings)
        findings += f.path + " " + f.message + "\n";
    CHECK_MESSAGE(report.findings.empty(), findings);

    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    const struct {
        int list;
        const char *key, *nameUtf8;
        int hue, luminance, saturation;
    } expected[] = {
        {PART_LIST_HAIR, "short", u8"짧은 머리", 10, 100, 200},
        {PART_LIST_ACCESSORY, "kanzashi", u8"비녀 (빨강)", 255, 128, 255},
        {PART_LIST_EYE, "maru", u8"둥근 눈 (갈색)", 20, 80, 140},
    };
    for (const auto &x : expected) {
        CAPTURE(x.key);
        const PartEntry *entry = FindEntry(catalog, x.list, x.key);
        CHECK(std::string(entry->name) == Cp949(x.nameUtf8));
        CHECK(entry->color.hue == x.hue);
        CHECK(entry->color.luminance == x.luminance);
        CHECK(entry->color.saturation == x.saturation);
    }
    // The credits as the guide gives them; the accessory has no address.
    const PartEntry *hair = FindEntry(catalog, PART_LIST_HAIR, "short");
    REQUIRE(hair->author);
    CHECK(std::string(hair->author) == Cp949(u8"김하늘"));
    CHECK(std::string(hair->license) == "CC-BY-4.0");
    CHECK(std::string(hair->url) == "https://example.com/parts/short");
    const PartEntry *pin = FindEntry(catalog, PART_LIST_ACCESSORY, "kanzashi");
    CHECK(std::string(pin->license) == "CC0-1.0");
    CHECK(pin->url == nullptr);
    PartCatalog_Free(&catalog);
}
