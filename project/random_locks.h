// Random looks with locks: the traits a user wants to keep while the dice
// roll the rest, their names on the command line and in the registry, and
// the one function both the program and vor-cli use to give a project a
// locked random look, so the same project, seed and locks give the same
// character in either.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalog/part_catalog.h"
#include "project/project.h"

// One bit per trait, in the order the dialog and `--help` list them.
enum RandomTrait {
    RANDOM_TRAIT_HAIR,           // front and back hair style, separate-back-hair flag
    RANDOM_TRAIT_HAIR_COLOUR,
    RANDOM_TRAIT_EYES,           // eye shape
    RANDOM_TRAIT_EYE_COLOUR,
    RANDOM_TRAIT_BROWS,          // brow shape and colour
    RANDOM_TRAIT_MOUTH,          // mouth shape and lip colour
    RANDOM_TRAIT_CHEEKS,         // always kept (see RandomTrait_IsFixed)
    RANDOM_TRAIT_DRESSES,        // every style's dress
    RANDOM_TRAIT_DRESS_COLOURS,  // every style's dress colour
    RANDOM_TRAIT_ACCESSORIES,    // every style's accessories
    RANDOM_TRAIT_COUNT
};
typedef uint32_t RandomKeep;  // bit (1 << RandomTrait) set = kept
enum : uint32_t { RANDOM_KEEP_ALL = (1u << RANDOM_TRAIT_COUNT) - 1 };

// What Ctrl+R kept before locks existed: the dress styles whole.
extern const RandomKeep RANDOM_KEEP_DEFAULT;

// The trait's command-line name ("hair", "hair-colour", ...) and its label
// in the dialog (CP949); nullptr outside the list.
const char *RandomTrait_Name(int trait);
const char *RandomTrait_Label(int trait);
// The cheek shape is not stored in a project and stays at the first entry,
// so a look can never change it: it is kept whatever the locks say.
int RandomTrait_IsFixed(int trait);

// Parses "hair,eyes,..." (names as above, any order, repeats allowed; an
// empty text keeps nothing). Returns 0 and leaves `*keep` alone when a name
// is unknown, copying it into `bad` (size bytes) when given.
int RandomKeep_Parse(const char *text, RandomKeep *keep, char *bad, size_t size);
// The kept traits' names joined with ',' (empty when none); always
// NUL-terminated when size > 0. This is also the registry form.
void RandomKeep_Format(RandomKeep keep, char *text, size_t size);

// A seed as typed: decimal digits only, 0 .. 2^64 - 1, nothing around them.
// Returns 0 and leaves `*seed` alone otherwise.
int RandomSeed_Parse(const char *text, uint64_t *seed);

// Gives `project` the look of `seed` in every trait that `keep` does not
// keep: parts chosen by index (their keys cleared so that saving names the
// catalogue's folders), colours replaced. The name, the expression, the
// output settings and the styles' names, folders and check states stay.
// Brows not kept follow the final hair colour, as a rolled look's do. The
// first style wears the look's dress and accessories; each further style
// rolls its own from a seed of its own. Returns 0 when memory ran out (the
// project may then be partly changed).
int RandomLook_ApplyLocked(const PartCatalog *catalog, uint64_t seed, RandomKeep keep, Project *project);
