#include "render/shaded_blocks.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "assets/shader.h"
#include "assets/texture.h"
#include "platform/settings.h"
#include "render/avatar_draw.h"
#include "render/collectables.h"
#include "render/inline_program.h"
#include "render/level_buffers.h"
#include "render/level_draw.h"
#include "render/model_draw.h"
#include "render/vertex_attributes.h"
#include "render/scene.h"
#include "render/scene_math.h"
#include "render/scene_resources.h"
#include "render/shadow_layers.h"
#include "render/shadow_target.h"
#include "rules/game.h"
#include "world/geometry.h"
#include "world/level.h"

namespace {

// How far the near plane reaches from the eye: its corners lie 0.14 away
// (0.1 ahead, 60 degrees high, 4:3), with room to spare.
constexpr float nearReach = 0.2f;
// An inner face is drawn when the eye is nearer its plane than this share
// of its distance along it (seen at less than about 6 degrees).
constexpr float grazing = 0.1f;

// Returns `source` with `lines` added after its #version line.
std::string withDefines(const std::string& source, const char* lines) {
    const std::size_t version = source.find("#version");
    const std::size_t end = version == std::string::npos ? std::string::npos : source.find('\n', version);
    if (end == std::string::npos) return std::string(lines) + "\n" + source;
    return source.substr(0, end + 1) + lines + "\n" + source.substr(end + 1);
}

// Returns the block being turned (drawn apart, with its turn), or null.
const Block* turningBlock(const Game& game) {
    return game.player.state == PlayerState::Turning ? game.currentBlock : nullptr;
}

void disable(int location) {
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
}

}  // namespace

Vec3 eyePosition(const Mat4& view) {
    // view = [R | t]: the eye is -R^T t
    const float tx = view(0, 3), ty = view(1, 3), tz = view(2, 3);
    return {-(view(0, 0) * tx + view(1, 0) * ty + view(2, 0) * tz),
            -(view(0, 1) * tx + view(1, 1) * ty + view(2, 1) * tz),
            -(view(0, 2) * tx + view(1, 2) * ty + view(2, 2) * tz)};
}

bool eyeAmongBlocks(const std::vector<Block*>& blocks, const Vec3& eye) {
    constexpr float reach = 0.5f + nearReach;
    for (const Block* b : blocks)
        if (std::abs(eye.x - static_cast<float>(b->x)) < reach && std::abs(eye.y - static_cast<float>(b->y)) < reach &&
            std::abs(eye.z - static_cast<float>(b->z)) < reach)
            return true;
    return false;
}

bool innerFaceHidden(const Block& block, int face, const Vec3& eye) {
    // distance of the eye from the face's plane, against its distance along it
    const Vec3 n = directionVector(face);
    const Vec3 d{eye.x - static_cast<float>(block.x), eye.y - static_cast<float>(block.y),
                 eye.z - static_cast<float>(block.z)};
    const float off = std::abs(n.x * d.x + n.y * d.y + n.z * d.z - 0.5f);
    const float along = std::sqrt(std::max(d.x * d.x + d.y * d.y + d.z * d.z - off * off, 0.0f));
    return off > grazing * (along + 1.0f);
}

void ShadedBlocks::drawFaces(const Level& level, const std::vector<unsigned>& indices) const {
    if (indices.empty()) return;
    // From the level's buffer in buffer mode, else from the copy in client memory.
    const char* base = nullptr;
    if (vboEnabled && levelBuffers.vertexBuffer(level) != 0)
        glBindBuffer(GL_ARRAY_BUFFER, levelBuffers.vertexBuffer(level));
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
        if (vertex.empty() || fragment.empty()) return false;
        for (const auto& [shading, defines] : {std::pair{FaceShading::Full, "#define BLOCKS"},
                                               std::pair{FaceShading::Dark, "#define BLOCKS\n#define DARK_FACES"},
                                               std::pair{FaceShading::Open, "#define BLOCKS\n#define OPEN_FACES"}}) {
            programs_[static_cast<int>(shading)] =
                buildInlineProgram(vertex.c_str(), withDefines(fragment, defines).c_str());
            if (programs_[static_cast<int>(shading)] == 0) return false;
        }
        state_ = 1;
    }
    return state_ == 1;
}

unsigned ShadedBlocks::blockProgram() { return available() ? programs_[static_cast<int>(FaceShading::Full)] : 0; }

void ShadedBlocks::update(const Game& game, const std::vector<FaceShading>& faces, const Vec3& eye,
                          bool hideInner) {
    const Level& level = *game.level;
    const Block* turning = turningBlock(game);
    const int skip = turning ? turning->index : -1;
    for (auto& perBlock : faces_) {
        perBlock.resize(level.blocks.size());
        for (auto& list : perBlock) list.clear();
    }
    for (std::size_t face = 0; face < faces.size(); ++face) {
        const std::size_t block = face / 6;
        const int f = static_cast<int>(face % 6);
        if (static_cast<int>(block) == skip) continue;
        const Block& b = *level.blocks[block];
        if (hideInner && innerFace(b, f, turning) && innerFaceHidden(b, f, eye)) continue;
        std::vector<unsigned>& list = faces_[static_cast<int>(faces[face])][block];
        const unsigned first = static_cast<unsigned>(verticesPerBlock * block);
        for (int k = 0; k < 6; ++k) list.push_back(first + faceIndices[6 * f + k]);
    }
}

std::vector<Sphere> movingBounds(const Game& game) {
    std::vector<Sphere> out;
    const Block* turning = turningBlock(game);
    if (turning)
        out.push_back({{static_cast<float>(turning->x), static_cast<float>(turning->y), static_cast<float>(turning->z)},
                       0.8661f});
    const float collectableRadius = modelRadius(collectableModel.mesh);
    const BlockTurn turn = turning ? BlockTurn{turning, game.player.turnRotation} : BlockTurn{};
    for (const Block* block : game.level->blocks)
        for (int d = 0; d < 6; ++d)
            if (block->decals[d] == Decal::Collectable)
                out.push_back(placedSphere(drawnCollectableMatrix(*block, d, game.spinMatrix, turn), collectableRadius));
    for (const Sphere& s : avatarBounds(game.player)) out.push_back(s);
    return out;
}

namespace {

// Returns `spheres` grown by what the shadow pass's pulling casters inwards
// can move a model's vertex, with room to spare.
std::vector<Sphere> grown(std::vector<Sphere> spheres) {
    for (Sphere& s : spheres) s.radius += 0.01f;
    return spheres;
}

// Returns the hash of the blocks' positions.
std::uint64_t positionsHash(const std::vector<Block*>& blocks) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const Block* b : blocks) hash = hashStep(hashStep(hashStep(hash, b->x), b->y), b->z);
    return hash;
}

}  // namespace

std::vector<FaceShading> ShadedBlocks::shadings(const Game& game) {
    const Level& level = *game.level;
    const std::uint64_t blocks = positionsHash(level.blocks);
    const Mat4 toMap = shadowTextureMatrix(level.lightView);
    if (reachLevel_ != &level || reachBlocks_ != blocks || std::memcmp(reachLight_.m, toMap.m, sizeof toMap.m) != 0) {
        reach_ = shadowReach(level.blocks, level.lightPosition, toMap, shadowMapSize);
        reachLevel_ = &level;
        reachBlocks_ = blocks;
        reachLight_ = toMap;
    }
    return withMovingCasters(reach_, grown(movingBounds(game)), toMap, shadowMapSize);
}

void ShadedBlocks::draw(const Game& game) {
    const Level& level = *game.level;
    const Vec3 eye = eyePosition(viewMatrix);
    update(game, shadings(game), eye, !eyeAmongBlocks(level.blocks, eye));
    if (!vboEnabled || levelBuffers.vertexBuffer(level) == 0) clientVertices_ = buildVertexArray(level.blocks);

    // The faces block by block, nearest first.
    std::vector<std::pair<float, std::size_t>> order;
    order.reserve(level.blocks.size());
    for (std::size_t b = 0; b < level.blocks.size(); ++b) {
        const Block& block = *level.blocks[b];
        const Vec3 d{static_cast<float>(block.x) - eye.x, static_cast<float>(block.y) - eye.y,
                     static_cast<float>(block.z) - eye.z};
        order.push_back({d.x * d.x + d.y * d.y + d.z * d.z, b});
    }
    std::sort(order.begin(), order.end());
    for (const FaceShading shading : {FaceShading::Dark, FaceShading::Full, FaceShading::Open}) {
        const int s = static_cast<int>(shading);
        lists_[s].clear();
        for (const auto& entry : order) lists_[s].insert(lists_[s].end(), faces_[s][entry.second].begin(),
                                                         faces_[s][entry.second].end());
    }
    // the cheapest first: what they cover is then rejected before it is shaded
    drawLists(game, lists_, {FaceShading::Dark, FaceShading::Open, FaceShading::Full});
}

void ShadedBlocks::drawPlain(const Game& game) {
    const Level& level = *game.level;
    const Mat4 toMap = shadowTextureMatrix(level.lightView);
    const std::vector<FaceShading> faces = withMovingCasters(
        shadowReach(level.blocks, level.lightPosition, toMap, shadowMapSize), grown(movingBounds(game)), toMap,
        shadowMapSize);
    if (!vboEnabled || levelBuffers.vertexBuffer(level) == 0) clientVertices_ = buildVertexArray(level.blocks);
    // every face of every still block in the level's order: dark ones with the block program
    const Block* turning = turningBlock(game);
    std::vector<unsigned> lists[4];
    for (std::size_t face = 0; face < faces.size(); ++face) {
        const std::size_t block = face / 6;
        if (turning && static_cast<int>(block) == turning->index) continue;
        const int f = static_cast<int>(face % 6);
        std::vector<unsigned>& list =
            lists[static_cast<int>(faces[face] == FaceShading::Open ? FaceShading::Open : FaceShading::Full)];
        const unsigned first = static_cast<unsigned>(verticesPerBlock * block);
        for (int k = 0; k < 6; ++k) list.push_back(first + faceIndices[6 * f + k]);
    }
    drawLists(game, lists, {FaceShading::Full, FaceShading::Open, FaceShading::Dark});
}

void ShadedBlocks::drawLists(const Game& game, const std::vector<unsigned> (&lists)[4],
                             const FaceShading (&order)[3]) {
    const Level& level = *game.level;
    const Block* turning = turningBlock(game);
    // Blocks come here only opaque (their texture has no alpha, so every
    // fragment has alpha 1 and blending would give back its own bytes):
    // blending is left off, which spares reading the colour buffer under
    // every pixel.
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_BLEND);
    for (const FaceShading shading : order) {
        const std::vector<unsigned>& faces = lists[static_cast<int>(shading)];
        if (faces.empty() && !(shading == FaceShading::Full && turning)) continue;
        useSceneProgram(programs_[static_cast<int>(shading)], false, level);
        bindTexture(sceneResources.blockTexture);
        if (shading == FaceShading::Full && turning) {
            // near the avatar, so among the nearest; it needs the lookups whatever it faces
            glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE,
                               turnModelMatrix(*turning, game.player.turnRotation).data());
            drawBlock(*turning);
        }
        glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, Mat4::identity().data());
        drawFaces(level, faces);
        disable(vertexAttribLocation);
        disable(normalAttribLocation);
        disable(texCoordAttribLocation);
    }
    if (blending) glEnable(GL_BLEND);
    glUseProgram(0);
}
