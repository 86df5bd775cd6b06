// The one loop of the export: every checked style times every expression,
// in the order the files are written, then back to what the user had. The
// export's driver (output/export_driver.cpp) and the credits window's list
// walk it.
#include "output/export.h"

void Export_VisitPictures(const Character *ch, const Wardrobe *w, const ExportSteps *steps)
{
    const int styleBefore = w->selected;
    const int expressionBefore = ch->expression;
    const PtrList *expressions = ch->catalog->expressions;

    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        const DressStyle *style = Wardrobe_StyleAt(w, i);
        if (style->checkState != STYLE_CHECKED)
            continue;
        if (w->selected != i)
            steps->showStyle(steps->context, i);
        for (int j = 0; j < PtrList_Count(expressions); j++) {
            steps->chooseExpression(steps->context, j);
            ExportPicture picture = {i, style, j, ((const PartEntry *)PtrList_Get(expressions, j))->folder};
            steps->picture(steps->context, &picture);
        }
    }

    if (styleBefore >= 0 && w->selected != styleBefore)
        steps->showStyle(steps->context, styleBefore);
    if (ch->expression != expressionBefore)
        steps->chooseExpression(steps->context, expressionBefore);
}
