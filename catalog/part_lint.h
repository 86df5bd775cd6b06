// Checking a data tree the way the program will read it, for the people who
// draw part packs: everything that would make a part silently missing, blank
// or wrongly coloured is reported before a user ever sees it.
//
// The checks walk the kind folders themselves (a folder the catalogue leaves
// out is exactly what an author needs to hear about) and then the catalogue
// the program builds, asking for every image the program will ask for.
// Findings carry paths relative to the data folder, `\`-separated as the
// catalogue writes them, and CP949 messages.
#pragma once

#include <string>
#include <vector>

enum LintSeverity {
    LINT_ERROR = 0,    // the part is left out or shows wrong or blank
    LINT_WARNING = 1,  // probably unintended, but the part works
    LINT_NOTE = 2,     // a fact about the pack, never a fault (LintReport::notes)
};

struct LintFinding {
    int severity;          // LintSeverity
    std::string path;      // relative to the data folder; a folder ends with `\`
    int line;              // 1-based line in `path`, 0 when none applies
    std::string message;   // CP949
};

struct LintReport {
    std::vector<LintFinding> findings;  // ordered by path, then line; the count of any left out last
    // What is worth knowing but never wrong, not counted: the expressions
    // of each eye or mouth shape without a blink or talking frame (an
    // export then shows them still). Severity LINT_NOTE, ordered by path.
    std::vector<LintFinding> notes;
    int errors;                         // all found, kept or not
    int warnings;
};

// The limits the checks measure against, named once.
enum {
    LINT_PICTURE_WIDTH = 360,
    LINT_PICTURE_HEIGHT = 480,
    // The part lists are 92 dialog units wide: about ten Hangul syllables
    // (twenty bytes) of 9-point Gulim fit before the text is cut off.
    LINT_NAME_SHOWN_BYTES = 20,
    // Findings kept per file and in all; one more line says how many were
    // not, so a pack of a million broken statements reports in bounded
    // memory and still says that it is broken.
    LINT_MAX_PER_FILE = 100,
    LINT_MAX_FINDINGS = 10000,
};

// Checks the tree below `dataFolder` (ending with `\` or `/`). Returns 0 when
// the folder cannot be read at all (then the report is empty), else 1.
int PartLint_Run(const char *dataFolder, LintReport *report);

struct LintOptions {
    int threads;  // threads decoding the images; 0: one per processor
    // Called now and then with the images decoded so far (may be null).
    void (*progress)(void *user, int done, int total);
    void *user;
};
// The same with options; PartLint_Run uses the defaults (every processor,
// no progress). The findings are the same whatever the threads.
int PartLint_RunWith(const char *dataFolder, const LintOptions *options, LintReport *report);

// The share (0..100) of a recoloured image's visible pixels that are not
// grey: such pixels lose their colour and take the tint's instead. Exposed
// for its tests; `bgra` is `count` pixels in blue, green, red, alpha order.
int PartLint_ColouredShare(const unsigned char *bgra, int count);
// 1 when `text` is whole CP949: single bytes below 0x80 and no control
// characters, double bytes with a lead of 0x81..0xFE and a valid trail.
int PartLint_IsShowableCp949(const char *text);
// The edit distance between two names, ASCII letters compared without case.
int PartLint_NameDistance(const std::string &a, const std::string &b);
