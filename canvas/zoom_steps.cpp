// Zoom arithmetic of the preview's slider and buttons.
#include "canvas/zoom_steps.h"

#include <cstdio>

double Zoom_FromSliderPos(int position)
{
    return position * ZOOM_SLIDER_STEP + ZOOM_MIN;
}

int Zoom_ToSliderPos(double zoom)
{
    return (int)((zoom - ZOOM_MIN) * 20 + 0.001);
}

// Whole quarters only, rounding toward zero like the integer conversion.
static double SnapToQuarter(double zoom)
{
    return (int)(zoom * 4) * ZOOM_BUTTON_STEP;
}

double Zoom_StepIn(double zoom)
{
    double z = zoom + ZOOM_BUTTON_STEP;
    if (z >= ZOOM_MAX)
        z = ZOOM_MAX;
    return SnapToQuarter(z);
}

double Zoom_StepOut(double zoom)
{
    double z = zoom - ZOOM_BUTTON_STEP;
    if (z <= ZOOM_MIN)
        z = ZOOM_MIN;
    return SnapToQuarter(z);
}

void Zoom_FormatPercent(double zoom, char *text, int size)
{
    if (size <= 0)
        return;
    snprintf(text, (size_t)size, "%3.2f%%", zoom * 100);
}
