#pragma once
// The sounds of play: the avatar's eight sounds with the music and the
// rolling loop, and what each event the rules record plays.

#include <vector>

#include "rules/sound_event.h"

struct Sound;
class SoundSystem;

struct GameSounds {
    Sound* music = nullptr;
    Sound* rolling = nullptr;
    Sound* tip = nullptr;  // loaded, never played
    Sound* bounce = nullptr;
    Sound* turn = nullptr;
    Sound* collect = nullptr;
    Sound* fanfare = nullptr;  // loaded, never played
    Sound* vacuum = nullptr;
    int musicChannel = -1;
    int rollingChannel = -1;

    // Loads the sounds, starts the music and the rolling loop (paused).
    // Nothing without a sound system.
    void load(SoundSystem* system);
    // Returns the one-shot sound `event` plays, or null for the rolling
    // loop's events and the silent fanfare.
    Sound* soundFor(SoundEvent event) const;
    // Plays `event`: its one-shot sound, or the rolling loop paused or resumed.
    void play(SoundSystem* system, SoundEvent event) const;
};

extern GameSounds gameSounds;

// Plays the events in order through the global sound system.
void playSounds(const std::vector<SoundEvent>& events);
