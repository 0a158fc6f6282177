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
    const Vec3 forward = normalise(target - eye());
    const Vec3 right = normalise(cross(forward, {0.0f, 1.0f, 0.0f}));
    const Vec3 up = cross(right, forward);
    const double tanY = std::tan(fovYDegrees * 0.5 * degreesToRadians);
    const double tanX = tanY * aspect;
    // the nearest distance from which every corner of every cube (and of the
    // avatar, standing on the block at the origin) lies inside the view, with a margin
    double needed = 0.0;
    for (const DocumentBlock& b : document.blocks) {
        const float top = isOrigin(b) ? 1.2f : 0.5f;
        for (int corner = 0; corner < 8; ++corner) {
            const Vec3 c = Vec3{b.x + (corner & 1 ? 0.5f : -0.5f), b.y + (corner & 2 ? top : -0.5f),
                                b.z + (corner & 4 ? 0.5f : -0.5f)} -
                           target;
            const double depth = dot(c, forward);
            needed = std::max({needed, std::abs(dot(c, right)) / (0.9 * tanX) - depth,
                               std::abs(dot(c, up)) / (0.9 * tanY) - depth});
        }
    }
    distance = std::clamp(float(needed), minDistance, maxDistance);
}
