// The credits of an export: every catalogue part that any exported picture
// shows (hair, dress, eyes, brows, mouth, cheeks, accessories), with the
// author, licence and address its vor.inf gives, written as CREDITS.txt
// (UTF-8, CR LF) beside macro.txt and shown by the program's parts window.
//
//   <base>\<name>\CREDITS.txt
//
// The parts are noted picture by picture from inside the export's loop
// (Export_VisitPictures), so the list is exactly what the pictures use.
#pragma once

#include <string>
#include <vector>

#include "catalog/part_catalog.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

static const char CREDITS_FILE[] = "CREDITS.txt";

struct ExportCredits {
    std::vector<char> used[PART_LIST_COUNT];  // per catalogue list: 1 at each index in use
    int pictures = 0;                         // pictures noted
};

// Notes the parts of the picture the character shows in `style` now.
void Credits_NotePicture(ExportCredits *credits, const Character *ch, const DressStyle *style);
// Notes every picture the export would write, without showing anything.
void Credits_NoteExport(ExportCredits *credits, const Character *ch, const Wardrobe *w);
// The list as text (CP949, CR LF line ends): a heading naming the
// character, then per part, in catalogue list order, its kind, name and
// folder, author, licence and address, "알 수 없음" where the part does not
// say. A control character in any of them (a line break, an escape) is
// written as \xHH (Text_ShowControls), never as itself.
std::string Credits_Text(const ExportCredits *credits, const PartCatalog *catalog, const char *name);
// The bytes of CREDITS.txt: the text in UTF-8.
std::string Credits_FileBytes(const ExportCredits *credits, const PartCatalog *catalog, const char *name);
