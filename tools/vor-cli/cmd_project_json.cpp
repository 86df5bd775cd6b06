// `vor-cli project FILE --json`: the fields `project` prints as key<TAB>value
// lines, as one object under the same keys; the styles and their
// accessories become arrays instead of indexed keys and counts.
#include "cli_json.h"
#include "project/project.h"

static CliJson ChoiceText(const PartChoice &choice)
{
    return CliJson_Text(choice.key);
}

CliJson Cmd_ProjectJson(const Project *p)
{
    CliJson styles = CliJson::array();
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(p->styles, i);
        CliJson accessories = CliJson::array();
        for (int j = 0; j < AccessorySet_Count(s->accessories); j++) {
            const AccessoryPlacement *a = AccessorySet_Get(s->accessories, j);
            accessories.push_back({{"kind", CliJson_Text(a->key)},
                                   {"depth", a->depth},
                                   {"x", a->position.x},
                                   {"y", a->position.y},
                                   {"colour", CliJson_Colour(a->colour)}});
        }
        styles.push_back({{"name", CliJson_Text(s->name)},
                          {"output_folder", CliJson_Text(s->outputFolder)},
                          {"dress", CliJson_Text(s->dressKey)},
                          {"colour", CliJson_Colour(s->colour)},
                          {"selection", s->accessories->selection},
                          {"accessories", accessories},
                          {"check_state", s->checkState}});
    }
    return {{"name", CliJson_Text(p->name)},
            {"free_folder", CliJson_Text(p->freeFolder)},
            {"free_folder_flag", p->freeFolderFlag},
            {"brow", ChoiceText(p->brow)},
            {"brow_colour", CliJson_Colour(p->browColour)},
            {"eye", ChoiceText(p->eye)},
            {"eye_colour", CliJson_Colour(p->eyeColour)},
            {"mouth", ChoiceText(p->mouth)},
            {"mouth_colour", CliJson_Colour(p->mouthColour)},
            {"hair", ChoiceText(p->hair)},
            {"hair_colour", CliJson_Colour(p->hairColour)},
            {"back_hair", ChoiceText(p->backHair)},
            {"separate_back_hair", p->separateBackHair},
            {"hair_default_colour", p->hairDefaultColour},
            {"expression", ChoiceText(p->expression)},
            {"styles", styles}};
}
