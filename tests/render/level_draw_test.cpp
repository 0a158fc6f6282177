#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/face_shading.h"
#include "render/level_draw.h"
#include "rules/game_test_util.h"
#include "world/block.h"

namespace {

Vec3 apply(const Mat4& m, const Vec3& p) {
    const Vec4 r = transform(m, {p.x, p.y, p.z, 1.0f});
    return {r.x, r.y, r.z};
}

}  // namespace

TEST(LevelDrawRanges, NothingSkippedIsOneDrawOfEveryBlock) {
    const auto r = levelDrawRanges(5, -1);
    EXPECT_EQ(r[0].count, 180);
    EXPECT_EQ(r[0].offsetBytes, 0u);
    EXPECT_EQ(r[1].count, 0);
}

TEST(LevelDrawRanges, SkippedBlockSplitsTheDrawAroundIt) {
    const auto middle = levelDrawRanges(5, 2);
    EXPECT_EQ(middle[0].count, 72);
    EXPECT_EQ(middle[0].offsetBytes, 0u);
    EXPECT_EQ(middle[1].count, 72);
    EXPECT_EQ(middle[1].offsetBytes, 432u);

    const auto first = levelDrawRanges(5, 0);
    EXPECT_EQ(first[0].count, 0);
    EXPECT_EQ(first[1].count, 144);
    EXPECT_EQ(first[1].offsetBytes, 144u);

    const auto last = levelDrawRanges(5, 4);
    EXPECT_EQ(last[0].count, 144);
    EXPECT_EQ(last[1].count, 0);
}

TEST(LevelDrawRanges, SkipOutsideTheListDrawsEverything) {
    EXPECT_EQ(levelDrawRanges(3, 3)[0].count, 108);
    EXPECT_EQ(levelDrawRanges(0, -1)[0].count, 0);
}

TEST(CollectableMatrix, TopFaceIsATranslationOneUnitUp) {
    const Block block(0, 0, 0, 0);
    const Mat4 spin = rotate(Mat4::identity(), 30.0f, {0, 1, 0});
    const Mat4 m = collectableMatrix(block, Direction::Top, spin);
    const Mat4 expected = multiply(translate(Mat4::identity(), {0, 1, 0}), spin);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], expected[i]) << i;
}

TEST(CollectableMatrix, StandsTheModelOnEveryFace) {
    const Block block(3, 2, -1, 4);
    for (int d = 0; d < 6; ++d) {
        const Mat4 m = collectableMatrix(block, d, Mat4::identity());
        const Vec3 normal = directionVector(d);
        const Vec3 base = apply(m, {0, 0, 0});
        const Vec3 top = apply(m, {0, 1, 0});
        EXPECT_NEAR(base.x, 2.0f + normal.x, 1e-5f) << d;
        EXPECT_NEAR(base.y, -1.0f + normal.y, 1e-5f) << d;
        EXPECT_NEAR(base.z, 4.0f + normal.z, 1e-5f) << d;
        // Local +Y runs along the face normal.
        EXPECT_NEAR(top.x - base.x, normal.x, 1e-5f) << d;
        EXPECT_NEAR(top.y - base.y, normal.y, 1e-5f) << d;
        EXPECT_NEAR(top.z - base.z, normal.z, 1e-5f) << d;
    }
}

TEST(FaceShading, OnlyFacesClearlyTurnedFromTheLightAreDark) {
    Block block(0, 2, 0, -1);
    const std::vector<Block*> blocks{&block};
    // Light position -> shading per face in Direction order (right, top,
    // back, left, bottom, front), D dark: a light in a face's plane or within
    // the margin behind it keeps that face whole.
    const struct {
        Vec3 light;
        const char* shading;
    } cases[] = {
        {{2.0f, 10.0f, -1.0f}, "D.DDDD"},    // above the centre: behind every side plane
        {{9.0f, 10.0f, 6.0f}, "...DDD"},     // above, right, back
        {{-5.0f, -3.0f, -9.0f}, "DDD..."},   // below, left, front
        {{2.5f, 10.0f, -1.0f}, "..DDDD"},    // in the right face's plane
        {{2.495f, 10.0f, -1.0f}, "..DDDD"},  // 5 mm behind it
        {{2.4f, 10.0f, -1.0f}, "D.DDDD"},    // 10 cm behind it
    };
    for (const auto& c : cases) {
        const std::vector<FaceShading> s = faceShadings(blocks, c.light);
        std::string got;
        for (FaceShading f : s) got += f == FaceShading::Dark ? 'D' : '.';
        EXPECT_EQ(got, c.shading) << c.light.x << " " << c.light.y << " " << c.light.z;
    }
}

// A collectable on the block being turned rides round with it: at the start
// of the turn it is drawn where it stood before (the block's record holds
// the turned faces already), halfway it stands off the edge between the old
// and the new face, at the end on its new face.
TEST_F(GameScenario, CollectablesOnATurningBlockRideRoundWithTheTurn) {
    load("turns.xml");  // the third block has a collectable on its right face
    ASSERT_TRUE(game.onSpace());
    ASSERT_TRUE(runUntil(0.002, 5.0, [&] { return game.currentBlock == &blockAt(2); }));
    Block& block = *game.level->blocks[2];
    const Vec3 before = apply(collectableMatrix(block, Direction::Right, game.spinMatrix), {0, 0, 0});
    ASSERT_TRUE(game.rotateLeft());
    int face = -1;
    for (int d = 0; d < 6; ++d)
        if (block.decals[d] == Decal::Collectable) face = d;
    ASSERT_NE(face, Direction::Right);
    ASSERT_NE(face, -1);
    const auto drawnAt = [&] {
        const BlockTurn turn{game.player.state == PlayerState::Turning ? &block : nullptr, game.player.turnRotation};
        return apply(drawnCollectableMatrix(block, face, game.spinMatrix, turn), {0, 0, 0});
    };
    step(1e-6);
    const Vec3 start = drawnAt();
    EXPECT_NEAR(start.x, before.x, 1e-3f);
    EXPECT_NEAR(start.y, before.y, 1e-3f);
    EXPECT_NEAR(start.z, before.z, 1e-3f);

    const Vec3 after = apply(collectableMatrix(block, face, game.spinMatrix), {0, 0, 0});
    ASSERT_TRUE(runUntil(0.001, 2.0, [&] {
        const Vec3 p = drawnAt();
        return std::abs(p.x - block.x) < std::abs(p.y - block.y) * 1.001f;  // past the diagonal
    }));
    const Vec3 halfway = drawnAt();
    EXPECT_NEAR(std::hypot(halfway.x - block.x, halfway.y - block.y), 1.0f, 1e-3f);
    EXPECT_NEAR(std::abs(halfway.x - block.x), std::abs(halfway.y - block.y), 0.02f);
    EXPECT_EQ(halfway.y > block.y, after.y > block.y);  // towards the new face, not back

    ASSERT_TRUE(runUntil(0.01, 2.0, [&] { return state() != PlayerState::Turning; }));
    const Vec3 end = drawnAt();
    EXPECT_NEAR(end.x, after.x, 1e-3f);
    EXPECT_NEAR(end.y, after.y, 1e-3f);
    EXPECT_NEAR(end.z, after.z, 1e-3f);
}
