#include "app/main_loop.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/game_events.h"
#include "app/game_sounds.h"
#include "app/hud.h"
#include "app/keyboard.h"
#include "assets/bitmap_font.h"
#include "assets/sampling.h"
#include "assets/shader.h"
#include "audio/sound_system.h"
#include "log/console.h"
#include "motion/camera.h"
#include "platform/keys.h"
#include "platform/settings.h"
#include "platform/window.h"
#include "render/avatar_draw.h"
#include "render/frame_check.h"
#include "render/gl_check.h"
#include "render/level_buffers.h"
#include "render/scene.h"
#include "render/scene_resources.h"
#include "rules/game.h"

Game* game = nullptr;
int stepCounter = 0;
int shownStepCount = 0;
double periodStart = 0.0;
double lastStepTime = 0.0;
int mouseX = 0;
int mouseY = 0;

namespace {

constexpr double maxMessageAgeing = 0.1;  // seconds per frame

GLuint mainVertexShader = 0;
GLuint mainFragmentShader = 0;
GLuint mainProgram = 0;

void onWindowSize(int, int) {}

void openContext() {
    platform::WindowHints first;
    first.noResize = true;
    first.versionMajor = 3;
    first.versionMinor = 2;
    first.compatProfile = true;
    if (platform::openWindow(1280, 1024, 24, 8, first)) {
        console() << "OpenGL 3.2 core context created" << std::endl;
        return;
    }
    // A 3.0 request with a profile is refused by the windowing library
    // (profiles exist from 3.2 on), so this attempt falls through to the
    // legacy one on every driver.
    platform::WindowHints second;
    second.versionMajor = 3;
    second.versionMinor = 0;
    second.compatProfile = true;
    if (platform::openWindow(1280, 1024, 24, 8, second)) {
        console() << "OpenGL 3.0 forward compatible context created" << std::endl;
        return;
    }
    platform::WindowHints third;
    third.setForwardCompat = true;
    third.forwardCompat = false;
    if (platform::openWindow(1280, 1024, 24, 8, third)) {
        console() << "OpenGL backward compatible context created" << std::endl;
        console() << "Preemptively turning of VBO support!" << std::endl;
        return;
    }
    console() << "Failed to create OpenGL window!" << std::endl;
    platform::terminate();
    std::exit(1);
}

void probeDriver() {
    console() << "\nTesting:" << std::endl;
    const GLubyte* version = glGetString(GL_VERSION);
    console() << "OpenGL Version: " << (version ? reinterpret_cast<const char*>(version) : "") << std::endl;
    GLint profileMask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profileMask);
    console() << (profileMask == 1 ? "Having a core-profile" : "Having a compatibility-profile") << std::endl;
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    console() << ((flags & 1) ? "Context is forward compatible." : "Context is NOT forward compatible.")
              << std::endl;
    console() << "Doing illegal operation (glTranslate) now..." << std::endl;
    glTranslatef(1.0f, 0.0f, 0.0f);
    if (glGetError() != GL_NO_ERROR)
        console() << "Illegal operation caused an error message. :)\n" << std::endl;
    else
        console() << "Illegal operation did NOT cause an error message. :(\n" << std::endl;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    console() << "The driver supports up to " << units << " texture units" << std::endl;
}

}  // namespace

StepCounterUpdate advanceStepCounter(double now, double& start, int& counter) {
    StepCounterUpdate result;
    if (now - start > 1.0) {
        result.periodEnded = true;
        result.shownCount = counter;
        start = now;
        counter = 0;
    }
    ++counter;
    return result;
}

const char* windowTitle(bool showCounter, int shownCount, char (&buffer)[16]) {
    if (!showCounter) return "Tumbix";
    std::snprintf(buffer, sizeof buffer, "%d", shownCount);
    return buffer;
}

void startUp() {
    if (!platform::init()) {
        console() << "Could not init GLFW!" << std::endl;
        std::exit(1);
    }
    console() << "GLFW initialized" << std::endl;

    openContext();
    platform::setWindowTitle("Tumbix");
    platform::setKeyHandler(onKey);
    platform::setSizeHandler(onWindowSize);

    // GLEW is trusted with what the context reports: every context asked
    // for here is a compatibility or legacy one, whose extension string
    // GLEW reads, so its flags (buffer objects for F6) are the driver's.
    if (glewInit() != GLEW_OK) {
        console() << "Could not init GLEW!" << std::endl;
        std::exit(1);
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    console() << "GLEW initialized" << std::endl;
    platform::startFrames();  // a window smaller than the frame shows it scaled

    vboSupported = GLEW_ARB_vertex_buffer_object;
    if (!vboSupported) console() << "Vertex Buffer Objects are NOT supported!!!!!!!11122111" << std::endl;

    probeDriver();

    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    glEnable(GL_TEXTURE_2D);

    font = new BitmapFont(buildTextProgram());
    applySamplingMode();
    GLuint fontTexture = 0;
    glGenTextures(1, &fontTexture);
    console() << "font is stored in texture #" << fontTexture << std::endl;
    loadFont(fontTexture);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    mainVertexShader = loadShader("shader.vert", GL_VERTEX_SHADER);
    mainFragmentShader = loadShader("shader.frag", GL_FRAGMENT_SHADER);
    mainProgram = linkProgram(mainVertexShader, mainFragmentShader);

    platform::setMousePosition(640, 512);
    lastWheelPosition = platform::wheelPosition();
    platform::setWheelHandler(onMouseWheel);
    platform::hideAndLockCursor();

    startSoundSystem();

    // The avatar's look and sounds, then the scene's own objects: the order
    // of their console lines and GL names.
    loadAvatarLook();
    gameSounds.load(soundSystem);
    loadSceneResources();
    game = new Game();  // content from the working directory
    // Everything after start-up reads the current level, so the game cannot
    // run without its first one.
    if (!game->switchLevel("level0.xml")) {
        console() << "ERROR: the game cannot start without its first level" << std::endl;
        std::exit(1);
    }
    answerGameEvents(*game);
}

void updateStep() {
    const double now = platform::time();
    const StepCounterUpdate period = advanceStepCounter(now, periodStart, stepCounter);
    if (period.periodEnded) {
        shownStepCount = period.shownCount;
        console() << shownStepCount << std::endl;
        char title[16];
        platform::setWindowTitle(windowTitle(showStepCounter, shownStepCount, title));
    }
    const double dt = fixedStepSeconds() > 0.0 ? fixedStepSeconds() : now - lastStepTime;
    lastStepTime = now;

    game->gameStep(dt);
    answerGameEvents(*game);
    // A long frame (the first one compiles shaders, a busy machine stalls)
    // must not age the start-up and toggle messages away before they were
    // ever seen: each frame ages them by a tenth of a second at most.
    updateMessages(std::min(dt, maxMessageAgeing));

    if (platform::leftButtonDown()) {
        resetCamera();
    } else {
        platform::mousePosition(mouseX, mouseY);
        platform::setMousePosition(640, 512);
        mouseLook((640 - mouseX) / 30.0, (512 - mouseY) / 30.0);
    }
}

void renderStep() {
    updateStep();
    drawFrame();
}

void drawFrame() {
    if (game && game->level) {
        levelBuffers.keep(*game->level);
        renderScene(*game, mainProgram);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    drawMessages();
    drawHud();
    endText();
    glUseProgram(0);
    samplingChanged = false;
    platform::swapBuffers();
    checkGlErrors();
    reportFrameDrawn(font ? font->messages.size() : 0);
}

void mainLoop() {
    do {
        updateStep();
        renderStep();
    } while (!platform::keyDown(keys::Esc) && platform::windowOpen());
}

int shutDown() {
    glDeleteShader(mainVertexShader);
    glDeleteShader(mainFragmentShader);
    glDeleteProgram(mainProgram);
    if (soundSystem) soundSystem->release();
    return 0;
}
