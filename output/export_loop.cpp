// The one loop of the export: every checked style times every expression,
// in the order the files are written, then back to what the user had. The
// headless export and the program's export worker differ only in how they
// show a style, choose an expression and write a picture.
#include <cstdio>

#include "output/export.h"

// Fills in where the picture goes: its path, or an empty path and the text
// of the path that does not fit.
static void ExportPicture_Place(ExportPicture *picture, const char *base, const char *name,
                                const char *expressionFolder)
{
    const char *folder = picture->style->outputFolder ? picture->style->outputFolder : "";
    picture->havePath = Export_ImagePath(base, name, folder, expressionFolder, picture->path);
    if (!picture->havePath)
        picture->path[0] = 0;
    Export_ImagePathText(base, name, folder, expressionFolder, picture->shown, sizeof picture->shown);
}

void Export_VisitPictures(const Character *ch, const Wardrobe *w, const char *base, const ExportSteps *steps)
{
    const int styleBefore = w->selected;
    const int expressionBefore = ch->expression;
    const PtrList *expressions = ch->catalog->expressions;
    // The folder takes the name as far as the games read it.
    char name[EXPORT_NAME_MAX + 1];
    snprintf(name, sizeof name, "%s", ch->name ? ch->name : "");

    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        const DressStyle *style = Wardrobe_StyleAt(w, i);
        if (style->checkState != STYLE_CHECKED)
            continue;
        if (w->selected != i)
            steps->showStyle(steps->context, i);
        for (int j = 0; j < PtrList_Count(expressions); j++) {
            steps->chooseExpression(steps->context, j);
            ExportPicture picture = {};
            picture.styleIndex = i;
            picture.style = style;
            picture.expression = j;
            ExportPicture_Place(&picture, base, name, ((const PartEntry *)PtrList_Get(expressions, j))->folder);
            steps->picture(steps->context, &picture);
        }
    }

    if (styleBefore >= 0 && w->selected != styleBefore)
        steps->showStyle(steps->context, styleBefore);
    if (ch->expression != expressionBefore)
        steps->chooseExpression(steps->context, expressionBefore);
}
