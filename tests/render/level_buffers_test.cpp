// The level's buffers follow play from what the rules report alone: a copy
// of the vertex buffer, written as LevelBuffers writes it (what
// PendingLooks::take says, before every drawn frame), must show the level
// as it looks after every frame of a long restless game, through turns,
// taken collectables, opened goals, resets, restored snapshots and level
// switches. A block the rules change without naming it, or a name lost on
// the way, leaves the copy behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "log/console.h"
#include "render/level_buffers.h"
#include "rules/game.h"
#include "rules/restless_player.h"
#include "world/geometry.h"
#include "world/level.h"

namespace {

// The vertex buffer as the GPU would hold it.
struct BufferCopy {
    const Level* held = nullptr;
    std::vector<float> vertices;
    int blocksWritten = 0;  // one by one, since the last whole upload

    void keep(const Level& level, PendingLooks& pending) {
        const LookWrites writes = pending.take(level, held);
        if (writes.whole) {
            held = &level;
            vertices = buildVertexArray(level.blocks);
            return;
        }
        constexpr std::size_t perBlock = verticesPerBlock * floatsPerVertex;
        for (int b : writes.blocks) {
            const std::vector<float> block = buildVertexArray({level.blocks[static_cast<std::size_t>(b)]});
            std::copy(block.begin(), block.end(), vertices.begin() + static_cast<std::ptrdiff_t>(b * perBlock));
            ++blocksWritten;
        }
    }
};

struct Case {
    const char* root;
    const char* level;
    std::uint32_t seed;
    int frames;
    bool restores;  // now and then back to a snapshot, as the solver branches
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.level << " seed " << c.seed; }

class LevelBuffersFollowPlay : public ::testing::TestWithParam<Case> {};

TEST_P(LevelBuffersFollowPlay, TheBufferShowsTheLevelAsItLooksAfterEveryFrame) {
    const Case c = GetParam();
    ConsoleCapture console;
    Game game(c.root);
    PendingLooks pending;
    BufferCopy buffer;
    // what the shell does after every command and step
    const auto answer = [&] {
        pending.follow(game.views, game.changedBlocks);
        game.clearEvents();
    };
    ASSERT_TRUE(game.switchLevel(c.level));
    answer();
    RestlessPlayer keys(c.seed);
    Game::State snapshot = game.state();
    const Level* snapshotLevel = game.level.get();
    int switches = 0, restores = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        // two steps a frame, a command before each, as the main loop runs
        for (int k = 0; k < 2; ++k) {
            if (game.player.state == PlayerState::Finished) {
                const Level* before = game.level.get();
                game.onSpace();
                switches += game.level.get() != before;
            } else {
                keys.press(game);
            }
            answer();
            if (c.restores && frame % 97 == 41 && k == 0 && snapshotLevel == game.level.get()) {
                const Game::State now = game.state();
                game.restore(snapshot);
                snapshot = now;
                ++restores;
                answer();
            } else if (c.restores && frame % 97 == 0) {
                snapshot = game.state();
                snapshotLevel = game.level.get();
            }
            game.gameStep(1.0 / 60.0);
            answer();
        }
        buffer.keep(*game.level, pending);
        ASSERT_TRUE(buffer.vertices == buildVertexArray(game.level->blocks))
            << "frame " << frame << ": a block that looks different was not written";
    }
    // the play must have changed looks, or the test proves nothing
    EXPECT_GT(buffer.blocksWritten, 0);
    EXPECT_TRUE(!c.restores || restores > 0);
    RecordProperty("switches", switches);
}

constexpr const char* kLevels = TUMBIX_SOURCE_DIR "/tests/levels";

INSTANTIATE_TEST_SUITE_P(Levels, LevelBuffersFollowPlay,
                         ::testing::Values(Case{kLevels, "collect.xml", 3, 1500, false},  // goal opens, on to run.xml
                                           Case{kLevels, "turns.xml", 2, 1500, true},
                                           Case{TUMBIX_DATA_DIR, "level8.xml", 11, 1500, true},
                                           Case{TUMBIX_DATA_DIR, "level20.xml", 5, 2000, true},
                                           Case{TUMBIX_DATA_DIR, "level33.xml", 13, 2000, false}));

TEST(PendingLooks, WritesEachReportedBlockOnceAndAllOfANewLevel) {
    ConsoleCapture console;
    const std::unique_ptr<Level> level = loadLevel(TUMBIX_SOURCE_DIR "/tests/levels", "collect.xml");
    ASSERT_TRUE(level);  // four blocks
    const Level& held = *level;
    struct Step {
        std::vector<ViewEvent> views;
        std::vector<int> changed;
    };
    struct Row {
        const char* what;
        std::vector<Step> reported;
        const Level* held;
        bool whole;
        std::vector<int> written;
    };
    const Row rows[] = {
        {"nothing reported", {}, &held, false, {}},
        {"once each, first order", {{{}, {2, 1}}, {{}, {1, 3, 2}}}, &held, false, {2, 1, 3}},
        {"a switch drops what came before it",
         {{{}, {0, 1}}, {{ViewEvent::LevelSwitched}, {3}}},
         &held,
         false,
         {3}},
        {"resets keep them", {{{}, {1}}, {{ViewEvent::AttemptReset}, {2}}}, &held, false, {1, 2}},
        {"outside the level: left out", {{{}, {-1, 4, 1}}}, &held, false, {1}},
        {"buffers of no level: all of it", {{{}, {1}}}, nullptr, true, {}},
        {"buffers of another level: all of it", {{{}, {1}}}, level.get() + 1, true, {}},
    };
    for (const Row& r : rows) {
        PendingLooks pending;
        for (const Step& s : r.reported) pending.follow(s.views, s.changed);
        const LookWrites writes = pending.take(*level, r.held);
        EXPECT_EQ(writes.whole, r.whole) << r.what;
        EXPECT_EQ(writes.blocks, r.written) << r.what;
        EXPECT_TRUE(pending.take(*level, &held).blocks.empty()) << r.what << ": taken twice";
    }
}

}  // namespace
