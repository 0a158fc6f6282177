#include "solver/designated.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "solver/solver.h"
#include "log/console.h"
#include "rules/game.h"

namespace {

// Step progress at which the rules refuse a turn (Game::turnBlock).
constexpr double kTurnLimit = 0.5;
// Step progress at which the collectable under the avatar is taken (Game::pickUp).
constexpr double kPickUp = 0.35;
// Where a step begins: after a roll over an edge (minus the roll's length),
// and after a bounce (the bounce ends at 0.7 and the step restarts 0.6 on).
constexpr double kAfterEdge = -static_cast<double>(0.47123894f);
constexpr double kAfterBounce = kBusyProgress - 1.0 + static_cast<double>(0.6f);

// Steps a line without presses is followed before it is called endless.
constexpr int kMostFreeSteps = 4000;

const char* const kIdeaNames[] = {"edge", "wall", "collect", "blackhole", "turn",
                                  "start-turn", "underside", "carry", "climb"};
static_assert(sizeof kIdeaNames / sizeof kIdeaNames[0] == static_cast<int>(Idea::Count));

// What the frames of one line showed.
struct Watch {
    std::set<int> blocks;
    std::set<int> heights;
    std::vector<std::pair<int, int>> pickUps;  // (step, block)
    IdeaSet ideas = 0;
    int frames = 0;  // played since the start key
};

// Runs frames until the next step begins or the attempt ends, noting what happens.
StepEnd watchStep(Game& game, int step, Watch& watch) {
    for (int frame = 0; frame < 100000; ++frame) {
        const double before = game.stepProgress;
        game.gameStep(kFrameTime);
        ++watch.frames;
        const Block& b = *game.currentBlock;
        watch.blocks.insert(b.index);
        watch.heights.insert(b.y);
        if (game.player.up == Direction::Bottom) watch.ideas |= ideaBit(Idea::Underside);
        for (SoundEvent e : game.sounds) {
            if (e == SoundEvent::EdgeRolled) watch.ideas |= ideaBit(Idea::Edge);
            if (e == SoundEvent::Bounced) watch.ideas |= ideaBit(Idea::Wall);
            if (e == SoundEvent::PickedUp) watch.pickUps.emplace_back(step, b.index);
        }
        if (game.player.state == PlayerState::Dead) return StepEnd::Died;
        if (game.player.state == PlayerState::Finished) return StepEnd::Won;
        if (game.stepProgress < before) return StepEnd::Continues;
    }
    return StepEnd::Stuck;
}

// Whether the line, left without presses from step `from` on, ends in a black hole.
bool freeRollDies(Game& game, const std::vector<Action>& actions, std::size_t from) {
    const std::vector<Action> prefix(actions.begin(), actions.begin() + static_cast<long>(from));
    if (replay(game, prefix) != StepEnd::Continues) return false;
    for (int step = 0; step < kMostFreeSteps; ++step) {
        const StepEnd end = playStep(game, Action::None);
        if (end == StepEnd::Died) return true;
        if (end != StepEnd::Continues) return false;
    }
    return false;
}

// Whether a decal that the line takes or enters later sits on one of the four
// faces that a turn about `heading` moves.
bool carriesDecal(const Block& b, int heading) {
    for (int f = 0; f < 6; ++f) {
        if (f == heading || f == opposite(Direction(heading))) continue;
        if (b.decals[f] == Decal::Collectable || b.decals[f] == Decal::Goal) return true;
    }
    return false;
}

}  // namespace

StepStart stepStart(const Game& game) {
    if (game.player.state == PlayerState::Waiting) return StepStart::Plain;
    // a frame carries the progress at most 0.2 past the start of the step
    if (game.stepProgress < kAfterEdge + 0.25) return StepStart::AfterEdge;
    if (game.stepProgress >= kAfterBounce - 0.01) return StepStart::AfterBounce;
    return StepStart::Plain;
}

double pressWindow(const Game& game) {
    if (game.player.state == PlayerState::Waiting) return kUnlimitedWindow;
    if (game.player.busy || !game.currentBlock) return 0.0;
    const StepStart start = stepStart(game);
    const double from = start == StepStart::AfterEdge ? kAfterEdge : start == StepStart::AfterBounce ? kAfterBounce : 0.0;
    // The avatar turns with the face under it, so a collectable there is taken
    // whenever the key is pressed; but the last one opens the goal, and a turn
    // pressed after that reads the open goal ahead.
    const bool opensGoal = game.currentBlock->decals[game.player.up] == Decal::Collectable &&
                           game.collected + 1 == game.level->collectableCount;
    const double until = opensGoal ? std::min(kPickUp, kTurnLimit) : kTurnLimit;
    return std::max(0.0, (until - from) / game.rollSpeed);
}

const char* ideaName(Idea idea) { return kIdeaNames[static_cast<int>(idea)]; }

bool parseIdeas(const std::string& list, IdeaSet& ideas) {
    ideas = 0;
    std::istringstream in(list);
    std::string word;
    bool any = false;
    while (std::getline(in, word, ',')) {
        word.erase(0, word.find_first_not_of(' '));
        word.erase(word.find_last_not_of(' ') + 1);
        const auto* at = std::find(std::begin(kIdeaNames), std::end(kIdeaNames), word);
        if (at == std::end(kIdeaNames)) return false;
        ideas |= 1u << (at - std::begin(kIdeaNames));
        any = true;
    }
    return any;
}

std::string ideaList(IdeaSet ideas) {
    std::string out;
    for (int i = 0; i < static_cast<int>(Idea::Count); ++i) {
        if (!(ideas & (1u << i))) continue;
        if (!out.empty()) out += ", ";
        out += kIdeaNames[i];
    }
    return out.empty() ? "none" : out;
}

LineFigures measureLine(Game& game, const std::vector<Action>& actions) {
    ConsoleSilence quiet;
    LineFigures line;
    Watch watch;
    std::vector<std::pair<int, int>> carried;  // (step, block) of turns that move a decal
    game.resetAttempt();
    watch.blocks.insert(game.currentBlock->index);
    watch.heights.insert(game.currentBlock->y);
    StepEnd end = StepEnd::Continues;
    for (std::size_t i = 0; i < actions.size() && end == StepEnd::Continues; ++i) {
        const Action a = actions[i];
        const bool turn = a != Action::None;
        line.windows.push_back(turn ? pressWindow(game) : 0.0);
        line.times.push_back(watch.frames * kFrameTime);
        if (turn) {
            ++line.turns;
            line.ideas |= ideaBit(i == 0 ? Idea::StartTurn : Idea::Turn);
            if (i > 0) line.narrowest = std::min(line.narrowest, line.windows.back());
            if (carriesDecal(*game.currentBlock, game.player.forward))
                carried.emplace_back(static_cast<int>(i), game.currentBlock->index);
        }
        if (!applyAction(game, a)) {
            end = StepEnd::Refused;
            break;
        }
        end = watchStep(game, static_cast<int>(i), watch);
    }
    line.steps = static_cast<int>(actions.size());
    line.won = end == StepEnd::Won && line.windows.size() == actions.size();
    if (line.won && game.collected > 1) line.ideas |= ideaBit(Idea::Collect);
    const int goalBlock = game.level->goalIndex;
    for (const auto& [step, block] : carried) {
        bool later = line.won && block == goalBlock;
        for (const auto& [taken, from] : watch.pickUps) later = later || (from == block && taken >= step);
        if (later) line.ideas |= ideaBit(Idea::Carry);
    }
    line.blocksVisited = static_cast<int>(watch.blocks.size());
    line.heightsVisited = static_cast<int>(watch.heights.size());
    line.ideas |= watch.ideas;
    if (line.heightsVisited > 1) line.ideas |= ideaBit(Idea::Climb);
    for (std::size_t i = 0; i < actions.size() && line.won; ++i) {
        if (actions[i] == Action::None) continue;
        if (freeRollDies(game, actions, i)) {
            line.ideas |= ideaBit(Idea::Blackhole);
            break;
        }
    }
    game.resetAttempt();
    return line;
}
