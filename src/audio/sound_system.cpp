#include "audio/sound_system.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "files/content_file.h"
#include "log/console.h"

SoundSystem* soundSystem = nullptr;
Sound* illegalActionSound = nullptr;

bool SoundSystem::init(int channels) {
    if (open_) return true;
    if (channels <= 0) return false;
    // SDL would turn SIGINT and SIGTERM into quit events that nobody reads,
    // and the game could then no longer be stopped from its console.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // The mixer marks a channel paused with the tick count, so a pause in the
    // very first millisecond after start-up would not stick.
    while (SDL_GetTicks() == 0) SDL_Delay(1);
    channels_ = Mix_AllocateChannels(channels);
    loopOwned_.assign(channels_, false);
    startedAt_.assign(channels_, 0);
    open_ = true;
    return true;
}

Sound* SoundSystem::createSound(const char* path, unsigned mode) {
    if (!open_ || !path) return nullptr;
    const ContentFile file = readContentFile(path, ContentKind::Sound);
    if (!file.ok()) {
        console() << "WARNING: could not load sound " << path << (file.missing ? "" : ": " + file.why) << std::endl;
        return nullptr;
    }
    // the mixer decodes the whole sound here, so the bytes need not outlive the call
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(file.text.data(), static_cast<int>(file.text.size())), 1);
    if (!chunk) {
        console() << "WARNING: could not load sound " << path << std::endl;
        return nullptr;
    }
    auto* s = new Sound{chunk, (mode & 0x2) != 0, path};
    sounds_.push_back(s);
    return s;
}

int SoundSystem::pickChannel(bool looping) {
    for (int ch = 0; ch < channels_; ++ch)
        if (!loopOwned_[ch] && !Mix_Playing(ch)) return ch;
    if (looping) return NoChannel;
    int oldest = NoChannel;
    for (int ch = 0; ch < channels_; ++ch)
        if (!loopOwned_[ch] && (oldest == NoChannel || startedAt_[ch] < startedAt_[oldest])) oldest = ch;
    return oldest;
}

bool SoundSystem::playSound(Sound* sound, bool startPaused, int* channel) {
    if (channel) *channel = NoChannel;
    if (!open_ || !sound || !sound->chunk) return false;
    const int ch = pickChannel(sound->looping);
    if (ch == NoChannel) return false;
    Mix_HaltChannel(ch);
    if (startPaused) Mix_Volume(ch, 0);  // nothing audible before the pause takes hold
    if (Mix_PlayChannel(ch, sound->chunk, sound->looping ? -1 : 0) < 0) {
        Mix_Volume(ch, MIX_MAX_VOLUME);
        return false;
    }
    if (startPaused) Mix_Pause(ch);
    Mix_Volume(ch, MIX_MAX_VOLUME);
    loopOwned_[ch] = sound->looping;
    startedAt_[ch] = ++playCounter_;
    if (channel) *channel = ch;
    return true;
}

void SoundSystem::setPaused(int channel, bool paused) {
    if (!open_ || channel < 0 || channel >= channels_) return;
    if (paused)
        Mix_Pause(channel);
    else
        Mix_Resume(channel);
}

bool SoundSystem::isPaused(int channel) const {
    return open_ && channel >= 0 && channel < channels_ && Mix_Paused(channel);
}

bool SoundSystem::isPlaying(int channel) const {
    return open_ && channel >= 0 && channel < channels_ && Mix_Playing(channel) && !Mix_Paused(channel);
}

void SoundSystem::release() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    for (Sound* s : sounds_) {
        Mix_FreeChunk(s->chunk);
        delete s;
    }
    sounds_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    channels_ = 0;
}

void startSoundSystem() {
    soundSystem = new SoundSystem();
    if (!soundSystem->init(10)) {
        console() << "ERROR: Failed to initialise FMOD sound system!" << std::endl;
        return;
    }
    illegalActionSound = soundSystem->createSound("sounds/illegalaction.aif", SoundSystem::ModeOnce);
}
