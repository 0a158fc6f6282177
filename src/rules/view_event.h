#pragma once
// What the rules set off that the view follows. The rules record these next
// to the sound events; the game's shell answers them (the camera goes back
// behind the avatar, the renderer refreshes the blocks named).

enum class ViewEvent {
    AttemptReset,   // the attempt started over on the current level
    LevelSwitched,  // another level became the current one
};
