// The GL side of the avatar: loading its model and texture, drawing it.
#include <GL/glew.h>

#include "assets/md5_model.h"
#include "assets/texture.h"
#include "motion/player.h"
#include "platform/settings.h"

void Player::loadResources() {
    brain = std::make_unique<MD5Model>();
    loadModelOrReport(*brain, "models/brain.md5mesh", "textures/brain.tga");
    cageTexture = loadMipmapTexture("textures/metalframe2.tga");
}

namespace {

void pointAttribute(int location, int size, const float* data) {
    if (location >= 0) glVertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, 0, data);
}

}  // namespace

void Player::draw() const {
    if (brain) {
        glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, brainMatrix.data());
        brain->draw();
    }
    const Mat4 model = multiply(bodyMatrix, cageSpin);
    glUniformMatrix4fv(modelUniformLocation, 1, GL_FALSE, model.data());
    bindTexture(cageTexture);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    pointAttribute(vertexAttribLocation, 4, &cage->vertices[0].x);
    pointAttribute(normalAttribLocation, 3, &cage->normals[0].x);
    // The cage carries spherical texture coordinates of its own, so the
    // coordinate array never points at another model's shorter data.
    pointAttribute(texCoordAttribLocation, 2, cage->texCoords.data());
    glDrawElements(GL_TRIANGLES, CageMesh::kIndexCount, GL_UNSIGNED_INT, cage->indices.data());
}
