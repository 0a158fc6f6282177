#pragma once
// The shell's answers to what the rules record: the sounds played, the
// camera put back behind the avatar when the attempt starts over or another
// level comes, the level's buffers told which blocks look different or that
// their level is gone.

class Game;

// Answers the events the game recorded since the last call, in order, and
// forgets them. Called after every command and every step.
void answerGameEvents(Game& game);
