// Which sound each event of the rules plays, with the shipped sound files
// (the tests run in data/) and the dummy audio driver.
#include "app/game_sounds.h"

#include <gtest/gtest.h>

#include <string>

#include "audio/sound_system.h"

namespace {

TEST(GameSounds, EachEventPlaysItsSoundAndTheRollingEventsPauseTheLoop) {
    SoundSystem system;
    ASSERT_TRUE(system.init(10));
    Sound* const savedRefusal = illegalActionSound;
    illegalActionSound = system.createSound("sounds/illegalaction.aif", SoundSystem::ModeOnce);
    GameSounds sounds;
    sounds.load(&system);
    EXPECT_TRUE(system.isPlaying(sounds.musicChannel));
    EXPECT_TRUE(system.isPaused(sounds.rollingChannel));  // until the first space

    const struct {
        SoundEvent event;
        const char* file;  // null: no one-shot sound
    } rows[] = {
        {SoundEvent::TurnEnded, "sounds/dreh.wav"},
        {SoundEvent::EdgeRolled, "sounds/dreh.wav"},
        {SoundEvent::Bounced, "sounds/boing2.wav"},
        {SoundEvent::PickedUp, "sounds/sound37.mp3"},
        {SoundEvent::Vacuum, "sounds/vacuum.wav"},
        {SoundEvent::Refused, "sounds/illegalaction.aif"},
        {SoundEvent::Fanfare, nullptr},  // loaded, and as ever left silent
        {SoundEvent::RollingPaused, nullptr},
        {SoundEvent::RollingResumed, nullptr},
    };
    for (const auto& row : rows) {
        const Sound* sound = sounds.soundFor(row.event);
        if (row.file) {
            ASSERT_NE(sound, nullptr) << row.file;
            EXPECT_EQ(sound->path, row.file);
        } else {
            EXPECT_EQ(sound, nullptr) << static_cast<int>(row.event);
        }
    }
    ASSERT_NE(sounds.fanfare, nullptr);
    EXPECT_EQ(sounds.fanfare->path, "sounds/fanfare.wav");

    sounds.play(&system, SoundEvent::RollingResumed);
    EXPECT_TRUE(system.isPlaying(sounds.rollingChannel));
    sounds.play(&system, SoundEvent::RollingPaused);
    EXPECT_TRUE(system.isPaused(sounds.rollingChannel));
    sounds.play(nullptr, SoundEvent::Bounced);  // no sound system: nothing happens

    illegalActionSound = savedRefusal;
    system.release();
}

}  // namespace
