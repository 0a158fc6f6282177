#include "app/hud.h"

#include <cstdio>

#include "app/main_loop.h"
#include "assets/bitmap_font.h"
#include "platform/settings.h"
#include "rules/game.h"

namespace {

void add(HudLayout& hud, const char* text, float scale, float x, float y) {
    HudLine& line = hud.lines[hud.count++];
    std::snprintf(line.text, sizeof line.text, "%s", text);
    line.scale = scale;
    line.x = x;
    line.y = y;
}

void addNumber(HudLayout& hud, int value, float scale, float x, float y) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    add(hud, text, scale, x, y);
}

}  // namespace

HudLayout layoutHud(bool showCounter, int shownStepCount, int collected, int collectableCount, int playerState) {
    HudLayout hud;
    if (showCounter) addNumber(hud, shownStepCount, 0.003f, 0.8f, 0.7f);
    add(hud, "collected:", 0.001f, -0.7f, -0.5f);
    addNumber(hud, collected, 0.001f, -0.55f, -0.5f);
    add(hud, "/", 0.001f, -0.52f, -0.5f);
    addNumber(hud, collectableCount, 0.001f, -0.5f, -0.5f);
    if (collected == collectableCount)
        add(hud, "you got them all, find the world field to finish the level!", 0.001f, -0.45f, -0.5f);
    if (playerState == PlayerState::Waiting)
        add(hud, "hit space to start, A and F to rotate", 0.003f, -0.65f, 0.0f);
    else if (playerState == PlayerState::Dead)
        add(hud, "you are dead. hit R to reset.", 0.003f, -0.6f, 0.0f);
    else if (playerState == PlayerState::Finished)
        add(hud, "congratulations! hit space for the next level", 0.003f, -0.7f, 0.0f);
    return hud;
}

void drawHud() {
    if (!font || !game || !game->level) return;
    const HudLayout hud = layoutHud(showStepCounter, shownStepCount, game->collected, game->level->collectableCount,
                                    game->player.state);
    for (int i = 0; i < hud.count; ++i) {
        const HudLine& line = hud.lines[i];
        drawText(line.text, *font, line.scale, line.x, line.y);
    }
}
