#pragma once
// The editor's camera: it circles a target point at a distance, turned by
// dragging, moved closer or away by the wheel, and framed on the level.

#include "editor/level_document.h"
#include "math/math.h"

struct OrbitCamera {
    Vec3 target{0.0f, 0.0f, 0.0f};
    float yaw = 35.0f;     // degrees about +Y; 0 looks along -Z
    float pitch = 30.0f;   // degrees above the horizon, within -89..89
    float distance = 6.0f;  // from the target, within minDistance..maxDistance

    static constexpr float minDistance = 1.5f;
    static constexpr float maxDistance = 90.0f;  // the projection's far plane is at 100

    // Returns where the camera stands.
    Vec3 eye() const;
    // Returns the view matrix looking from eye() at the target, +Y up.
    Mat4 view() const;
    // Turns by dx degrees about +Y and tilts by dy degrees (pitch clamped).
    void turn(float dx, float dy);
    // Moves closer by 10 % per notch up (positive), away per notch down.
    void zoom(int notches);
    // Aims at the centre of the blocks and steps back, keeping the direction,
    // until every block (and the avatar on top) fits in a view of the given
    // vertical field of view (degrees) and aspect, with a margin.
    void frame(const LevelDocument& document, float fovYDegrees, float aspect);
};
