#include "app/game_events.h"

#include "app/game_sounds.h"
#include "motion/camera.h"
#include "render/level_buffers.h"
#include "rules/game.h"

void answerGameEvents(Game& game) {
    playSounds(game.sounds);
    for (ViewEvent e : game.views)
        if (e == ViewEvent::AttemptReset || e == ViewEvent::LevelSwitched) resetCamera();
    levelBuffers.follow(game.views, game.changedBlocks);
    game.clearEvents();
}
