#pragma once
// The camera that orbits the avatar: an offset vector in the avatar's frame,
// turned by the mouse, scaled by the wheel, reset by the left button.

#include "math/math.h"

extern Vec3 cameraPosition;    // offset in the avatar's frame; its length is the distance
extern float cameraPitch;      // tally of vertical turns in degrees, kept within -90..90
extern int lastWheelPosition;  // wheel position seen last

// Puts the camera 1 unit above and 2.5 units behind the avatar.
void resetCamera();
// Turns the camera by dx degrees about +Y and dy degrees up or down, the
// vertical part clamped so the pitch tally stays within -90..90.
void mouseLook(double dx, double dy);
// Wheel handler: zooms by the notches since the last call.
void onMouseWheel(int position);
// Scales the distance by 0.9 per notch up (delta > 0), 1.1 per notch down.
void zoomCamera(double delta);
