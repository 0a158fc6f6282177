#include "levelgen/generate.h"

#include <algorithm>
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

// One candidate from the random source; nothing when the decals cannot be placed.
std::optional<LevelText> candidate(Game& game, const GenerateOptions& o, Random& random) {
    const int blocks = random.between(o.blocks.lo, o.blocks.hi);
    const Structure s = Structure::build(o.shape, blocks, random);
    if (static_cast<int>(s.size()) < o.blocks.lo || s.heights() < o.minHeights) return std::nullopt;

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

    // black holes anywhere but the start and the face just ahead of it
    std::vector<std::pair<int, int>> faces = openFaces(s);
    const int holes = random.between(o.holes.lo, o.holes.hi);
    for (int placed = 0, guard = 0; placed < holes && guard < 100; ++guard) {
        const auto [b, f] = faces[random.between(0, static_cast<int>(faces.size()) - 1)];
        const BlockEntry& e = text.blocks[b];
        const bool nearStart = f == 1 && e.x == 0 && e.y == 0 && (e.z == 0 || e.z == -1);
        if (nearStart || text.blocks[b].decals[f] != Decal::Plain) continue;
        text.blocks[b].decals[f] = Decal::Blackhole;
        ++placed;
    }

    // Where can the avatar get to with these holes, and after how many turns?
    if (!loadInto(game, text)) return std::nullopt;
    SolveLimits limits;
    limits.maxStates = o.maxStates;
    std::vector<FaceReach> reach = reachableFaces(game, limits);
    reach.erase(std::remove_if(reach.begin(), reach.end(),
                               [&](const FaceReach& r) {
                                   return text.blocks[r.block].decals[r.face] != Decal::Plain ||
                                          (r.block == 0 && r.face == 1);
                               }),
                reach.end());
    const int wanted = random.between(o.collectables.lo, o.collectables.hi);
    if (static_cast<int>(reach.size()) < wanted + 1) return std::nullopt;
    // the faces that take the most turns to reach come first; collectables
    // and the goal are drawn from the first part, by chance
    std::stable_sort(reach.begin(), reach.end(), [](const FaceReach& a, const FaceReach& b) {
        return a.turns != b.turns ? a.turns > b.turns : a.steps > b.steps;
    });
    const int pool = std::max(wanted + 1, static_cast<int>(reach.size()) / 3);
    auto draw = [&]() -> FaceReach {
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
    return {};
}

std::optional<Generated> generate(Game& game, const GenerateOptions& o, std::string* why) {
    Random random(o.seed);
    SolveLimits limits;
    limits.maxStates = o.maxStates;
    std::string lastMiss = "no candidate could be built";
    for (int attempt = 1; attempt <= o.tries; ++attempt) {
        std::optional<LevelText> text = candidate(game, o, random);
        if (!text || !loadInto(game, *text)) continue;
        LevelStats stats = analyse(game, limits);
        const std::string miss = missedConstraint(stats, o);
        if (!miss.empty()) {
            lastMiss = miss;
            continue;
        }
        return Generated{*text, stats, attempt};
    }
    if (why) *why = lastMiss;
    return std::nullopt;
}
