// The definition file of a part folder (`vor.inf`): its display name, its
// folder key and its default colour, read through the preprocessor.
//
// The statements that count: `Name = "text";`, `Folder = "text";`,
// `Color = number;` (0xHHLLSS: hue, luminance, saturation) and the credits
// `Author = "text";`, `License = "text";`, `Url = "text";`. Everything else
// is skipped statement by statement, up to and including its `;`.
#pragma once

#include "layers/hls.h"

struct Preprocessor;

struct PartDefinition {
    char *name;       // none when the file has no Name statement
    char *folder;     // none when the file has no Folder statement
    char *path;       // set by the caller; none until then
    HlsColour color;  // 0, 0, 0 without a Color statement
    // Who drew the part, under which licence, where it comes from; none
    // when the file does not say.
    char *author;
    char *license;
    char *url;
    // The credit statements whose value was not a string (the lint reports
    // them): bit (1 << PART_CREDIT_AUTHOR) and so on.
    unsigned notString;
};

enum PartCredit { PART_CREDIT_AUTHOR, PART_CREDIT_LICENSE, PART_CREDIT_URL, PART_CREDIT_COUNT };
// "Author", "License", "Url".
const char *PartDefinition_CreditKey(int credit);

// Reads the statements of the file `pp` was opened on; none only when
// memory is exhausted. The caller closes the preprocessor.
PartDefinition *ReadPartDefinition(Preprocessor *pp);
void PartDefinition_Free(PartDefinition *definition);
// The colour of a number token as a Color statement reads it (0xHHLLSS).
HlsColour PartDefinition_ColourFromNumber(const char *text);
