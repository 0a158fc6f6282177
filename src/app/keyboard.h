#pragma once
// The key handler: game commands, display toggles and their console lines.

class Game;

// What a key press asks of the shell around the rules.
struct KeyOutcome {
    bool refused = false;             // a game command was refused (the rules record its sound)
    bool polygonModeChanged = false;  // filledPolygons changed: set the polygon mode
};

// Handles one key event (codes of platform/keys.h) against `game`, which
// may be null before the game exists. Touches no GL and no sound.
KeyOutcome handleKey(Game* game, int key, int action);
// The handler installed with the window layer: handleKey on the global game,
// then the polygon mode it asks for and the sounds the command set off.
void onKey(int key, int action);
