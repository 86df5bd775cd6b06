// vor-cli's catalogue and lint commands run as a separate program on the host, with
// exact output, escaping and exit codes checked.
#include <doctest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "core/services/filesys.h"
#include "lint_tree.h"
#include "cli_run_posix.h"
#include "test_support.h"

// The vor-cli built next to this test (build/tools/vor-cli).
using CliResult = clirun::CliRun;

// One locale for every run: the readable output is UTF-8 under it.
static CliResult RunCli(const std::string &arguments)
{
    static ScratchFolder errors;
    return clirun::Run(errors, arguments, "env LC_ALL=C.UTF-8 ");
}

// A text field as vor-cli prints it when it holds only `\` to escape.
static std::string EscapeBackslashes(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

static void WriteText(const std::string &path, const std::string &text)
{
    ScratchFolder::WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST_CASE("vor-cli catalog prints every list in order")
{
    REQUIRE(access(clirun::ToolPath().c_str(), X_OK) == 0);
    ScratchFolder dir;
    FileSys_MakeFolder((dir / "data\\hair\\w").c_str());
    FileSys_MakeFolder((dir / "data\\accesary\\k").c_str());
    WriteText(dir / "data\\hair\\w\\vor.inf", "Name = \"Wave\\tlong\";\nFolder = \"wavelong\";\nColor = 0x0180FF;\n");
    WriteText(dir / "data\\accesary\\k\\vor.inf", "Name = \"Pin\"; Folder = \"kanzashi\";");
    std::string data = dir / "data";
    // --encoding cp949: the stored bytes, as before the output was converted.
    CliResult r = RunCli("--encoding cp949 --data '" + data + "' catalog");
    CHECK(r.status == 0);
    // The PATH column in the host's form, whichever separator --data was typed with.
    std::string native = ScratchFolder::Native(data);
    std::string expected = "hair\t0\twavelong\tWave\\tlong\t1,128,255\t" + native + "/hair/w/\n" +
                           "accessory\t0\t\t없음\t0,0,0\t\n" +
                           "accessory\t1\tkanzashi\tPin\t0,0,0\t" + native + "/accesary/k/\n" +
                           "expression\t0\tsumashi\t기본\t0,0,0\t\n" + "expression\t1\tniko\t^-^\t0,0,0\t\n" +
                           "expression\t2\tnikkori\t^o^\t0,0,0\t\n" + "expression\t3\tmakka\t*^^*\t0,0,0\t\n" +
                           "expression\t4\tnaki\t'-';\t0,0,0\t\n" + "expression\t5\tutumuki\tT.T\t0,0,0\t\n" +
                           "expression\t6\tikari\t--+\t0,0,0\t\n" + "expression\t7\todoroki\tO_O\t0,0,0\t\n";
    CHECK(r.out == expected);
    CliResult slashed = RunCli("--data '" + native + "/' catalog --encoding cp949");
    CHECK(slashed.status == 0);
    CHECK(slashed.out == expected);
    CHECK(RunCli("--data '" + (dir / "nothing") + "' catalog").status == 1);
}

TEST_CASE("vor-cli tokens and inf")
{
    ScratchFolder dir;
    WriteText(dir / "vor.inf",
              "#define F(a,b) a\nName = \"x\\x7F\\\\y\" \"z\";\nF(1)\n#include \"gone.inf\"\nColor = 0x10;\n");
    CliResult r = RunCli("--encoding cp949 tokens '" + (dir / "vor.inf") + "'");
    CHECK(r.status == 0);
    CHECK(r.out == "1\tName\n41\t=\n3\tx\\x7F\\\\yz\n15\t;\n1\tColor\n41\t=\n2\t16\n15\t;\n"
                   "error\t2\t매크로 인수의 갯수가 다릅니다.\n"
                   "error\t3\t" + EscapeBackslashes(dir / "gone.inf") + " 열 수 없음\n");
    r = RunCli("inf '" + (dir / "vor.inf") + "'");
    CHECK(r.status == 0);
    CHECK(r.out == "name\tx\\x7F\\\\yz\nfolder\t-\ncolor\t0,0,16\n");
}

TEST_CASE("vor-cli refuses and reports usage errors")
{
    CHECK(RunCli("tokens no_such_file.inf").status == 1);
    CHECK(RunCli("inf no_such_file.inf").status == 1);
    CHECK(RunCli("").status == 2);
    CHECK(RunCli("no-such-command").status == 2);
    CHECK(RunCli("tokens").status == 2);
    CHECK(RunCli("catalog extra").status == 2);
    CHECK(RunCli("--data").status == 2);
}

TEST_CASE("vor-cli lint: one finding a line in UTF-8, the totals, and its exit codes")
{
    ScratchFolder dir;
    std::string data = linttree::CleanTree(dir.path);
    std::string option = "--data '" + ScratchFolder::Native(data) + "' lint";

    CliResult clean = RunCli(option);
    CHECK(clean.status == 0);
    CHECK(clean.out == "0 errors, 0 warnings\n");

    // A stray file is a warning: passes, except under --strict.
    linttree::Image(data + "eye\\e1\\sumasi_a.png");
    CliResult warned = RunCli(option);
    CHECK(warned.status == 0);
    CHECK(warned.out == std::string("warning\teye\\e1\\sumasi_a.png\t") +
                            u8"프로그램이 읽지 않는 파일입니다 (비슷한 이름: sumashi_a.png)\n" + "0 errors, 1 warnings\n");
    CHECK(RunCli(option + " --strict").status == 1);

    // An error fails either way; a definition error carries its line.
    WriteText(data + "eye\\e1\\vor.inf",
              std::string("Name = \"e1\";\n#include \"gone.inf\"\nFolder = \"e1\";\n") + linttree::CLEAN_CREDITS);
    CliResult failed = RunCli(option);
    CHECK(failed.status == 1);
    size_t at = failed.out.find("\nerror\teye\\e1\\vor.inf:2\t");
    REQUIRE(at != std::string::npos);
    CHECK(failed.out.substr(at, failed.out.find('\n', at + 1) - at).find("gone.inf ") != std::string::npos);
    CHECK(failed.out.find("1 errors, 1 warnings\n") != std::string::npos);

    CHECK(RunCli("--data '" + ScratchFolder::Native(dir.path) + "none' lint").status == 1);
    CHECK(RunCli(option + " --loose").status == 2);
}

TEST_CASE("vor-cli random writes the same project for the same seed, and checks its arguments")
{
    ScratchFolder dir;
    std::string data = ScratchFolder::Native(linttree::CleanTree(dir.path));
    std::string a = ScratchFolder::Native(dir / "a.vor"), b = ScratchFolder::Native(dir / "b.vor");
    CliResult first = RunCli("--data '" + data + "' random --seed 7 --out '" + a + "'");
    CHECK(first.status == 0);
    CHECK(first.out == a + "\n");
    CHECK(RunCli("random --out '" + b + "' --seed 7 --data '" + data + "'").status == 0);
    std::vector<unsigned char> bytes = ScratchFolder::ReadBytes(a);
    CHECK(bytes.size() > 8);
    CHECK(bytes == ScratchFolder::ReadBytes(b));
    CliResult shown = RunCli("--data '" + data + "' project '" + a + "'");
    CHECK(shown.status == 0);
    CHECK(shown.out.find("name\trandom7\n") == 0);
    CHECK(shown.out.find("hair\th1\n") != std::string::npos);

    CHECK(RunCli("--data '" + data + "' random --seed -1 --out '" + a + "'").status == 2);
    CHECK(RunCli("--data '" + data + "' random --seed 12x --out '" + a + "'").status == 2);
    CHECK(RunCli("--data '" + data + "' random --seed 1").status == 2);
    CHECK(RunCli("--data '" + data + "none' random --seed 1 --out '" + a + "'").status == 1);
}
