// The editor's verdict worker runs the rules on its own thread while the
// main thread plays a game and moves the camera: nothing the worker does may
// reach the main thread's game or camera. Built with -DTUMBIX_TSAN=ON this
// is the ThreadSanitizer check of the rules' shared state.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "editor/judge.h"
#include "editor/verdict_runner.h"
#include "log/console.h"
#include "motion/camera.h"
#include "rules/game.h"

namespace {

std::string campaignLevel(const char* name) {
    std::ifstream in(std::string(TUMBIX_DATA_DIR "/maps/") + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(VerdictRace, TheWorkerJudgesWhileTheMainThreadPlaysAndTurnsTheCamera) {
    ConsoleCapture console;  // this thread's lines; the worker drops its own
    VerdictRunner runner(judgeLevelText);
    Game game(TUMBIX_DATA_DIR);
    ASSERT_TRUE(game.switchLevel("level12.xml"));
    resetCamera();
    int turnsOfTheCamera = 0;
    // Plays a frame, resetting the attempt now and then, and turns the camera.
    auto playFrame = [&](int frame) {
        if (game.player.state == PlayerState::Waiting || game.player.state == PlayerState::Dead) game.onSpace();
        if (frame % 97 == 0) game.resetAttempt();
        game.gameStep(1.0 / 60.0);
        game.clearEvents();  // nobody answers: the camera is the mouse's alone
        mouseLook(1.0, 0.0);
        ++turnsOfTheCamera;
    };
    // the first search is cancelled by the second; play goes on until the
    // second has its verdict
    runner.submit(1, campaignLevel("level33.xml"));
    for (int frame = 0; frame < 300; ++frame) playFrame(frame);
    runner.submit(2, campaignLevel("level20.xml"));
    for (int frame = 0; frame < 1000000 && !runner.waitFinished(0.0); ++frame) playFrame(frame);
    ASSERT_TRUE(runner.waitFinished(120.0));
    EXPECT_EQ(runner.latest().state, Verdict::State::Winnable) << runner.latest().text;

    // the camera went where the mouse alone took it
    const Vec3 reached = cameraPosition;
    resetCamera();
    for (int i = 0; i < turnsOfTheCamera; ++i) mouseLook(1.0, 0.0);
    EXPECT_EQ(reached.x, cameraPosition.x);
    EXPECT_EQ(reached.y, cameraPosition.y);
    EXPECT_EQ(reached.z, cameraPosition.z);
    resetCamera();
}

}  // namespace
