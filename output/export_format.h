// The export's formats, one row each in one table (export_formats.cpp):
// vor-cli's options and help, the SAVE page's choices and the remembered
// choice are all read from it, and each row knows how to make its sinks
// (output/export_sink.h). Adding a format is its writer file plus one row.
//
// A format either writes a folder of its own (chosen with its folder option,
// vor-cli's `--out DIR`, and one of the SAVE page's kinds) or a file beside
// each picture of a format that takes the "layered" option.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "output/export_sink.h"

enum ExportFormatKind {
    EXPORT_FORMAT_FOLDER = 0,  // a folder of its own
    EXPORT_FORMAT_BESIDE,      // a file beside each picture
};

// An option a format takes besides its folder.
struct ExportFormatOption {
    const char *flag;   // vor-cli's option ("--tag")
    const char *value;  // its value's name in the usage ("TAG"); nullptr for a switch
    const char *key;    // its key in ExportChoice::settings ("tag")
    const char *help;   // one line for vor-cli's help
    // The SAVE page's field that holds it (1 = the first), 0 for none: a text
    // field for an option with a value, a check box for a switch.
    int saveField;
};

// What the user asked of one format.
struct ExportChoice {
    const struct ExportFormat *format;
    std::string base;                             // the folder it writes below, ending with `\`
    std::map<std::string, std::string> settings;  // its options by key ("tag", "layered"); a switch is "1"
};

struct ExportFormat {
    const char *word;          // vor-cli's word for it ("png", "psd", "ora", "renpy")
    const char *label;         // what the SAVE page shows (CP949)
    const char *registryWord;  // how the remembered choice stores it
    const char *extension;     // the extension of the files it is named for
    int kind;                  // ExportFormatKind
    const char *folderFlag;    // a folder format's vor-cli option ("--out"); nullptr beside
    const char *folderHelp;    // one line for the folder option's help
    const ExportFormatOption *options;  // its own options, ending with a row of nullptrs
    const char *help;          // vor-cli's paragraph: what it writes, file by file
    int saveKind;              // a folder format's place among the SAVE page's kinds (1 = the first), 0 for none
    // The SAVE page's words (CP949): the caption of the box that shows a
    // refusal of its names, and the message once everything was written.
    const char *refusalCaption;
    const char *doneMessage;
    // The rule the character's name must pass before anything else is
    // checked (the SAVE page then leads the user to the name field), or
    // nullptr.
    const char *(*nameProblem)(const char *name);
    // Appends its sinks for `choice` to `sinks`. Returns 0 when memory runs out.
    int (*addSinks)(const ExportChoice *choice, std::vector<ExportSink> *sinks);
};

// The table, in the order vor-cli's help and the SAVE page list it.
int ExportFormat_Count();
const ExportFormat *ExportFormat_At(int index);
// The format vor-cli or the registry names, or nullptr.
const ExportFormat *ExportFormat_FromWord(const char *word);
const ExportFormat *ExportFormat_FromRegistryWord(const char *word);
// The folder format the SAVE page offers as kind `saveKind`, or nullptr.
const ExportFormat *ExportFormat_FromSaveKind(int saveKind);
// The beside formats in table order: the layered file's choices.
std::vector<const ExportFormat *> ExportFormat_BesideFormats();
// The option of `format` with vor-cli flag `flag`, or nullptr.
const ExportFormatOption *ExportFormat_Option(const ExportFormat *format, const char *flag);
// The key every folder format takes that names a beside format.
static const char EXPORT_SETTING_LAYERED[] = "layered";

// The choices as sinks, in choice order; a choice's "layered" setting adds
// the beside format's sinks after it. Returns 0 when a setting names no
// format or memory runs out (the sinks made so far are released).
int ExportFormat_MakeSinks(const std::vector<ExportChoice> &choices, std::vector<ExportSink> *sinks);

// Runs the chosen formats without a window, as Export_RunHeadless does for
// the PNG files. Returns 1 when it ran (see stats->tally), 0 when a format
// refused before anything was written (the reason in `problem`).
int Export_RunChoicesHeadless(Character *ch, Wardrobe *w, const std::vector<ExportChoice> &choices,
                              const ExportOptions *options, ExportStats *stats, std::string *problem);

// ---- the formats' sinks (their own files) ------------------------------------

// The PNG pictures, macro.txt and CREDITS.txt (png_sinks.cpp, credits.cpp).
int PngFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
ExportSink CreditsSink_Make(const char *base);
// A layered file beside each picture (layered_file.cpp).
int PsdFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
int OraFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
// The Ren'Py character (renpy_run.cpp).
int RenPyFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
// The WebGAL figure set and the sprite atlas (figure_sinks.cpp).
int WebGalFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
int AtlasFormat_AddSinks(const ExportChoice *choice, std::vector<ExportSink> *sinks);
