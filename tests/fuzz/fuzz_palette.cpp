// Fuzz target: arbitrary bytes read as palette.inf. The reader must end,
// keep every list within the dialog's twelve swatches, and number every
// problem with a line of the file it came from.
//
// The input is written to a fixed name (fuzz_palette_work\palette.inf below
// the current folder) so that `#include "palette.inf"` finds the input itself.
#include <cstdint>
#include <cstdlib>

#include "catalog/palette.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "fuzz_input_file.h"

static const char kFolder[] = "fuzz_palette_work";
static const char kPath[] = "fuzz_palette_work\\palette.inf";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzInput_Write(kFolder, kPath, data, size))
        return 0;
    Palette palette;
    Palette_Defaults(&palette);
    std::vector<PaletteProblem> problems;
    if (!Palette_Read(kPath, &palette, &problems))
        abort();  // the file was just written
    for (int k = 0; k < PALETTE_KINDS; k++)
        if (palette.count[k] < 0 || palette.count[k] > PALETTE_MAX_SWATCHES)
            abort();
    for (const PaletteProblem &p : problems)
        if (p.line < 0 || p.file.empty() || p.message.empty())
            abort();
    return 0;
}
