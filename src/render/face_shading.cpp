#include "render/face_shading.h"

#include "world/block.h"
#include "world/geometry.h"

namespace {

// Distance of the light behind a face's plane from which the face counts as
// turned from it: the GPU's direction to the light is then off by far less
// than this would take (light distances stay below a few hundred units).
constexpr double planeMargin = 0.01;

}  // namespace

std::vector<FaceShading> faceShadings(const std::vector<Block*>& blocks, const Vec3& light) {
    std::vector<FaceShading> out(6 * blocks.size(), FaceShading::Full);
    for (std::size_t b = 0; b < blocks.size(); ++b)
        for (int f = 0; f < 6; ++f) {
            const float* n = faceNormals[4 * f];
            const float* corner = blocks[b]->vertices[4 * f];
            const double side = static_cast<double>(n[0]) * (light.x - corner[0]) +
                                static_cast<double>(n[1]) * (light.y - corner[1]) +
                                static_cast<double>(n[2]) * (light.z - corner[2]);
            if (side < -planeMargin) out[6 * b + f] = FaceShading::Dark;
        }
    return out;
}
