#include "app/game.h"

#include <iostream>

#include "assets/shader.h"
#include "assets/texture.h"
#include "audio/sound_system.h"
#include "motion/camera.h"
#include "render/collectables.h"
#include "render/shadow_target.h"

Game* game = nullptr;

namespace {

constexpr double kBounceRestart = static_cast<double>(0.6f);
constexpr double kEdgeRollLength = static_cast<double>(0.47123894f);

// Returns whether the progress does not advance in this state.
bool resting(int state) {
    return state == PlayerState::Waiting || state == PlayerState::Dead || state == PlayerState::Finished;
}

}  // namespace

Game::Game(Resources resources) : player(resources) {
    if (resources == Resources::Load) {
        shadowFramebuffer = createShadowTarget();
        shadowProgram = buildProgram("shadow.vert", "shadow.frag");
        blockTexture = loadMipmapTexture("textures/blocktexture.tga");
        loadModelOrReport(collectableModel, "models/synapse.md5mesh", "textures/synalpha.tga");
    }
    resetCamera();
    resetAttempt();
}

bool Game::switchLevel(const char* name) {
    std::unique_ptr<Level> next = loadLevel(name);
    if (!next) {
        std::cout << "ERROR: Level loading failed" << std::endl;
        return false;
    }
    setLevel(std::move(next));
    return true;
}

void Game::setLevel(std::unique_ptr<Level> next) {
    currentBlock = nullptr;
    level = std::move(next);
    // A fresh level starts in its reset state; this also opens the goal of a
    // level without collectables, which would otherwise stay shut until the
    // first retry.
    level->reset();
    currentBlock = level->blocks[level->rootIndex];
}

void Game::evaluateFace() {
    player.moveKind = currentBlock->edges[player.up][player.forward];
    if (player.moveKind >= EdgeKind::Blackhole) {
        player.busy = true;
        player.state = player.moveKind;
    }
    player.setRollingPaused(false);
}

void Game::startRolling() {
    stepProgress = 0.0;
    evaluateFace();
    player.state = PlayerState::Rolling;
    player.setRollingPaused(false);
}

bool Game::onSpace() {
    switch (player.state) {
    case PlayerState::Waiting:
        if (!level) return false;
        startRolling();
        return true;
    case PlayerState::Dead:
        resetAttempt();
        return true;
    case PlayerState::Finished:
        if (level && !level->nextLevel.empty()) switchLevel(level->nextLevel.c_str());
        resetAttempt();
        return true;
    default:
        return false;
    }
}

void Game::resetAttempt() {
    paused = false;
    player.reset();
    if (level) {
        level->reset();
        currentBlock = level->blocks[level->rootIndex];
        evaluateFace();
    }
    collected = 0;
    stepProgress = 0.0;
    resetCamera();
}

bool Game::rotateLeft() { return turnBlock(true); }

bool Game::rotateRight() { return turnBlock(false); }

bool Game::turnBlock(bool left) {
    if (player.busy || stepProgress > 0.5 || !currentBlock) return false;
    const bool turned = left ? currentBlock->rotateLeft(player.forward) : currentBlock->rotateRight(player.forward);
    if (!turned) return false;
    const float amount = static_cast<float>(1.0 - stepProgress);
    if (left)
        player.turnLeft(amount);
    else
        player.turnRight(amount);
    evaluateFace();
    player.busy = true;
    return true;
}

void Game::gameStep(double dt) {
    spinClock += dt;
    spinMatrix = rotate(Mat4(), static_cast<float>(spinClock * 200.0), {1.0f, 0.0f, 0.0f});
    if (paused || resting(player.state) || !currentBlock) return;

    const double advance = rollSpeed * dt;
    const double spinDegrees = static_cast<double>(static_cast<float>(dt)) * 360.0 * 0.5 *
                               static_cast<double>(0.3f) * static_cast<double>(3.1415927f);
    player.cageSpin = rotate(player.cageSpin, static_cast<float>(spinDegrees), {-1.0f, 0.0f, 0.0f});

    stepProgress += advance;
    const int before = player.state;
    player.update(stepProgress);
    pickUp();
    // A fall or goal entry that Player::update has just ended is final: the
    // step completion must not roll the avatar on, however far one long
    // frame carried the progress.
    const bool ended = (before == PlayerState::Sinking && player.state == PlayerState::Dead) ||
                       (before == PlayerState::EnteringGoal && player.state == PlayerState::Finished);
    if (!ended && stepProgress >= kBusyProgress && (player.moveKind == EdgeKind::Concave || stepProgress >= 1.0))
        completeStep();
    if (currentBlock->rotationStep != 0 && stepProgress >= 1.0) currentBlock->rotationStep = 0;
}

void Game::pickUp() {
    Decal& decal = currentBlock->decals[player.up];
    if (decal != Decal::Collectable || stepProgress < 0.35) return;
    decal = Decal::Collected;
    playOnce(player.collectSound);
    ++collected;
    std::cout << "collected " << collected << " of " << level->collectableCount << " collectables!" << std::endl;
    if (collected == level->collectableCount) level->activateGoal();
}

void Game::completeStep() {
    player.busy = false;
    stepProgress -= 1.0;
    switch (player.moveKind) {
    case EdgeKind::Flat:
        // A flat edge always has its neighbour; stay put should a level ever lack it.
        if (Block* next = currentBlock->neighbour(player.forward)) currentBlock = next;
        break;
    case EdgeKind::Convex:
        stepProgress -= kEdgeRollLength;
        break;
    case EdgeKind::Concave:
        stepProgress += kBounceRestart;
        break;
    default:
        break;
    }
    player.state = PlayerState::Rolling;
    evaluateFace();
}
