// The sound service against SDL's disk driver, which writes the mixed output
// to a file, so the tests can hear what played.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "audio/sound_system.h"

namespace {

namespace fs = std::filesystem;

void writeWav(const fs::path& path, double seconds, double hz) {
    const int rate = 44100;
    const int n = static_cast<int>(seconds * rate);
    std::vector<std::int16_t> pcm(n);
    for (int i = 0; i < n; ++i) pcm[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * hz * i / rate));
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4); u32(36 + n * 2); f.write("WAVEfmt ", 8);
    u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    f.write("data", 4); u32(n * 2);
    f.write(reinterpret_cast<const char*>(pcm.data()), n * 2);
}

// Peak of the 16-bit output written after byte `from`.
int peakSince(const fs::path& path, std::uintmax_t from) {
    std::ifstream f(path, std::ios::binary);
    f.seekg(static_cast<std::streamoff>(from));
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    int peak = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::int16_t s;
        std::memcpy(&s, &bytes[i], 2);
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

void wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tumbix-audio-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        out = dir / "out.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        writeWav(dir / "tone.wav", 0.25, 440);
        writeWav(dir / "loop.wav", 0.5, 220);
        ASSERT_TRUE(sound.init(10));
    }
    void TearDown() override {
        sound.release();
        fs::remove_all(dir);
    }
    std::uintmax_t written() { return fs::exists(out) ? fs::file_size(out) : 0; }

    fs::path dir, out;
    SoundSystem sound;
};

}  // namespace

TEST_F(DiskAudio, OneShotIsHeardAndLoopPausesAndResumes) {
    Sound* tone = sound.createSound((dir / "tone.wav").c_str(), SoundSystem::ModeOnce);
    Sound* loop = sound.createSound((dir / "loop.wav").c_str(), SoundSystem::ModeLoop);
    ASSERT_NE(tone, nullptr);
    ASSERT_NE(loop, nullptr);

    int channel = SoundSystem::NoChannel;
    ASSERT_TRUE(sound.playSound(loop, true, &channel));
    ASSERT_NE(channel, SoundSystem::NoChannel);
    EXPECT_TRUE(sound.isPaused(channel));
    wait(150);
    std::uintmax_t mark = written();
    wait(150);
    EXPECT_EQ(peakSince(out, mark), 0) << "a loop started paused is silent";

    sound.setPaused(channel, false);
    wait(100);
    mark = written();
    wait(700);  // longer than the loop: it keeps playing
    EXPECT_GT(peakSince(out, mark), 4000);
    EXPECT_TRUE(sound.isPlaying(channel));

    sound.setPaused(channel, true);
    wait(100);
    mark = written();
    wait(150);
    EXPECT_EQ(peakSince(out, mark), 0);

    ASSERT_TRUE(sound.playSound(tone, false));
    wait(50);
    mark = written();
    wait(100);
    EXPECT_GT(peakSince(out, mark), 4000) << "the one-shot plays while the loop stays paused";
    EXPECT_TRUE(sound.isPaused(channel));
}

TEST_F(DiskAudio, OneShotsNeverTakeLoopChannelsAndReplaceTheOldestOneShot) {
    Sound* tone = sound.createSound((dir / "tone.wav").c_str(), SoundSystem::ModeOnce);
    Sound* loop = sound.createSound((dir / "loop.wav").c_str(), SoundSystem::ModeLoop);
    std::vector<int> loops;
    for (int i = 0; i < 8; ++i) {
        int ch;
        ASSERT_TRUE(sound.playSound(loop, true, &ch));
        loops.push_back(ch);
    }
    int a, b, c;
    ASSERT_TRUE(sound.playSound(tone, false, &a));
    ASSERT_TRUE(sound.playSound(tone, false, &b));
    ASSERT_TRUE(sound.playSound(tone, false, &c));  // every channel busy: the oldest one-shot goes
    EXPECT_EQ(c, a);
    for (int ch : loops) EXPECT_TRUE(sound.isPaused(ch)) << "loop channel " << ch << " untouched";

    wait(400);  // the one-shots have ended: their channels are free again
    int d, e;
    ASSERT_TRUE(sound.playSound(loop, true, &d));
    ASSERT_TRUE(sound.playSound(loop, true, &e));
    EXPECT_FALSE(sound.playSound(tone, false)) << "with every channel looping, a one-shot is dropped";
    for (int ch : {d, e}) EXPECT_TRUE(sound.isPaused(ch));
}

TEST(SoundSystemWithoutDevice, EveryCallIsAHarmlessNoOp) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SoundSystem sound;
    EXPECT_FALSE(sound.init(10));
    EXPECT_EQ(sound.createSound("sounds/illegalaction.aif", SoundSystem::ModeOnce), nullptr);
    int ch = 5;
    EXPECT_FALSE(sound.playSound(nullptr, false, &ch));
    EXPECT_EQ(ch, SoundSystem::NoChannel);
    sound.setPaused(0, true);
    EXPECT_FALSE(sound.isPlaying(0));
    sound.release();
    sound.release();
}
