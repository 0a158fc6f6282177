#include "app/keyboard.h"

#include <GL/glew.h>

#include "app/game_events.h"
#include "app/main_loop.h"
#include "assets/bitmap_font.h"
#include "assets/sampling.h"
#include "log/console.h"
#include "platform/keys.h"
#include "platform/settings.h"
#include "rules/game.h"

namespace {

// Returns the upper-case code of a letter key, any other code unchanged.
int upperCase(int key) { return key >= 'a' && key <= 'z' ? key - ('a' - 'A') : key; }

}  // namespace

KeyOutcome handleKey(Game* game, int key, int action) {
    KeyOutcome outcome;
    if (action == keys::Release) return outcome;
    switch (upperCase(key)) {
    case keys::Space:
        outcome.refused = game && !game->onSpace();
        break;
    case 'A':
        console() << "rotate left" << std::endl;
        outcome.refused = game && !game->rotateLeft();
        break;
    case 'F':
        console() << "rotate right" << std::endl;
        outcome.refused = game && !game->rotateRight();
        break;
    case 'M':
        console() << "pause game, display map info or something" << std::endl;
        break;
    case 'P':
        if (game) game->setPaused(!game->paused);
        console() << "pause" << std::endl;
        break;
    case 'R':
        if (game) game->resetAttempt();
        break;
    case keys::F1:
        console() << "TODO pause game, display help" << std::endl;
        break;
    case keys::F2:
        showStepCounter = !showStepCounter;
        break;
    case keys::F3:
        filledPolygons = !filledPolygons;
        outcome.polygonModeChanged = true;
        showMessage("Switching between polygon/wireframe mode");
        break;
    case keys::F4:
        bilinearSampling = !bilinearSampling;
        applySamplingMode();
        break;
    case keys::F5:
        mipmapMode = (mipmapMode + 1) % 3;
        applySamplingMode();
        break;
    case keys::F6:
        if (vboSupported) {
            vboEnabled = !vboEnabled;
            showMessage(vboEnabled ? "Turning VBOs ON" : "Turning VBOs OFF");
        } else {
            showMessage("ERROR: no support for vertex buffer objects!");
        }
        break;
    case keys::F8:
        console() << "TODO view frustum culling on/off" << std::endl;
        break;
    case keys::F9:
        transparencyEnabled = !transparencyEnabled;
        showMessage(transparencyEnabled ? "Enabling transparency" : "Disabling transparency");
        break;
    default:
        console() << "unbound key: " << key << std::endl;
        break;
    }
    return outcome;
}

void onKey(int key, int action) {
    const KeyOutcome outcome = handleKey(game, key, action);
    if (outcome.polygonModeChanged) glPolygonMode(GL_FRONT, filledPolygons ? GL_FILL : GL_LINE);
    // what the command set off, the refusal sound included
    if (game) answerGameEvents(*game);
}
