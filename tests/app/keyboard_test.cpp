// The key table: commands, toggles, console lines, refusals.
#include "app/keyboard.h"

#include <gtest/gtest.h>

#include "assets/sampling.h"
#include "platform/keys.h"
#include "platform/settings.h"
#include "rules/game_test_util.h"

namespace {

class Keys : public GameScenario {
protected:
    void SetUp() override {
        GameScenario::SetUp();
        saved_ = {showStepCounter, filledPolygons, vboEnabled, vboSupported, transparencyEnabled, bilinearSampling,
                  mipmapMode};
    }
    void TearDown() override {
        showStepCounter = saved_.showStepCounter;
        filledPolygons = saved_.filledPolygons;
        vboEnabled = saved_.vboEnabled;
        vboSupported = saved_.vboSupported;
        transparencyEnabled = saved_.transparencyEnabled;
        bilinearSampling = saved_.bilinearSampling;
        mipmapMode = saved_.mipmapMode;
        GameScenario::TearDown();
    }
    // Presses a key; returns the outcome and leaves the console lines in `lines`.
    KeyOutcome press(int key) {
        const KeyOutcome outcome = handleKey(&game, key, keys::Press);
        lines = console.take();
        return outcome;
    }
    std::vector<std::string> lines;

private:
    struct {
        bool showStepCounter, filledPolygons, vboEnabled, vboSupported, transparencyEnabled, bilinearSampling;
        int mipmapMode;
    } saved_{};
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(Keys, ReleasesAreIgnored) {
    load("run.xml");
    const KeyOutcome outcome = handleKey(&game, keys::Space, keys::Release);
    EXPECT_FALSE(outcome.refused);
    EXPECT_TRUE(console.take().empty());
    EXPECT_EQ(state(), PlayerState::Waiting);
}

TEST_F(Keys, SpaceStartsAndIsRefusedWhileRolling) {
    load("run.xml");
    EXPECT_FALSE(press(keys::Space).refused);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(state(), PlayerState::Rolling);
    EXPECT_TRUE(press(keys::Space).refused);
}

TEST_F(Keys, RotateKeysPrintFirstInEitherCase) {
    load("edge.xml");
    for (int key : {int('A'), int('a')}) {
        EXPECT_TRUE(press(key).refused);
        EXPECT_EQ(lines, (Lines{"rotate left", "ERROR can't rotate along that axis"}));
    }
    load("run.xml");
    EXPECT_FALSE(press('f').refused);
    EXPECT_EQ(lines, Lines{"rotate right"});
    EXPECT_EQ(state(), PlayerState::Turning);
    EXPECT_TRUE(press('F').refused);  // busy: no line of the game's own
    EXPECT_EQ(lines, Lines{"rotate right"});
}

TEST_F(Keys, PauseTogglesTheGameAndTheRollingSoundAndRClearsIt) {
    load("run.xml");
    press(keys::Space);
    EXPECT_FALSE(press('P').refused);
    EXPECT_EQ(lines, Lines{"pause"});
    EXPECT_TRUE(game.paused);
    EXPECT_TRUE(rollingPaused());
    press('p');
    EXPECT_EQ(lines, Lines{"pause"});
    EXPECT_FALSE(game.paused);
    EXPECT_FALSE(rollingPaused());
    press('P');
    press('r');
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(game.paused);
    EXPECT_EQ(state(), PlayerState::Waiting);
}

TEST_F(Keys, InformationalKeys) {
    load("run.xml");
    press('m');
    EXPECT_EQ(lines, Lines{"pause game, display map info or something"});
    press(keys::F1);
    EXPECT_EQ(lines, Lines{"TODO pause game, display help"});
    press(keys::F8);
    EXPECT_EQ(lines, Lines{"TODO view frustum culling on/off"});
}

TEST_F(Keys, DisplayToggles) {
    load("run.xml");
    showStepCounter = true;
    press(keys::F2);
    EXPECT_FALSE(showStepCounter);
    EXPECT_TRUE(lines.empty());

    filledPolygons = true;
    KeyOutcome outcome = press(keys::F3);
    EXPECT_TRUE(outcome.polygonModeChanged);
    EXPECT_FALSE(filledPolygons);
    EXPECT_EQ(lines, Lines{"Switching between polygon/wireframe mode"});
    press(keys::F3);
    EXPECT_TRUE(filledPolygons);

    vboSupported = true;
    vboEnabled = false;
    press(keys::F6);
    EXPECT_EQ(lines, Lines{"Turning VBOs ON"});
    press(keys::F6);
    EXPECT_EQ(lines, Lines{"Turning VBOs OFF"});
    vboSupported = false;
    press(keys::F6);
    EXPECT_EQ(lines, Lines{"ERROR: no support for vertex buffer objects!"});
    EXPECT_FALSE(vboEnabled);

    transparencyEnabled = true;
    press(keys::F9);
    EXPECT_EQ(lines, Lines{"Disabling transparency"});
    press(keys::F9);
    EXPECT_EQ(lines, Lines{"Enabling transparency"});
}

TEST_F(Keys, SamplingKeys) {
    load("run.xml");
    bilinearSampling = true;
    mipmapMode = 2;
    press(keys::F4);
    EXPECT_FALSE(bilinearSampling);
    EXPECT_EQ(lines, (Lines{"Texture sampling by nearest neighbour", "Mipmap sampling by linear interpolation"}));
    press(keys::F5);
    EXPECT_EQ(mipmapMode, 0);
    EXPECT_EQ(lines, (Lines{"Texture sampling by nearest neighbour", "Mipmapping is OFF"}));
}

TEST_F(Keys, EverythingElseIsUnbound) {
    load("run.xml");
    for (int key : {keys::Esc, keys::F7, int('B'), int('b'), 31, 267, keys::Enter}) {
        const KeyOutcome outcome = press(key);
        EXPECT_FALSE(outcome.refused);
        EXPECT_EQ(lines, Lines{"unbound key: " + std::to_string(key)});
    }
}

TEST_F(Keys, GameCommandsWaitForTheGame) {
    EXPECT_FALSE(handleKey(nullptr, keys::Space, keys::Press).refused);
    EXPECT_FALSE(handleKey(nullptr, 'P', keys::Press).refused);
    EXPECT_EQ(console.take(), Lines{"pause"});
}
