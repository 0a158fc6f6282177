#include "world/light_view.h"

#include "world/level.h"

int blocksOutsideLightView(const Level& level) {
    const Mat4 toLight = multiply(projectionMatrix, level.lightView);
    int outside = 0;
    for (const Block* block : level.blocks) {
        bool out = false;
        for (const auto& v : block->vertices) {
            const Vec4 p = transform(toLight, {v[0], v[1], v[2], 1.0f});
            // inside: in front of the light and within the view's square and depth range
            if (!(p.w > 0.0f && p.x > -p.w && p.x < p.w && p.y > -p.w && p.y < p.w && p.z > -p.w && p.z < p.w))
                out = true;
        }
        outside += out ? 1 : 0;
    }
    return outside;
}

std::string lightViewWarning(const Level& level) {
    const int outside = blocksOutsideLightView(level);
    if (outside == 0) return {};
    return "WARNING: " + std::to_string(outside) + " of " + std::to_string(level.blocks.size()) +
           " blocks reach outside the light's view, where nothing casts or gets a shadow (move the light "
           "farther away)";
}
