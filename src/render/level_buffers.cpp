#include "render/level_buffers.h"

#include <GL/glew.h>

#include <algorithm>

#include "platform/settings.h"
#include "world/geometry.h"
#include "world/level.h"

LevelBuffers levelBuffers;

void PendingLooks::follow(const std::vector<ViewEvent>& views, const std::vector<int>& changed) {
    if (std::find(views.begin(), views.end(), ViewEvent::LevelSwitched) != views.end()) blocks_.clear();
    for (int b : changed)
        if (std::find(blocks_.begin(), blocks_.end(), b) == blocks_.end()) blocks_.push_back(b);
}

LookWrites PendingLooks::take(const Level& level, const Level* held) {
    LookWrites writes;
    writes.whole = held != &level;
    if (!writes.whole)
        for (int b : blocks_)
            if (b >= 0 && static_cast<std::size_t>(b) < level.blocks.size()) writes.blocks.push_back(b);
    blocks_.clear();
    return writes;
}

LevelBuffers::~LevelBuffers() { release(); }

void LevelBuffers::follow(const std::vector<ViewEvent>& views, const std::vector<int>& changed) {
    if (std::find(views.begin(), views.end(), ViewEvent::LevelSwitched) != views.end()) release();
    pending_.follow(views, changed);
}

void LevelBuffers::release() {
    // Without a current context GLEW has no entry points, and there are no names.
    if (level_ && glDeleteBuffers) {
        const GLuint names[2] = {vertexBuffer_, indexBuffer_};
        glDeleteBuffers(2, names);
    }
    level_ = nullptr;
    vertexBuffer_ = indexBuffer_ = 0;
}

void LevelBuffers::keep(const Level& level) {
    if (!vboSupported || !glGenBuffers) return;
    const LookWrites writes = pending_.take(level, level_);
    if (writes.whole) {
        release();
        GLuint names[2] = {0, 0};
        glGenBuffers(2, names);
        level_ = &level;
        vertexBuffer_ = names[0];
        indexBuffer_ = names[1];
        const std::vector<float> vertices = buildVertexArray(level.blocks);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                     GL_STATIC_DRAW);
        const std::vector<unsigned int> indices = buildIndexArray(level.blocks.size());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)),
                     indices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return;
    }
    if (writes.blocks.empty()) return;
    constexpr std::size_t blockBytes = verticesPerBlock * floatsPerVertex * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    for (int b : writes.blocks) {
        const std::vector<float> vertices = buildVertexArray({level.blocks[static_cast<std::size_t>(b)]});
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(static_cast<std::size_t>(b) * blockBytes),
                        static_cast<GLsizeiptr>(blockBytes), vertices.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
