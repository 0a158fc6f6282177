#include "render/shaded_blocks.h"

#include <GL/glew.h>

#include <string>

#include "assets/shader.h"
#include "assets/texture.h"
#include "platform/settings.h"
#include "render/depth_program.h"
#include "render/inline_program.h"
#include "render/level_draw.h"
#include "render/vertex_attributes.h"
#include "render/scene.h"
#include "render/scene_math.h"
#include "render/scene_resources.h"
#include "rules/game.h"
#include "world/geometry.h"
#include "world/level.h"

namespace {

// Returns `source` with `line` added after its #version line.
std::string withDefine(const std::string& source, const char* line) {
    const std::size_t version = source.find("#version");
    const std::size_t end = version == std::string::npos ? std::string::npos : source.find('\n', version);
    if (end == std::string::npos) return std::string(line) + "\n" + source;
    return source.substr(0, end + 1) + line + "\n" + source.substr(end + 1);
}

// Returns the block being turned (drawn apart, with its turn), or null.
const Block* turningBlock(const Game& game) {
    return game.player.state == PlayerState::Turning ? game.currentBlock : nullptr;
}

void setMatrix(const char* name, unsigned program, const Mat4& m) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, m.data());
}

void disable(int location) {
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

}  // namespace

void ShadedBlocks::drawFaces(const Level& level, const std::vector<unsigned>& indices) const {
    if (indices.empty()) return;
    // From the level's buffer in buffer mode, else from the copy in client memory.
    const char* base = nullptr;
    if (vboEnabled && level.vertexBuffer != 0)
        glBindBuffer(GL_ARRAY_BUFFER, level.vertexBuffer);
    else
        base = reinterpret_cast<const char*>(clientVertices_.data());
    constexpr int stride = floatsPerVertex * sizeof(float);
    pointAttribute(vertexAttribLocation, 4, stride, base);
    pointAttribute(normalAttribLocation, 3, stride, base + normalOffsetBytes);
    pointAttribute(texCoordAttribLocation, 2, stride, base + texCoordOffsetBytes);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

bool ShadedBlocks::available() {
    if (state_ == 0) {
        state_ = -1;
        const std::string vertex = readShaderSource("shader.vert"), fragment = readShaderSource("shader.frag");
        programs_[0] = shadingDepthProgram();
        if (programs_[0] == 0 || vertex.empty() || fragment.empty()) return false;
        programs_[static_cast<int>(FaceShading::Dark)] =
            buildInlineProgram(vertex.c_str(), withDefine(fragment, "#define DARK_FACES").c_str());
        if (programs_[static_cast<int>(FaceShading::Dark)] == 0) return false;
        glGenBuffers(1, &shadingBuffer_);
        state_ = shadingBuffer_ != 0 ? 1 : -1;
    }
    return state_ == 1;
}

void ShadedBlocks::update(const Game& game, const std::vector<FaceShading>& faces) {
    const Block* turning = turningBlock(game);
    const int skip = turning ? turning->index : -1;
    if (faces == shown_ && skip == shownSkip_ && game.level->vertexBuffer == shownLevelBuffer_) return;
    shown_ = faces;
    shownSkip_ = skip;
    shownLevelBuffer_ = game.level->vertexBuffer;
    std::vector<float> perVertex(faces.size() * 4);
    for (auto& list : indices_) list.clear();
    for (std::size_t face = 0; face < faces.size(); ++face) {
        const int shading = static_cast<int>(faces[face]);
        for (int k = 0; k < 4; ++k) perVertex[4 * face + k] = static_cast<float>(shading);
        const std::size_t block = face / 6;
        if (static_cast<int>(block) == skip) continue;
        const unsigned first = static_cast<unsigned>(verticesPerBlock * block);
        for (int k = 0; k < 6; ++k) indices_[shading].push_back(first + faceIndices[6 * (face % 6) + k]);
    }
    glBindBuffer(GL_ARRAY_BUFFER, shadingBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(perVertex.size() * sizeof(float)), perVertex.data(),
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // all faces in block order for the pre-pass
    indices_[0] = buildIndexArray(game.level->blocks.size());
    if (skip >= 0)
        indices_[0].erase(indices_[0].begin() + indicesPerBlock * skip,
                          indices_[0].begin() + indicesPerBlock * (skip + 1));
}

void ShadedBlocks::draw(const Game& game, unsigned mainProgram) {
    const Level& level = *game.level;
    programs_[static_cast<int>(FaceShading::Full)] = mainProgram;
    const Block* turning = turningBlock(game);
    update(game, faceShadings(level.blocks, level.lightPosition));
    if (!vboEnabled || level.vertexBuffer == 0) clientVertices_ = buildVertexArray(level.blocks);

    // Depth and the winning face's shading; the turning block needs the
    // lookups whatever it faces.
    const unsigned pre = programs_[0];
    glUseProgram(pre);
    setMatrix("perspective", pre, projectionMatrix);
    setMatrix("view", pre, viewMatrix);
    modelUniformLocation = glGetUniformLocation(pre, "model");
    vertexAttribLocation = glGetAttribLocation(pre, "vertex");
    normalAttribLocation = texCoordAttribLocation = -1;
    const int shadingLocation = glGetAttribLocation(pre, "shading");
    glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, Mat4::identity().data());
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    if (vertexAttribLocation >= 0) glEnableVertexAttribArray(static_cast<GLuint>(vertexAttribLocation));
    if (shadingLocation >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(shadingLocation));
        glBindBuffer(GL_ARRAY_BUFFER, shadingBuffer_);
        glVertexAttribPointer(static_cast<GLuint>(shadingLocation), 1, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    drawFaces(level, indices_[0]);
    if (turning) {
        if (shadingLocation >= 0) {
            glDisableVertexAttribArray(static_cast<GLuint>(shadingLocation));
            glVertexAttrib1f(static_cast<GLuint>(shadingLocation), static_cast<float>(FaceShading::Full));
        }
        glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE,
                           turnModelMatrix(*turning, game.player.turnRotation).data());
        drawBlock(*turning);
    }
    disable(shadingLocation);
    disable(vertexAttribLocation);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    // Each shading's faces where they won, the first of them only. Blocks
    // come here only opaque (their texture has no alpha, so every fragment
    // has alpha 1 and blending would give back its own bytes): blending is
    // left off, which spares reading the colour buffer under every pixel.
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
    for (const FaceShading shading : {FaceShading::Dark, FaceShading::Full}) {
        const int s = static_cast<int>(shading);
        if (indices_[s].empty() && !(shading == FaceShading::Full && turning)) continue;
        useSceneProgram(programs_[s], false, level);
        glStencilFunc(GL_EQUAL, s, 0xff);
        glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, Mat4::identity().data());
        bindTexture(sceneResources.blockTexture);
        drawFaces(level, indices_[s]);
        if (shading == FaceShading::Full && turning) {
            glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE,
                               turnModelMatrix(*turning, game.player.turnRotation).data());
            drawBlock(*turning);
        }
        disable(vertexAttribLocation);
        disable(normalAttribLocation);
        disable(texCoordAttribLocation);
    }
    glDisable(GL_STENCIL_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    if (blending) glEnable(GL_BLEND);
    glUseProgram(0);
}
