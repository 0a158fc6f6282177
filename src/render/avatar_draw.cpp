#include "render/avatar_draw.h"

#include <GL/glew.h>

#include <cmath>

#include "assets/md5_model.h"
#include "assets/texture.h"
#include "motion/player.h"
#include "platform/settings.h"
#include "render/model_draw.h"
#include "render/vertex_attributes.h"

namespace {

DrawnModel brain;  // empty (and drawn as nothing) until loaded
unsigned cageTexture = 0;

}  // namespace

void loadAvatarLook() {
    loadModelOrReport(brain, "models/brain.md5mesh", "textures/brain.tga");
    cageTexture = loadMipmapTexture("textures/metalframe2.tga");
    cageMesh();  // built once, before the first frame
}

void drawAvatar(const Player& player) {
    glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, player.brainMatrix.data());
    drawModel(brain);
    const Mat4 model = multiply(player.bodyMatrix, player.cageSpin);
    glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, model.data());
    bindTexture(cageTexture);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    const CageMesh& cage = cageMesh();
    pointAttribute(vertexAttribLocation, 4, 0, &cage.vertices[0].x);
    pointAttribute(normalAttribLocation, 3, 0, &cage.normals[0].x);
    // The cage carries spherical texture coordinates of its own, so the
    // coordinate array never points at another model's shorter data.
    pointAttribute(texCoordAttribLocation, 2, 0, cage.texCoords.data());
    glDrawElements(GL_TRIANGLES, CageMesh::kIndexCount, GL_UNSIGNED_INT, cage.indices.data());
}

std::array<Sphere, 2> avatarBounds(const Player& player) {
    static const float cageRadius = [] {
        float largest = 0.0f;
        for (const Vec4& v : cageMesh().vertices) largest = std::fmax(largest, v.x * v.x + v.y * v.y + v.z * v.z);
        return std::sqrt(largest);
    }();
    return {placedSphere(player.brainMatrix, modelRadius(brain.mesh)),
            placedSphere(multiply(player.bodyMatrix, player.cageSpin), cageRadius)};
}
