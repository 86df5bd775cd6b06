// A cast of random characters (see random_cast.h).
//
// Member seeds are successive draws of one generator seeded with the cast's
// seed; a draw whose look repeats an earlier member's (compared as the
// project bytes with the name left out) is passed over, so the seeds and
// the looks are all distinct.
#include "project/random_cast.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "editor/dress_style.h"
#include "project/project_model.h"
#include "project/random_character.h"

namespace {

// Common Korean given names, two syllables each. The cast sheet letters
// them with glyphs made for exactly these syllables (output/name_glyphs.inc,
// drawn by scripts/gen-name-glyphs from this list): keep the two together.
// names begin
const char *const NAMES[] = {
    "지민", "서연", "민준", "하은", "도윤", "서준", "지우", "예준", "하윤", "시우",
    "수아", "주원", "지호", "서윤", "은우", "지아", "건우", "채원", "현우", "다은",
    "유진", "민서", "준서", "예은", "승민", "소율", "태윤", "지안", "우진", "나은",
    "선우", "가은", "재민", "윤아", "민재", "수빈", "연우", "하린", "정우", "보람",
    "동현", "미나", "상훈", "혜진", "영호", "은지", "성민", "소연", "진호", "다인",
};
// names end
const int NAME_COUNT = (int)(sizeof NAMES / sizeof NAMES[0]);

const uint64_t NAME_ORDER_SALT = 0x4E414D45ull;  // "NAME"

// A copy of the record through its file image: every owned text and style
// duplicated, indices resolved again.
Project *CopyProject(const Project *p, const PartCatalog *catalog)
{
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project *copy = nullptr;
    if (bytes && Project_Parse(bytes, size, &copy) == PROJECT_OK && copy)
        Project_ResolveKeys(copy, catalog);
    free(bytes);
    return copy;
}

// The look as bytes: the file image with the name left out.
std::string LookBytes(Project *p, const PartCatalog *catalog)
{
    char *name = p->name;
    p->name = nullptr;
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    p->name = name;
    std::string look = bytes ? std::string((const char *)bytes, size) : std::string();
    free(bytes);
    return look;
}

Project *MakeMember(const PartCatalog *catalog, uint64_t seed, const Project *base, RandomKeep keep)
{
    if (!base) {
        RandomLook look;
        RandomLook_Roll(catalog, seed, &look);
        return RandomLook_ToProject(&look, seed);
    }
    Project *p = CopyProject(base, catalog);
    if (p && !RandomLook_ApplyLocked(catalog, seed, keep, p)) {
        Project_Free(p);
        return nullptr;
    }
    return p;
}

}  // namespace

int RandomCast_NameCount(void)
{
    return NAME_COUNT;
}

const char *RandomCast_Name(int index)
{
    return index >= 0 && index < NAME_COUNT ? NAMES[index] : nullptr;
}

void RandomCast_Free(RandomCast *cast)
{
    for (CastMember &m : cast->members)
        Project_Free(m.project);
    cast->members.clear();
}

int RandomCast_Make(const PartCatalog *catalog, uint64_t seed, int count, const Project *base, RandomKeep keep,
                    RandomCast *cast)
{
    RandomCast_Free(cast);
    if (count < 1 || count > CAST_COUNT_MAX)
        return CAST_TOO_FEW_LOOKS;
    // The names in an order of the seed's own (Fisher-Yates).
    int order[NAME_COUNT];
    for (int i = 0; i < NAME_COUNT; i++)
        order[i] = i;
    RandomState names;
    Random_Seed(&names, seed ^ NAME_ORDER_SALT);
    for (int i = NAME_COUNT - 1; i > 0; i--) {
        int j = Random_Below(&names, i + 1);
        int t = order[i];
        order[i] = order[j];
        order[j] = t;
    }

    RandomState seeds;
    Random_Seed(&seeds, seed);
    std::set<std::string> looks;
    long long tries = (long long)count * CAST_TRIES_PER_MEMBER;
    while ((int)cast->members.size() < count) {
        if (tries-- <= 0) {
            RandomCast_Free(cast);
            return CAST_TOO_FEW_LOOKS;
        }
        uint64_t memberSeed = Random_Next(&seeds);
        Project *p = MakeMember(catalog, memberSeed, base, keep);
        std::string look = p ? LookBytes(p, catalog) : std::string();
        if (look.empty()) {
            Project_Free(p);
            RandomCast_Free(cast);
            return CAST_NO_MEMORY;
        }
        if (!looks.insert(look).second) {
            Project_Free(p);
            continue;
        }
        int i = (int)cast->members.size();
        char name[32];
        if (i < NAME_COUNT)
            snprintf(name, sizeof name, "%s", NAMES[order[i]]);
        else
            snprintf(name, sizeof name, "%s%d", NAMES[order[i % NAME_COUNT]], i / NAME_COUNT + 1);
        if (!Style_SetText(&p->name, name)) {
            Project_Free(p);
            RandomCast_Free(cast);
            return CAST_NO_MEMORY;
        }
        cast->members.push_back({memberSeed, p});
    }
    return CAST_OK;
}
