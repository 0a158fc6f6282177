#include "solver/solver.h"

#include "solver/designated.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <map>
#include <queue>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_map>

#include "log/console.h"
#include "rules/game.h"

namespace {

// Frames one step may take before the search calls it stuck.
constexpr int kMaxFramesPerStep = 100000;

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

// Where a move from a decision point leads: a state's number, or how it ended.
enum Edge : int { Refused = -1, Died = -2, WonEdge = -3, Stuck = -4 };

constexpr Action kChoices[3] = {Action::None, Action::Left, Action::Right};

// Where the avatar stands at a decision point.
struct Place {
    int block = 0;
    int up = 0;
    StepStart start = StepStart::Plain;  // part of the key: it sets the window of a press
    double window = 0.0;                 // of a press here (pressWindow)
};

// The explored states and the moves between them. A state is told apart by
// what the rules read at a decision point: the avatar's block, faces and
// motion state, and the decorated blocks' faces. Blocks without decals never
// change in a way the rules can see (a turn moves plain faces onto plain
// faces). The search branches by restoring the game's state of play.
class Explorer {
public:
    Explorer(Game& game, const SolveLimits& limits)
        : game_(game), maxStates_(limits.maxStates), cancel_(limits.cancel) {
        for (Block* b : game.level->blocks) {
            bool decorated = false;
            for (int f = 0; f < 6; ++f) decorated = decorated || b->decals[f] != Decal::Plain;
            if (decorated) decorated_.push_back(b);
        }
    }

    // Explores every state reachable from the start, breadth first. Returns
    // false when there were more than maxStates or the search was cancelled.
    bool run(SolveResult& counts) {
        game_.resetAttempt();
        add();
        for (std::size_t at = 0; at < places_.size(); ++at) {
            if (cancelled()) return false;
            // breadth first: the state of the node expanded now is the oldest kept
            const Game::State here = std::move(pending_.front());
            pending_.pop_front();
            bool fresh = false;  // whether the game stands at this node's decision point
            for (int c = 0; c < 3; ++c) {
                if (!fresh) game_.restore(here);
                fresh = false;
                int edge = Refused;
                if (!applyAction(game_, kChoices[c])) {
                    fresh = true;  // a refused turn changed nothing
                } else {
                    const StepEnd end = runStep(game_, kSearchFrameTime);
                    countCollected();
                    if (end == StepEnd::Died) {
                        edge = Died;
                        ++counts.blackHoleEnds;
                    } else if (end == StepEnd::Won) {
                        edge = WonEdge;
                    } else if (end == StepEnd::Stuck) {
                        edge = Stuck;
                        ++counts.loopEnds;
                    } else {
                        const std::size_t before = places_.size();
                        edge = add();
                        if (places_.size() == before) ++counts.loopEnds;
                    }
                }
                edges_[at * 3 + c] = edge;
            }
            if (places_.size() > maxStates_) return false;
        }
        return true;
    }

    std::size_t size() const { return places_.size(); }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    int edge(std::size_t node, int choice) const { return edges_[node * 3 + choice]; }
    const Place& node(std::size_t i) const { return places_[i]; }
    // Per block, the most collectables taken in any state met.
    const std::vector<int>& mostTaken() const { return mostTaken_; }

private:
    // Writes the key of the game's state into `key`.
    void writeKey(std::string& key) const {
        const Player& p = game_.player;
        const int block = game_.currentBlock->index;
        key.clear();
        key.reserve(8 + decorated_.size() * 7);
        key.append(reinterpret_cast<const char*>(&block), sizeof block);
        key.push_back(static_cast<char>(p.up));
        key.push_back(static_cast<char>(p.forward));
        key.push_back(static_cast<char>(p.state));
        key.push_back(static_cast<char>(stepStart(game_)));
        for (const Block* b : decorated_) {
            for (int f = 0; f < 6; ++f) key.push_back(static_cast<char>(int(b->decals[f])));
            key.push_back(b->goalActive ? 1 : 0);
        }
    }

    // Returns the number of the game's state, keeping it when it is new.
    // Most states met are known already: their key is looked up in a buffer
    // kept for it, and copied only into the index of a new one.
    int add() {
        writeKey(key_);
        if (const auto known = index_.find(key_); known != index_.end()) return known->second;
        const int number = static_cast<int>(places_.size());
        index_.emplace(key_, number);
        places_.push_back({game_.currentBlock->index, game_.player.up, stepStart(game_), pressWindow(game_)});
        pending_.push_back(game_.state());
        edges_.resize(places_.size() * 3, Refused);
        return number;
    }

    void countCollected() {
        if (mostTaken_.empty()) mostTaken_.assign(decorated_.size(), 0);
        for (std::size_t k = 0; k < decorated_.size(); ++k) {
            int taken = 0;
            for (int f = 0; f < 6; ++f) taken += decorated_[k]->decals[f] == Decal::Collected;
            if (taken > mostTaken_[k]) mostTaken_[k] = taken;
        }
    }

    Game& game_;
    std::size_t maxStates_;
    const std::atomic<bool>* cancel_;
    std::vector<Block*> decorated_;
    std::vector<Place> places_;
    std::deque<Game::State> pending_;  // states of the nodes not yet expanded, in order
    std::vector<int> edges_;           // three per node, in kChoices order
    std::unordered_map<std::string, int> index_;
    std::string key_;  // the last key looked up
    std::vector<int> mostTaken_;

    friend SolveResult whyNot(Game&, const Explorer&, SolveResult);
};

// Lists the collectables that no state met has taken.
SolveResult whyNot(Game& game, const Explorer& explorer, SolveResult result) {
    result.outcome = SolveResult::Outcome::NoWayToWin;
    for (std::size_t k = 0; k < explorer.decorated_.size(); ++k) {
        const Block& b = *explorer.decorated_[k];
        int carried = 0;
        for (int f = 0; f < 6; ++f) carried += b.decals[f] == Decal::Collectable || b.decals[f] == Decal::Collected;
        const int taken = explorer.mostTaken_.empty() ? 0 : explorer.mostTaken_[k];
        for (int i = taken; i < carried; ++i) {
            std::ostringstream where;
            where << "collectable on (" << b.x << "," << b.y << "," << b.z << ")";
            result.unreachable.push_back(where.str());
        }
    }
    if (!result.unreachable.empty()) result.outcome = SolveResult::Outcome::UnreachableCollectables;
    (void)game;
    return result;
}

// The cheapest win through the explored graph in the given order, as the
// actions from the start; empty when there is none.
struct Route {
    bool found = false;
    std::vector<Action> actions;
    std::vector<int> turnedBlocks;  // the block under the avatar at each turn
    int turns = 0;
};

// Turns are taken only where their window is at least minWindow seconds.
Route cheapest(const Explorer& explorer, SolveOrder order, double minWindow = 0.0) {
    using Cost = std::pair<int, int>;
    const std::size_t n = explorer.size();
    const Cost kFar{1 << 30, 1 << 30};
    std::vector<Cost> best(n, kFar);
    std::vector<std::pair<int, int>> from(n, {-1, 0});  // previous node and choice
    auto costOf = [order](int steps, int turns) {
        return order == SolveOrder::FewestSteps ? Cost{steps, turns} : Cost{turns, steps};
    };
    using Entry = std::tuple<Cost, int, int>;  // cost, node (n = the win), steps
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    best[0] = {0, 0};
    frontier.emplace(Cost{0, 0}, 0, 0);
    Cost winCost = kFar;
    std::pair<int, int> winFrom{-1, 0};
    while (!frontier.empty()) {
        const auto [cost, node, steps] = frontier.top();
        frontier.pop();
        if (cost >= winCost) break;
        if (cost != best[node]) continue;
        const int turns = order == SolveOrder::FewestSteps ? cost.second : cost.first;
        for (int c = 0; c < 3; ++c) {
            const int to = explorer.edge(node, c);
            if (to == Refused || to == Died || to == Stuck) continue;
            if (c != 0 && explorer.node(node).window < minWindow) continue;
            const Cost next = costOf(steps + 1, turns + (c != 0));
            if (to == WonEdge) {
                if (next < winCost) {
                    winCost = next;
                    winFrom = {node, c};
                }
                continue;
            }
            if (next < best[to]) {
                best[to] = next;
                from[to] = {node, c};
                frontier.emplace(next, to, steps + 1);
            }
        }
    }
    Route route;
    if (winFrom.first < 0) return route;
    route.found = true;
    for (std::pair<int, int> at = winFrom; at.first >= 0; at = from[at.first]) {
        route.actions.push_back(kChoices[at.second]);
        if (at.second != 0) route.turnedBlocks.push_back(explorer.node(at.first).block);
        if (at.first == 0) break;
    }
    route.actions = {route.actions.rbegin(), route.actions.rend()};
    route.turns = static_cast<int>(route.turnedBlocks.size());
    return route;
}

// Number of states from which a win can still be reached.
std::size_t winnableStates(const Explorer& explorer) {
    const std::size_t n = explorer.size();
    std::vector<std::vector<int>> into(n);
    std::vector<char> good(n, 0);
    std::deque<int> todo;
    for (std::size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int to = explorer.edge(i, c);
            if (to >= 0) into[to].push_back(static_cast<int>(i));
            if (to == WonEdge && !good[i]) {
                good[i] = 1;
                todo.push_back(static_cast<int>(i));
            }
        }
    }
    std::size_t count = todo.size();
    while (!todo.empty()) {
        const int v = todo.front();
        todo.pop_front();
        for (int u : into[v]) {
            if (good[u]) continue;
            good[u] = 1;
            ++count;
            todo.push_back(u);
        }
    }
    return count;
}

// Fills a result from a route, proving it at 60 frames a second.
SolveResult resultOf(Game& game, const Route& route, const SolveResult& counts) {
    SolveResult r = counts;
    r.actions = route.actions;
    r.turns = route.turns;
    r.outcome = replay(game, r.actions, kFrameTime) == StepEnd::Won ? SolveResult::Outcome::Won
                                                                      : SolveResult::Outcome::NoReplay;
    return r;
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

StepEnd replay(Game& game, const std::vector<Action>& actions, double dt) {
    game.resetAttempt();
    StepEnd end = StepEnd::Continues;
    for (Action a : actions) {
        if (end != StepEnd::Continues) return StepEnd::Stuck;  // the attempt is already over
        end = playStep(game, a, dt);
    }
    return end;
}

LevelStats analyse(Game& game, const SolveLimits& limits) {
    ConsoleSilence quiet;
    const auto started = std::chrono::steady_clock::now();
    LevelStats stats;
    std::set<int> heights;
    for (const Block* b : game.level->blocks) heights.insert(b->y);
    stats.blocks = static_cast<int>(game.level->blocks.size());
    stats.heights = static_cast<int>(heights.size());
    stats.collectables = game.level->collectableCount;
    SolveResult counts;
    if (game.level->goalIndex < 0) {
        counts.outcome = SolveResult::Outcome::NoGoal;
        stats.shortest = stats.fewestTurns = counts;
        return stats;
    }
    Explorer explorer(game, limits);
    const bool complete = explorer.run(counts);
    counts.states = stats.states = explorer.size();
    if (!complete) {
        counts.outcome = explorer.cancelled() ? SolveResult::Outcome::Cancelled : SolveResult::Outcome::GaveUp;
        stats.shortest = stats.fewestTurns = counts;
        game.resetAttempt();
        return stats;
    }
    const Route shortest = cheapest(explorer, SolveOrder::FewestSteps);
    if (!shortest.found) {
        game.resetAttempt();
        stats.shortest = stats.fewestTurns = whyNot(game, explorer, counts);
        stats.trapStates = stats.states;
        return stats;
    }
    stats.shortest = resultOf(game, shortest, counts);
    stats.fewestTurns = resultOf(game, cheapest(explorer, SolveOrder::FewestTurns), counts);
    const Route designated = cheapest(explorer, SolveOrder::FewestSteps, kPersonWindow);
    if (designated.found) {
        stats.designated = resultOf(game, designated, counts);
        stats.line = measureLine(game, designated.actions);
    } else {
        stats.designated = counts;
        stats.designated.outcome = SolveResult::Outcome::NoWayToWin;
    }
    stats.trapStates = stats.states - winnableStates(explorer);
    stats.turningBlocks =
        static_cast<int>(std::set<int>(shortest.turnedBlocks.begin(), shortest.turnedBlocks.end()).size());
    stats.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return stats;
}

double difficultyScore(const LevelStats& s) {
    if (!s.won()) return 0.0;
    return static_cast<double>(s.shortest.actions.size()) + 8.0 * s.fewestTurns.turns + 4.0 * s.turningBlocks +
           30.0 * s.trapShare() + std::log2(static_cast<double>(std::max<std::size_t>(s.states, 1)));
}

std::vector<FaceReach> reachableFaces(Game& game, const SolveLimits& limits) {
    ConsoleSilence quiet;
    SolveResult counts;
    Explorer explorer(game, limits);
    const bool complete = explorer.run(counts);
    game.resetAttempt();
    if (!complete) return {};
    // fewest turns, then steps, to every state
    using Cost = std::pair<int, int>;
    const std::size_t n = explorer.size();
    std::vector<Cost> best(n, Cost{1 << 30, 1 << 30});
    using Entry = std::pair<Cost, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    best[0] = {0, 0};
    frontier.emplace(Cost{0, 0}, 0);
    while (!frontier.empty()) {
        const auto [cost, node] = frontier.top();
        frontier.pop();
        if (cost != best[node]) continue;
        for (int c = 0; c < 3; ++c) {
            const int to = explorer.edge(node, c);
            if (to < 0) continue;
            const Cost next{cost.first + (c != 0), cost.second + 1};
            if (next < best[to]) {
                best[to] = next;
                frontier.emplace(next, to);
            }
        }
    }
    std::map<std::pair<int, int>, Cost> faces;
    for (std::size_t i = 0; i < n; ++i) {
        const Place& s = explorer.node(i);
        const auto key = std::pair{s.block, s.up};
        const auto at = faces.find(key);
        if (at == faces.end() || best[i] < at->second) faces[key] = best[i];
    }
    std::vector<FaceReach> out;
    for (const auto& [key, cost] : faces) out.push_back({key.first, key.second, cost.first, cost.second});
    return out;
}

SolveResult solve(Game& game, const SolveLimits& limits) {
    LevelStats stats = analyse(game, limits);
    return limits.order == SolveOrder::FewestSteps ? stats.shortest : stats.fewestTurns;
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
    case SolveResult::Outcome::Cancelled:
        out << "undecided: the search was cancelled after " << result.states << " states";
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
