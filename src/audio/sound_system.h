#pragma once
// The sound service: load sound files, play them on free channels, pause and
// resume a looping channel, release everything at exit.
//
// Channel policy: looping sounds keep their channel for the whole run. A
// one-shot sound takes a free channel; when every channel is busy it replaces
// the oldest one-shot still playing, so a fresh effect is never lost and the
// music and rolling loops are never cut off. If every channel holds a loop,
// the one-shot is dropped.
//
// Without a working audio device init() fails and every later call does
// nothing: loads give null, plays give false.

#include <cstdint>
#include <string>
#include <vector>

struct Mix_Chunk;

struct Sound {
    Mix_Chunk* chunk = nullptr;
    bool looping = false;
    std::string path;
};

class SoundSystem {
public:
    static constexpr unsigned ModeOnce = 0;
    static constexpr unsigned ModeLoop = 0x2A;  // loop, 2-D
    static constexpr int NoChannel = -1;

    SoundSystem() = default;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;
    ~SoundSystem() { release(); }

    // Opens the audio device with `channels` mixing channels. False when
    // there is no device; the system then stays silent.
    bool init(int channels);
    bool ready() const { return open_; }

    // Loads a WAV, AIFF or MP3 file. Null on failure or when not ready.
    Sound* createSound(const char* path, unsigned mode);

    // Starts `sound` on a free channel. When `channel` is given it receives
    // the channel used (or NoChannel). Returns false if nothing plays.
    bool playSound(Sound* sound, bool startPaused, int* channel = nullptr);
    void setPaused(int channel, bool paused);
    bool isPaused(int channel) const;
    bool isPlaying(int channel) const;

    // Frees every sound and closes the device. Safe to call twice.
    void release();

private:
    int pickChannel(bool looping);

    bool open_ = false;
    int channels_ = 0;
    std::vector<Sound*> sounds_;
    std::vector<bool> loopOwned_;          // channel holds a looping sound
    std::vector<std::uint64_t> startedAt_; // play order, for replacing the oldest
    std::uint64_t playCounter_ = 0;
};

// Process-wide sound objects.
extern SoundSystem* soundSystem;
extern Sound* illegalActionSound;

// Start-up: creates and initialises `soundSystem` and loads the refusal
// sound, printing the failure lines. Never fatal.
void startSoundSystem();
