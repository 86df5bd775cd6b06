// `vor-cli lint [--strict]`: the data tree checked for part-pack authors,
// one finding a line (`error|warning<TAB>PATH[:LINE]<TAB>MESSAGE`), then
// the totals. Exit 1 when there are errors, or warnings under --strict.
#include <cstring>

#include "catalog/part_lint.h"
#include "cli_output.h"

int Cmd_Lint(const CliContext *context, int argc, char **argv)
{
    int strict = 0;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--strict") == 0)
            strict = 1;
        else
            return CliOut_Usage("lint [--strict]");
    }
    LintReport report;
    if (!PartLint_Run(context->dataFolder, &report))
        return CliOut_Refuse("cannot read the data folder %s", CliOut_SystemPath(context->dataFolder).c_str());
    FILE *out = context->out;
    for (const LintFinding &f : report.findings) {
        fputs(f.severity == LINT_ERROR ? "error\t" : "warning\t", out);
        CliOut_Readable(out, f.path.c_str());
        if (f.line > 0)
            fprintf(out, ":%d", f.line);
        fputc('\t', out);
        CliOut_Readable(out, f.message.c_str());
        fputc('\n', out);
    }
    fprintf(out, "%d errors, %d warnings\n", report.errors, report.warnings);
    return report.errors > 0 || (strict && report.warnings > 0) ? CLI_EXIT_REFUSED : CLI_EXIT_OK;
}
