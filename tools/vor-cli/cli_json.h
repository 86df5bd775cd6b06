// JSON output of vor-cli (`--json`): one document per run on stdout, UTF-8,
// keys in the order they are added (the order of the text records), built
// with nlohmann::json so that escaping is the library's and never ours.
#pragma once

#include <json.hpp>

#include <string>

#include "cli_output.h"

typedef nlohmann::ordered_json CliJson;

// A CP949 text as a JSON string (UTF-8; bytes that are not CP949 become U+FFFD).
inline CliJson CliJson_Text(const char *cp949)
{
    return CliText_ToUtf8(cp949 ? cp949 : "");
}

// A program path in the system's form as a JSON string that opens the same
// file (CliText_PathJson: names that are not UTF-8 byte by byte as \xHH).
inline CliJson CliJson_Path(const char *programPath)
{
    return CliText_PathJson(CliOut_PlainSystemPath(programPath));
}

// A colour as {"hue", "luminance", "saturation"}.
template <typename Colour>
CliJson CliJson_Colour(const Colour &c)
{
    return CliJson{{"hue", c.hue}, {"luminance", c.luminance}, {"saturation", c.saturation}};
}

// How many documents this run has printed: a command refused before it
// printed its own still prints one that says why (main.cpp).
inline int &CliJson_Documents()
{
    static int documents = 0;
    return documents;
}

// Writes the document and a newline to `out`.
inline void CliJson_Print(FILE *out, const CliJson &document)
{
    CliText_WriteUtf8(out, document.dump(2) + "\n");
    CliJson_Documents()++;
}
