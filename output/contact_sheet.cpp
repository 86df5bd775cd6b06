// The contact sheet of a character's exported styles and expressions.
#include "output/contact_sheet.h"

#include "layers/render.h"
#include "output/export.h"

int ContactSheet_MaxRows(int columns)
{
    if (columns <= 0)
        return 0;
    return (int)(DIB_MAX_PIXELS / ((long long)columns * DOCUMENT_WIDTH * DOCUMENT_HEIGHT));
}

DIB *ContactSheet_Compose(Character *ch, Wardrobe *w, int threads)
{
    return ContactSheet_ComposeWith(ch, w, threads, nullptr, nullptr);
}

DIB *ContactSheet_ComposeWith(Character *ch, Wardrobe *w, int threads, void (*progress)(void *user, int done, int total),
                              void *user)
{
    const int columns = PtrList_Count(ch->catalog->expressions);
    const int rows = CountExportStyles(w->styles);
    const int cellW = DOCUMENT_WIDTH, cellH = DOCUMENT_HEIGHT;
    if (rows == 0 || columns == 0 || rows > ContactSheet_MaxRows(columns))
        return nullptr;
    DIB *sheet = DIB_Create(32, columns * cellW, rows * cellH);
    if (!sheet)
        return nullptr;

    const int styleBefore = w->selected;
    const int expressionBefore = ch->expression;
    int row = 0;
    for (int i = 0; i < PtrList_Count(w->styles); i++) {
        if (Wardrobe_StyleAt(w, i)->checkState != STYLE_CHECKED)
            continue;
        if (w->selected != i)
            Wardrobe_ShowStyle(ch, w, i);
        for (int j = 0; j < columns; j++) {
            Character_ChooseExpression(ch, j);
            Export_LoadNow(ch->doc, threads);
            DIB *cell = Canvas_ComposeExport(ch->doc);
            if (cell) {
                Point at = {j * cellW, row * cellH};
                DIB_Blt(sheet, &at, cell, nullptr);
                DIB_Delete_(cell);
            }
            if (progress)
                progress(user, row * columns + j + 1, rows * columns);
        }
        row++;
    }
    if (styleBefore >= 0 && w->selected != styleBefore)
        Wardrobe_ShowStyle(ch, w, styleBefore);
    if (ch->expression != expressionBefore)
        Character_ChooseExpression(ch, expressionBefore);
    Export_LoadNow(ch->doc, threads);
    return sheet;
}
