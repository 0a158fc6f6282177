// The state of play as a value: a game restored from a snapshot plays on
// exactly as the game it was taken from, whatever the restored game held
// before. A field of play left out of Game::State makes the two differ.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "log/console.h"
#include "rules/game.h"
#include "rules/restless_player.h"

namespace {

// Appends the bytes of a value: equal traces mean equal bits.
template <class T>
void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Returns everything of the game a player, the renderer or the rules could
// tell apart after a frame, with the events of that frame.
std::string fingerprint(const Game& game) {
    std::string out;
    const Player& p = game.player;
    put(out, p.busy);
    put(out, p.moveKind);
    put(out, p.state);
    put(out, int(p.forward));
    put(out, int(p.up));
    put(out, p.turnAmount);
    put(out, p.upVector);
    put(out, p.bounceBlend);
    for (const Mat4* m : {&p.bodyMatrix, &p.cageSpin, &p.brainMatrix, &p.orientation, &p.turnRotation}) put(out, *m);
    put(out, game.paused);
    put(out, game.collected);
    put(out, game.currentBlock ? game.currentBlock->index : -1);
    put(out, game.stepProgress);
    put(out, game.spinMatrix);
    for (SoundEvent e : game.sounds) put(out, e);
    for (const Block* b : game.level->blocks) {
        for (int f = 0; f < 6; ++f) put(out, int(b->decals[f]));
        put(out, b->goalActive);
        put(out, b->rotationStep);
        put(out, b->rotationCount);
        put(out, b->texCoords);
        // the edges the rules read: off the face's own axis, on faces not covered
        for (int f = 0; f < 6; ++f)
            for (int d = 0; d < 6; ++d)
                if (!b->links[f] && d % 3 != f % 3) put(out, int(b->edges[f][d]));
    }
    return out;
}

// Plays `frames` frames of 1/60 s with the keys of `keys`; returns the
// fingerprints.
std::vector<std::string> play(Game& game, RestlessPlayer& keys, int frames) {
    std::vector<std::string> trace;
    for (int i = 0; i < frames; ++i) {
        keys.press(game);
        std::string events;
        for (SoundEvent e : game.sounds) put(events, e);
        game.gameStep(1.0 / 60.0);
        trace.push_back(events + fingerprint(game));
    }
    return trace;
}

constexpr const char* kLevels = TUMBIX_SOURCE_DIR "/tests/levels";

struct Case {
    const char* root;    // content root
    const char* level;   // under maps/ there
    std::uint32_t seed;  // the keys before and after the snapshot
    int framesBefore;    // frames played before the snapshot
    int framesAfter;     // frames played on in both games
};

class GameState : public ::testing::TestWithParam<Case> {};

TEST_P(GameState, ARestoredGamePlaysOnLikeTheOneItWasTakenFrom) {
    const Case c = GetParam();
    ConsoleCapture console;
    Game original(c.root);
    ASSERT_TRUE(original.switchLevel(c.level));
    RestlessPlayer keys(c.seed);
    play(original, keys, c.framesBefore);
    const Game::State snapshot = original.state();

    // The copy has played a line of its own first (it rolls where the
    // original turns), so nothing of it can pass for the original's unless
    // the snapshot carries it.
    Game copy(c.root);
    ASSERT_TRUE(copy.switchLevel(c.level));
    RestlessPlayer otherKeys(c.seed, true);
    play(copy, otherKeys, c.framesBefore + 61);
    copy.restore(snapshot);
    console.take();
    copy.sounds = original.sounds;  // events are not state
    ASSERT_TRUE(fingerprint(copy) == fingerprint(original)) << "the games differ right after the restore";

    RestlessPlayer keysOn = keys;
    const std::vector<std::string> played = play(original, keys, c.framesAfter);
    const std::vector<std::string> saidByOriginal = console.take();
    const std::vector<std::string> replayed = play(copy, keysOn, c.framesAfter);
    const std::vector<std::string> saidByCopy = console.take();

    ASSERT_EQ(played.size(), replayed.size());
    for (std::size_t i = 0; i < played.size(); ++i)
        ASSERT_TRUE(played[i] == replayed[i]) << "the games part at frame " << i << " after the snapshot";
    EXPECT_EQ(saidByOriginal, saidByCopy);
    EXPECT_TRUE(copy.state().blocks == original.state().blocks);
}

// Levels with turns, black holes, several collectables and a goal; snapshots
// at rest, mid-step and mid-turn (the frame counts fall where they fall).
INSTANTIATE_TEST_SUITE_P(
    Levels, GameState,
    ::testing::Values(Case{kLevels, "run.xml", 1, 20, 300},  // the copy has collected, the original not
                      Case{kLevels, "turns.xml", 2, 50, 600}, Case{TUMBIX_DATA_DIR, "level3.xml", 7, 200, 900},
                      Case{TUMBIX_DATA_DIR, "level8.xml", 11, 333, 900},
                      Case{TUMBIX_DATA_DIR, "level12.xml", 3, 517, 1200},
                      Case{TUMBIX_DATA_DIR, "level20.xml", 5, 901, 1500},
                      Case{TUMBIX_DATA_DIR, "level20.xml", 29, 1213, 1500},
                      Case{TUMBIX_DATA_DIR, "level33.xml", 13, 777, 1500}));

TEST(BlockStateTest, RestoringABlockGivesTheLooksAndEdgesPlayGave) {
    ConsoleCapture console;
    Game played(TUMBIX_DATA_DIR);
    ASSERT_TRUE(played.switchLevel("level20.xml"));
    RestlessPlayer keys(41);
    play(played, keys, 2400);
    Game fresh(TUMBIX_DATA_DIR);
    ASSERT_TRUE(fresh.switchLevel("level20.xml"));
    fresh.restore(played.state());
    // the whole record, unlike the fingerprint: vertices and links included
    for (std::size_t i = 0; i < played.level->blocks.size(); ++i) {
        const Block& a = *played.level->blocks[i];
        const Block& b = *fresh.level->blocks[i];
        EXPECT_EQ(std::memcmp(a.texCoords, b.texCoords, sizeof a.texCoords), 0) << "block " << i;
        EXPECT_TRUE(a.state() == b.state()) << "block " << i;
        EXPECT_EQ(a.atRest(), b.atRest());
    }
    fresh.resetAttempt();
    for (const Block* b : fresh.level->blocks) EXPECT_TRUE(b->atRest());
}

}  // namespace
