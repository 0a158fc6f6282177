#include <GL/glew.h>

#include <cstdint>
#include <iostream>

#include "assets/md5_model.h"
#include "assets/texture.h"
#include "platform/settings.h"

namespace {

constexpr GLsizei kStride = sizeof(MD5Model::Vertex);
constexpr std::uintptr_t kPositionOffset = 8;
constexpr std::uintptr_t kTexCoordOffset = 20;
constexpr std::uintptr_t kNormalOffset = 28;

// Points attribute `location` (if the program has it) at `size` floats per vertex.
void attribPointer(int location, GLint size, const void* pointer) {
    if (location < 0) return;
    glVertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, kStride, pointer);
}

const void* offsetPointer(std::uintptr_t offset) { return reinterpret_cast<const void*>(offset); }

}  // namespace

void MD5Model::loadMesh(const char* meshFile, const char* textureFile) {
    try {
        loadFile(meshFile);
    } catch (const Exception&) {
        meshes.clear();
        joints.clear();
        throw;
    }
    if (vboSupported) createBuffers();
    if (textureFile) texture = loadMipmapTexture(textureFile);
}

void MD5Model::createBuffers() {
    if (meshes.empty()) return;
    const Mesh& mesh = meshes.front();
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    vertexBuffer = names[0];
    indexBuffer = names[1];
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.verts.size() * sizeof(Vertex)), mesh.verts.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.tris.size() * sizeof(Tri)), mesh.tris.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void MD5Model::draw() const {
    if (meshes.empty()) return;
    bindTexture(texture);
    if (vboEnabled && vertexBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        attribPointer(vertexAttribLocation, 3, offsetPointer(kPositionOffset));
        attribPointer(texCoordAttribLocation, 2, offsetPointer(kTexCoordOffset));
        attribPointer(normalAttribLocation, 3, offsetPointer(kNormalOffset));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * meshes.front().tris.size()), GL_UNSIGNED_INT, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return;
    }
    for (const Mesh& mesh : meshes) {
        const auto* first = reinterpret_cast<const std::uint8_t*>(mesh.verts.data());
        attribPointer(vertexAttribLocation, 3, first + kPositionOffset);
        attribPointer(normalAttribLocation, 3, first + kNormalOffset);
        attribPointer(texCoordAttribLocation, 2, first + kTexCoordOffset);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * mesh.tris.size()), GL_UNSIGNED_INT, mesh.tris.data());
    }
}

bool loadModelOrReport(MD5Model& model, const char* meshFile, const char* textureFile) {
    try {
        model.loadMesh(meshFile, textureFile);
        return true;
    } catch (const MD5Model::Exception& e) {
        std::cout << "ERROR: " << e.what() << std::endl;
        return false;
    }
}
