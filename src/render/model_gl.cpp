#include <GL/glew.h>

#include <cmath>
#include <cstdint>

#include "assets/md5_model.h"
#include "assets/texture.h"
#include "log/console.h"
#include "platform/settings.h"
#include "render/model_draw.h"
#include "render/vertex_attributes.h"

namespace {

using Vertex = MD5Model::Vertex;
using Tri = MD5Model::Tri;

constexpr int kStride = sizeof(Vertex);
constexpr std::size_t kPositionOffset = 8;
constexpr std::size_t kTexCoordOffset = 20;
constexpr std::size_t kNormalOffset = 28;

// Puts the first mesh into a vertex and an index buffer.
void createModelBuffers(DrawnModel& model) {
    if (model.mesh.meshes.empty()) return;
    const MD5Model::Mesh& mesh = model.mesh.meshes.front();
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    model.vertexBuffer = names[0];
    model.indexBuffer = names[1];
    glBindBuffer(GL_ARRAY_BUFFER, model.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.verts.size() * sizeof(Vertex)), mesh.verts.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.tris.size() * sizeof(Tri)), mesh.tris.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

}  // namespace

DrawnModel::~DrawnModel() { release(); }

void DrawnModel::release() {
    // Without a current context GLEW has no entry points, and the names are 0.
    if ((vertexBuffer != 0 || indexBuffer != 0) && glDeleteBuffers) {
        const GLuint names[2] = {vertexBuffer, indexBuffer};
        glDeleteBuffers(2, names);
    }
    if (texture != 0) glDeleteTextures(1, &texture);
    vertexBuffer = indexBuffer = texture = 0;
}

void loadModel(DrawnModel& model, const char* meshFile, const char* textureFile) {
    model.release();
    model.mesh = MD5Model();
    try {
        model.mesh.loadFile(meshFile);
    } catch (const MD5Model::Exception&) {
        model.mesh.meshes.clear();
        model.mesh.joints.clear();
        throw;
    }
    if (vboSupported) createModelBuffers(model);
    if (textureFile) model.texture = loadMipmapTexture(textureFile);
}

void drawModel(const DrawnModel& model) {
    if (model.mesh.meshes.empty()) return;
    bindTexture(model.texture);
    if (vboEnabled && model.vertexBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, model.vertexBuffer);
        pointAttribute(vertexAttribLocation, 3, kStride, byteOffset(kPositionOffset));
        pointAttribute(texCoordAttribLocation, 2, kStride, byteOffset(kTexCoordOffset));
        pointAttribute(normalAttribLocation, 3, kStride, byteOffset(kNormalOffset));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.indexBuffer);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.mesh.meshes.front().tris.size()), GL_UNSIGNED_INT,
                       nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return;
    }
    for (const MD5Model::Mesh& mesh : model.mesh.meshes) {
        const auto* first = reinterpret_cast<const std::uint8_t*>(mesh.verts.data());
        pointAttribute(vertexAttribLocation, 3, kStride, first + kPositionOffset);
        pointAttribute(normalAttribLocation, 3, kStride, first + kNormalOffset);
        pointAttribute(texCoordAttribLocation, 2, kStride, first + kTexCoordOffset);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * mesh.tris.size()), GL_UNSIGNED_INT, mesh.tris.data());
    }
}

bool loadModelOrReport(DrawnModel& model, const char* meshFile, const char* textureFile) {
    try {
        loadModel(model, meshFile, textureFile);
        return true;
    } catch (const MD5Model::Exception& e) {
        console() << "ERROR: " << e.what() << std::endl;
        return false;
    }
}

float modelRadius(const MD5Model& model) {
    float largest = 0.0f;
    for (const MD5Model::Mesh& mesh : model.meshes)
        for (const Vertex& v : mesh.verts) largest = std::fmax(largest, dot(v.position, v.position));
    return std::sqrt(largest);
}
