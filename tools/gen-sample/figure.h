// Where things sit in the 360 x 480 portrait. Every part image is a full
// canvas drawn at (0, 0), so all parts agree on these positions: the head
// about 150 pixels wide around (180, 190), the eyes on one line, the neck and
// shoulders running down to the bottom edge.
#pragma once

enum {
    CANVAS_W = 360,
    CANVAS_H = 480,
};

// Centre line of the face.
const float FACE_CX = 180;
// The skull behind the hair: an ellipse.
const float SKULL_CY = 166, SKULL_RX = 74, SKULL_RY = 80;
// Eyes: centre height and distance of each eye's centre from the centre line.
const float EYE_Y = 206, EYE_DX = 33;
const float BROW_Y = 166;
const float NOSE_Y = 232;
const float MOUTH_Y = 250;
const float CHEEK_Y = 234, CHEEK_DX = 42;
const float CHIN_Y = 270;
// Neck and shoulders.
const float NECK_HALF = 16, NECK_BASE_Y = 304;
const float SHOULDER_Y = 332, SHOULDER_DX = 92;
const float ARMPIT_Y = 392, ARMPIT_DX = 70;

// Outline colours shared by every full-colour image.
#define INK_HAIR Rgb(58, 36, 40)
#define INK_SKIN Rgb(150, 92, 80)
#define INK_DARK Rgb(40, 30, 40)
