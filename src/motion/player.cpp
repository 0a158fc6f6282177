#include "motion/player.h"

#include <cmath>

#include "assets/md5_model.h"
#include "audio/sound_system.h"

namespace {

constexpr Vec3 localRollAxis{-1.0f, 0.0f, 0.0f};
constexpr Vec3 localForward{0.0f, 0.0f, -1.0f};

// Returns the roll angle in degrees for progress x: a quarter turn per arc
// length of a quarter roll.
float rollAngle(double x) { return static_cast<float>(x * 90.0 / kQuarterRoll); }

Vec3 cellVector(const int (&cell)[3]) {
    return {static_cast<float>(cell[0]), static_cast<float>(cell[1]), static_cast<float>(cell[2])};
}

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

Player::Player(Resources resources) {
    upVector = {0.0f, 0.0f, 0.0f};
    if (resources == Resources::Load) loadResources();
    cage = &cageMesh();
    if (resources == Resources::Load && soundSystem) {
        musicSound = soundSystem->createSound("sounds/daydreaming.mp3", SoundSystem::ModeLoop);
        soundSystem->playSound(musicSound, false, &musicChannel);
        rollingSound = soundSystem->createSound("sounds/rolling.wav", SoundSystem::ModeLoop);
        soundSystem->playSound(rollingSound, true, &rollingChannel);
        soundSystem->createSound("sounds/kipp.wav", SoundSystem::ModeOnce);  // never played
        bounceSound = soundSystem->createSound("sounds/boing2.wav", SoundSystem::ModeOnce);
        turnSound = soundSystem->createSound("sounds/dreh.wav", SoundSystem::ModeOnce);
        collectSound = soundSystem->createSound("sounds/sound37.mp3", SoundSystem::ModeOnce);
        soundSystem->createSound("sounds/fanfare.wav", SoundSystem::ModeOnce);  // never played
        vacuumSound = soundSystem->createSound("sounds/vacuum.wav", SoundSystem::ModeOnce);
    }
    reset();
}

Player::~Player() = default;

void Player::reset() {
    cell[0] = cell[1] = cell[2] = 0;
    busy = false;
    state = PlayerState::Waiting;
    forward = Direction::Front;
    up = Direction::Top;
    upVector = {0.0f, 1.0f, 0.0f};
    orientation = Mat4();
    cageSpin = Mat4();
    turnAmount = 0.0f;
    bounceBlend = kBusyProgress;
    update(0.0);
}

void Player::setUp(Direction d) {
    up = d;
    upVector = directionVector(d);
}

void Player::turn(float signedAmount, Direction newUp) {
    turnAmount = signedAmount;
    state = PlayerState::Turning;
    up = newUp;
    upVector = directionVector(up);
}

void Player::turnRight(float amount) { turn(-amount, turnAbout(up, forward)); }

void Player::turnLeft(float amount) { turn(amount, opposite(turnAbout(up, forward))); }

void Player::setRollingPaused(bool paused) {
    rollingPaused = paused;
    if (soundSystem) soundSystem->setPaused(rollingChannel, paused);
}

void Player::update(double x) {
    const Vec3 heading = directionVector(forward);
    bodyMatrix = translate(Mat4(), cellVector(cell));
    bodyMatrix = translate(bodyMatrix, heading * static_cast<float>(x - 0.5));
    orientation = orientationFor(up, forward);
    Mat4 edgeRoll;  // A: the roll around a convex edge, applied to the orientation
    Mat4 bodyRoll;  // B: the roll of the body about its rear edge

    bool rollAboutRearEdge = false;
    switch (state) {
    case PlayerState::Turning:
        if (x >= 1.0) {
            playOnce(turnSound);
            turnAmount = 0.0f;
            state = PlayerState::Finished;  // the step completion brings it back to Rolling
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
            state = PlayerState::Finished;
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
            playOnce(vacuumSound);
            bodyMatrix = translate(bodyMatrix, heading * static_cast<float>(x - 0.5));
            if (x >= kDeathProgress) {
                state = PlayerState::Dead;
                setRollingPaused(true);
            }
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

    switch (moveKind) {
    case EdgeKind::Flat:
        if (x >= 1.0) {
            cell[0] += static_cast<int>(heading.x);
            cell[1] += static_cast<int>(heading.y);
            cell[2] += static_cast<int>(heading.z);
        }
        break;
    case EdgeKind::Convex:
        if (x >= 1.0) {
            playOnce(turnSound);
            const Direction oldForward = forward;
            forward = opposite(up);
            setUp(oldForward);
        } else if (x >= kBusyProgress) {
            busy = true;
        }
        break;
    case EdgeKind::Concave:
        if (x >= kBusyProgress) {
            playOnce(bounceSound);
            bounceBlend = 1.0 - x;
            forward = opposite(forward);
        }
        break;
    default:
        break;
    }
}
