#pragma once
// Which block face lies under the mouse pointer: a ray from the camera
// through the pointer, cast against the blocks' unit cubes.

#include "editor/level_document.h"
#include "math/math.h"

struct Ray {
    Vec3 origin;     // on the near plane
    Vec3 direction;  // unit length, away from the camera
};

// Returns the inverse of m in `out`; false (out untouched) when m is singular.
bool invert(const Mat4& m, Mat4& out);

// Returns the ray through the centre of window pixel (px, py), counted from
// the top-left corner of a width x height window, for the given projection
// and view.
Ray rayThroughPixel(const Mat4& projection, const Mat4& view, double px, double py, int width, int height);

// A block face: the block's index in the document and the side.
struct FacePick {
    int block = -1;  // -1: nothing under the pointer
    Direction face = 0;
    float distance = 0.0f;  // along the ray to where it enters the block

    bool hit() const { return block >= 0; }
    bool operator==(const FacePick& o) const { return block == o.block && (block < 0 || face == o.face); }
};

// Returns the face through which the ray first enters a block. Blocks that
// contain the ray's origin are passed through; on an exact tie between
// blocks the earlier one in the document wins.
FacePick pickFace(const LevelDocument& document, const Ray& ray);
