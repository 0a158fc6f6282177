#pragma once
// The main pass's blocks drawn by face shading (render/face_shading.h), each
// pixel shaded about once without a depth pre-pass: first the faces turned
// from the light with a variant of the block program built without the
// shadow lookup and the highlight (cheap, and whatever lies behind them is
// then rejected by the depth test before it is shaded), then the turning
// block and the lit faces, each from the nearest block to the farthest. Faces
// between two touching blocks that stand still are left out while the eye
// and the near plane stay outside every block: from there the outer faces
// cover them, strictly nearer but on their edges. A face seen almost
// edge-on (the eye near its plane) is drawn all the same: its thin sliver
// can win the depth test on its edge by rounding, and costs next to
// nothing. The plain drawing gives the same bytes but where two faces
// meet one pixel at exactly the same depth (on shared edges), whose winner
// follows the drawing order.

#include <cstdint>
#include <vector>

#include "math/math.h"
#include "render/face_shading.h"
#include "render/scene_math.h"
#include "render/shadow_reach.h"

class Game;
struct Block;
struct Level;

class ShadedBlocks {
public:
    // Builds the programs once (quietly, from "shader.vert" and
    // "shader.frag"); returns whether the driver and the files allow it.
    bool available();
    // Returns the program for lit blocks ("shader.frag" built with BLOCKS:
    // the models' terms left out), 0 when it could not be built. The plain
    // drawing draws its blocks with it too.
    unsigned blockProgram();
    // Draws the level's blocks; leaves no program current, the depth test
    // LESS and writing.
    void draw(const Game& game);
    // Draws the level's blocks the plain way: every face of every block in
    // the level's order, the open faces (render/shadow_reach.h, worked out
    // afresh) with their program, all others with the block program, then
    // a turning block. Leaves what draw() leaves.
    void drawPlain(const Game& game);

private:
    // Returns this frame's shading of every face: the open faces kept from
    // the last call while the blocks and the light stay, less those the
    // moving things may shadow.
    std::vector<FaceShading> shadings(const Game& game);
    // Sorts this frame's faces into the lists; `eye` the camera's position,
    // inner faces left out when `hideInner`.
    void update(const Game& game, const std::vector<FaceShading>& faces, const Vec3& eye, bool hideInner);
    // Draws the listed vertices of the level with the attribute locations
    // of the program in use.
    void drawFaces(const Level& level, const std::vector<unsigned>& indices) const;
    // Draws `lists` (by FaceShading) each with its program, in `order`, the
    // turning block first among the fully shaded.
    void drawLists(const Game& game, const std::vector<unsigned> (&lists)[4], const FaceShading (&order)[3]);

    int state_ = 0;  // 0 not tried, 1 usable, -1 not
    unsigned programs_[4] = {0, 0, 0, 0};  // by FaceShading
    std::vector<std::vector<unsigned>> faces_[4];  // by FaceShading, per block: its faces' indices
    std::vector<unsigned> lists_[4];              // by FaceShading, this frame's, nearest block first
    std::vector<float> clientVertices_;            // the level's vertices outside buffer mode
    // The open faces of the still blocks and what they were worked out for.
    ShadowReach reach_;
    const void* reachLevel_ = nullptr;
    std::uint64_t reachBlocks_ = 0;
    Mat4 reachLight_;
};

// Returns balls around everything the shadow pass draws apart from the
// still blocks: the turning block, the collectables, the avatar.
std::vector<Sphere> movingBounds(const Game& game);

// Returns whether the eye at `eye` (world) with the scene's near plane
// reaches into any of the blocks, where faces between touching blocks can
// show.
bool eyeAmongBlocks(const std::vector<Block*>& blocks, const Vec3& eye);
// Returns whether the inner face `face` of `block` is left out for the eye
// at `eye`: the eye lies clearly off its plane.
bool innerFaceHidden(const Block& block, int face, const Vec3& eye);
// Returns the camera's position in the world for the view matrix `view`.
Vec3 eyePosition(const Mat4& view);
