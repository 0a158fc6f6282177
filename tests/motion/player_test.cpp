// The avatar's pose and its own end-of-step transitions, without resources.
#include "motion/player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

Vec3 translation(const Mat4& m) { return {m[12], m[13], m[14]}; }

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectMatrixNear(const Mat4& actual, const Mat4& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

class PlayerTest : public ::testing::Test {
protected:
    Player player{Resources::None};
};

}  // namespace

TEST(CageMesh, SizesIndexPatternAndBounds) {
    const CageMesh& mesh = cageMesh();
    ASSERT_EQ(mesh.vertices.size(), 1089u);
    ASSERT_EQ(mesh.normals.size(), 1089u);
    ASSERT_EQ(mesh.texCoords.size(), 2u * 1089u);
    ASSERT_EQ(mesh.indices.size(), 6336u);
    EXPECT_EQ(sizeof(Vec4) * mesh.vertices.size(), 17424u);
    EXPECT_EQ(sizeof(Vec3) * mesh.normals.size(), 13068u);
    const std::uint32_t first[6] = {33, 0, 32, 33, 1, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(mesh.indices[i], first[i]);
    EXPECT_EQ(mesh.indices[6], 34u);  // vertex 1: 34, 1, 33, 34, 2, 1
    EXPECT_LT(*std::max_element(mesh.indices.begin(), mesh.indices.end()), 1089u);
    for (float t : mesh.texCoords) {
        EXPECT_GE(t, 0.0f);
        EXPECT_LE(t, 1.0f);
    }
    // Ring 0 is the top pole; every point lies on the sphere of radius 0.3 with an outward unit normal.
    expectNear({mesh.vertices[0].x, mesh.vertices[0].y, mesh.vertices[0].z}, {0.0f, 0.3f, 0.0f});
    for (int v : {0, 40, 500, 1088}) {
        const Vec3 p{mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z};
        EXPECT_NEAR(std::sqrt(dot(p, p)), 0.3f, 1e-6f);
        EXPECT_EQ(mesh.vertices[v].w, 1.0f);
        expectNear(mesh.normals[v], p * (1.0f / 0.3f), 1e-5f);
    }
    // The last point of a ring coincides with the first.
    expectNear({mesh.vertices[33 * 10 + 32].x, mesh.vertices[33 * 10 + 32].y, mesh.vertices[33 * 10 + 32].z},
               {mesh.vertices[33 * 10].x, mesh.vertices[33 * 10].y, mesh.vertices[33 * 10].z});
}

TEST_F(PlayerTest, ResetPoseStandsOnTheTopFaceAtItsRearEdge) {
    expectNear(translation(player.bodyMatrix), {0.0f, 0.8f, 0.5f});
    expectNear(translation(player.brainMatrix), {0.0f, 0.8f, 0.5f});
    expectMatrixNear(player.orientation, Mat4());
    EXPECT_EQ(player.upVector, (Vec3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(player.state, PlayerState::Waiting);
    EXPECT_EQ(int(player.forward), Direction::Front);
    EXPECT_EQ(int(player.up), Direction::Top);
    EXPECT_EQ(player.bounceBlend, static_cast<double>(0.7f));
}

TEST_F(PlayerTest, BrainBobsOncePerStep) {
    player.state = PlayerState::Rolling;
    player.update(0.25);
    EXPECT_NEAR(player.brainMatrix[13] - player.bodyMatrix[13], 1.0f / 12.0f, 1e-6f);
    expectNear(translation(player.bodyMatrix), {0.0f, 0.8f, 0.25f});
    player.update(0.5);
    EXPECT_NEAR(player.brainMatrix[13], player.bodyMatrix[13], 1e-6f);
}

TEST_F(PlayerTest, FlatStepEndMovesTheCell) {
    player.state = PlayerState::Rolling;
    player.moveKind = EdgeKind::Flat;
    player.update(0.99);
    EXPECT_EQ(player.cell[2], 0);
    player.update(1.0);
    EXPECT_EQ(player.cell[0], 0);
    EXPECT_EQ(player.cell[1], 0);
    EXPECT_EQ(player.cell[2], -1);
}

TEST_F(PlayerTest, ConvexEdgeMakesBusyThenRollsOntoTheSideFace) {
    player.state = PlayerState::Rolling;
    player.moveKind = EdgeKind::Convex;
    player.update(0.69);
    EXPECT_FALSE(player.busy);
    player.update(0.7);  // 0.7 is above the float threshold 0.699999988
    EXPECT_TRUE(player.busy);
    player.update(1.0);
    EXPECT_EQ(int(player.up), Direction::Front);
    EXPECT_EQ(int(player.forward), Direction::Bottom);
    EXPECT_EQ(player.upVector, (Vec3{0.0f, 0.0f, -1.0f}));
}

TEST_F(PlayerTest, NegativeProgressPivotsAroundTheEdgeCrossed) {
    player.state = PlayerState::Rolling;
    player.update(-0.2);
    const float r = static_cast<float>(-0.2 * 90.0 / 0.4712389);
    EXPECT_NEAR(r, -38.197f, 1e-3f);
    const Mat4 roll = rotate(Mat4(), r, {-1.0f, 0.0f, 0.0f});
    expectMatrixNear(player.orientation, roll);
    // The cage centre is 0.3 from the edge point (0, 0.5, 0.5), turned back by r.
    const float rad = 38.197f * 3.1415927f / 180.0f;
    expectNear(translation(player.bodyMatrix), {0.0f, 0.5f + 0.3f * std::cos(rad), 0.5f + 0.3f * std::sin(rad)}, 1e-4f);
    expectNear(player.upVector, {0.0f, std::cos(rad), std::sin(rad)}, 1e-5f);
}

TEST_F(PlayerTest, WallBounceReversesHeadingAndDrivesTheCameraBlend) {
    player.state = PlayerState::Rolling;
    player.moveKind = EdgeKind::Concave;
    player.update(0.75);
    EXPECT_EQ(int(player.forward), Direction::Back);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.25);
    player.update(0.35);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.35);
    player.moveKind = EdgeKind::Flat;
    player.update(0.69);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.69);
    player.update(0.8);
    EXPECT_EQ(player.bounceBlend, static_cast<double>(0.7f));
}

TEST_F(PlayerTest, TurnRightAnimatesFromTheOldPoseToTheNew) {
    player.turnRight(0.75f);
    EXPECT_FLOAT_EQ(player.turnAmount, -0.75f);
    EXPECT_EQ(int(player.up), Direction::Right);
    EXPECT_EQ(player.state, PlayerState::Turning);
    player.update(0.25);  // start of the turn: still the old pose
    expectNear(player.upVector, {0.0f, 1.0f, 0.0f});
    expectMatrixNear(player.turnRotation, rotate(Mat4(), -90.0f, {0.0f, 0.0f, -1.0f}));
    player.update(0.625);
    expectMatrixNear(player.turnRotation, rotate(Mat4(), -45.0f, {0.0f, 0.0f, -1.0f}));
    player.update(0.9999);
    expectNear(player.upVector, {1.0f, 0.0f, 0.0f}, 1e-3f);
    player.update(1.0);  // the turn ends: the step completion takes it back to Rolling
    EXPECT_EQ(player.state, PlayerState::Finished);
    EXPECT_EQ(player.turnAmount, 0.0f);
}

TEST_F(PlayerTest, TurnLeftStartsAtPlusNinety) {
    player.turnLeft(0.75f);
    EXPECT_EQ(int(player.up), Direction::Left);
    player.update(0.25);
    expectMatrixNear(player.turnRotation, rotate(Mat4(), 90.0f, {0.0f, 0.0f, -1.0f}));
    expectNear(player.upVector, {0.0f, 1.0f, 0.0f});
}

TEST_F(PlayerTest, SinkingEndsInDeathAndPausesTheRollingSound) {
    player.state = PlayerState::Sinking;
    player.rollingPaused = false;
    player.update(0.4);
    EXPECT_EQ(player.state, PlayerState::Sinking);
    // Pinned to the rear edge of the face until halfway, then slid towards the centre.
    const Vec3 fromRearEdge = translation(player.bodyMatrix) - Vec3{0.0f, 0.5f, 0.5f};
    EXPECT_NEAR(std::sqrt(dot(fromRearEdge, fromRearEdge)), 0.3f, 1e-5f);
    player.update(0.75);
    const Vec3 fromSlidPoint = translation(player.bodyMatrix) - Vec3{0.0f, 0.5f, 0.25f};
    EXPECT_NEAR(std::sqrt(dot(fromSlidPoint, fromSlidPoint)), 0.3f, 1e-5f);
    player.update(0.94);
    EXPECT_EQ(player.state, PlayerState::Sinking);
    EXPECT_FALSE(player.rollingPaused);
    player.update(0.95);
    EXPECT_EQ(player.state, PlayerState::Dead);
    EXPECT_TRUE(player.rollingPaused);
}

TEST_F(PlayerTest, GoalEntryFinishesHalfway) {
    player.state = PlayerState::EnteringGoal;
    player.update(0.49);
    EXPECT_EQ(player.state, PlayerState::EnteringGoal);
    player.update(0.5);
    EXPECT_EQ(player.state, PlayerState::Finished);
}

TEST_F(PlayerTest, ResetKeepsMoveKindAndTurnRotation) {
    player.turnRight(1.0f);
    player.update(0.5);
    const Mat4 turn = player.turnRotation;
    player.moveKind = EdgeKind::Convex;
    player.cell[1] = 4;
    player.reset();
    EXPECT_EQ(player.moveKind, EdgeKind::Convex);
    expectMatrixNear(player.turnRotation, turn, 0.0f);
    EXPECT_EQ(player.cell[1], 0);
    EXPECT_EQ(player.state, PlayerState::Waiting);
}
