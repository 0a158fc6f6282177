#include "render/level_draw.h"

#include <GL/glew.h>

#include "platform/settings.h"
#include "render/level_buffers.h"
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
    const unsigned vertexBuffer = levelBuffers.vertexBuffer(level);
    if (!vboEnabled || vertexBuffer == 0) {
        for (int i = 0; i < count; ++i)
            if (i != skip) drawBlock(*level.blocks[static_cast<std::size_t>(i)]);
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    pointAtLevelBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, levelBuffers.indexBuffer(level));
    for (const IndexRange& range : levelDrawRanges(count, skip))
        if (range.count > 0) glDrawElements(GL_TRIANGLES, range.count, GL_UNSIGNED_INT, byteOffset(range.offsetBytes));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void drawCollectables(const Level& level, Mat4 spin, const DrawnModel& model, const BlockTurn& turn) {
    for (const Block* block : level.blocks)
        for (int d = 0; d < 6; ++d) {
            if (block->decals[d] != Decal::Collectable) continue;
            const Mat4 m = drawnCollectableMatrix(*block, d, spin, turn);
            glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, m.data());
            drawModel(model);
        }
}
