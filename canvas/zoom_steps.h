// The preview's zoom steps: the slider under the canvas runs over 156
// positions from 0.25 (position 0) to 8.0 (position 155) in steps of 0.05,
// and the "+" and "-" buttons move by a quarter and land on a multiple of a
// quarter. Pure arithmetic, shared by the main window and its tests.
#pragma once

enum {
    ZOOM_SLIDER_MIN = 0,
    ZOOM_SLIDER_MAX = 155,
    ZOOM_SLIDER_ONE = 15,  // the position of zoom 1.0
};

#define ZOOM_MIN 0.25
#define ZOOM_MAX 8.0
#define ZOOM_SLIDER_STEP 0.05
#define ZOOM_BUTTON_STEP 0.25

// The zoom a slider position stands for: position x 0.05 + 0.25.
double Zoom_FromSliderPos(int position);
// The slider position that shows a zoom (the small bias keeps 14.999...
// from truncating to 14).
int Zoom_ToSliderPos(double zoom);
// One "+" step: a quarter up, at most 8.0, snapped down to a quarter.
double Zoom_StepIn(double zoom);
// One "-" step: a quarter down, at least 0.25, snapped down to a quarter.
double Zoom_StepOut(double zoom);
// The zoom as the percentage text under the canvas ("100.00%"); `size`
// bytes at most, always terminated.
void Zoom_FormatPercent(double zoom, char *text, int size);
