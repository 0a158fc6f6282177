#pragma once
// The editor's own drawing over the scene: the highlighted face and the
// dark panels behind its text, with a small flat-colour program.

#include "math/math.h"

#include "editor/level_document.h"

// Builds the flat-colour program; false when the driver refused it (the
// highlight and panels are then left out).
bool initOverlay();
// Draws face `face` of `block` in translucent yellow with an outline, seen
// through `clip` (projection x view).
void drawFaceHighlight(const DocumentBlock& block, int face, const Mat4& clip);
// Fills the clip-space rectangle from (x0, y0) to (x1, y1) in translucent black.
void drawPanel(float x0, float y0, float x1, float y1);
