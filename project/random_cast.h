// A cast: many random characters at once, each with a seed of its own drawn
// from one seed, a look no other member has and a Korean given name, for
// the many side characters a game needs. `vor-cli random --count` writes
// them; the same seed, catalogue and base give the same cast.
#pragma once

#include <cstdint>
#include <vector>

#include "catalog/part_catalog.h"
#include "project/project.h"
#include "project/random_locks.h"

struct CastMember {
    uint64_t seed;     // the member's own seed (RandomLook_ApplyLocked / _Roll)
    Project *project;  // owned; named after the member
};

struct RandomCast {
    std::vector<CastMember> members;
};

enum {
    CAST_COUNT_MAX = 999,  // char-001 .. char-999
    // Seeds tried per member before the locks are taken to leave too few
    // looks: a catalogue with two hair styles and everything else kept
    // has only two.
    CAST_TRIES_PER_MEMBER = 64,
};

enum RandomCastResult {
    CAST_OK = 1,
    CAST_NO_MEMORY = 0,
    CAST_TOO_FEW_LOOKS = -1,  // the catalogue and the locks give fewer looks than asked for
};

// Makes `count` members (1..CAST_COUNT_MAX). Without `base` each member is
// a whole random character (RandomLook_ToProject); with it, a copy of
// `base` given the member's look in every trait `keep` does not keep.
// Members are named from the list of given names in an order drawn from the
// seed, with 2, 3, ... added once the list is used up. On any result but
// CAST_OK the cast is left empty.
int RandomCast_Make(const PartCatalog *catalog, uint64_t seed, int count, const Project *base, RandomKeep keep,
                    RandomCast *cast);
void RandomCast_Free(RandomCast *cast);

// The given names members are named from (CP949), for the tests and the
// cast sheet's lettering.
int RandomCast_NameCount(void);
const char *RandomCast_Name(int index);
