#include "editor/orbit_camera.h"

#include <algorithm>
#include <cmath>

Vec3 OrbitCamera::eye() const {
    const double y = yaw * degreesToRadians, p = pitch * degreesToRadians;
    const Vec3 back{float(std::cos(p) * std::sin(y)), float(std::sin(p)), float(std::cos(p) * std::cos(y))};
    return target + back * distance;
}

Mat4 OrbitCamera::view() const { return lookAt(eye(), target, {0.0f, 1.0f, 0.0f}); }

void OrbitCamera::turn(float dx, float dy) {
    yaw = std::fmod(yaw + dx, 360.0f);
    pitch = std::clamp(pitch + dy, -89.0f, 89.0f);
}

void OrbitCamera::zoom(int notches) {
    distance = std::clamp(distance * std::pow(0.9f, float(notches)), minDistance, maxDistance);
}

void OrbitCamera::frame(const LevelDocument& document, float fovYDegrees, float aspect) {
    if (document.blocks.empty()) return;
    Vec3 low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
    for (const DocumentBlock& b : document.blocks) {
        low = {std::min(low.x, float(b.x)), std::min(low.y, float(b.y)), std::min(low.z, float(b.z))};
        high = {std::max(high.x, float(b.x)), std::max(high.y, float(b.y)), std::max(high.z, float(b.z))};
    }
    target = (low + high) * 0.5f;
    // the bounding sphere of the blocks' cubes, seen through the narrower opening
    const Vec3 half = (high - low) * 0.5f + Vec3{0.5f, 0.5f, 0.5f};
    // and room for the avatar standing on top
    const float radius = std::sqrt(dot(half, half)) + 0.5f;
    const double halfY = fovYDegrees * 0.5 * degreesToRadians;
    const double halfX = std::atan(std::tan(halfY) * aspect);
    const double opening = std::min(halfY, halfX);
    distance = std::clamp(float(radius / std::sin(opening) * 1.05), minDistance, maxDistance);
}
