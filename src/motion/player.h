#pragma once
// The avatar: a brain in a spherical cage rolling over the faces of the
// blocks, one face per step. Holds its motion state (which the game rules
// alone change) and the poses the renderer and the camera read. update() is
// a deterministic function of the record, the cell and the step progress; it
// animates the pose and reports what the rules must act on.

#include <cstdint>
#include <vector>

#include "math/math.h"
#include "world/block.h"

// Motion states; no other value is ever stored.
struct PlayerState {
    enum : int { Waiting = 0, Rolling = 1, Sinking = 4, Dead = 5, EnteringGoal = 6, Finished = 7, Turning = 8 };
};

// Progress thresholds, as the float constants they were written as.
inline constexpr double kBusyProgress = static_cast<double>(0.7f);  // 0.699999988079071
inline constexpr double kDeathProgress = static_cast<double>(0.95f);
// Arc length of a quarter roll of the cage around an edge: 0.3 * pi / 2.
inline constexpr double kQuarterRoll = 0.4712389;

// The cage sphere of radius 0.3: 33 rings of 33 points, the last point of a
// ring on the first. Built once and shared.
struct CageMesh {
    static constexpr int kRing = 33;
    static constexpr int kVertexCount = kRing * kRing;    // 1089
    static constexpr int kIndexCount = 32 * kRing * 6;    // 6336
    std::vector<Vec4> vertices;       // w = 1
    std::vector<Vec3> normals;
    std::vector<float> texCoords;     // spherical (u, v) per vertex
    std::vector<std::uint32_t> indices;
};
// Returns the cage mesh, building it on first use.
const CageMesh& cageMesh();
// Returns a freshly built cage mesh.
CageMesh buildCage();

// What one pose update found: the end-of-step events the rules act on.
struct StepOutcome {
    bool turnEnded = false;    // a quarter turn reached the end of its step
    bool finished = false;     // the goal entry reached halfway: the level is complete
    bool vacuum = false;       // the black-hole fall is past halfway
    bool died = false;         // the black-hole fall has ended
    bool crossedEdge = false;  // rolled over a convex edge onto the side face ahead
    bool nearEdge = false;     // in the last part of a step towards a convex edge
    bool bounced = false;      // bounced off a wall
};

class Player {
public:
    Player();

    // Motion state: changed by Game alone; the pose and the renderer read it.
    bool busy = false;  // the rotate commands must not interrupt
    int moveKind = 0;   // EdgeKind of the current step
    int state = PlayerState::Waiting;
    Direction forward = Direction::Front;
    Direction up = Direction::Top;

    // Pose: changed by reset, startTurn and update (cageSpin by Game's step).
    float turnAmount = 0.0f;  // signed share of the running quarter turn; 0 when none
    Vec3 upVector;            // animated up; the camera's up
    double bounceBlend = kBusyProgress;  // below 0.7 while the camera swings back after a bounce
    Mat4 bodyMatrix;          // cage before its spin
    Mat4 cageSpin;
    Mat4 brainMatrix;
    Mat4 orientation;         // including the running turn and edge roll
    Mat4 turnRotation;        // of the current block while Turning

    // Back to the start pose on the block at `cell`, for the motion state as
    // it stands: no turn, no spin, no bounce; then update(0).
    void reset(const Vec3& cell);
    // Starts the pose of a quarter turn that has carried the avatar to its
    // new `up`: signedAmount = +(1 - progress) to the left, -(1 - progress)
    // to the right.
    void startTurn(float signedAmount);
    // Computes the pose for step progress x on the block at `cell` and
    // returns the end-of-step events it meets; changes no motion state.
    StepOutcome update(double x, const Vec3& cell);
};
