// vor-cli in a terminal and in a pipeline, run as a separate program: names,
// paths and messages in the locale's encoding (or the stored bytes under
// --encoding cp949), each --json document carrying exactly the facts of
// the text records, and the help, version and exit codes.
#include <doctest.h>

#include <json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/services/filesys.h"
#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "cli_run_posix.h"
#include "test_support.h"

namespace {

using Json = nlohmann::ordered_json;

using Run = clirun::CliRun;

// vor-cli with `arguments` under the environment `env` ("LC_ALL=C.UTF-8").
Run RunCli(const std::string &env, const std::string &arguments)
{
    static ScratchFolder errors;
    return clirun::Run(errors, arguments, "env " + env + " ");
}

const char UTF8[] = "LC_ALL=C.UTF-8";

bool IsUtf8(const std::string &s)
{
    for (size_t i = 0; i < s.size();) {
        unsigned char c = (unsigned char)s[i];
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!n || i + n > s.size() || (n == 2 && c < 0xC2))
            return false;
        for (size_t k = 1; k < n; k++)
            if (((unsigned char)s[i + k] & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

bool Has(const std::string &text, const char *part)
{
    return text.find(part) != std::string::npos;
}

// The generated sample tree and imperfect tree, written once by the
// generator built beside vor-cli: `<root>/sample/` and `<root>/broken/`.
const std::string &Trees()
{
    static ScratchFolder scratch;
    static std::string root;
    if (root.empty()) {
        root = ScratchFolder::Native(scratch.path);
        std::string gen = "'" + clirun::ToolPath("vor-gen-sample") + "' ";
        REQUIRE(system((gen + "'" + root + "sample' >/dev/null 2>&1").c_str()) == 0);
        REQUIRE(system((gen + "--broken '" + root + "broken' >/dev/null 2>&1").c_str()) == 0);
    }
    return root;
}

std::string Data(const char *tree)
{
    return "--data '" + Trees() + tree + "/data' ";
}

std::string SampleProject()
{
    return "'" + Trees() + "sample/sample.vor' ";
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Colour(const Json &c)
{
    return std::to_string(c["hue"].get<int>()) + "," + std::to_string(c["luminance"].get<int>()) + "," +
           std::to_string(c["saturation"].get<int>());
}

// A project document as `project` prints it: key<TAB>value, colours as
// H,L,S, arrays as a count and then indexed keys (style.N., accessory.N.).
void Flatten(const Json &object, const std::string &prefix, std::string *out)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string key = prefix + it.key();
        const Json &v = it.value();
        if (v.is_array()) {
            *out += key + "\t" + std::to_string(v.size()) + "\n";
            std::string item = prefix + (it.key() == "styles" ? "style." : "accessory.");
            for (size_t i = 0; i < v.size(); i++)
                Flatten(v[i], item + std::to_string(i) + ".", out);
        } else if (v.is_object()) {
            *out += key + "\t" + Colour(v) + "\n";
        } else if (v.is_string()) {
            *out += key + "\t" + v.get<std::string>() + "\n";
        } else {
            *out += key + "\t" + std::to_string(v.get<long>()) + "\n";
        }
    }
}

}  // namespace

TEST_CASE("under a UTF-8 locale names, messages and paths are UTF-8 with the Hangul whole")
{
    Run catalog = RunCli(UTF8, Data("sample") + "catalog");
    CHECK(catalog.status == 0);
    CHECK(IsUtf8(catalog.out));
    CHECK(Has(catalog.out, u8"\tbob\t보브\t"));
    CHECK(Has(catalog.out, u8"\t땋아 올린 머리\t"));

    Run project = RunCli(UTF8, "project " + SampleProject());
    CHECK(project.status == 0);
    CHECK(IsUtf8(project.out));
    CHECK(Has(project.out, u8"style.0.name\t교복\n"));
    CHECK(Has(project.out, u8"style.1.name\t웨이트리스\n"));

    Run lint = RunCli(UTF8, Data("broken") + "lint");
    CHECK(lint.status == 1);
    CHECK(IsUtf8(lint.out));
    CHECK(Has(lint.out, u8"error\tmouth\\badpng\\sumashi_a.png\t입 색칠 층 그림을 읽을 수 없습니다: PNG 파일이 아닙니다\n"));

    // The plain C locale names ASCII, which cannot hold Hangul: UTF-8 too.
    CHECK(RunCli("LC_ALL=C", Data("sample") + "catalog").out == catalog.out);
    CHECK(RunCli("LC_ALL=C", Data("sample") + "--encoding utf-8 catalog").out == catalog.out);

    // A refused character name: the program's own message on stderr.
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Project *p = Project_MakeDefault(&h.catalog, "");
    free(p->name);
    p->name = strdup("..");
    ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
    REQUIRE(Project_WriteFile((dir / "dots.vor").c_str(), p, &keys));
    Project_Free(p);
    Headless_Close(&h);
    Run refused = RunCli(UTF8, "--data '" + ScratchFolder::Native(data) + "' export '" +
                                   ScratchFolder::Native(dir / "dots.vor") + "' --out '" +
                                   ScratchFolder::Native(dir / "out") + "'");
    CHECK(refused.status == 1);
    CHECK(IsUtf8(refused.err));
    CHECK(Has(refused.err, u8"이름으로 . 이나 .. 은 사용할 수 없습니다."));
}

TEST_CASE("--encoding cp949 prints the stored bytes whatever the locale")
{
    Run raw = RunCli(UTF8, Data("sample") + "--encoding cp949 catalog");
    CHECK(raw.status == 0);
    CHECK(Has(raw.out, "\tbob\t보브\t"));  // this literal is CP949
    CHECK(!IsUtf8(raw.out));
    CHECK(RunCli("LC_ALL=C", "--encoding CP949 " + Data("sample") + "catalog").out == raw.out);
    Run project = RunCli(UTF8, "project " + SampleProject() + "--encoding cp949");
    CHECK(Has(project.out, "style.1.name\t웨이트리스\n"));
    Run lint = RunCli(UTF8, Data("broken") + "--encoding cp949 lint");
    CHECK(Has(lint.out, ": PNG 파일이 아닙니다\n"));
    CHECK(RunCli(UTF8, "--encoding latin-1 catalog").status == 2);
}

TEST_CASE("a folder named in UTF-8 on the host prints as it is, beside the converted names")
{
    ScratchFolder dir;
    std::string pack = dir.path + u8"팩";
    std::string data = Fixture_BuildTree(pack + "\\");
    Run text = RunCli(UTF8, "--data '" + ScratchFolder::Native(data) + "' catalog");
    CHECK(text.status == 0);
    CHECK(IsUtf8(text.out));
    CHECK(Has(text.out, u8"/팩/data/"));
    Run json = RunCli(UTF8, "--data '" + ScratchFolder::Native(data) + "' --json catalog");
    Json document = Json::parse(json.out);
    bool found = false;
    for (const auto &list : document.items())
        for (const Json &e : list.value())
            found |= Has(e["path"].get<std::string>(), u8"/팩/data/");
    CHECK(found);
}

TEST_CASE("catalog --json: every entry of every list, as the text records give them")
{
    Run text = RunCli(UTF8, Data("sample") + "catalog");
    Run json = RunCli(UTF8, Data("sample") + "catalog --json");
    CHECK(json.status == 0);
    Json document = Json::parse(json.out);
    std::vector<std::string> fromJson;
    for (const auto &list : document.items())
        for (const Json &e : list.value())
            fromJson.push_back(list.key() + "\t" + std::to_string(e["index"].get<int>()) + "\t" +
                               e["folder"].get<std::string>() + "\t" + e["name"].get<std::string>() + "\t" +
                               Colour(e["colour"]) + "\t" + e["path"].get<std::string>());
    CHECK(fromJson == Lines(text.out));
    CHECK(document.size() == 8);
}

TEST_CASE("project --json: the same fields in the same order, styles and accessories as arrays")
{
    Run text = RunCli(UTF8, "project " + SampleProject());
    Run json = RunCli(UTF8, "--json project " + SampleProject());
    CHECK(json.status == 0);
    std::string flat;
    Flatten(Json::parse(json.out), "", &flat);
    CHECK(flat == text.out);
    CHECK(RunCli(UTF8, "--json project /nonexistent.vor").status == 1);
}

TEST_CASE("lint --json: the findings in order and the totals, with the same exit status")
{
    for (const char *tree : {"broken", "sample"}) {
        CAPTURE(tree);
        Run text = RunCli(UTF8, Data(tree) + "lint");
        Run json = RunCli(UTF8, Data(tree) + "lint --json");
        CHECK(json.status == text.status);
        Json document = Json::parse(json.out);
        std::string lines;
        for (const Json &f : document["findings"]) {
            int line = f["line"].get<int>();
            lines += f["severity"].get<std::string>() + "\t" + f["path"].get<std::string>() +
                     (line > 0 ? ":" + std::to_string(line) : "") + "\t" + f["message"].get<std::string>() + "\n";
        }
        lines += std::to_string(document["errors"].get<int>()) + " errors, " +
                 std::to_string(document["warnings"].get<int>()) + " warnings\n";
        CHECK(lines == text.out);
    }
}

TEST_CASE("export --json: the files written, and the failures with their reasons")
{
    ScratchFolder dir;
    std::string data = "--data '" + Trees() + "sample/data' ";
    std::string out = ScratchFolder::Native(dir.path);
    Run text = RunCli(UTF8, data + "export " + SampleProject() + "--out '" + out + "text'");
    Run json = RunCli(UTF8, data + "export " + SampleProject() + "--out '" + out + "json' --json");
    CHECK(json.status == 0);
    Json document = Json::parse(json.out);
    CHECK(document["failed"].empty());
    std::string written;
    for (const Json &path : document["written"]) {
        std::string p = path.get<std::string>();
        written += p.replace(p.find("/json/"), 6, "/text/") + "\n";
    }
    CHECK(written == text.out);
    CHECK(document["written"].size() > 2);

    // A file where the character's folder belongs: nothing can be written.
    std::string blocked = out + "blocked";
    REQUIRE(system(("mkdir -p '" + blocked + "' && echo x > '" + blocked + "/Yuna'").c_str()) == 0);
    Run failed = RunCli(UTF8, data + "export " + SampleProject() + "--out '" + blocked + "' --json");
    CHECK(failed.status == 1);
    document = Json::parse(failed.out);
    CHECK(document["written"].empty());
    CHECK(document["failed"].size() == Lines(written).size());
    for (const Json &f : document["failed"]) {
        CHECK(Has(f["path"].get<std::string>(), "/blocked/Yuna/"));
        CHECK(Has(failed.err, (f["path"].get<std::string>() + ": cannot be written: " + f["reason"].get<std::string>()).c_str()));
    }
}

TEST_CASE("help, version and exit codes")
{
    struct Case {
        const char *arguments;
        int status;
        const char *says;  // in stdout for status 0, else in stderr
    } cases[] = {
        {"--version", 0, "vor-cli 1."},
        {"help", 0, "commands:"},
        {"--help", 0, "commands:"},
        {"help lint", 0, "lint [--strict] [--notes] [--json]"},
        {"lint --help", 0, "--strict"},
        {"help nothing", 2, "usage:"},
        {"--json tokens x.inf", 2, "no --json"},
        {"--json render a.vor --style 0 --expression 0 --out x.png", 2, "no --json"},
        {"--encoding", 2, "usage:"},
        {"", 2, "usage:"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.arguments);
        Run r = RunCli(UTF8, c.arguments);
        CHECK(r.status == c.status);
        CHECK(Has(c.status == 0 ? r.out : r.err, c.says));
    }
    // Every command has its help, both ways, with its usage line.
    for (const char *command : {"tokens", "inf", "catalog", "project", "render", "export", "sheet", "lint", "random"}) {
        CAPTURE(command);
        Run a = RunCli(UTF8, std::string("help ") + command);
        Run b = RunCli(UTF8, std::string(command) + " --help");
        CHECK(a.status == 0);
        CHECK(a.out == b.out);
        CHECK(Has(a.out, (std::string("usage: vor-cli [--data DIR] ") + command).c_str()));
        CHECK(Has(a.out, "Exit status"));
    }
}

TEST_CASE("the progress line stays off when stderr is redirected")
{
    Run lint = RunCli(UTF8, Data("sample") + "lint");
    CHECK(lint.status == 0);
    CHECK(lint.err.empty());
    ScratchFolder dir;
    Run sheet = RunCli(UTF8, Data("sample") + "sheet " + SampleProject() + "--out '" +
                                 ScratchFolder::Native(dir / "sheet.png") + "'");
    CHECK(sheet.status == 0);
    CHECK(sheet.err.empty());
}
