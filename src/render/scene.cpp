#include "render/scene.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/shader.h"
#include "assets/texture.h"
#include "motion/camera.h"
#include "motion/player.h"
#include "platform/settings.h"
#include "render/avatar_draw.h"
#include "render/collectables.h"
#include "render/depth_program.h"
#include "render/frame_check.h"
#include "render/level_draw.h"
#include "render/model_draw.h"
#include "render/scene_math.h"
#include "render/scene_resources.h"
#include "render/face_shading.h"
#include "render/shaded_blocks.h"
#include "render/shadow_layers.h"
#include "render/shadow_target.h"
#include "rules/game.h"
#include "world/level.h"

Mat4 viewMatrix = translate(Mat4::identity(), {0.0f, 0.0f, -4.0f});
PassTimes* passTimes = nullptr;

namespace {

constexpr int windowWidth = 1280;
constexpr int windowHeight = 1024;

void enableArray(int location) {
    if (location >= 0) glEnableVertexAttribArray(static_cast<GLuint>(location));
}

void disableArray(int location) {
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

void setMatrix(GLint location, const Mat4& m) { glUniformMatrix4fv(location, 1, GL_FALSE, m.data()); }

GLint uniform(unsigned program, const char* name) { return glGetUniformLocation(program, name); }

// Returns whether the block under the avatar is being turned (and so drawn
// alone, with its turn).
bool turning(const Game& game) {
    return game.player.state == PlayerState::Turning && game.currentBlock != nullptr;
}

// Returns the turning block and its turn, or none.
BlockTurn blockTurn(const Game& game) {
    if (!turning(game)) return {};
    return {game.currentBlock, game.player.turnRotation};
}

// Draws the level's blocks that stand still: all but a turning one.
void drawStillBlocks(const Game& game) {
    setMatrix(modelUniformLocation, Mat4::identity());
    bindTexture(sceneResources.blockTexture);
    drawLevelBlocks(*game.level, turning(game) ? game.currentBlock->index : -1);
}

// Draws the block under the avatar with its turn while it is being turned.
void drawTurningBlock(const Game& game) {
    if (!turning(game)) return;
    bindTexture(sceneResources.blockTexture);
    setMatrix(modelUniformLocation, turnModelMatrix(*game.currentBlock, game.player.turnRotation));
    drawBlock(*game.currentBlock);
}

// Draws the level's blocks with the block texture: all but the turning one
// from the level, then the turning one alone with its turn. Every face of
// every block is drawn: leaving out the faces between touching blocks shows
// through the structure wherever the eye or the near plane is inside it,
// and even outside it changes pixels on edges where faces meet at one depth.
void drawBlocks(const Game& game) {
    drawStillBlocks(game);
    drawTurningBlock(game);
}

// Draws the collectables and the avatar.
void drawModels(const Game& game) {
    drawCollectables(*game.level, game.spinMatrix, collectableModel, blockTurn(game));
    drawAvatar(game.player);
}

// Returns whether the block texture covers what lies behind a block even
// while blending, i.e. has no alpha channel. Binds it on the active unit.
bool opaqueBlocks(unsigned texture) {
    static unsigned checked = 0;
    static bool opaque = true;
    if (texture != checked) {
        GLint alphaBits = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        checked = texture;
        opaque = alphaBits == 0;
    }
    return opaque;
}

// Lays down the camera's depth of the blocks with colour writes off and the
// depth-only program, so that the lighting later runs once per pixel rather
// than once per overlapping face. Returns false (drawing nothing) when there
// is no depth program or blocks may show what lies behind them.
bool layBlockDepth(const Game& game) {
    const unsigned program = depthProgram();
    if (program == 0 || (transparencyEnabled && !opaqueBlocks(sceneResources.blockTexture))) return false;
    glUseProgram(program);
    setMatrix(uniform(program, "perspective"), projectionMatrix);
    setMatrix(uniform(program, "view"), viewMatrix);
    modelUniformLocation = uniform(program, "model");
    vertexAttribLocation = glGetAttribLocation(program, "vertex");
    normalAttribLocation = texCoordAttribLocation = -1;  // nothing else is fed, nothing is textured
    enableArray(vertexAttribLocation);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    drawBlocks(game);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    disableArray(vertexAttribLocation);
    glUseProgram(0);
    return true;
}

// Draws the main pass's blocks with the program in use. With their depth
// laid already, only their front-most surfaces are drawn.
void drawBlocksOnDepth(const Game& game, bool depthLaid) {
    if (depthLaid) {
        // Only fragments at the laid depth pass; where two faces meet that
        // depth at one pixel (their shared edges), the stencil keeps the
        // first, as the plain depth test does.
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_FALSE);
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_EQUAL, 0, 0xff);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    }
    drawBlocks(game);
    if (depthLaid) {
        glDisable(GL_STENCIL_TEST);
        glDepthMask(GL_TRUE);
        glDepthFunc(GL_LESS);
    }
}

// Disables the pass's attribute arrays and leaves no program current.
void endPass() {
    disableArray(vertexAttribLocation);
    disableArray(normalAttribLocation);
    disableArray(texCoordAttribLocation);
    glUseProgram(0);
}

// Measures the passes of one frame when passTimes is set.
class PassClock {
public:
    PassClock() { mark(); }
    // Returns the seconds since the last call (after the GPU has finished).
    double lap() {
        const auto before = last_;
        mark();
        return std::chrono::duration<double>(last_ - before).count();
    }

private:
    void mark() {
        if (passTimes) glFinish();
        last_ = std::chrono::steady_clock::now();
    }
    std::chrono::steady_clock::time_point last_;
};

}  // namespace

void useSceneProgram(unsigned program, bool shadowPass, const Level& level) {
    glUseProgram(program);
    setMatrix(uniform(program, "perspective"), projectionMatrix);
    modelUniformLocation = uniform(program, "model");
    vertexAttribLocation = glGetAttribLocation(program, "vertex");
    normalAttribLocation = glGetAttribLocation(program, "normal");
    enableArray(vertexAttribLocation);
    enableArray(normalAttribLocation);
    const GLint view = uniform(program, "view");
    if (shadowPass) {
        setMatrix(view, level.lightView);
        texCoordAttribLocation = -1;
        return;
    }
    setMatrix(view, viewMatrix);
    texCoordAttribLocation = glGetAttribLocation(program, "color");
    enableArray(texCoordAttribLocation);
    glUniform1i(uniform(program, "shadowmap"), 1);
    glUniform1f(uniform(program, "phong"), 0.0f);
    setMatrix(uniform(program, "tex_mat"), shadowTextureMatrix(level.lightView));
    glUniform3fv(uniform(program, "light_position"), 1, &level.lightPosition.x);
    glUniform4fv(uniform(program, "light_color"), 1, &level.lightColor.x);
    glUniform4fv(uniform(program, "ambient_color"), 1, &level.ambientColor.x);
}

void updateView(const Player& player) {
    viewMatrix = viewFor(player.orientation, player.bodyMatrix, player.upVector, player.bounceBlend, cameraPosition);
}

namespace {

// Returns what the still layer of the shadow map is drawn from.
StillLayerKey stillLayerKey(const Game& game) {
    StillLayerKey key;
    key.level = game.level.get();
    key.blocks = 0xcbf29ce484222325ull;
    for (const Block* block : game.level->blocks)
        key.blocks = hashStep(hashStep(hashStep(key.blocks, block->x), block->y), block->z);
    key.skipped = turning(game) ? game.currentBlock->index : -1;
    key.filled = filledPolygons;
    key.buffers = vboEnabled;
    key.lightView = game.level->lightView;
    return key;
}

// Returns the shadow-map texels the moving things can cover this frame.
TexelRect movingTexels(const Game& game) {
    constexpr float margin = 0.01f;  // the shadow pass pulls casters inwards by less
    const Mat4 toMap = shadowTextureMatrix(game.level->lightView);
    TexelRect rect;
    const auto add = [&](Sphere s) {
        s.radius += margin;
        rect = unite(rect, shadowTexels(toMap, s, shadowMapSize));
    };
    for (const Sphere& s : movingBounds(game)) add(s);
    return rect;
}

// Draws everything into the shadow map `framebuffer` from scratch.
void drawWholeShadowMap(const Game& game, unsigned framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (programLinked(sceneResources.shadowProgram)) {
        useSceneProgram(sceneResources.shadowProgram, true, *game.level);
        drawBlocks(game);
        drawModels(game);
        endPass();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ShadowLayers shadowLayers;
DepthTarget referenceShadow;  // the plain drawing's own map

ShadedBlocks shadedBlocks;

// Draws the frame's shadow map and binds it on unit 1 (active). The plain
// drawing draws its own map whole every frame; the usual one keeps the
// still blocks in a layer of their own. Without a shadow framebuffer
// (no driver support) there is no pass; a program that did not link cannot
// be made current: its pass is left out.
void drawShadowPass(const Game& game, bool plain) {
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    if (sceneResources.shadowFramebuffer == 0) return;
    if (plain) {
        if (referenceShadow.framebuffer == 0) referenceShadow = createDepthTarget();
        if (referenceShadow.framebuffer != 0) {
            drawWholeShadowMap(game, referenceShadow.framebuffer);
            glBindTexture(GL_TEXTURE_2D, referenceShadow.texture);
            return;
        }
    }
    if (plain || !programLinked(sceneResources.shadowProgram) || !shadowLayers.available()) {
        drawWholeShadowMap(game, sceneResources.shadowFramebuffer);
        shadowLayers.forget();
        return;
    }
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    useSceneProgram(sceneResources.shadowProgram, true, *game.level);
    shadowLayers.draw(sceneResources.shadowFramebuffer, shadowTexture, stillLayerKey(game), movingTexels(game),
                      [&] { drawStillBlocks(game); },
                      [&] {
                          drawTurningBlock(game);
                          drawModels(game);
                      });
    endPass();
}

// Draws the main pass's blocks by face shading where that is possible
// (filled polygons, opaque blocks, a driver that takes the programs), the
// plain way when `plain`. Returns false, drawing nothing, otherwise.
bool drawBlocksByShading(const Game& game, bool plain) {
    if (!filledPolygons || (transparencyEnabled && !opaqueBlocks(sceneResources.blockTexture)) ||
        !shadedBlocks.available())
        return false;
    if (plain)
        shadedBlocks.drawPlain(game);
    else
        shadedBlocks.draw(game);
    return true;
}

// Draws both passes. The plain drawing (the reference every saving is
// checked against) sends every face of every block and shades each face it
// meets; the usual one uses the savings below.
void drawPasses(const Game& game, unsigned mainProgram, bool plain, const Mat4* view) {
    PassClock clock;

    // From the light: depth only, faces turned away from it.
    glActiveTexture(GL_TEXTURE1);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glCullFace(GL_FRONT);
    glDisable(GL_BLEND);
    drawShadowPass(game, plain);
    glActiveTexture(GL_TEXTURE0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glViewport(0, 0, windowWidth, windowHeight);
    glCullFace(GL_BACK);
    if (transparencyEnabled) glEnable(GL_BLEND);
    const double shadowSeconds = clock.lap();

    // From the camera, shaded against the shadow map.
    if (view)
        viewMatrix = *view;
    else
        updateView(game.player);
    if (programLinked(mainProgram)) {
        // Filled only: in the wireframe view faces share their edges, and the
        // first face drawn must keep them as in the plain drawing. Blocks
        // have a program of their own (the same files without the models'
        // terms) in both drawings when it builds, the models the scene's.
        if (!drawBlocksByShading(game, plain)) {
            const bool depthLaid = !plain && filledPolygons && layBlockDepth(game);
            const unsigned blockProgram = shadedBlocks.blockProgram();
            useSceneProgram(blockProgram != 0 ? blockProgram : mainProgram, false, *game.level);
            drawBlocksOnDepth(game, depthLaid);
            endPass();
        }
        useSceneProgram(mainProgram, false, *game.level);
        glUniform1f(uniform(mainProgram, "phong"), 1.0f);
        drawModels(game);
        endPass();
    }
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);

    if (passTimes) *passTimes = {shadowSeconds, clock.lap()};
}

// Returns the window's colour and depth as drawn so far (RGBA rows and
// depth rows, bottom first).
void readBack(std::vector<std::uint8_t>& pixels, std::vector<std::uint32_t>& depth) {
    const std::size_t count = static_cast<std::size_t>(windowWidth) * windowHeight;
    pixels.resize(count * 4);
    depth.resize(count);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glReadPixels(0, 0, windowWidth, windowHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
}

}  // namespace

void renderScene(const Game& game, unsigned mainProgram, const Mat4* view) {
    switch (requestedRenderPath()) {
        case RenderPath::Fast:
            drawPasses(game, mainProgram, false, view);
            break;
        case RenderPath::Reference:
            drawPasses(game, mainProgram, true, view);
            break;
        case RenderPath::Compare: {
            // The plain drawing first, then the usual one, which stays on screen.
            static std::vector<std::uint8_t> reference, usual;
            static std::vector<std::uint32_t> referenceDepth, usualDepth;
            drawPasses(game, mainProgram, true, view);
            readBack(reference, referenceDepth);
            drawPasses(game, mainProgram, false, view);
            readBack(usual, usualDepth);
            // Depth read back as 32-bit values: four steps of the buffer's
            // own precision are rounding, the same depth.
            GLint depthBits = 24;
            glGetIntegerv(GL_DEPTH_BITS, &depthBits);
            const std::uint32_t step = depthBits > 0 && depthBits < 32 ? 1u << (32 - depthBits) : 1u;
            const FrameDifference d = compareFrames(reference, usual, referenceDepth, usualDepth, 4 * step);
            referenceDifference = static_cast<long>(d.differing);
            referenceTies = static_cast<long>(d.ties);
            break;
        }
    }
}
