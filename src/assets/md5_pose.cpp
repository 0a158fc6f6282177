// Bind pose and smooth normals of a parsed MD5 model; runs once at load.

#include <cmath>

#include "assets/md5_model.h"

namespace {

using Quat = MD5Model::Quat;

// Returns the Hamilton product a * b.
Quat operator*(Quat a, Quat b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

// Returns v rotated by the unit quaternion q: the vector part of q * v * q*.
Vec3 rotated(Quat q, const Vec3& v) {
    const Quat r = q * Quat{v.x, v.y, v.z, 0.0f} * Quat{-q.x, -q.y, -q.z, q.w};
    return {r.x, r.y, r.z};
}

}  // namespace

void MD5Model::buildBindPose() {
    for (Mesh& mesh : meshes) {
        for (Vertex& v : mesh.verts) {
            Vec3 position;
            for (std::int32_t k = 0; k < v.weightCount; ++k) {
                const Weight& wt = mesh.weights.at(static_cast<std::size_t>(std::int64_t{v.weightStart} + k));
                const Joint& j = joints.at(static_cast<std::size_t>(wt.joint));
                position = position + (j.position + rotated(j.orientation, wt.position)) * wt.bias;
            }
            v.position = position;
        }
    }
}

void MD5Model::buildNormals() {
    for (Mesh& mesh : meshes) {
        for (Vertex& v : mesh.verts) v.normal = Vec3{};
        for (const Tri& t : mesh.tris) {
            Vertex& a = mesh.verts.at(static_cast<std::size_t>(t.v[0]));
            Vertex& b = mesh.verts.at(static_cast<std::size_t>(t.v[1]));
            Vertex& c = mesh.verts.at(static_cast<std::size_t>(t.v[2]));
            const Vec3 n = cross(b.position - a.position, c.position - a.position);
            a.normal = a.normal + n;
            b.normal = b.normal + n;
            c.normal = c.normal + n;
        }
        for (Vertex& v : mesh.verts) {
            const Vec3 n = v.normal;
            const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            if (length > 0.0001f) v.normal = {n.x / length, n.y / length, n.z / length};
        }
    }
}
