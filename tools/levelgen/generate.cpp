#include "levelgen/generate.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>

#include "log/console.h"
#include "rules/game.h"
#include "world/level.h"

namespace {

// Light directions (from the structure's centre) the levels are lit from.
const Vec3 kLightDirections[] = {{0.45f, 1.0f, 0.55f}, {0.6f, 0.8f, 0.7f}, {1.0f, 0.8f, 0.25f}, {-0.5f, 1.0f, 0.6f}};

// Loads level text into the game; false when it does not load.
bool loadInto(Game& game, const LevelText& text) {
    ConsoleCapture quiet;
    std::unique_ptr<Level> level = loadLevelFromText("generated.xml", writeLevelText(text));
    if (!level) return false;
    game.setLevel(std::move(level));
    return true;
}

// The open faces of a structure as (block index, face).
std::vector<std::pair<int, int>> openFaces(const Structure& s) {
    std::vector<std::pair<int, int>> faces;
    for (std::size_t i = 0; i < s.size(); ++i)
        for (int f = 0; f < 6; ++f)
            if (s.open(s.cells()[i], f)) faces.emplace_back(static_cast<int>(i), f);
    return faces;
}

// Whether a block can turn: all its neighbours lie on one axis.
bool turns(const Structure& s, const Cell& c) {
    int axes = 0;
    for (int f = 0; f < 3; ++f)
        if (!s.open(c, f) || !s.open(c, f + 3)) ++axes;
    return axes == 1;
}

// A face the avatar stands on at a decision point of a walk, as the level
// file names it (the block was not turned before the walk got there).
struct WalkFace {
    int block = 0;
    int face = 0;
    bool newBlock = false;  // the walk's first time on this block
};

// A line of play a person could make, from the start, that goes on to the
// nearest block it has not stood on (by a search of the next moves, a
// random one of the nearest) until none is near: turns only where the press
// has a person's window, never into a black hole. Returns the faces met, in
// order, leaving out those on blocks already turned (the level file names
// a face before any turn).
std::vector<WalkFace> walk(Game& game, Random& random, int maxSteps, double minWindow) {
    ConsoleCapture quiet;
    const std::size_t blocks = game.level->blocks.size();
    std::vector<WalkFace> faces;
    std::vector<bool> visited(blocks, false), turned(blocks, false);
    game.resetAttempt();
    struct Node {
        Game::State state;
        int parent;
        Action action;
        int depth;
    };
    auto placeKey = [&](const Game& g) {
        return ((g.currentBlock->index * 8 + static_cast<int>(g.player.up)) * 8 + static_cast<int>(g.player.forward)) *
                   4 +
               static_cast<int>(stepStart(g));
    };
    // notes the face the avatar stands on at a decision point
    auto standing = [&] {
        const std::size_t block = static_cast<std::size_t>(game.currentBlock->index);
        if (!turned[block]) faces.push_back({static_cast<int>(block), static_cast<int>(game.player.up), !visited[block]});
        visited[block] = true;
    };
    int steps = 0;
    bool started = false;
    while (steps < maxSteps) {
        standing();
        // breadth first over the next moves to the nearest new blocks
        std::vector<Node> nodes{{game.state(), -1, Action::None, 0}};
        std::set<int> seen{placeKey(game)};
        std::vector<int> targets;
        int targetDepth = 1 << 30;
        for (std::size_t at = 0; at < nodes.size() && nodes.size() < 6000; ++at) {
            if (nodes[at].depth >= targetDepth || nodes[at].depth >= 40) break;
            for (Action a : {Action::None, Action::Left, Action::Right}) {
                game.restore(nodes[at].state);
                const bool first = !started && at == 0;
                if (a != Action::None && !first && pressWindow(game) < minWindow) continue;
                if (playStep(game, a, kSearchFrameTime) != StepEnd::Continues) continue;
                if (!seen.insert(placeKey(game)).second) continue;
                nodes.push_back({game.state(), static_cast<int>(at), a, nodes[at].depth + 1});
                if (!visited[static_cast<std::size_t>(game.currentBlock->index)]) {
                    targets.push_back(static_cast<int>(nodes.size()) - 1);
                    targetDepth = nodes.back().depth;
                }
            }
        }
        if (targets.empty()) break;
        // follow the moves to one of the nearest, recording the faces on the way
        std::vector<int> route;
        for (int n = targets[static_cast<std::size_t>(random.between(0, static_cast<int>(targets.size()) - 1))]; n > 0;
             n = nodes[static_cast<std::size_t>(n)].parent)
            route.push_back(n);
        std::reverse(route.begin(), route.end());
        game.restore(nodes[0].state);
        for (std::size_t k = 0; k < route.size(); ++k) {
            const Node& n = nodes[static_cast<std::size_t>(route[k])];
            if (k > 0) standing();
            if (n.action != Action::None) turned[static_cast<std::size_t>(game.currentBlock->index)] = true;
            game.restore(n.state);
            ++steps;
        }
        started = true;
    }
    game.resetAttempt();
    return faces;
}

// One candidate from the random source; nothing when the decals cannot be placed.
std::optional<LevelText> candidate(Game& game, const GenerateOptions& o, Random& random) {
    const int blocks = random.between(o.blocks.lo, o.blocks.hi);
    const Structure s = Structure::build(o.shape, blocks, random);
    if (static_cast<int>(s.size()) < o.blocks.lo || s.heights() < o.minHeights || !s.cameraClear({0, 0, 0}))
        return std::nullopt;

    LevelText text;
    text.next = o.next;
    text.comment = o.title;
    for (const Cell& c : s.cells()) {
        BlockEntry e;
        std::tie(e.x, e.y, e.z) = c;
        text.blocks.push_back(e);
    }
    const float tint = static_cast<float>(random.between(0, 6)) * 0.01f;
    text.ambientColor = {0.18f + tint, 0.2f, 0.24f + 0.02f * static_cast<float>(random.between(0, 1)), 1.0f};
    text.lightPosition = framingLight(text.blocks, kLightDirections[random.between(0, 3)]);

    // black holes anywhere but the start and the face just ahead of it; most
    // on blocks that turn, where a wrong turn can put one across the way
    std::vector<std::pair<int, int>> faces = openFaces(s);
    std::vector<std::pair<int, int>> turning;
    for (const auto& [b, f] : faces)
        if (turns(s, s.cells()[b])) turning.emplace_back(b, f);
    const int holes = random.between(o.holes.lo, o.holes.hi);
    for (int placed = 0, guard = 0; placed < holes && guard < 100; ++guard) {
        const auto& from = !turning.empty() && random.chance(0.7) ? turning : faces;
        const auto [b, f] = from[random.between(0, static_cast<int>(from.size()) - 1)];
        const BlockEntry& e = text.blocks[b];
        const bool nearStart = f == 1 && e.x == 0 && e.y == 0 && (e.z == 0 || e.z == -1);
        if (nearStart || text.blocks[b].decals[f] != Decal::Plain) continue;
        text.blocks[b].decals[f] = Decal::Blackhole;
        ++placed;
    }

    if (!loadInto(game, text)) return std::nullopt;
    const int wanted = random.between(o.collectables.lo, o.collectables.hi);

    // When the line must cross the structure, a walk a person could make
    // crosses it first, and the collectables go along it, spread from its
    // start to its end, with the goal where it last found a new block: the
    // shortest win has to follow the walk's tour.
    if (o.minVisitedShare > 0.0 || o.minHeightsVisited > 1) {
        const int length = std::min(o.maxSteps, std::max(30, 3 * static_cast<int>(s.size())));
        std::vector<WalkFace> faces = walk(game, random, length, o.minWindow);
        if (o.verbose) {
            int fresh = 0;
            for (const WalkFace& f : faces) fresh += f.newBlock;
            std::cerr << "walk of " << faces.size() << " steps over " << fresh << " of " << s.size() << " blocks\n";
        }
        std::vector<WalkFace> stops;
        for (std::size_t i = 1; i < faces.size(); ++i) {
            const WalkFace& f = faces[i];
            const BlockEntry& e = text.blocks[static_cast<std::size_t>(f.block)];
            const bool nearStart = f.face == 1 && e.x == 0 && e.y == 0 && (e.z == 0 || e.z == -1);
            if (f.newBlock && !nearStart && e.decals[f.face] == Decal::Plain) stops.push_back(f);
        }
        // decals on blocks that cannot turn never move, which keeps the
        // search small on large levels: those blocks first when there are enough
        std::vector<WalkFace> still;
        for (const WalkFace& f : stops)
            if (!turns(s, s.cells()[static_cast<std::size_t>(f.block)])) still.push_back(f);
        if (static_cast<int>(still.size()) >= wanted + 1 && random.chance(0.8)) stops = still;
        if (static_cast<int>(stops.size()) < wanted + 1) return std::nullopt;
        // the goal on the last new block, the collectables spread before it
        // (a little off the even spacing, by chance)
        const WalkFace goal = stops.back();
        text.blocks[static_cast<std::size_t>(goal.block)].decals[goal.face] = Decal::Goal;
        const int span = static_cast<int>(stops.size()) - 1;
        for (int i = 0; i < wanted; ++i) {
            const int even = (i + 1) * span / (wanted + 1);
            const int jitter = span / (2 * (wanted + 1));
            const int at = std::clamp(even + random.between(-jitter, jitter), 0, span - 1);
            const WalkFace& f = stops[static_cast<std::size_t>(at)];
            int& d = text.blocks[static_cast<std::size_t>(f.block)].decals[f.face];
            if (d == Decal::Plain) d = Decal::Collectable;
        }
        return text;
    }

    // Where can the avatar get to with these holes, and after how many turns?
    SolveLimits limits;
    limits.maxStates = o.maxStates;
    std::vector<FaceReach> reach = reachableFaces(game, limits);
    reach.erase(std::remove_if(reach.begin(), reach.end(),
                               [&](const FaceReach& r) {
                                   return text.blocks[r.block].decals[r.face] != Decal::Plain ||
                                          (r.block == 0 && r.face == 1);
                               }),
                reach.end());
    if (static_cast<int>(reach.size()) < wanted + 1) return std::nullopt;
    // the faces that take the most turns to reach come first; collectables
    // and the goal are drawn from the first part, by chance
    std::stable_sort(reach.begin(), reach.end(), [](const FaceReach& a, const FaceReach& b) {
        return a.turns != b.turns ? a.turns > b.turns : a.steps > b.steps;
    });
    const int pool = std::max(wanted + 1, static_cast<int>(reach.size()) / 3);
    std::function<FaceReach()> draw = [&]() -> FaceReach {
        const int at = random.between(0, std::min(pool, static_cast<int>(reach.size())) - 1);
        const FaceReach r = reach[at];
        reach.erase(reach.begin() + at);
        return r;
    };
    for (int i = 0; i < wanted; ++i) {
        const FaceReach r = draw();
        text.blocks[r.block].decals[r.face] = Decal::Collectable;
    }
    const FaceReach goal = draw();
    text.blocks[goal.block].decals[goal.face] = Decal::Goal;
    return text;
}

// How close a measured level comes to the constraints it must meet: the
// share of each lower bound reached, summed (-1 when it cannot be won, less
// for every upper bound overstepped).
double fitness(const LevelStats& s, const GenerateOptions& o) {
    // unproven levels, from the farthest off: too many states to decide,
    // collectables out of reach (the fewer the better), no winning line
    switch (s.shortest.outcome) {
    case SolveResult::Outcome::Won:
        break;
    case SolveResult::Outcome::UnreachableCollectables: {
        const double total = std::max(1, s.collectables);
        return -2.0 + std::max(0.0, 1.0 - static_cast<double>(s.shortest.unreachable.size()) / total);
    }
    case SolveResult::Outcome::NoWayToWin:
        return -0.5;
    default:
        return -3.0;
    }
    const double steps = static_cast<double>(s.shortest.actions.size());
    double f = 0.0;
    f += o.minTurns > 0 ? std::min(1.0, s.fewestTurns.turns / static_cast<double>(o.minTurns)) : 1.0;
    f += o.minTrapShare > 0 ? std::min(1.0, s.trapShare() / o.minTrapShare) : 1.0;
    f += o.minSteps > 0 ? std::min(1.0, steps / o.minSteps) : 1.0;
    f += o.needsTurn && s.winsWithoutTurns() ? 0.0 : 1.0;
    if (steps > o.maxSteps) f -= 1.0 + (steps - o.maxSteps) / o.maxSteps;
    // the designated line: a person's, over the structure, with the ideas asked for
    if (!s.personWinnable()) return f - 2.0;
    const double visited = s.blocks ? static_cast<double>(s.line.blocksVisited) / s.blocks : 0.0;
    f += o.minVisitedShare > 0 ? std::min(1.0, visited / o.minVisitedShare) : 1.0;
    f += std::min(1.0, s.line.heightsVisited / static_cast<double>(std::max(1, o.minHeightsVisited)));
    if (o.ideas) {
        int wanted = 0, met = 0;
        for (int i = 0; i < static_cast<int>(Idea::Count); ++i) {
            wanted += (o.ideas >> i) & 1u;
            met += (o.ideas & s.line.ideas) >> i & 1u;
        }
        f += static_cast<double>(met) / wanted;
    } else {
        f += 1.0;
    }
    if (s.fewestTurns.turns > o.maxTurns) f -= 1.0;
    return f;
}

// Moves one decal, or adds or takes away a black hole: a small change of
// the puzzle on the same structure.
LevelText mutated(const LevelText& text, const GenerateOptions& o, Random& random) {
    LevelText next = text;
    Structure s;
    for (const BlockEntry& e : text.blocks) s.add(e.x, e.y, e.z);
    std::vector<std::pair<int, int>> plain, decals;
    int holes = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        for (int f = 0; f < 6; ++f) {
            if (!s.open(s.cells()[i], f)) continue;
            const BlockEntry& e = text.blocks[i];
            const bool nearStart = f == 1 && e.x == 0 && e.y == 0 && (e.z == 0 || e.z == -1);
            if (e.decals[f] != Decal::Plain) decals.emplace_back(static_cast<int>(i), f);
            else if (!nearStart) plain.emplace_back(static_cast<int>(i), f);
            holes += e.decals[f] == Decal::Blackhole;
        }
    if (plain.empty() || decals.empty()) return next;
    const auto to = plain[random.between(0, static_cast<int>(plain.size()) - 1)];
    const int kind = random.between(0, 3);
    if (kind == 0 && holes < o.holes.hi) {
        next.blocks[to.first].decals[to.second] = Decal::Blackhole;
    } else if (kind == 1 && holes > o.holes.lo) {
        for (const auto& [b, f] : decals)
            if (next.blocks[b].decals[f] == Decal::Blackhole) {
                next.blocks[b].decals[f] = Decal::Plain;
                break;
            }
    } else {
        const auto from = decals[random.between(0, static_cast<int>(decals.size()) - 1)];
        next.blocks[to.first].decals[to.second] = next.blocks[from.first].decals[from.second];
        next.blocks[from.first].decals[from.second] = Decal::Plain;
    }
    return next;
}

}  // namespace

bool parseRange(const std::string& text, Range& range) {
    std::istringstream in(text);
    int lo = 0;
    if (!(in >> lo)) return false;
    int hi = lo;
    if (in.peek() == '.') {
        in.get();
        if (in.get() != '.' || !(in >> hi)) return false;
    }
    if (!in.eof() && in.peek() != EOF) return false;
    if (hi < lo || lo < 0) return false;
    range = {lo, hi};
    return true;
}

std::string missedConstraint(const LevelStats& s, const GenerateOptions& o) {
    if (!s.won()) return describe(s.shortest);
    const int steps = static_cast<int>(s.shortest.actions.size());
    if (steps < o.minSteps) return "shortest win below --min-steps";
    if (steps > o.maxSteps) return "shortest win above --max-steps";
    if (s.fewestTurns.turns < o.minTurns) return "fewer turns than --min-turns";
    if (s.fewestTurns.turns > o.maxTurns) return "more turns than --max-turns";
    if (o.needsTurn && s.winsWithoutTurns()) return "won without turning";
    if (s.trapShare() < o.minTrapShare) return "trap share below --min-trap-share";
    if (s.heights < o.minHeights) return "fewer heights than --min-heights";
    if (!s.personWinnable()) return "not winnable by a person";
    if (s.line.hasPress() && s.line.narrowest < o.minWindow) return "a press narrower than --min-window";
    if (s.blocks > 0 && s.line.blocksVisited < o.minVisitedShare * s.blocks)
        return "designated line visits less than --min-visited-share";
    if (s.line.heightsVisited < o.minHeightsVisited) return "designated line on fewer heights than --min-heights-visited";
    if ((s.line.ideas & o.ideas) != o.ideas) return "designated line misses an idea of --ideas";
    return {};
}

std::optional<Generated> generate(Game& game, const GenerateOptions& o, std::string* why) {
    Random random(o.seed);
    SolveLimits limits;
    limits.maxStates = o.maxStates;
    std::string lastMiss = "no candidate could be built";
    for (int attempt = 1; attempt <= o.tries; ++attempt) {
        std::optional<LevelText> text;
        if (o.start) {
            text = o.start;
            text->next = o.next;
            text->comment = o.title;
            for (int k = 1; k < attempt && k < 4; ++k) *text = mutated(*text, o, random);
        } else {
            text = candidate(game, o, random);
        }
        if (!text || !loadInto(game, *text)) continue;
        LevelStats stats = analyse(game, limits);
        double fit = fitness(stats, o);
        // improve the puzzle on this structure a move at a time while it
        // misses the constraints (a change that is no worse is kept, so the
        // search can cross level ground)
        for (int round = 0; round < o.rounds && !missedConstraint(stats, o).empty(); ++round) {
            LevelText next = mutated(*text, o, random);
            if (!loadInto(game, next)) continue;
            LevelStats nextStats = analyse(game, limits);
            const double nextFit = fitness(nextStats, o);
            if (nextFit >= fit) {
                *text = std::move(next);
                stats = std::move(nextStats);
                fit = nextFit;
            }
        }
        const std::string miss = missedConstraint(stats, o);
        if (o.verbose) {
            std::cerr << "candidate " << attempt << ": " << text->blocks.size() << " blocks, "
                      << describe(stats.shortest) << ", fewest turns " << stats.fewestTurns.turns << ", traps "
                      << stats.trapShare() << ", " << stats.states << " states, " << stats.seconds << " s"
                      << (miss.empty() ? "" : " -- " + miss) << "\n";
        }
        if (!miss.empty()) {
            lastMiss = miss;
            continue;
        }
        return Generated{*text, stats, attempt};
    }
    if (why) *why = lastMiss;
    return std::nullopt;
}
