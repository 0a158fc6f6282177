// Starting the sound service must leave Ctrl+C and a terminate request with
// their default effect: the game reads no quit events that could stand in.
#include <gtest/gtest.h>

#include <csignal>

#include "audio/sound_system.h"

namespace {

// Returns the handler currently installed for `signal`.
void (*handlerOf(int signal))(int) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

TEST(SoundSystemSignals, InitLeavesInterruptAndTerminateAtTheirDefault) {
    ASSERT_EQ(handlerOf(SIGINT), SIG_DFL);
    ASSERT_EQ(handlerOf(SIGTERM), SIG_DFL);
    SoundSystem sounds;
    ASSERT_TRUE(sounds.init(4));
    EXPECT_EQ(handlerOf(SIGINT), SIG_DFL);
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL);
    sounds.release();
}

}  // namespace
