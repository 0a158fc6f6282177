#include "render/shadow_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/scene_math.h"
#include "world/block.h"
#include "world/level.h"

namespace {

constexpr int mapSize = 2048;
const Vec3 light{3.0f, 12.0f, 2.0f};

struct Blocks {
    std::vector<std::unique_ptr<Block>> owned;
    std::vector<Block*> list;
    explicit Blocks(const std::vector<std::array<int, 3>>& at) {
        for (const auto& p : at) {
            owned.push_back(std::make_unique<Block>(static_cast<int>(owned.size()), p[0], p[1], p[2]));
            list.push_back(owned.back().get());
        }
    }
};

Mat4 toMap() { return shadowTextureMatrix(lightViewFrom(light)); }

FaceShading shadingOf(const ShadowReach& reach, int block, Direction face) { return reach.shadings[6 * block + face]; }

// Returns whether the segment from p to the light passes through the inside
// of the unit cube around c.
bool blocked(const Vec3& p, const Vec3& c) {
    double t0 = 0.0, t1 = 1.0;
    const float from[3] = {p.x, p.y, p.z}, to[3] = {light.x, light.y, light.z}, centre[3] = {c.x, c.y, c.z};
    for (int a = 0; a < 3; ++a) {
        const double lo = centre[a] - 0.499, hi = centre[a] + 0.499, d = to[a] - from[a];
        if (d == 0.0) {
            if (from[a] <= lo || from[a] >= hi) return false;
            continue;
        }
        double ta = (lo - from[a]) / d, tb = (hi - from[a]) / d;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta), t1 = std::min(t1, tb);
    }
    return t0 < t1;
}

}  // namespace

// Which lit faces a block can shadow: only one standing between the face
// and the light, reaching into the face's pyramid towards the light.
TEST(ShadowReach, OnlyABlockBetweenTheFaceAndTheLightCounts) {
    const struct {
        const char* what;
        std::vector<std::array<int, 3>> blocks;  // the face is the top of the first
        FaceShading top;
    } cases[] = {
        {"alone", {{0, 0, 0}}, FaceShading::Open},
        {"a floor around it, level with it", {{0, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}},
         FaceShading::Open},
        {"a block hanging over it", {{0, 0, 0}, {0, 2, 0}}, FaceShading::Full},
        {"a wall on the light's side", {{0, 0, 0}, {1, 1, 0}}, FaceShading::Full},
        {"a wall on the far side", {{0, 0, 0}, {-1, 1, 0}}, FaceShading::Open},
        {"a block beyond it, from the light", {{0, 0, 0}, {-3, 1, -3}}, FaceShading::Open},
        {"a block below it", {{0, 0, 0}, {0, -2, 0}}, FaceShading::Open},
        {"a block high up on the way to the light", {{0, 0, 0}, {1, 4, 1}}, FaceShading::Full},
        {"a block high up beside the way", {{0, 0, 0}, {-2, 4, 1}}, FaceShading::Open},
    };
    for (const auto& c : cases) {
        const Blocks blocks(c.blocks);
        const ShadowReach reach = shadowReach(blocks.list, light, toMap(), mapSize);
        EXPECT_EQ(shadingOf(reach, 0, Direction::Top), c.top) << c.what;
        EXPECT_EQ(shadingOf(reach, 0, Direction::Bottom), FaceShading::Dark) << c.what;
    }
}

// A caster just off a face's pyramid still softens the edge of the shadow it
// throws next to the face: the filter reads a few texels round each lookup.
TEST(ShadowReach, ACasterWithinTheFiltersReachCounts) {
    const Blocks blocks({{0, 0, 0}});
    const ShadowReach reach = shadowReach(blocks.list, light, toMap(), mapSize);
    ASSERT_EQ(shadingOf(reach, 0, Direction::Top), FaceShading::Open);
    // Halfway from the top's +x edge to the light, the side of its pyramid;
    // a map texel there is about 0.0045 wide. (Far off, the box round the
    // face's footprint, not the pyramid, decides.)
    const Vec3 edge{0.5f, 0.5f, 0.0f};
    const Vec3 halfway = edge + (light - edge) * 0.5f;
    const Vec3 out = normalise(cross({0.0f, 0.0f, 1.0f}, light - edge)) * -1.0f;  // away from the pyramid
    const struct {
        float gap;  // from the side of the pyramid to the ball
        FaceShading top;
    } cases[] = {{0.0045f, FaceShading::Full}, {0.009f, FaceShading::Full}, {0.3f, FaceShading::Open},
                 {0.5f, FaceShading::Open}, {-0.01f, FaceShading::Full}};
    for (const auto& c : cases) {
        const Sphere ball{halfway + out * (c.gap + 0.001f), 0.001f};
        EXPECT_EQ(withMovingCasters(reach, {ball}, toMap(), mapSize)[Direction::Top], c.top) << c.gap;
    }
}

// No open face may have a block between any point of it and the light:
// checked by tracing rays from a grid of points on every open face of a
// few jumbled structures.
TEST(ShadowReach, NoBlockStandsBetweenAnOpenFaceAndTheLight) {
    std::uint32_t seed = 12345;
    const auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
    };
    int open = 0, full = 0;
    for (int structure = 0; structure < 4; ++structure) {
        std::vector<std::array<int, 3>> at;
        for (int k = 0; k < 40; ++k) {
            const std::array<int, 3> p{next(7) - 3, next(5) - 2, next(7) - 3};
            if (std::find(at.begin(), at.end(), p) == at.end()) at.push_back(p);
        }
        const Blocks blocks(at);
        const ShadowReach reach = shadowReach(blocks.list, light, toMap(), mapSize);
        for (std::size_t face = 0; face < reach.shadings.size(); ++face) {
            if (reach.shadings[face] == FaceShading::Full) ++full;
            if (reach.shadings[face] != FaceShading::Open) continue;
            ++open;
            const Block& b = *blocks.list[face / 6];
            const float* c0 = b.vertices[4 * (face % 6)];
            const float* c1 = b.vertices[4 * (face % 6) + 1];
            const float* c3 = b.vertices[4 * (face % 6) + 3];
            for (int i = 0; i <= 4; ++i)
                for (int j = 0; j <= 4; ++j) {
                    const float s = 0.25f * static_cast<float>(i), t = 0.25f * static_cast<float>(j);
                    const Vec3 p{c0[0] + s * (c1[0] - c0[0]) + t * (c3[0] - c0[0]),
                                 c0[1] + s * (c1[1] - c0[1]) + t * (c3[1] - c0[1]),
                                 c0[2] + s * (c1[2] - c0[2]) + t * (c3[2] - c0[2])};
                    for (const Block* other : blocks.list)
                        EXPECT_FALSE(blocked(p, {static_cast<float>(other->x), static_cast<float>(other->y),
                                                 static_cast<float>(other->z)}))
                            << "face " << face << " of structure " << structure;
                }
        }
    }
    // both kinds occur, or the check proves nothing
    EXPECT_GT(open, 20);
    EXPECT_GT(full, 20);
}

// The moving things (avatar, collectables, a turning block) close an open
// face for the frame when they can shadow it; nothing else changes.
TEST(ShadowReach, MovingThingsCloseOnlyTheFacesTheyCanShadow) {
    const Blocks blocks({{0, 0, 0}, {4, 0, 0}});
    const ShadowReach reach = shadowReach(blocks.list, light, toMap(), mapSize);
    ASSERT_EQ(shadingOf(reach, 0, Direction::Top), FaceShading::Open);
    const struct {
        const char* what;
        Sphere ball;
        FaceShading top;
    } cases[] = {
        {"resting on the face", {{0.0f, 1.0f, 0.0f}, 0.45f}, FaceShading::Full},
        {"high up towards the light", {{1.0f, 5.0f, 0.7f}, 0.3f}, FaceShading::Full},
        {"below the face", {{0.0f, -1.5f, 0.0f}, 0.45f}, FaceShading::Open},
        {"on the other block", {{4.0f, 1.0f, 0.0f}, 0.45f}, FaceShading::Open},
        {"round the light itself", {light, 0.5f}, FaceShading::Full},
    };
    for (const auto& c : cases) {
        const std::vector<FaceShading> now = withMovingCasters(reach, {c.ball}, toMap(), mapSize);
        EXPECT_EQ(now[6 * 0 + Direction::Top], c.top) << c.what;
        for (std::size_t face = 0; face < now.size(); ++face) {
            if (reach.shadings[face] != FaceShading::Open) {
                EXPECT_EQ(now[face], reach.shadings[face]) << c.what;
            }
        }
    }
    EXPECT_EQ(withMovingCasters(reach, {}, toMap(), mapSize), reach.shadings);
}
