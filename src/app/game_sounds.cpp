#include "app/game_sounds.h"

#include "audio/sound_system.h"

GameSounds gameSounds;

void GameSounds::load(SoundSystem* system) {
    if (!system) return;
    music = system->createSound("sounds/daydreaming.mp3", SoundSystem::ModeLoop);
    system->playSound(music, false, &musicChannel);
    rolling = system->createSound("sounds/rolling.wav", SoundSystem::ModeLoop);
    system->playSound(rolling, true, &rollingChannel);
    tip = system->createSound("sounds/kipp.wav", SoundSystem::ModeOnce);
    bounce = system->createSound("sounds/boing2.wav", SoundSystem::ModeOnce);
    turn = system->createSound("sounds/dreh.wav", SoundSystem::ModeOnce);
    collect = system->createSound("sounds/sound37.mp3", SoundSystem::ModeOnce);
    fanfare = system->createSound("sounds/fanfare.wav", SoundSystem::ModeOnce);
    vacuum = system->createSound("sounds/vacuum.wav", SoundSystem::ModeOnce);
}

Sound* GameSounds::soundFor(SoundEvent event) const {
    switch (event) {
    case SoundEvent::TurnEnded:
    case SoundEvent::EdgeRolled:
        return turn;
    case SoundEvent::Bounced:
        return bounce;
    case SoundEvent::PickedUp:
        return collect;
    case SoundEvent::Vacuum:
        return vacuum;
    case SoundEvent::Refused:
        return illegalActionSound;
    case SoundEvent::Fanfare:  // the level ends quietly: the fanfare has never been played
    case SoundEvent::RollingPaused:
    case SoundEvent::RollingResumed:
        break;
    }
    return nullptr;
}

void GameSounds::play(SoundSystem* system, SoundEvent event) const {
    if (!system) return;
    if (event == SoundEvent::RollingPaused || event == SoundEvent::RollingResumed)
        system->setPaused(rollingChannel, event == SoundEvent::RollingPaused);
    else if (Sound* sound = soundFor(event))
        system->playSound(sound, false, nullptr);
}

void playSounds(const std::vector<SoundEvent>& events) {
    for (SoundEvent event : events) gameSounds.play(soundSystem, event);
}
