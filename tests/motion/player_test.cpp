// The avatar's pose and the end-of-step events it reports to the rules.
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
    Player player;
    const Vec3 origin{0.0f, 0.0f, 0.0f};
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
    player.update(0.25, origin);
    EXPECT_NEAR(player.brainMatrix[13] - player.bodyMatrix[13], 1.0f / 12.0f, 1e-6f);
    expectNear(translation(player.bodyMatrix), {0.0f, 0.8f, 0.25f});
    player.update(0.5, origin);
    EXPECT_NEAR(player.brainMatrix[13], player.bodyMatrix[13], 1e-6f);
}

TEST_F(PlayerTest, PoseStandsOnTheCellItIsGiven) {
    player.state = PlayerState::Rolling;
    player.update(0.5, {2.0f, -1.0f, 3.0f});
    expectNear(translation(player.bodyMatrix), {2.0f, -0.2f, 3.0f});
}

// Every end-of-step event, at and just below its threshold. The update
// reports them and leaves the motion state to the rules.
TEST_F(PlayerTest, UpdateReportsEndOfStepEventsAndChangesNoMotionState) {
    enum Event { None = 0, TurnEnded = 1, Finished = 2, Vacuum = 4, Died = 8, Crossed = 16, NearEdge = 32, Bounced = 64 };
    struct Row {
        int state;
        int moveKind;
        double x;
        int events;
    };
    const Row rows[] = {
        {PlayerState::Rolling, EdgeKind::Flat, 1.0, None},  // the move to the next block is the rules'
        {PlayerState::Rolling, EdgeKind::Convex, 0.69, None},
        {PlayerState::Rolling, EdgeKind::Convex, 0.7, NearEdge},  // 0.7 is above the float threshold 0.699999988
        {PlayerState::Rolling, EdgeKind::Convex, 1.0, Crossed},
        {PlayerState::Rolling, EdgeKind::Concave, 0.69, None},
        {PlayerState::Rolling, EdgeKind::Concave, 0.75, Bounced},
        {PlayerState::Sinking, EdgeKind::Blackhole, 0.4, None},
        {PlayerState::Sinking, EdgeKind::Blackhole, 0.5, Vacuum},
        {PlayerState::Sinking, EdgeKind::Blackhole, 0.94, Vacuum},
        {PlayerState::Sinking, EdgeKind::Blackhole, 0.95, Vacuum | Died},
        {PlayerState::EnteringGoal, EdgeKind::Goal, 0.49, None},
        {PlayerState::EnteringGoal, EdgeKind::Goal, 0.5, Finished},
        {PlayerState::Turning, EdgeKind::Flat, 0.99, None},
        {PlayerState::Turning, EdgeKind::Convex, 1.0, TurnEnded | Crossed},
    };
    for (const Row& row : rows) {
        Player p;
        p.state = row.state;
        p.moveKind = row.moveKind;
        p.turnAmount = 0.5f;
        const StepOutcome o = p.update(row.x, origin);
        const int got = (o.turnEnded ? TurnEnded : 0) | (o.finished ? Finished : 0) | (o.vacuum ? Vacuum : 0) |
                        (o.died ? Died : 0) | (o.crossedEdge ? Crossed : 0) | (o.nearEdge ? NearEdge : 0) |
                        (o.bounced ? Bounced : 0);
        EXPECT_EQ(got, row.events) << "state " << row.state << ", edge " << row.moveKind << ", x " << row.x;
        EXPECT_EQ(p.state, row.state);
        EXPECT_EQ(int(p.up), Direction::Top);
        EXPECT_EQ(int(p.forward), Direction::Front);
        EXPECT_FALSE(p.busy);
    }
}

TEST_F(PlayerTest, RollingOverAConvexEdgeTurnsTheUpVectorToTheOldHeading) {
    player.state = PlayerState::Rolling;
    player.moveKind = EdgeKind::Convex;
    player.update(1.0, origin);
    EXPECT_EQ(player.upVector, (Vec3{0.0f, 0.0f, -1.0f}));
}

TEST_F(PlayerTest, NegativeProgressPivotsAroundTheEdgeCrossed) {
    player.state = PlayerState::Rolling;
    player.update(-0.2, origin);
    const float r = static_cast<float>(-0.2 * 90.0 / 0.4712389);
    EXPECT_NEAR(r, -38.197f, 1e-3f);
    const Mat4 roll = rotate(Mat4(), r, {-1.0f, 0.0f, 0.0f});
    expectMatrixNear(player.orientation, roll);
    // The cage centre is 0.3 from the edge point (0, 0.5, 0.5), turned back by r.
    const float rad = 38.197f * 3.1415927f / 180.0f;
    expectNear(translation(player.bodyMatrix), {0.0f, 0.5f + 0.3f * std::cos(rad), 0.5f + 0.3f * std::sin(rad)}, 1e-4f);
    expectNear(player.upVector, {0.0f, std::cos(rad), std::sin(rad)}, 1e-5f);
}

TEST_F(PlayerTest, WallBounceDrivesTheCameraBlend) {
    player.state = PlayerState::Rolling;
    player.moveKind = EdgeKind::Concave;
    player.update(0.75, origin);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.25);
    player.update(0.35, origin);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.35);
    player.moveKind = EdgeKind::Flat;
    player.update(0.69, origin);
    EXPECT_DOUBLE_EQ(player.bounceBlend, 0.69);
    player.update(0.8, origin);
    EXPECT_EQ(player.bounceBlend, static_cast<double>(0.7f));
}

TEST_F(PlayerTest, TurnRightAnimatesFromTheOldPoseToTheNew) {
    player.up = Direction::Right;  // where the rules' right turn carries the top face
    player.state = PlayerState::Turning;
    player.startTurn(-0.75f);
    EXPECT_FLOAT_EQ(player.turnAmount, -0.75f);
    player.update(0.25, origin);  // start of the turn: still the old pose
    expectNear(player.upVector, {0.0f, 1.0f, 0.0f});
    expectMatrixNear(player.turnRotation, rotate(Mat4(), -90.0f, {0.0f, 0.0f, -1.0f}));
    player.update(0.625, origin);
    expectMatrixNear(player.turnRotation, rotate(Mat4(), -45.0f, {0.0f, 0.0f, -1.0f}));
    player.update(0.9999, origin);
    expectNear(player.upVector, {1.0f, 0.0f, 0.0f}, 1e-3f);
    EXPECT_TRUE(player.update(1.0, origin).turnEnded);
    EXPECT_EQ(player.turnAmount, 0.0f);
}

TEST_F(PlayerTest, TurnLeftStartsAtPlusNinety) {
    player.up = Direction::Left;
    player.state = PlayerState::Turning;
    player.startTurn(0.75f);
    player.update(0.25, origin);
    expectMatrixNear(player.turnRotation, rotate(Mat4(), 90.0f, {0.0f, 0.0f, -1.0f}));
    expectNear(player.upVector, {0.0f, 1.0f, 0.0f});
}

TEST_F(PlayerTest, SinkingPinsTheBodyToTheRearEdgeThenSlidesIt) {
    player.state = PlayerState::Sinking;
    player.update(0.4, origin);
    // Pinned to the rear edge of the face until halfway, then slid towards the centre.
    const Vec3 fromRearEdge = translation(player.bodyMatrix) - Vec3{0.0f, 0.5f, 0.5f};
    EXPECT_NEAR(std::sqrt(dot(fromRearEdge, fromRearEdge)), 0.3f, 1e-5f);
    player.update(0.75, origin);
    const Vec3 fromSlidPoint = translation(player.bodyMatrix) - Vec3{0.0f, 0.5f, 0.25f};
    EXPECT_NEAR(std::sqrt(dot(fromSlidPoint, fromSlidPoint)), 0.3f, 1e-5f);
}

TEST_F(PlayerTest, ResetKeepsMoveKindTurnRotationAndTheMotionState) {
    player.state = PlayerState::Turning;
    player.startTurn(-1.0f);
    player.update(0.5, origin);
    const Mat4 turn = player.turnRotation;
    player.moveKind = EdgeKind::Convex;
    player.state = PlayerState::Rolling;
    player.reset({0.0f, 4.0f, 0.0f});
    EXPECT_EQ(player.moveKind, EdgeKind::Convex);
    EXPECT_EQ(player.state, PlayerState::Rolling);
    EXPECT_EQ(player.turnAmount, 0.0f);
    expectMatrixNear(player.turnRotation, turn, 0.0f);
    expectNear(translation(player.bodyMatrix), {0.0f, 4.8f, 0.5f});
}
