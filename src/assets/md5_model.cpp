#include "assets/md5_model.h"

#include <cmath>

#include "files/content_file.h"

#include "assets/md5_tokenizer.h"

void MD5Model::loadFile(const char* meshFile) {
    if (!meshFile) throw Exception("MD5Model::loadMesh(): filename is NULL");
    const ContentFile file = readContentFile(meshFile, ContentKind::Model);
    if (file.missing) throw Exception(std::string("MD5Model::loadMesh(): unable to open ") + meshFile + " for reading");
    if (!file.ok()) throw Exception(std::string("MD5Model::loadMesh(): cannot read ") + meshFile + ": " + file.why);
    loadFromText(file.text);
}

void MD5Model::loadFromText(std::string_view text) {
    parse(text);
    checkReferences();
    buildBindPose();
    buildNormals();
}

void MD5Model::parse(std::string_view text) {
    Tokenizer in(text);
    std::string word;
    in.getNextToken(&word);
    if (word != "MD5Version") throw Exception("MD5Model::loadMesh(): expected 'MD5Version'");
    if (in.readInt() != 10) throw Exception("MD5Model::loadMesh(): MD5Version must be 10");
    meshes.clear();
    joints.clear();
    declaredElements = 0;
    readElements(in);
}

void MD5Model::readElements(Tokenizer& in) {
    std::string word;
    while (!in.atEnd()) {
        if (in.getNextToken(&word) == TokenKind::EndOfInput) return;
        if (word == "commandline") {
            if (in.getNextToken() != TokenKind::String)
                throw Exception("MD5Model::readCommandLineEl(): expected string");
        } else if (word == "numJoints") {
            readNumJointsEl(in);
        } else if (word == "numMeshes") {
            readNumMeshesEl(in);
        } else if (word == "joints") {
            readJointsEl(in);
        } else if (word == "mesh") {
            readMeshEl(in);
        } else {
            throw Exception("MD5Model::readElements(): unknown element type '" + word + "'");
        }
    }
}

void MD5Model::readNumJointsEl(Tokenizer& in) {
    if (numJoints != 0) throw Exception("MD5Model::readNumJointsEl(): numJoints has already been set");
    const int n = in.readInt();
    if (n <= 0) throw Exception("MD5Model::readNumJointsEl(): numJoints must be greater than 0");
    numJoints = n;
}

void MD5Model::readNumMeshesEl(Tokenizer& in) {
    if (numMeshes != 0) throw Exception("MD5Model::readNumMeshesEl(): numMeshes has already been set");
    const int n = in.readInt();
    if (n <= 0) throw Exception("MD5Model::readNumMeshesEl(): numMeshes must be greater than 0");
    numMeshes = n;
}

namespace {

// Returns the unit quaternion whose x, y, z are stored in a joint line.
MD5Model::Quat orientationFrom(const float v[3]) {
    const float t = 1.0f - v[0] * v[0] - v[1] * v[1] - v[2] * v[2];
    const float w = t < 0.0f ? 0.0f : -std::sqrt(t);
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2] + w * w);
    return {v[0] / length, v[1] / length, v[2] / length, w / length};
}

}  // namespace

void MD5Model::readJointsEl(Tokenizer& in) {
    if (numJoints < 1) throw Exception("MD5Model::readJointsEl(): numJoints needs to be set before 'joints' block");
    if (in.getNextToken() != TokenKind::OpenBrace)
        throw Exception("MD5Model::readJointsEl(): expected { to follow 'joints'");
    for (;;) {
        const TokenKind kind = in.getNextToken();
        if (kind == TokenKind::CloseBrace) return;
        if (kind != TokenKind::String) throw Exception("MD5Model::readJointsEl(): expected joint name (string)'");
        Joint joint;
        joint.parent = in.readInt();
        float position[3], orientation[3];
        in.readVec(3, position);
        in.readVec(3, orientation);
        joint.position = {position[0], position[1], position[2]};
        joint.orientation = orientationFrom(orientation);
        const int index = static_cast<int>(joints.size());
        if (joint.parent >= 0) {
            if (joint.parent >= index) throw Exception("MD5Model::readJointsEl(): parent index is invalid");
            joints[joint.parent].children.push_back(index);
        }
        joints.push_back(std::move(joint));
    }
}

int MD5Model::readCount(Tokenizer& in, const char* name, bool alreadySet) {
    const std::string prefix = std::string("MD5Model::readMeshEl(): ") + name;
    if (alreadySet) throw Exception(prefix + " has already been set");
    const int n = in.readInt();
    if (n < 1) throw Exception(prefix + " must be greater than 0");
    if (static_cast<std::size_t>(n) > kMaxDeclaredElements - declaredElements)
        throw Exception(prefix + " is too large");
    declaredElements += static_cast<std::size_t>(n);
    return n;
}

void MD5Model::readMeshEl(Tokenizer& in) {
    if (numMeshes < 1) throw Exception("MD5Model::readMeshesEl(): numMeshes needs to be set before 'mesh' block");
    if (in.getNextToken() != TokenKind::OpenBrace)
        throw Exception("MD5Model::readMeshEl(): expected { to follow 'mesh'");
    Mesh mesh;
    std::string word;
    for (;;) {
        const TokenKind kind = in.getNextToken(&word);
        if (kind == TokenKind::CloseBrace) break;
        if (kind == TokenKind::EndOfInput) throw Exception("MD5Model::readMeshEl(): end of file inside 'mesh' block");
        if (word == "vert") {
            const int index = in.readInt();
            Vertex v;
            in.readVec(2, v.texCoord);
            v.weightStart = in.readInt();
            v.weightCount = in.readInt();
            if (static_cast<unsigned>(index) >= mesh.verts.size())
                throw Exception("MD5Model::readMeshEl(): vertex index >= numverts");
            mesh.verts[static_cast<unsigned>(index)] = v;
        } else if (word == "tri") {
            const int index = in.readInt();
            if (static_cast<unsigned>(index) >= mesh.tris.size())
                throw Exception("MD5Model::readMeshEl(): triangle index >= numtris");
            Tri& tri = mesh.tris[static_cast<unsigned>(index)];
            for (std::int32_t& corner : tri.v) corner = in.readInt();
        } else if (word == "weight") {
            const int index = in.readInt();
            Weight w;
            w.joint = in.readInt();
            w.bias = in.readFloat();
            float position[3];
            in.readVec(3, position);
            w.position = {position[0], position[1], position[2]};
            if (static_cast<unsigned>(index) >= mesh.weights.size())
                throw Exception("MD5Model::readMeshEl(): weight index >= numweights");
            mesh.weights[static_cast<unsigned>(index)] = w;
        } else if (word == "shader") {
            if (in.getNextToken() != TokenKind::String)
                throw Exception("MD5Model::readMeshEl(): expected string to follow 'shader'");
        } else if (word == "numverts") {
            mesh.verts.resize(static_cast<std::size_t>(readCount(in, "numverts", !mesh.verts.empty())));
        } else if (word == "numtris") {
            mesh.tris.resize(static_cast<std::size_t>(readCount(in, "numtris", !mesh.tris.empty())));
        } else if (word == "numweights") {
            mesh.weights.resize(static_cast<std::size_t>(readCount(in, "numweights", !mesh.weights.empty())));
        }
    }
    meshes.push_back(std::move(mesh));
}

void MD5Model::checkReferences() const {
    const auto fail = [](std::size_t mesh, const std::string& what) {
        throw Exception("MD5Model::checkReferences(): mesh " + std::to_string(mesh) + " " + what);
    };
    if (meshes.empty()) throw Exception("MD5Model::checkReferences(): the model has no mesh");
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        const Mesh& mesh = meshes[m];
        if (mesh.verts.empty()) fail(m, "has no vertices");
        if (mesh.tris.empty()) fail(m, "has no triangles");
        for (const Vertex& v : mesh.verts) {
            const std::int64_t end = std::int64_t{v.weightStart} + v.weightCount;
            if (v.weightStart < 0 || v.weightCount < 0 || end > static_cast<std::int64_t>(mesh.weights.size()))
                fail(m, "has a vertex whose weights lie outside its weights");
        }
        for (const Tri& t : mesh.tris)
            for (const std::int32_t corner : t.v)
                if (corner < 0 || static_cast<std::size_t>(corner) >= mesh.verts.size())
                    fail(m, "has a triangle corner outside its vertices");
        for (const Weight& w : mesh.weights)
            if (w.joint < 0 || static_cast<std::size_t>(w.joint) >= joints.size())
                fail(m, "has a weight whose joint is not in the joints");
    }
}
