#pragma once
// Which block faces need the whole lighting program and which can leave the
// light out with the same result: a face turned from the light gets no
// direct light at any pixel (its diffuse term is zero, so the shadow lookup
// and the highlight count for nothing). Decided with a margin far above the
// rounding of the GPU, so the program without them gives the same bytes.

#include <vector>

#include "math/math.h"

struct Block;

// Open: lit, and nothing can shadow it (render/shadow_reach.h).
enum class FaceShading : unsigned char { Dark = 1, Full = 2, Open = 3 };

// Returns the shading of every face of `blocks` (6 per block, in block and
// Direction order) lit from `light`: Dark where the light stands clearly
// behind the face's plane, Full elsewhere.
std::vector<FaceShading> faceShadings(const std::vector<Block*>& blocks, const Vec3& light);
