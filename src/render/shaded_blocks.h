#pragma once
// The main pass's blocks drawn by face shading (render/face_shading.h): a
// depth pre-pass that also leaves in the stencil buffer the shading of the
// face winning each pixel, then one draw per shading with its own program:
// the whole scene program, and for the faces turned from the light a
// variant of it built from the same files without the shadow lookup and
// the highlight. Every pixel is shaded once, by the face the plain drawing
// shows there (the first of the nearest, as with the plain depth test),
// with a program that gives it the same bytes.

#include <vector>

#include "render/face_shading.h"

class Game;
struct Level;

class ShadedBlocks {
public:
    // Builds the programs once (quietly, from "shader.vert" and
    // "shader.frag"); returns whether the driver and the files allow it.
    bool available();
    // Draws the level's blocks, the faces that need the light with
    // `mainProgram`; leaves no program current, the depth test LESS and
    // writing, no stencil test.
    void draw(const Game& game, unsigned mainProgram);

private:
    void update(const Game& game, const std::vector<FaceShading>& faces);
    // Draws the listed vertices of the level with the attribute locations
    // of the program in use.
    void drawFaces(const Level& level, const std::vector<unsigned>& indices) const;

    int state_ = 0;  // 0 not tried, 1 usable, -1 not
    unsigned programs_[3] = {0, 0, 0};  // by FaceShading; [0] the pre-pass
    unsigned shadingBuffer_ = 0;           // one float per level vertex
    std::vector<FaceShading> shown_;       // what the buffer and lists hold
    int shownSkip_ = -2;
    unsigned shownLevelBuffer_ = 0;
    std::vector<unsigned> indices_[3];  // by FaceShading, in block order; [0] all
    std::vector<float> clientVertices_;  // the level's vertices outside buffer mode
};
