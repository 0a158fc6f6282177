#pragma once
// The shadow map: a depth texture the light's view is rendered into, read
// back through a comparison sampler on texture unit 1.

inline constexpr int shadowMapSize = 2048;

extern unsigned shadowTexture;  // GL texture name, bound on unit 1 for the whole run

// Creates shadowTexture on unit 1 (depth, linear compare filtering) and a
// depth-only framebuffer around it; returns the framebuffer. Leaves unit 0
// selected. Without framebuffer objects it prints an error, leaves the map
// at the far plane (no shadows) and returns 0: the shadow pass is skipped.
unsigned createShadowTarget();

// A second depth texture made like the shadow map, with its framebuffer.
struct DepthTarget {
    unsigned texture = 0;
    unsigned framebuffer = 0;
};
// Makes one; both names stay 0 without framebuffer objects. Leaves the
// active texture unit and its binding as they were.
DepthTarget createDepthTarget();
