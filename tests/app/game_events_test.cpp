// The shell answers the rules' view events: the camera goes back behind the
// avatar after a reset or a level switch, and only then.
#include "app/game_events.h"

#include <gtest/gtest.h>

#include "log/console.h"
#include "motion/camera.h"
#include "rules/game.h"

namespace {

TEST(GameEvents, ResetsAndLevelSwitchesPutTheCameraBackAndTheEventsAreTaken) {
    ConsoleCapture console;
    Game game(TUMBIX_SOURCE_DIR "/tests/levels");
    ASSERT_TRUE(game.switchLevel("run.xml"));
    answerGameEvents(game);
    const Vec3 home = cameraPosition;

    mouseLook(40.0, 10.0);
    game.gameStep(0.1);
    answerGameEvents(game);
    EXPECT_NE(cameraPosition.x, home.x) << "a step leaves the camera where the mouse put it";

    for (auto event : {+[](Game& g) { g.resetAttempt(); }, +[](Game& g) { g.switchLevel("turns.xml"); }}) {
        mouseLook(40.0, 10.0);
        event(game);
        answerGameEvents(game);
        EXPECT_EQ(cameraPosition.x, home.x);
        EXPECT_EQ(cameraPosition.y, home.y);
        EXPECT_EQ(cameraPosition.z, home.z);
        EXPECT_TRUE(game.views.empty() && game.sounds.empty() && game.changedBlocks.empty());
    }
    resetCamera();
}

}  // namespace
