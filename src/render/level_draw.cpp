#include "render/level_draw.h"

#include <GL/glew.h>

#include "assets/md5_model.h"
#include "platform/settings.h"
#include "render/level_shell.h"
#include "render/model_draw.h"
#include "render/vertex_attributes.h"
#include "world/block.h"
#include "world/geometry.h"
#include "world/level.h"

namespace {

// Points the attributes at the level's vertex buffer (bound).
void pointAtLevelBuffer() {
    constexpr GLsizei stride = floatsPerVertex * sizeof(float);
    pointAttribute(vertexAttribLocation, 4, stride, byteOffset(0));
    pointAttribute(normalAttribLocation, 3, stride, byteOffset(normalOffsetBytes));
    pointAttribute(texCoordAttribLocation, 2, stride, byteOffset(texCoordOffsetBytes));
}

// Binds the shell's index buffer holding `indices`, uploading them when they
// differ from what it holds. Returns false when no buffer can be made.
bool bindShellIndices(const std::vector<unsigned int>& indices) {
    static GLuint buffer = 0;
    static std::vector<unsigned int> held;
    if (buffer == 0) glGenBuffers(1, &buffer);
    if (buffer == 0) return false;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    if (indices != held) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)),
                     indices.data(), GL_DYNAMIC_DRAW);
        held = indices;
    }
    return true;
}

// Points the attributes at one block's record in client memory.
void pointAtBlock(const Block& block) {
    pointAttribute(vertexAttribLocation, 4, 0, block.vertices);
    pointAttribute(normalAttribLocation, 3, 0, faceNormals);
    pointAttribute(texCoordAttribLocation, 2, 0, block.texCoords);
}

}  // namespace

void drawBlock(const Block& block) {
    pointAtBlock(block);
    glDrawElements(GL_TRIANGLES, indicesPerBlock, GL_UNSIGNED_INT, faceIndices);
}

void drawLevelBlocks(const Level& level, int skip) {
    const int count = static_cast<int>(level.blocks.size());
    if (!vboEnabled || level.vertexBuffer == 0) {
        for (int i = 0; i < count; ++i)
            if (i != skip) drawBlock(*level.blocks[static_cast<std::size_t>(i)]);
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, level.vertexBuffer);
    pointAtLevelBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, level.indexBuffer);
    for (const IndexRange& range : levelDrawRanges(count, skip))
        if (range.count > 0) glDrawElements(GL_TRIANGLES, range.count, GL_UNSIGNED_INT, byteOffset(range.offsetBytes));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void drawLevelShell(const Level& level, int skip) {
    static std::vector<FaceMask> masks;  // reused from frame to frame
    static std::vector<unsigned int> indices;
    uncoveredFaces(level.blocks, skip, masks);
    if (!vboEnabled || level.vertexBuffer == 0) {
        for (std::size_t i = 0; i < masks.size(); ++i) {
            const FaceCorners& corners = cornersOf(masks[i]);
            if (corners.count == 0) continue;
            pointAtBlock(*level.blocks[i]);
            glDrawElements(GL_TRIANGLES, corners.count, GL_UNSIGNED_INT, corners.indices);
        }
        return;
    }
    shellIndices(masks, indices);
    glBindBuffer(GL_ARRAY_BUFFER, level.vertexBuffer);
    pointAtLevelBuffer();
    if (bindShellIndices(indices) && !indices.empty())
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, byteOffset(0));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void drawCollectables(const Level& level, Mat4 spin, const MD5Model& model) {
    for (const Block* block : level.blocks)
        for (int d = 0; d < 6; ++d) {
            if (block->decals[d] != Decal::Collectable) continue;
            const Mat4 m = collectableMatrix(*block, d, spin);
            glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, m.data());
            drawModel(model);
        }
}
