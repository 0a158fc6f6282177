#include "motion/camera.h"

#include <cmath>

Vec3 cameraPosition{0.0f, -1.0f, -2.5f};
float cameraPitch = -36.0f;
int lastWheelPosition = 0;

namespace {

constexpr Vec3 yAxis{0.0f, 1.0f, 0.0f};

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

void resetCamera() {
    cameraPosition = {0.0f, -1.0f, -2.5f};
    cameraPitch = -36.0f;
}

void mouseLook(double dx, double dy) {
    if (dx == 0.0 && dy == 0.0) return;
    cameraPosition = rotateVector(cameraPosition, yAxis, static_cast<float>(dx));
    cameraPitch = static_cast<float>(cameraPitch + dy);
    if (cameraPitch > 90.0f) {
        dy = dy + (90.0f - cameraPitch);
        cameraPitch = 90.0f;
    } else if (cameraPitch < -90.0f) {
        dy = dy - (cameraPitch + 90.0f);
        cameraPitch = -90.0f;
    }
    // Straight above or below the avatar the vertical axis has no direction:
    // the vertical part of the turn is skipped rather than filling the
    // offset with NaNs.
    const Vec3 axis = normalise(cross(cameraPosition, yAxis));
    if (!finite(axis)) return;
    cameraPosition = rotateVector(cameraPosition, axis, static_cast<float>(dy));
}

void onMouseWheel(int position) {
    zoomCamera(static_cast<double>(position) - static_cast<double>(lastWheelPosition));
    lastWheelPosition = position;
}

void zoomCamera(double delta) {
    const int s = delta >= 0.0 ? 1 : -1;
    const float factor = static_cast<float>((10.0 - s) / 10.0);
    for (double b = s; std::fabs(b) <= std::fabs(delta); b += s) {
        cameraPosition.x *= factor;
        cameraPosition.y *= factor;
        cameraPosition.z *= factor;
    }
}
