#pragma once
// The avatar: a brain in a spherical cage rolling over the faces of the
// blocks, one face per step. Holds where it is, its motion state, the poses
// the renderer and the camera read, its cage mesh and its sounds.
// update() is a deterministic function of the record and the step progress.

#include <cstdint>
#include <memory>
#include <vector>

#include "motion/math.h"
#include "world/block.h"

class MD5Model;
struct Sound;

// Whether a Player or Game loads its models, textures, sounds and GL
// objects, or runs the rules alone (tests, the level checker).
enum class Resources { Load, None };

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

class Player {
public:
    explicit Player(Resources resources = Resources::Load);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    int cell[3] = {0, 0, 0};  // grid position of the block under the avatar
    float turnAmount = 0.0f;  // signed share of the running quarter turn; 0 when none
    const CageMesh* cage = nullptr;
    unsigned cageTexture = 0;
    std::unique_ptr<MD5Model> brain;  // null without resources
    Sound* turnSound = nullptr;
    Sound* musicSound = nullptr;
    Sound* rollingSound = nullptr;
    Sound* bounceSound = nullptr;
    Sound* collectSound = nullptr;
    Sound* vacuumSound = nullptr;
    int rollingChannel = -1;
    int musicChannel = -1;
    bool rollingPaused = true;  // pause state last given to rollingChannel
    bool busy = false;          // the rotate commands must not interrupt
    int moveKind = 0;           // EdgeKind of the current step
    int state = PlayerState::Waiting;
    Direction forward = Direction::Front;
    Direction up = Direction::Top;
    Vec3 upVector;            // animated up; the camera's up
    double bounceBlend = kBusyProgress;  // below 0.7 while the camera swings back after a bounce
    Mat4 bodyMatrix;          // cage before its spin
    Mat4 cageSpin;
    Mat4 brainMatrix;
    Mat4 orientation;         // including the running turn and edge roll
    Mat4 turnRotation;        // of the current block while Turning

    // Back to the start of an attempt: cell 0, up Top, forward Front, Waiting.
    void reset();
    // Stands the avatar on face d.
    void setUp(Direction d);
    // Starts the avatar's part of a block turn; amount = 1 - progress.
    void turnLeft(float amount);
    void turnRight(float amount);
    // Computes the pose for step progress x and performs the avatar's own
    // end-of-step transitions.
    void update(double x);
    // Pauses or resumes the looping rolling sound.
    void setRollingPaused(bool paused);
    // Draws brain and cage with the program in use (needs a GL context).
    void draw() const;

private:
    void loadResources();
    void turn(float signedAmount, Direction newUp);
};
