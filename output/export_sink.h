// The export's driver and its sinks. The driver walks every picture the
// export shows (Export_VisitPictures: every checked style x every
// expression) and hands each to every sink the user asked for; a sink is one
// output (the PNG pictures, macro.txt, CREDITS.txt, a layered file beside each
// picture, a game engine's character) and has three steps:
//
//   begin    before anything is written: checks its names, plans its files
//   picture  one style x expression, while the document shows it
//   finish   after the last picture: its texts and whatever it planned
//
// The driver never asks which sink it drives. Where the pictures are shown
// (the headless character of vor-cli and the tests, or the program's pages
// with the canvas's loader) is the driver's stage, given by the runner.
//
// A sink's picture step runs on the driver's thread while the document still
// shows the picture; what takes long (encoding, writing) it hands to the shot
// as later work (ExportShot_Later), which the headless runner does on encoder
// threads beside the next composition. Files are reported in the order the
// steps were added, whichever thread did the work.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "output/credits.h"
#include "output/export.h"

struct ExportDriver;
struct ExportShot;

// One output of the export. `state` belongs to the sink and is freed by
// `release`; every step but `begin` may be nullptr.
struct ExportSink {
    void *state;
    // Checks and plans. Returns 1, or 0 with a message for the user (CP949,
    // may hold line breaks): then nothing of any sink is written.
    int (*begin)(void *state, ExportDriver *driver, std::string *problem);
    void (*picture)(void *state, ExportDriver *driver, ExportShot *shot);
    void (*finish)(void *state, ExportDriver *driver);
    // What the progress window shows for a picture (the first sink that
    // names one is asked).
    std::string (*describe)(void *state, ExportDriver *driver, const ExportPicture *picture);
    void (*release)(void *state);
    // The files it writes per picture and in its finish; -1 when only its
    // finish knows.
    int filesPerPicture, filesAtFinish;
};

// How the runner shows the pictures.
struct ExportStage {
    void *context;
    void (*showStyle)(void *context, int style);
    void (*chooseExpression)(void *context, int expression);
    // Returns once the document's images are loaded for what is shown.
    void (*awaitLoaded)(void *context);
    // A picture begins; `label` is what a progress display shows (may be
    // nullptr).
    void (*pictureBegins)(void *context, const char *label);
};

// Begins an export: every sink's begin, stopping at the first refusal (its
// message in `problem`; the sinks are then released and nullptr returned).
// Once all have begun, `options->planned` (when set) hears how many files
// the export will write (-1: not known before the end). `options`
// (optional) gives the encoder threads and the file callback; `stats`
// (optional) receives the counts and times. Everything given must outlive
// ExportDriver_Run.
ExportDriver *ExportDriver_Begin(std::vector<ExportSink> *sinks, Character *ch, Wardrobe *w, const ExportStage *stage,
                                 const ExportOptions *options, ExportStats *stats, std::string *problem);
// Runs a begun export: every picture through every sink, then every sink's
// finish; the character and wardrobe are shown through the stage and come
// back to what the user had. Files that failed are in the stats' tally. The
// sinks and the driver are released.
void ExportDriver_Run(ExportDriver *driver);
// Releases a begun export that will not run (its sinks too).
void ExportDriver_Release(ExportDriver *driver);

// Releases sinks that were never run.
void ExportSinks_Release(std::vector<ExportSink> *sinks);

// ---- what sinks use --------------------------------------------------------

Character *ExportDriver_Character(ExportDriver *driver);
Wardrobe *ExportDriver_Wardrobe(ExportDriver *driver);
// The parts every picture so far has shown (complete in finish).
const ExportCredits *ExportDriver_Credits(ExportDriver *driver);
ExportStats *ExportDriver_Stats(ExportDriver *driver);
// Counts a file of a finish step and passes it to the file callback.
void ExportDriver_Report(ExportDriver *driver, const std::string &path, int failure);

// One picture on its way through the sinks.
const ExportPicture *ExportShot_Picture(const ExportShot *shot);
// The composed picture, composed on the first call (nullptr when it could
// not be). The shot owns it; later work may read it.
const DIB *ExportShot_Image(ExportShot *shot);
// The picture's PNG bytes, encoded once for every sink that needs them;
// empty when it could not be composed or encoded. Only from later work.
const std::vector<unsigned char> &ExportShot_Png(ExportShot *shot);
// Work for after the picture step (on an encoder thread, or at once when the
// runner has none); `work` reports its files with ExportShot_Report.
void ExportShot_Later(ExportShot *shot, std::function<void(ExportShot *shot)> work);
// The picture as a PNG file at `path`: refused when the path does not fit
// or the picture cannot be composed, else written by later work, all or
// nothing, and reported in this place.
void ExportShot_WritePng(ExportShot *shot, const ExportPath &path);
// Another picture of this shot (a frame of it), which the call takes: the
// same for `image`, nullptr counting as a picture that could not be
// composed. `image` equals the shot's picture above `firstChangedRow`, so
// its encoding starts from there (png_kept.h); the shot's PNG is encoded
// for it if no sink asked for it.
void ExportShot_WriteOtherPng(ExportShot *shot, const ExportPath &path, DIB *image, int firstChangedRow);
// Whether a file of this picture can be written at `path`: it fits and the
// picture could be composed. Else the file is reported failed, and 0.
int ExportShot_CanWrite(ExportShot *shot, const ExportPath &path);
// A file of this picture: written (EXPORT_WRITTEN) or why not. Reports made
// in the picture step itself keep their place among the later work.
void ExportShot_Report(ExportShot *shot, const std::string &path, int failure);
