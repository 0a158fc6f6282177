#pragma once
// The shadow map drawn in two layers. The blocks that stand still are drawn
// once into a layer of their own whenever they change (another level, a
// turn starting or ending, a switched drawing mode); every frame that layer
// is copied back over the texels the moving things (avatar, collectables,
// a turning block) covered the frame before, and the moving things are
// drawn over it, held inside the rectangle they can cover. A depth-only
// drawing keeps the nearest depth at every texel whatever the order, so the
// map is the one drawing everything afresh gives, at a fraction of the cost.

#include <cstdint>
#include <functional>

#include "render/scene_math.h"

// What the still layer depends on; a different key redraws it.
struct StillLayerKey {
    const void* level = nullptr;
    std::uint64_t blocks = 0;  // hash of the still blocks' positions
    int skipped = -1;          // the block drawn with the moving things
    bool filled = true;        // polygon mode
    bool buffers = true;       // buffer objects or client memory
    Mat4 lightView;
    bool operator==(const StillLayerKey&) const;
};

// Returns the hash of a block position sequence, fed one coordinate at a time.
std::uint64_t hashStep(std::uint64_t hash, int value);

class ShadowLayers {
public:
    // Whether the driver can copy between textures (GL 4.3 or
    // ARB_copy_image) and a second depth target could be made.
    bool available();
    // Draws the frame's shadow map into `mapFramebuffer` (whose depth
    // texture is `mapTexture`) with the shadow program already in use and
    // the viewport set: `drawStill` draws the still blocks, `drawMoving` the
    // rest, which stays inside `moving`.
    void draw(unsigned mapFramebuffer, unsigned mapTexture, const StillLayerKey& key, const TexelRect& moving,
              const std::function<void()>& drawStill, const std::function<void()>& drawMoving);
    // Forgets what the map holds: the next draw starts from the still layer
    // everywhere (call after drawing the map another way).
    void forget() { valid_ = false; }

private:
    unsigned stillTexture_ = 0;
    unsigned stillFramebuffer_ = 0;
    int state_ = 0;  // 0 unknown, 1 usable, -1 not available
    bool valid_ = false;
    StillLayerKey key_;
    TexelRect moved_;  // texels the moving things may have covered last frame
};
