#pragma once
// Program entry pieces: start-up, the per-frame update and render steps.

class Game;

// The one game, created at start-up.
extern Game* game;

extern int stepCounter;     // update steps in the current counting period
extern int shownStepCount;  // count of the last finished period
extern double periodStart;
extern double lastStepTime;
extern int mouseX;
extern int mouseY;

// Brings up window, context, GL state, assets, sound, the game and the first
// level. Exits the process with status 1 on a fatal failure.
void startUp();
void updateStep();
void renderStep();
// The drawing half of the render step: scene, messages, HUD, presentation.
// The game is not advanced (benchmarks draw one moment of play again).
void drawFrame();
// Runs the loop until Esc is held or the window is closed.
void mainLoop();
// Deletes the main program, releases sound; returns the exit status.
int shutDown();

// Pure pieces of the update step, for tests.
struct StepCounterUpdate {
    bool periodEnded = false;
    int shownCount = 0;
};
// Advances the counting period at time `now`; returns whether a period ended
// (strictly more than 1 s since `periodStart`) and the count to show.
StepCounterUpdate advanceStepCounter(double now, double& periodStart, int& stepCounter);
// The window title for a shown count.
const char* windowTitle(bool showCounter, int shownCount, char (&buffer)[16]);
