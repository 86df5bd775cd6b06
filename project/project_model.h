// Between the project record and the character: applying a read project,
// gathering one to save, and the new project's defaults.
#pragma once

#include "editor/character.h"
#include "editor/wardrobe.h"
#include "project/project.h"

// Turns the record's folder keys into catalogue indices (-1 when a key is
// not in the catalogue; the key text stays for a later save).
void Project_ResolveKeys(Project *project, const PartCatalog *catalog);
// Key source for Project_Serialize / Project_WriteFile over a catalogue.
ProjectKeySource Project_CatalogKeys(const PartCatalog *catalog);

// Applies the project to the character and the wardrobe: name, colours and
// parts (each choice loads its images), then the styles, which the wardrobe
// takes over (the record's style list is left empty), showing style 0.
void Project_Apply(Project *project, Character *ch, Wardrobe *w);
// Applies the project over `now`, a record gathered from the same character
// and wardrobe a moment ago, loading only what differs: a part is chosen
// again when its choice or colour changed, the hair when any hair setting
// did, the expression when it changed; the styles move to the wardrobe and
// style `shown` is shown, its dress and accessories loaded again only when
// they differ from what the canvas shows (a different depth selection only
// selects). The end state is the one Project_Apply would give, without
// reloading the images of the parts that stayed (an undo step).
void Project_ApplyChanges(Project *project, const Project *now, Character *ch, Wardrobe *w, int shown);
// A record of the character and the wardrobe as they are now; the shown
// style's accessories are captured afresh first. nullptr when memory runs out.
Project *Project_Gather(Character *ch, Wardrobe *w, const char *freeFolder, int freeFolderFlag);
// The default project: name "NEW", the start folder as free folder, the
// first entry of every list in the default colour, one new style in the
// first dress's colour.
Project *Project_MakeDefault(const PartCatalog *catalog, const char *startFolder);
