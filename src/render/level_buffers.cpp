#include "render/level_buffers.h"

#include <GL/glew.h>

#include "platform/settings.h"
#include "world/geometry.h"
#include "world/level.h"

namespace {

void uploadLevelGeometry(Level& level) {
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    level.vertexBuffer = names[0];
    level.indexBuffer = names[1];

    glBindBuffer(GL_ARRAY_BUFFER, level.vertexBuffer);
    {
        const std::vector<float> vertices = buildVertexArray(level.blocks);
        changedLooks(level.blocks, level.bufferLooks);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                     GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, level.indexBuffer);
    {
        const std::vector<unsigned int> indices = buildIndexArray(level.blocks.size());
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)),
                     indices.data(), GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

}  // namespace

void keepLevelBuffers(Level& level) {
    // the buffers of the level shown last; that level may be gone already
    static GLuint shown[2] = {0, 0};
    // without a current context GLEW has no entry points to call
    if (level.vertexBuffer != 0 || !vboSupported || !glGenBuffers) return;
    uploadLevelGeometry(level);
    if ((shown[0] != 0 || shown[1] != 0) && glDeleteBuffers) glDeleteBuffers(2, shown);
    shown[0] = level.vertexBuffer;
    shown[1] = level.indexBuffer;
}

void refreshLevelLooks(Level& level) {
    if (level.vertexBuffer == 0) return;
    const std::vector<std::size_t> changed = changedLooks(level.blocks, level.bufferLooks);
    if (changed.empty()) return;
    constexpr std::size_t blockBytes = verticesPerBlock * floatsPerVertex * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, level.vertexBuffer);
    for (std::size_t b : changed) {
        const std::vector<float> vertices = buildVertexArray({level.blocks[b]});
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(b * blockBytes), static_cast<GLsizeiptr>(blockBytes),
                        vertices.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
