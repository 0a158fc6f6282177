#pragma once
// Static models from MD5 mesh files (version 10): parsing, bind pose and
// smooth normals. Uploading and drawing them is the renderer's
// (render/model_draw.h), which keeps the GL names beside the model.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "math/math.h"

class MD5Model {
public:
    // Every fault in a model file ends the load with one of these.
    class Exception : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    class Tokenizer;  // assets/md5_tokenizer.h

    // Unit quaternion (x, y, z, w).
    struct Quat {
        float x = 0, y = 0, z = 0, w = 1;
    };

    struct Joint {
        int parent = -1;  // negative: a root
        Vec3 position;
        Quat orientation;
        std::vector<int> children;
    };

    // The GPU vertex layout: attributes start at byte 8.
    struct Vertex {
        std::int32_t weightStart = 0;
        std::int32_t weightCount = 0;
        Vec3 position;
        float texCoord[2] = {0, 0};
        Vec3 normal;
    };

    struct Tri {
        std::int32_t v[3] = {0, 0, 0};
    };

    struct Weight {
        std::int32_t joint = 0;
        float bias = 0;
        Vec3 position;
    };

    struct Mesh {
        std::vector<Vertex> verts;
        std::vector<Tri> tris;
        std::vector<Weight> weights;
    };

    // Most vertices, triangles and weights all meshes of a model may declare together.
    static constexpr std::size_t kMaxDeclaredElements = std::size_t{1} << 22;

    int numJoints = 0;  // 0 until declared
    int numMeshes = 0;  // 0 until declared
    std::vector<Joint> joints;
    std::vector<Mesh> meshes;

    // Reads and prepares the mesh file. Throws Exception.
    void loadFile(const char* meshFile);
    // Parses, checks and prepares a model from the file's text. Throws Exception.
    void loadFromText(std::string_view text);
    // Parses the file's text into joints and meshes only. Throws Exception.
    void parse(std::string_view text);
    // Throws when the model cannot be drawn or refers outside its arrays.
    void checkReferences() const;

    void buildBindPose();
    void buildNormals();

private:
    void readElements(Tokenizer& in);
    void readNumJointsEl(Tokenizer& in);
    void readNumMeshesEl(Tokenizer& in);
    void readJointsEl(Tokenizer& in);
    void readMeshEl(Tokenizer& in);
    // Returns a declared element count, checked against the model-wide budget.
    int readCount(Tokenizer& in, const char* name, bool alreadySet);

    std::size_t declaredElements = 0;
};

static_assert(sizeof(MD5Model::Vertex) == 40);
static_assert(offsetof(MD5Model::Vertex, position) == 8);
static_assert(offsetof(MD5Model::Vertex, texCoord) == 20);
static_assert(offsetof(MD5Model::Vertex, normal) == 28);
static_assert(sizeof(MD5Model::Tri) == 12);
static_assert(sizeof(MD5Model::Weight) == 20);
