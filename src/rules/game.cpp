#include "rules/game.h"

#include <algorithm>

#include "log/console.h"

namespace {

constexpr double kBounceRestart = static_cast<double>(0.6f);
constexpr double kEdgeRollLength = static_cast<double>(0.47123894f);

// Returns whether the progress does not advance in this state.
bool resting(int state) {
    return state == PlayerState::Waiting || state == PlayerState::Dead || state == PlayerState::Finished;
}

}  // namespace

Game::Game(std::filesystem::path root) : contentRoot(std::move(root)) { resetAttempt(); }

void Game::clearEvents() {
    sounds.clear();
    views.clear();
    changedBlocks.clear();
}

void Game::noteLooks(const Block& b) {
    for (int i : changedBlocks)
        if (i == b.index) return;
    changedBlocks.push_back(b.index);
}

void Game::noteChanged(const Block& b) {
    const auto at = std::lower_bound(moved_.begin(), moved_.end(), b.index);
    if (at == moved_.end() || *at != b.index) moved_.insert(at, b.index);
    noteLooks(b);
}

void Game::forgetMoved() {
    moved_.clear();
    if (level && level->goalIndex >= 0 && !level->blocks[level->goalIndex]->atRest())
        moved_.push_back(level->goalIndex);
}

bool Game::switchLevel(const char* name) {
    std::unique_ptr<Level> next = loadLevel(contentRoot, name);
    if (!next) {
        console() << "ERROR: Level loading failed" << std::endl;
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
    forgetMoved();
    currentBlock = level->blocks[level->rootIndex];
    views.push_back(ViewEvent::LevelSwitched);
}

Game::State Game::state() const {
    // Copied in, not assigned: a State built empty first would pose a
    // Player of its own, which costs as much as a frame of play.
    State s{.player = player,
            .paused = paused,
            .collected = collected,
            .block = currentBlock ? currentBlock->index : -1,
            .stepProgress = stepProgress,
            .spinClock = spinClock,
            .spinMatrix = spinMatrix,
            .blocks = {}};
    if (level) {
        s.blocks.reserve(moved_.size());
        for (int i : moved_)
            if (const Block* b = level->blocks[i]; !b->atRest()) s.blocks.emplace_back(i, b->state());
    }
    return s;
}

void Game::restore(const State& s) {
    player = s.player;
    paused = s.paused;
    collected = s.collected;
    stepProgress = s.stepProgress;
    spinClock = s.spinClock;
    spinMatrix = s.spinMatrix;
    currentBlock = level && s.block >= 0 ? level->blocks[s.block] : nullptr;
    if (!level) return;
    // Both lists ascend: the blocks moved here and the blocks moved there.
    movedBefore_.swap(moved_);
    moved_.clear();
    auto here = movedBefore_.begin();
    for (const auto& [index, blockState] : s.blocks) {
        for (; here != movedBefore_.end() && *here < index; ++here) restoreLoaded(*level->blocks[*here]);
        if (here != movedBefore_.end() && *here == index) ++here;
        Block& b = *level->blocks[index];
        if (!b.holds(blockState)) {
            b.restore(blockState);
            noteLooks(b);
        }
        moved_.push_back(index);  // not at rest there
    }
    for (; here != movedBefore_.end(); ++here) restoreLoaded(*level->blocks[*here]);
}

void Game::restoreLoaded(Block& b) {
    if (b.atRest()) return;
    b.restoreLoaded();
    noteLooks(b);
}

Vec3 Game::avatarCell() const {
    if (!currentBlock) return {0.0f, 0.0f, 0.0f};
    return {static_cast<float>(currentBlock->x), static_cast<float>(currentBlock->y),
            static_cast<float>(currentBlock->z)};
}

void Game::evaluateFace() {
    player.moveKind = currentBlock->edges[player.up][player.forward];
    if (player.moveKind >= EdgeKind::Blackhole) {
        player.busy = true;
        player.state = player.moveKind;
    }
    sounds.push_back(SoundEvent::RollingResumed);
}

void Game::startRolling() {
    stepProgress = 0.0;
    evaluateFace();
    player.state = PlayerState::Rolling;
    sounds.push_back(SoundEvent::RollingResumed);
}

bool Game::refuse() {
    sounds.push_back(SoundEvent::Refused);
    return false;
}

bool Game::onSpace() {
    switch (player.state) {
    case PlayerState::Waiting:
        if (!level) return refuse();
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
        return refuse();
    }
}

void Game::setPaused(bool pause) {
    paused = pause;
    sounds.push_back(pause ? SoundEvent::RollingPaused : SoundEvent::RollingResumed);
}

void Game::resetAttempt() {
    paused = false;
    player.busy = false;
    player.state = PlayerState::Waiting;
    player.forward = Direction::Front;
    player.up = Direction::Top;
    if (level) {
        for (int i : moved_)
            if (!level->blocks[i]->atRest()) noteLooks(*level->blocks[i]);
        level->reset();
        forgetMoved();
        currentBlock = level->blocks[level->rootIndex];
    }
    player.reset(avatarCell());
    if (level) evaluateFace();
    collected = 0;
    stepProgress = 0.0;
    views.push_back(ViewEvent::AttemptReset);
}

bool Game::rotateLeft() { return turnBlock(true); }

bool Game::rotateRight() { return turnBlock(false); }

bool Game::turnBlock(bool left) {
    if (player.busy || stepProgress > 0.5 || !currentBlock) return refuse();
    const bool turned = left ? currentBlock->rotateLeft(player.forward) : currentBlock->rotateRight(player.forward);
    if (!turned) return refuse();
    noteChanged(*currentBlock);
    // The avatar turns with the block: its face now points where the turn
    // about the heading has carried it.
    const Direction side = turnAbout(player.up, player.forward);
    player.up = left ? opposite(side) : side;
    player.state = PlayerState::Turning;
    const float amount = static_cast<float>(1.0 - stepProgress);
    player.startTurn(left ? amount : -amount);
    // While paused there is no next step to pose the turn's start, and the
    // camera's up would show the turn done while the block and the avatar
    // still wait at its start: the pose at once. Otherwise the next step
    // poses it before anything is drawn, and the search's turns are not
    // posed twice.
    if (paused) player.update(stepProgress, avatarCell());
    evaluateFace();
    player.busy = true;
    return true;
}

void Game::gameStep(double dt) {
    clearEvents();
    spinClock += dt;
    spinMatrix = rotate(Mat4(), static_cast<float>(spinClock * 200.0), {1.0f, 0.0f, 0.0f});
    if (paused || resting(player.state) || !currentBlock) return;

    const double advance = rollSpeed * dt;
    const double spinDegrees = static_cast<double>(static_cast<float>(dt)) * 360.0 * 0.5 *
                               static_cast<double>(0.3f) * static_cast<double>(3.1415927f);
    player.cageSpin = rotate(player.cageSpin, static_cast<float>(spinDegrees), {-1.0f, 0.0f, 0.0f});

    stepProgress += advance;
    const StepOutcome outcome = player.update(stepProgress, avatarCell());
    applyOutcome(outcome);
    pickUp();
    // A fall or goal entry that has just ended is final: the step completion
    // must not roll the avatar on, however far one long frame carried the
    // progress.
    const bool ended = outcome.died || outcome.finished;
    if (!ended && stepProgress >= kBusyProgress && (player.moveKind == EdgeKind::Concave || stepProgress >= 1.0))
        completeStep();
    if (currentBlock->rotationStep != 0 && stepProgress >= 1.0) currentBlock->rotationStep = 0;
}

void Game::applyOutcome(const StepOutcome& outcome) {
    if (outcome.turnEnded) {
        sounds.push_back(SoundEvent::TurnEnded);
        player.state = PlayerState::Finished;  // the step completion brings it back to Rolling
    }
    if (outcome.finished) {
        player.state = PlayerState::Finished;
        sounds.push_back(SoundEvent::Fanfare);
    }
    if (outcome.vacuum) sounds.push_back(SoundEvent::Vacuum);
    if (outcome.died) {
        player.state = PlayerState::Dead;
        sounds.push_back(SoundEvent::RollingPaused);
    }
    if (outcome.crossedEdge) {
        sounds.push_back(SoundEvent::EdgeRolled);
        // over the edge: standing on the face it was heading to, heading down the block's side
        const Direction oldForward = player.forward;
        player.forward = opposite(player.up);
        player.up = oldForward;
    }
    if (outcome.nearEdge) player.busy = true;
    if (outcome.bounced) {
        sounds.push_back(SoundEvent::Bounced);
        player.forward = opposite(player.forward);
    }
}

void Game::pickUp() {
    Decal& decal = currentBlock->decals[player.up];
    if (decal != Decal::Collectable || stepProgress < 0.35) return;
    decal = Decal::Collected;
    sounds.push_back(SoundEvent::PickedUp);
    noteChanged(*currentBlock);
    ++collected;
    console() << "collected " << collected << " of " << level->collectableCount << " collectables!" << std::endl;
    if (collected == level->collectableCount) {
        level->activateGoal();
        if (level->goalIndex >= 0) noteChanged(*level->blocks[level->goalIndex]);
    }
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
