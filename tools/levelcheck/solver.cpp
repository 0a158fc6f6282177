#include "levelcheck/solver.h"

#include <queue>
#include <sstream>
#include <tuple>
#include <unordered_map>

#include "log/console.h"
#include "rules/game.h"

namespace {

// Frames one step may take before the search calls it stuck.
constexpr int kMaxFramesPerStep = 100000;

// Returns whether the action was taken; a refused one changes nothing.
bool applyAction(Game& game, Action action) {
    switch (action) {
    case Action::Left:
        return game.rotateLeft();
    case Action::Right:
        return game.rotateRight();
    case Action::None:
        return game.player.state != PlayerState::Waiting || game.onSpace();
    }
    return false;
}

// Runs frames until the next step begins or the attempt ends.
StepEnd runStep(Game& game, double dt) {
    for (int frame = 0; frame < kMaxFramesPerStep; ++frame) {
        const double before = game.stepProgress;
        game.gameStep(dt);
        if (game.player.state == PlayerState::Dead) return StepEnd::Died;
        if (game.player.state == PlayerState::Finished) return StepEnd::Won;
        if (game.stepProgress < before) return StepEnd::Continues;  // a step completion
    }
    return StepEnd::Stuck;
}

// Returns the world state at a decision point: the avatar's block, face,
// heading and motion state, and every face's decal (which also records the
// blocks' turns and what has been collected).
std::string stateKey(const Game& game) {
    std::string key;
    const Level& level = *game.level;
    key.reserve(8 + level.blocks.size() * 6);
    const int block = game.currentBlock->index;
    key.append(reinterpret_cast<const char*>(&block), sizeof block);
    key.push_back(static_cast<char>(int(game.player.up)));
    key.push_back(static_cast<char>(int(game.player.forward)));
    key.push_back(static_cast<char>(game.player.state));
    for (const Block* b : level.blocks) {
        for (int f = 0; f < 6; ++f) key.push_back(static_cast<char>(int(b->decals[f])));
        key.push_back(b->goalActive ? 1 : 0);
    }
    return key;
}

// Per block, the collectables it carries in the current state and how many
// of them are taken.
void countCollected(const Game& game, std::vector<int>& mostTaken) {
    const std::vector<Block*>& blocks = game.level->blocks;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        int taken = 0;
        for (int f = 0; f < 6; ++f) taken += blocks[i]->decals[f] == Decal::Collected;
        if (taken > mostTaken[i]) mostTaken[i] = taken;
    }
}

// One line of play up to a decision point (or a win).
struct Node {
    int parent;
    Action action;
    int steps;
    int turns;
    bool won;
};

// Returns the actions from the start to `node`.
std::vector<Action> pathTo(const std::vector<Node>& nodes, int node) {
    std::vector<Action> path;
    for (int n = node; n > 0; n = nodes[n].parent) path.push_back(nodes[n].action);
    return {path.rbegin(), path.rend()};
}

// Returns the cost of a node in the order the search minimises.
std::pair<int, int> costOf(const Node& n, SolveOrder order) {
    return order == SolveOrder::FewestSteps ? std::pair{n.steps, n.turns} : std::pair{n.turns, n.steps};
}

}  // namespace

const char* actionKey(Action a) {
    switch (a) {
    case Action::Left:
        return "A";
    case Action::Right:
        return "F";
    case Action::None:
        break;
    }
    return "-";
}

StepEnd playStep(Game& game, Action action, double dt) {
    if (!applyAction(game, action)) return StepEnd::Refused;
    return runStep(game, dt);
}

StepEnd replay(Game& game, const std::vector<Action>& actions, double dt) {
    game.resetAttempt();
    StepEnd end = StepEnd::Continues;
    for (Action a : actions) {
        if (end != StepEnd::Continues) return StepEnd::Stuck;  // the attempt is already over
        end = playStep(game, a, dt);
    }
    return end;
}

SolveResult solve(Game& game, const SolveLimits& limits) {
    ConsoleSilence quiet;
    SolveResult result;
    const Level& level = *game.level;
    if (level.goalIndex < 0) {
        result.outcome = SolveResult::Outcome::NoGoal;
        return result;
    }

    // Lines of play in order of cost, then of discovery: a state is settled
    // when the first line reaching it leaves the queue.
    std::vector<Node> nodes{{-1, Action::None, 0, 0, false}};
    std::unordered_map<std::string, std::pair<int, int>> best;
    using Entry = std::tuple<std::pair<int, int>, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    std::vector<int> mostTaken(level.blocks.size(), 0);
    game.resetAttempt();
    best.emplace(stateKey(game), std::pair{0, 0});
    frontier.emplace(std::pair{0, 0}, 0);

    constexpr Action choices[3] = {Action::None, Action::Left, Action::Right};
    while (!frontier.empty()) {
        const auto [cost, node] = frontier.top();
        frontier.pop();
        if (nodes[node].won) {
            result.actions = pathTo(nodes, node);
            const bool replays = replay(game, result.actions, kFrameTime) == StepEnd::Won;
            result.outcome = replays ? SolveResult::Outcome::Won : SolveResult::Outcome::NoReplay;
            result.turns = nodes[node].turns;
            result.states = best.size();
            return result;
        }
        const std::vector<Action> path = pathTo(nodes, node);
        bool fresh = false;  // whether the game stands at this node's decision point
        for (Action a : choices) {
            if (!fresh) replay(game, path, kSearchFrameTime);
            if (!applyAction(game, a)) {
                fresh = true;  // a refused turn changed nothing
                continue;
            }
            fresh = false;
            const StepEnd end = runStep(game, kSearchFrameTime);
            countCollected(game, mostTaken);
            Node next{node, a, nodes[node].steps + 1, nodes[node].turns + (a != Action::None), end == StepEnd::Won};
            const std::pair<int, int> nextCost = costOf(next, limits.order);
            if (end == StepEnd::Died) {
                ++result.blackHoleEnds;
                continue;
            }
            if (end == StepEnd::Stuck) {
                ++result.loopEnds;
                continue;
            }
            if (end == StepEnd::Continues) {
                const auto [at, inserted] = best.emplace(stateKey(game), nextCost);
                if (!inserted && at->second <= nextCost) {
                    ++result.loopEnds;
                    continue;
                }
                at->second = nextCost;
            }
            nodes.push_back(next);
            frontier.emplace(nextCost, static_cast<int>(nodes.size()) - 1);
            if (best.size() >= limits.maxStates) {
                result.outcome = SolveResult::Outcome::GaveUp;
                result.states = best.size();
                return result;
            }
        }
    }

    result.states = best.size();
    result.outcome = SolveResult::Outcome::NoWayToWin;
    game.resetAttempt();
    for (std::size_t i = 0; i < level.blocks.size(); ++i) {
        const Block& b = *level.blocks[i];
        int carried = 0;
        for (int f = 0; f < 6; ++f) carried += b.decals[f] == Decal::Collectable;
        for (int k = mostTaken[i]; k < carried; ++k) {
            std::ostringstream where;
            where << "collectable on (" << b.x << "," << b.y << "," << b.z << ")";
            result.unreachable.push_back(where.str());
        }
    }
    if (!result.unreachable.empty()) result.outcome = SolveResult::Outcome::UnreachableCollectables;
    return result;
}

std::string describe(const SolveResult& result) {
    std::ostringstream out;
    switch (result.outcome) {
    case SolveResult::Outcome::Won:
        out << "solved in " << result.actions.size() << (result.actions.size() == 1 ? " step, " : " steps, ")
            << result.turns << (result.turns == 1 ? " turn" : " turns");
        break;
    case SolveResult::Outcome::NoGoal:
        out << "cannot be won: the level has no goal";
        break;
    case SolveResult::Outcome::UnreachableCollectables:
        out << "cannot be won: " << result.unreachable.size() << " collectable(s) can never be reached:";
        for (const std::string& c : result.unreachable) out << " " << c;
        break;
    case SolveResult::Outcome::NoWayToWin:
        out << "cannot be won: every line of play ends in a black hole or an endless loop ("
            << result.states << " states, " << result.blackHoleEnds << " black-hole ends)";
        break;
    case SolveResult::Outcome::NoReplay:
        out << "undecided: the win found does not replay at 60 frames a second";
        break;
    case SolveResult::Outcome::GaveUp:
        out << "undecided: the search gave up after " << result.states << " states";
        break;
    }
    return out.str();
}

std::vector<std::string> stepLines(const std::vector<Action>& actions) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const bool start = i == 0 && actions[i] == Action::None;
        if (actions[i] == Action::None && !start) continue;
        lines.push_back("step " + std::to_string(i + 1) + ": " + (start ? "space" : actionKey(actions[i])));
    }
    return lines;
}
