// Fuzz target: arbitrary bytes read as a definition file, first by the
// definition reader and then token by token through the preprocessor.
//
// The input is written to a fixed file name (fuzz_definition_work\vor.inf
// below the current folder) so that `#include "vor.inf"` finds the input
// itself; recursive macros and self-inclusion must still end. A reading that
// hands out an absurd number of tokens counts as a hang and aborts.
#include <cstdint>
#include <cstdlib>

#include "catalog/part_definition.h"
#include "catalog/preprocessor.h"
#include "core/array.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "fuzz_input_file.h"

static const char kFolder[] = "fuzz_definition_work";
static const char kPath[] = "fuzz_definition_work\\vor.inf";
static const long kMaxTokens = 1L << 22;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzInput_Write(kFolder, kPath, data, size))
        return 0;

    Preprocessor *pp = Preprocessor_Open(kPath, nullptr);
    if (!pp)
        abort();  // the file was just written
    PartDefinition *def = ReadPartDefinition(pp);
    Preprocessor_Close(pp);
    PartDefinition_Free(def);

    PtrList *errors = PtrList_Create(8, 8);
    pp = Preprocessor_Open(kPath, errors);
    Token token;
    for (long n = 0;; n++) {
        if (n > kMaxTokens)
            abort();
        Preprocessor_Next(pp, &token);
        if (token.kind == TOKEN_END && Preprocessor_AtEnd(pp))
            break;
    }
    // Past the end the end token repeats.
    Preprocessor_Next(pp, &token);
    if (token.kind != TOKEN_END || token.text[0] != 0)
        abort();
    Preprocessor_Close(pp);
    PtrList_Destroy(errors, PreprocessorError_Free);
    return 0;
}
