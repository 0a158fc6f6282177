#pragma once
// What the rules set off that the player hears. The rules record these in
// order as a command or a step runs; the game's shell plays them afterwards.

enum class SoundEvent {
    TurnEnded,       // a quarter turn of the block has ended
    EdgeRolled,      // the avatar has rolled over a convex edge
    Bounced,         // the avatar has bounced off a wall
    PickedUp,        // a collectable has been taken
    Vacuum,          // the black hole draws the avatar in (every step past halfway)
    Fanfare,         // the goal is reached: the level is complete
    Refused,         // a command was refused
    RollingPaused,   // the rolling loop stops: paused or dead
    RollingResumed,  // the rolling loop goes on
};
