// tumbix-edit: the level editor.
//   tumbix-edit FILE.xml
// Opens FILE.xml (a new level when it does not exist) in a window drawn by
// the game's renderer, with the live verdict of the level checker's search
// in the title and the status lines. H shows the keys. Content (shaders,
// textures, models, font) comes from the working directory when it holds
// it, else from $TUMBIX_DATA or the folder the editor was built with.
#include <GL/glew.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "rules/game.h"
#include "assets/bitmap_font.h"
#include "assets/sampling.h"
#include "assets/shader.h"
#include "editor/judge.h"
#include "editor/orbit_camera.h"
#include "editor/overlay.h"
#include "editor/picking.h"
#include "editor/play.h"
#include "editor/session.h"
#include "log/console.h"
#include "math/math.h"
#include "log/console.h"
#include "platform/keys.h"
#include "platform/settings.h"
#include "platform/window.h"
#include "render/avatar_draw.h"
#include "render/gl_check.h"
#include "render/level_buffers.h"
#include "render/scene.h"
#include "render/scene_resources.h"
#include "world/level.h"
#include "world/level_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kDragThreshold = 4;      // pixels a press may move and still be a click

struct KeyPress {
    int key;
    bool ctrl, shift;
};
std::vector<KeyPress> pressed;
bool ctrlHeld[2] = {false, false}, shiftHeld[2] = {false, false};
struct ButtonEvent {
    int button;  // 0 left, 1 right
    bool press;
    int x, y;
};
std::vector<ButtonEvent> clicked;
int wheelSeen = 0;
int wheelNotches = 0;

void onKey(int key, int action) {
    const bool down = action == keys::Press;
    if (key == keys::LCtrl || key == keys::RCtrl) ctrlHeld[key == keys::RCtrl] = down;
    if (key == keys::LShift || key == keys::RShift) shiftHeld[key == keys::RShift] = down;
    if (down) pressed.push_back({key, ctrlHeld[0] || ctrlHeld[1], shiftHeld[0] || shiftHeld[1]});
}

void onButton(int button, int action) {
    int x = 0, y = 0;
    platform::mousePosition(x, y);
    clicked.push_back({button, action == keys::Press, x, y});
}

void onWheel(int position) {
    wheelNotches += position - wheelSeen;
    wheelSeen = position;
}

bool hasContent(const fs::path& dir) {
    std::error_code e;
    return fs::exists(dir / "shader.vert", e) && fs::exists(dir / "textures", e);
}

// Returns the content folder: the working directory, $TUMBIX_DATA, the
// installed content (found from the editor's folder like the launcher finds
// it), or ../data beside the program (a build folder in the source tree).
fs::path findContent(const fs::path& self) {
    std::vector<fs::path> candidates{fs::current_path()};
    if (const char* env = std::getenv("TUMBIX_DATA")) candidates.emplace_back(env);
#ifdef TUMBIX_EDITOR_TO_CONTENT
    candidates.push_back(self.parent_path() / TUMBIX_EDITOR_TO_CONTENT);
#endif
    candidates.push_back(self.parent_path() / ".." / "data");
    for (const fs::path& c : candidates)
        if (hasContent(c)) return fs::absolute(c).lexically_normal();
    return {};
}

bool openContext() {
    platform::WindowHints first;
    first.noResize = true;
    first.versionMajor = 3;
    first.versionMinor = 2;
    first.compatProfile = true;
    first.windowClass = "tumbix-edit";
    if (platform::openWindow(kWidth, kHeight, 24, 8, first)) return true;
    platform::WindowHints legacy;
    legacy.noResize = true;
    legacy.windowClass = first.windowClass;
    return platform::openWindow(kWidth, kHeight, 24, 8, legacy);
}

// Passes what the rules reported to the level's buffers and forgets it (the
// editor plays no sounds and leaves its camera where it is).
void answerViews(Game& game) {
    levelBuffers.follow(game.views, game.changedBlocks);
    game.clearEvents();
}

// Rebuilds the level the renderer draws from the document (the loader's
// lines are the verdict's business, not repeated here).
void showDocument(Game& game, const LevelDocument& document) {
    ConsoleSilence quiet;
    std::unique_ptr<Level> level = loadLevelFromText("level", writeLevelText(document));
    if (level) game.setLevel(std::move(level));
    answerViews(game);
}

void setTextColor(float r, float g, float b) {
    const GLfloat color[4] = {r, g, b, 1.0f};
    glUniform4fv(glGetUniformLocation(font->program, "color"), 1, color);
}

// Status lines at the bottom, the help table over the view.
void drawTexts(const EditorSession& session) {
    glDisable(GL_DEPTH_TEST);
    const std::vector<std::string> status = session.statusLines();
    const float lineHeight = 0.045f;
    const float top = -1.0f + lineHeight * float(status.size()) + 0.02f;
    drawPanel(-1.0f, -1.0f, 1.0f, top);
    const bool showHelp = session.helpShown();
    const std::vector<HelpLine>& help = editorHelpLines();
    if (showHelp) drawPanel(-0.92f, 0.9f, 0.92f, 0.9f - lineHeight * float(help.size() + 2));
    drawMessages();  // sets up the text program
    float y = top - 0.01f;
    for (std::size_t i = 0; i < status.size(); ++i) {
        std::string line = status[i];
        if (const auto at = line.find("\u2026"); at != std::string::npos) line.replace(at, 3, "...");
        if (i == 0) setTextColor(1.0f, 1.0f, 1.0f);
        else if (session.opened() && (i == 1 || session.naming())) setTextColor(0.5f, 1.0f, 0.5f);
        else setTextColor(1.0f, 0.6f, 0.3f);
        drawText(line.c_str(), *font, 0.0012f, -0.98f, y);
        y -= lineHeight;
    }
    setTextColor(1.0f, 1.0f, 1.0f);
    if (showHelp) {
        float hy = 0.88f;
        drawText("tumbix-edit keys (H hides this)", *font, 0.0013f, -0.9f, hy);
        for (const HelpLine& line : help) {
            hy -= lineHeight;
            setTextColor(1.0f, 0.9f, 0.4f);
            drawText(line.keys, *font, 0.0012f, -0.9f, hy);
            setTextColor(1.0f, 1.0f, 1.0f);
            drawText(line.what, *font, 0.0012f, -0.5f, hy);
        }
    } else {
        drawText("H: keys", *font, 0.0012f, 0.82f, 0.98f);
    }
    endText();
    glUseProgram(0);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::cerr << "usage: tumbix-edit LEVEL.xml   (a new level when the file does not exist)\n";
        return 2;
    }
    const fs::path self = fs::canonical("/proc/self/exe");
    const std::string file = fs::absolute(argv[1]).lexically_normal().string();
    const fs::path content = findContent(self);
    if (content.empty()) {
        console() << "ERROR: no game content found (shader.vert, textures/): run from the data folder or set TUMBIX_DATA"
                  << std::endl;
        return 1;
    }
    fs::current_path(content);

    if (!platform::init() || !openContext()) {
        console() << "ERROR: cannot open the editor window" << std::endl;
        return 1;
    }
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        console() << "ERROR: cannot init GLEW" << std::endl;
        return 1;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    platform::startFrames();
    vboSupported = GLEW_ARB_vertex_buffer_object;
    platform::setKeyHandler(onKey);
    wheelSeen = platform::wheelPosition();
    platform::setWheelHandler(onWheel);
    platform::setButtonHandler(onButton);

    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    font = new BitmapFont(buildTextProgram());
    applySamplingMode();
    GLuint fontTexture = 0;
    glGenTextures(1, &fontTexture);
    loadFont(fontTexture);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const ShaderProgram mainProgram = buildProgram("shader.vert", "shader.frag");
    initOverlay();
    loadAvatarLook();
    loadSceneResources();
    Game game;  // content from the working directory
    font->messages.clear();
    // the verdict worker starts here, after everything that sets process-wide state
    EditorSession session(file, judgeLevelText);

    OrbitCamera& camera = session.camera();
    std::uint64_t shownRevision = session.editor().revision();
    showDocument(game, session.editor().document());
    std::string shownTitle;
    PlayLauncher games;
    std::string gameBinary = gameBinaryBeside(self.string());
#ifdef TUMBIX_EDITOR_TO_GAME
    // installed: the program itself, not the launcher beside the editor (which would change to the content folder)
    if (std::error_code e; fs::exists(self.parent_path() / TUMBIX_EDITOR_TO_GAME, e))
        gameBinary = (self.parent_path() / TUMBIX_EDITOR_TO_GAME).lexically_normal().string();
#endif

    bool held[2] = {false, false}, dragged[2] = {false, false};
    int pressX = 0, pressY = 0, lastX = 0, lastY = 0;
    double lastTime = platform::time();
    bool quit = false;
    console() << "editor ready" << std::endl;
    while (!quit) {
        int mx = 0, my = 0;
        platform::mousePosition(mx, my);
        // the face under the pointer now: a key before may have moved the view or the blocks
        const auto pointed = [&] {
            return pickFace(session.editor().document(),
                            rayThroughPixel(projectionMatrix, camera.view(), mx, my, kWidth, kHeight));
        };

        // input gathered during the last swap
        std::vector<KeyPress> keysNow;
        keysNow.swap(pressed);
        for (const KeyPress& k : keysNow) {
            switch (session.onKey(k.key, k.ctrl, k.shift, pointed())) {
            case EditorSession::Request::Quit:
                quit = true;
                break;
            case EditorSession::Request::Play:
                console() << games.start(session.editor().document(), content.string(), gameBinary) << std::endl;
                break;
            case EditorSession::Request::None:
                break;
            }
        }
        if (!platform::windowOpen()) {
            if (session.onClose() == EditorSession::Request::Quit)
                quit = true;
            else
                platform::keepOpen();
        }
        if (wheelNotches) {
            camera.zoom(wheelNotches);
            wheelNotches = 0;
        }
        std::vector<ButtonEvent> buttonsNow;
        buttonsNow.swap(clicked);
        for (const ButtonEvent& b : buttonsNow) {
            if (b.press) {
                held[b.button] = true;
                dragged[b.button] = false;
                pressX = lastX = b.x;
                pressY = lastY = b.y;
            } else if (held[b.button]) {
                held[b.button] = false;
                if (dragged[b.button]) continue;
                const Ray ray = rayThroughPixel(projectionMatrix, camera.view(), b.x, b.y, kWidth, kHeight);
                session.onClick(b.button == 0, pickFace(session.editor().document(), ray));
            }
        }
        for (int b = 0; b < 2; ++b)
            if (held[b] && std::abs(mx - pressX) + std::abs(my - pressY) > kDragThreshold) dragged[b] = true;
        if (held[0] && dragged[0]) camera.turn(float(lastX - mx) * 0.4f, float(my - lastY) * 0.4f);
        lastX = mx;
        lastY = my;

        if (session.editor().revision() != shownRevision) {
            shownRevision = session.editor().revision();
            showDocument(game, session.editor().document());
        }
        session.poll();
        const std::string title = session.title();
        if (title != shownTitle) {
            platform::setWindowTitle(title.c_str());
            shownTitle = title;
        }
        games.poll();

        const double now = platform::time();
        game.gameStep(now - lastTime);
        answerViews(game);
        lastTime = now;
        const Mat4 cameraView = camera.view();
        if (session.opened() && game.level) {
            levelBuffers.keep(*game.level);
            renderScene(game, mainProgram, &cameraView);
            glActiveTexture(GL_TEXTURE0);
            const FacePick shown = pointed();
            if (shown.hit())
                drawFaceHighlight(session.editor().document().blocks[shown.block], shown.face,
                                  multiply(projectionMatrix, cameraView));
        } else {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        drawTexts(session);
        samplingChanged = false;
        platform::swapBuffers();
        checkGlErrors();
    }
    games.stopAll();  // the games it started end with the editor, and their folders go
    glDeleteProgram(mainProgram);
    // The window and its context end with the process, as the game's do:
    // closing the windowing library here would unload the GL driver before
    // the leak checker runs, and the driver's own allocations that it keeps
    // to the end (tools/lsan.supp) could no longer be told by its name.
    return session.opened() ? 0 : 1;
}
