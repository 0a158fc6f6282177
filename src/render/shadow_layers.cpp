#include "render/shadow_layers.h"

#include <GL/glew.h>

#include <cstring>

#include "render/shadow_target.h"

bool StillLayerKey::operator==(const StillLayerKey& o) const {
    return level == o.level && blocks == o.blocks && skipped == o.skipped && filled == o.filled &&
           buffers == o.buffers && std::memcmp(lightView.m, o.lightView.m, sizeof lightView.m) == 0;
}

std::uint64_t hashStep(std::uint64_t hash, int value) {
    // FNV-1a over the four bytes
    for (int i = 0; i < 4; ++i) {
        hash ^= static_cast<std::uint8_t>(static_cast<unsigned>(value) >> (8 * i));
        hash *= 0x100000001b3ull;
    }
    return hash;
}

bool ShadowLayers::available() {
    if (state_ == 0) {
        const DepthTarget still = (GLEW_VERSION_4_3 || GLEW_ARB_copy_image) ? createDepthTarget() : DepthTarget{};
        stillTexture_ = still.texture;
        stillFramebuffer_ = still.framebuffer;
        state_ = stillFramebuffer_ != 0 ? 1 : -1;
    }
    return state_ == 1;
}

namespace {

void copyTexels(unsigned from, unsigned to, const TexelRect& r) {
    if (r.empty()) return;
    glCopyImageSubData(from, GL_TEXTURE_2D, 0, r.x0, r.y0, 0, to, GL_TEXTURE_2D, 0, r.x0, r.y0, 0, r.x1 - r.x0,
                       r.y1 - r.y0, 1);
}

}  // namespace

void ShadowLayers::draw(unsigned mapFramebuffer, unsigned mapTexture, const StillLayerKey& key,
                        const TexelRect& moving, const std::function<void()>& drawStill,
                        const std::function<void()>& drawMoving) {
    if (!valid_ || !(key == key_)) {
        glBindFramebuffer(GL_FRAMEBUFFER, stillFramebuffer_);
        glClear(GL_DEPTH_BUFFER_BIT);
        drawStill();
        copyTexels(stillTexture_, mapTexture, {0, 0, shadowMapSize, shadowMapSize});
        key_ = key;
        valid_ = true;
    } else {
        copyTexels(stillTexture_, mapTexture, moved_);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, mapFramebuffer);
    if (!moving.empty()) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(moving.x0, moving.y0, moving.x1 - moving.x0, moving.y1 - moving.y0);
        drawMoving();
        glDisable(GL_SCISSOR_TEST);
    }
    moved_ = moving;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
