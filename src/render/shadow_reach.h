#pragma once
// Which lit block faces no shadow can reach. A thing can darken a face only
// if it stands somewhere between the light and the face: inside the pyramid
// from the light through the face. A block or moving thing that lies behind
// the face's plane, beyond the pyramid's bounding box, or outside the
// pyramid's footprint in the shadow map (widened by the filter's reach) or
// farther from the light than the face, blocks no light on its way there.
// Such faces are drawn as lit without the shadow lookups (FaceShading::Open):
// what the lookups would add there is only the filter catching the face's
// own block or a touching neighbour at nearly the face's depth (faint stripes
// along seams), never a shadow.

#include <vector>

#include "math/math.h"
#include "render/face_shading.h"
#include "render/scene_math.h"

struct Block;

// A lit face's reach: the box around its light pyramid, the rectangle of
// shadow-map texels its lookups read (map coordinates, in texels) and the
// largest map depth they compare against.
struct FaceReach {
    Vec3 lo, hi;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
    float depth = 0;
    int axis = 0;       // the face's normal: along x, y or z
    float side = 1;     // +1 or -1
    float plane = 0;    // the face's plane: coordinate `axis` = plane
};

// The faces' shadings (6 per block, in block and Direction order) with the
// lit faces that no block can shadow marked Open, and each lit face's reach
// for the moving things.
struct ShadowReach {
    std::vector<FaceShading> shadings;
    std::vector<FaceReach> reaches;  // one per face; meaningful where Open
};

// Returns the shadings of `blocks` lit from `light`, drawn into a
// mapSize x mapSize shadow map through `shadowMatrix` (world position to
// map coordinates and depth, [0, 1]): faceShadings() with the lit faces no
// block can shadow marked Open.
ShadowReach shadowReach(const std::vector<Block*>& blocks, const Vec3& light, const Mat4& shadowMatrix,
                        int mapSize);
// Returns `reach.shadings` with every Open face that one of `moving` (balls
// around the things drawn apart from the still blocks) may shadow set back
// to Full.
std::vector<FaceShading> withMovingCasters(const ShadowReach& reach, const std::vector<Sphere>& moving,
                                           const Mat4& shadowMatrix, int mapSize);
