// `vor-cli lint [--strict]`: the data tree checked for part-pack authors,
// one finding a line (`error|warning<TAB>PATH[:LINE]<TAB>MESSAGE`), then
// the totals. Exit 1 when there are errors, or warnings under --strict.
#include <cstring>

#include "catalog/part_lint.h"
#include "cli_json.h"
#include "cli_commands.h"
#include "cli_output.h"
#include "cli_progress.h"

int Cmd_Lint(const CliContext *context, int argc, char **argv)
{
    int strict = 0;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--strict") == 0)
            strict = 1;
        else
            return CliCommand_UsageError("lint");
    }
    LintReport report;
    CliProgress progress;
    CliProgress_Begin(&progress, "images checked");
    LintOptions options = {0, CliProgress_Step, &progress};
    int read = PartLint_RunWith(context->dataFolder, &options, &report);
    CliProgress_End(&progress);
    if (!read)
        return CliOut_Refuse("cannot read the data folder %s", CliOut_SystemPath(context->dataFolder).c_str());
    FILE *out = context->out;
    int status = report.errors > 0 || (strict && report.warnings > 0) ? CLI_EXIT_REFUSED : CLI_EXIT_OK;
    if (context->json) {
        CliJson findings = CliJson::array();
        for (const LintFinding &f : report.findings)
            findings.push_back({{"severity", f.severity == LINT_ERROR ? "error" : "warning"},
                                {"path", CliText_PathUtf8(f.path)},
                                {"line", f.line},
                                {"message", CliJson_Text(f.message.c_str())}});
        CliJson_Print(out, {{"findings", findings}, {"errors", report.errors}, {"warnings", report.warnings}});
        return status;
    }
    for (const LintFinding &f : report.findings) {
        fputs(f.severity == LINT_ERROR ? "error\t" : "warning\t", out);
        CliText_Write(out, CliText_PathText(out, CliOut_EscapeControls(f.path.c_str(), '\\')));
        if (f.line > 0)
            fprintf(out, ":%d", f.line);
        fputc('\t', out);
        CliOut_Readable(out, f.message.c_str());
        fputc('\n', out);
    }
    fprintf(out, "%d errors, %d warnings\n", report.errors, report.warnings);
    return status;
}
