#pragma once
// The frame's 3-D scene in two passes: from the light into the shadow map,
// then from the camera into the window, shaded against that map.

#include "math/math.h"

class Game;
class Player;
struct Level;

extern Mat4 viewMatrix;  // the camera; recomputed at the start of every main pass

// Wall-clock seconds of the last frame's passes, each closed with glFinish.
struct PassTimes {
    double shadow = 0.0;
    double main = 0.0;
};
// Set by a measuring run (the frame benchmark); null in play.
extern PassTimes* passTimes;

// Makes `program` current and sets the uniforms and attribute arrays of its
// pass: light view and no texture coordinates in the shadow pass; camera,
// light, shadow lookup and texture coordinates in the main pass.
void useSceneProgram(unsigned program, bool shadowPass, const Level& level);
// Recomputes viewMatrix from the avatar's pose and the camera offset.
void updateView(const Player& player);
// Draws both passes of the current frame. Needs a current level. The camera
// follows the avatar, or stands at `view` when one is given (the level
// editor's). Ends with texture unit 1 selected, program 0 and the default
// framebuffer.
void renderScene(const Game& game, unsigned mainProgram, const Mat4* view = nullptr);
