#pragma once
// The HUD: step counter, collectable tally, and the line of the waiting, dead
// and level-completed states, drawn over the scene in the text colour that
// drawMessages leaves set.

// One line of text at a scale, top-left corner in clip space.
struct HudLine {
    char text[64] = {};
    float scale = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
};

// The lines of one frame, in drawing order.
struct HudLayout {
    HudLine lines[7];
    int count = 0;
};

// Returns the lines for the given counters and player state.
HudLayout layoutHud(bool showCounter, int shownStepCount, int collected, int collectableCount, int playerState);
// Draws the HUD of the global game with the global font.
void drawHud();
