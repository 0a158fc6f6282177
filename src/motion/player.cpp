#include "motion/player.h"

#include <cmath>

namespace {

constexpr Vec3 localRollAxis{-1.0f, 0.0f, 0.0f};
constexpr Vec3 localForward{0.0f, 0.0f, -1.0f};

// Returns the roll angle in degrees for progress x: a quarter turn per arc
// length of a quarter roll.
float rollAngle(double x) { return static_cast<float>(x * 90.0 / kQuarterRoll); }

}  // namespace

CageMesh buildCage() {
    constexpr float step = 0.09817477f;  // pi / 32
    constexpr int n = CageMesh::kRing;
    CageMesh mesh;
    mesh.vertices.reserve(CageMesh::kVertexCount);
    mesh.normals.reserve(CageMesh::kVertexCount);
    mesh.texCoords.reserve(2 * CageMesh::kVertexCount);
    for (int j = 0; j < n; ++j) {
        const float phi = static_cast<float>(j) * step;
        const float rs = static_cast<float>(std::sin(phi) * 0.3f);
        const float y = static_cast<float>(std::cos(phi) * 0.3f);
        for (int i = 0; i < n; ++i) {
            const float theta = static_cast<float>(2 * i) * step;
            const Vec3 p{static_cast<float>(std::sin(theta) * rs), y, static_cast<float>(std::cos(theta) * rs)};
            mesh.vertices.push_back({p.x, p.y, p.z, 1.0f});
            mesh.normals.push_back(normalise(p));
            mesh.texCoords.push_back(static_cast<float>(i) / (n - 1));
            mesh.texCoords.push_back(static_cast<float>(j) / (n - 1));
        }
    }
    mesh.indices.reserve(CageMesh::kIndexCount);
    for (std::uint32_t v = 0; v < static_cast<std::uint32_t>(32 * n); ++v)
        for (std::uint32_t index : {v + 33, v, v + 32, v + 33, v + 1, v}) mesh.indices.push_back(index);
    return mesh;
}

const CageMesh& cageMesh() {
    static const CageMesh mesh = buildCage();
    return mesh;
}

Player::Player() { reset({0.0f, 0.0f, 0.0f}); }

void Player::reset(const Vec3& cell) {
    upVector = directionVector(up);
    orientation = Mat4();
    cageSpin = Mat4();
    turnAmount = 0.0f;
    bounceBlend = kBusyProgress;
    update(0.0, cell);
}

void Player::startTurn(float signedAmount) {
    turnAmount = signedAmount;
    upVector = directionVector(up);
}

StepOutcome Player::update(double x, const Vec3& cell) {
    StepOutcome outcome;
    const Vec3 heading = directionVector(forward);
    bodyMatrix = translate(Mat4(), cell);
    bodyMatrix = translate(bodyMatrix, heading * static_cast<float>(x - 0.5));
    orientation = orientationFor(up, forward);
    Mat4 edgeRoll;  // A: the roll around a convex edge, applied to the orientation
    Mat4 bodyRoll;  // B: the roll of the body about its rear edge

    bool rollAboutRearEdge = false;
    switch (state) {
    case PlayerState::Turning:
        if (x >= 1.0) {
            turnAmount = 0.0f;
            outcome.turnEnded = true;
        } else {
            const double a = std::fabs(turnAmount);
            const float t = static_cast<float>(90.0 * signOf(turnAmount) * (1.0 - (a - 1.0 + x) / a));
            turnRotation = rotate(Mat4(), t, heading);
            orientation = rotate(orientation, t, localForward);
            upVector = rotateVector(directionVector(up), heading, t);
        }
        break;
    case PlayerState::EnteringGoal:
    case PlayerState::Waiting:
    case PlayerState::Rolling:
        if (state == PlayerState::EnteringGoal && x >= 0.5) {
            outcome.finished = true;
        } else if (x >= 0.0) {
            upVector = directionVector(up);
        } else {
            // Still rolling around the convex edge crossed at the end of the last step.
            const float r = rollAngle(x);
            edgeRoll = rotate(Mat4(), r, localRollAxis);
            const Direction side = opposite(turnAbout(up, forward));
            upVector = rotateVector(directionVector(up), directionVector(side), r);
            rollAboutRearEdge = true;
        }
        break;
    case PlayerState::Sinking:
        rollAboutRearEdge = true;
        break;
    default:
        break;
    }
    if (rollAboutRearEdge) {
        bodyRoll = rotate(Mat4(), rollAngle(x), localRollAxis);
        bodyMatrix = translate(bodyMatrix, heading * static_cast<float>(-x));
        if (x >= 0.5) {
            outcome.vacuum = true;
            bodyMatrix = translate(bodyMatrix, heading * static_cast<float>(x - 0.5));
            outcome.died = x >= kDeathProgress;
        }
    }

    bodyMatrix = multiply(bodyMatrix, orientation);
    orientation = multiply(orientation, edgeRoll);
    bodyMatrix = translate(bodyMatrix, {0.0f, 0.5f, 0.0f});
    const float bob = static_cast<float>(std::sin(x * 2.0 * 3.1415927)) / 12.0f;
    brainMatrix = translate(bodyMatrix, {0.0f, bob, 0.0f});
    bodyMatrix = translate(multiply(bodyMatrix, bodyRoll), {0.0f, 0.3f, 0.0f});
    brainMatrix = translate(multiply(brainMatrix, bodyRoll), {0.0f, 0.3f, 0.0f});
    if (bounceBlend < kBusyProgress) bounceBlend = x <= kBusyProgress ? x : kBusyProgress;

    // A flat step's move to the next block is the rules' own (Game).
    switch (moveKind) {
    case EdgeKind::Convex:
        if (x >= 1.0) {
            // over the edge the avatar stands on the face it was heading to
            upVector = heading;
            outcome.crossedEdge = true;
        } else if (x >= kBusyProgress) {
            outcome.nearEdge = true;
        }
        break;
    case EdgeKind::Concave:
        if (x >= kBusyProgress) {
            bounceBlend = 1.0 - x;
            outcome.bounced = true;
        }
        break;
    default:
        break;
    }
    return outcome;
}
