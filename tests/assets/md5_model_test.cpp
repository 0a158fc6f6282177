#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "assets/md5_model.h"

namespace {

// A one-triangle model: (0,0,0), (1,0,0), (0,1,0), one weight per vertex.
const char* const kTriangle = R"(MD5Version 10
commandline "-rename origin"
numJoints 1
numMeshes 1
joints {
    "origin" -1 ( 0 0 0 ) ( 0 0 0 )  // root
}
mesh {
    shader "brain"
    numverts 3
    vert 0 ( 0 0 ) 0 1
    vert 1 ( 1 0 ) 1 1
    vert 2 ( 0 1 ) 2 1
    numtris 1
    tri 0 0 1 2
    numweights 3
    weight 0 0 1.0 ( 0 0 0 )
    weight 1 0 1.0 ( 1 0 0 )
    weight 2 0 1.0 ( 0 1 0 )
}
)";

// Returns the exception message of parsing `text` (or of the full load).
std::string loadError(const std::string& text, bool full = false) {
    MD5Model model;
    try {
        if (full)
            model.loadFromText(text);
        else
            model.parse(text);
    } catch (const MD5Model::Exception& e) {
        return e.what();
    }
    return "no exception";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

void expectNear(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

}  // namespace

TEST(MD5Model, SingleTriangleKeepsItsPositionsAndFacesPlusZ) {
    MD5Model model;
    model.loadFromText(kTriangle);
    ASSERT_EQ(model.meshes.size(), 1u);
    const MD5Model::Mesh& mesh = model.meshes[0];
    expectNear(mesh.verts[0].position, 0, 0, 0);
    expectNear(mesh.verts[1].position, 1, 0, 0);
    expectNear(mesh.verts[2].position, 0, 1, 0);
    for (const MD5Model::Vertex& v : mesh.verts) expectNear(v.normal, 0, 0, 1);
    EXPECT_FLOAT_EQ(mesh.verts[1].texCoord[0], 1.0f);
    const MD5Model::Quat q = model.joints[0].orientation;
    EXPECT_EQ(q.w, -1.0f);
}

TEST(MD5Model, WeightsAreRotatedByTheJointAndScaledByTheirBias) {
    // joint at (0,0,1) turned a quarter about +Z (stored x,y,z = 0,0,-sqrt(1/2) gives w = -sqrt(1/2))
    std::string text = replaced(kTriangle, "( 0 0 0 ) ( 0 0 0 )", "( 0 0 1 ) ( 0 0 -0.70710678 )");
    text = replaced(text, "weight 1 0 1.0", "weight 1 0 0.5");
    MD5Model model;
    model.loadFromText(text);
    const MD5Model::Mesh& mesh = model.meshes[0];
    expectNear(mesh.verts[0].position, 0, 0, 1);
    expectNear(mesh.verts[1].position, 0, 0.5f, 0.5f);  // (1,0,0) turned to (0,1,0), halved with the joint
    expectNear(mesh.verts[2].position, -1, 0, 1);
}

TEST(MD5Model, UnusedVertexKeepsAZeroNormalAndZeroWeightsStayAtTheOrigin) {
    std::string text = replaced(kTriangle, "numverts 3", "numverts 4");
    text = replaced(text, "numtris", "vert 3 ( 0 0 ) 0 0\n    numtris");
    MD5Model model;
    model.loadFromText(text);
    expectNear(model.meshes[0].verts[3].position, 0, 0, 0);
    expectNear(model.meshes[0].verts[3].normal, 0, 0, 0);
}

TEST(MD5Model, JointsRecordTheirChildrenAndNormaliseLongOrientations) {
    const std::string joints = R"("a" -1 ( 0 0 0 ) ( 0 0 0 )
    "b" 0 ( 0 0 0 ) ( 1 1 0 )
    "c" 0 ( 0 0 0 ) ( 0 0 0 ))";
    MD5Model model;
    model.parse(replaced(replaced(kTriangle, "numJoints 1", "numJoints 3"), "\"origin\" -1 ( 0 0 0 ) ( 0 0 0 )", joints));
    ASSERT_EQ(model.joints.size(), 3u);
    EXPECT_EQ(model.joints[0].children, (std::vector<int>{1, 2}));
    EXPECT_FLOAT_EQ(model.joints[1].orientation.x, 0.70710677f);
    EXPECT_EQ(model.joints[1].orientation.w, 0.0f);
}

TEST(MD5Model, ParserErrorsCarryTheirMessages) {
    const std::string t = kTriangle;
    EXPECT_EQ(loadError("MD5Version 11\n"), "MD5Model::loadMesh(): MD5Version must be 10");
    EXPECT_EQ(loadError("MD5Version 10"), "MD5Model::readInt(): expected integer");
    EXPECT_EQ(loadError("MD5version 10\n"), "MD5Model::loadMesh(): expected 'MD5Version'");
    EXPECT_EQ(loadError("MD5Version 10\nfoo 1\n"), "MD5Model::readElements(): unknown element type 'foo'");
    EXPECT_EQ(loadError(replaced(t, "\"-rename origin\"", "x")), "MD5Model::readCommandLineEl(): expected string");
    EXPECT_EQ(loadError(replaced(t, "numMeshes 1", "numJoints 2")),
              "MD5Model::readNumJointsEl(): numJoints has already been set");
    EXPECT_EQ(loadError(replaced(t, "numJoints 1", "numJoints 0")),
              "MD5Model::readNumJointsEl(): numJoints must be greater than 0");
    EXPECT_EQ(loadError(replaced(t, "numMeshes 1", "numMeshes -1")),
              "MD5Model::readNumMeshesEl(): numMeshes must be greater than 0");
    EXPECT_EQ(loadError(replaced(t, "numJoints 1", "")),
              "MD5Model::readJointsEl(): numJoints needs to be set before 'joints' block");
    EXPECT_EQ(loadError(replaced(t, "numMeshes 1", "")),
              "MD5Model::readMeshesEl(): numMeshes needs to be set before 'mesh' block");
    EXPECT_EQ(loadError(replaced(t, "joints {", "joints (")), "MD5Model::readJointsEl(): expected { to follow 'joints'");
    EXPECT_EQ(loadError(replaced(t, "\"origin\" -1", "origin -1")),
              "MD5Model::readJointsEl(): expected joint name (string)'");
    EXPECT_EQ(loadError(replaced(t, "\"origin\" -1", "\"origin\" 0")), "MD5Model::readJointsEl(): parent index is invalid");
    EXPECT_EQ(loadError(replaced(t, "mesh {", "mesh (")), "MD5Model::readMeshEl(): expected { to follow 'mesh'");
    EXPECT_EQ(loadError(replaced(t, "shader \"brain\"", "shader brain")),
              "MD5Model::readMeshEl(): expected string to follow 'shader'");
    EXPECT_EQ(loadError(replaced(t, "vert 2 (", "vert 3 (")), "MD5Model::readMeshEl(): vertex index >= numverts");
    EXPECT_EQ(loadError(replaced(t, "vert 2 (", "vert -1 (")), "MD5Model::readMeshEl(): vertex index >= numverts");
    EXPECT_EQ(loadError(replaced(t, "tri 0 0", "tri 1 0")), "MD5Model::readMeshEl(): triangle index >= numtris");
    EXPECT_EQ(loadError(replaced(t, "weight 2 0", "weight 3 0")), "MD5Model::readMeshEl(): weight index >= numweights");
    EXPECT_EQ(loadError(replaced(t, "numtris 1", "numtris 1 numtris 1")),
              "MD5Model::readMeshEl(): numtris has already been set");
    EXPECT_EQ(loadError(replaced(t, "numweights 3", "numweights 0")),
              "MD5Model::readMeshEl(): numweights must be greater than 0");
    EXPECT_EQ(loadError(replaced(t, "numverts 3", "numverts 4194305")),
              "MD5Model::readMeshEl(): numverts is too large");
    EXPECT_EQ(loadError(t.substr(0, t.rfind('}'))), "MD5Model::readMeshEl(): end of file inside 'mesh' block");
    // an unknown word inside a mesh block is skipped
    EXPECT_EQ(loadError(replaced(t, "numverts 3", "foo numverts 3")), "no exception");
}

TEST(MD5Model, ModelsThatCannotBeDrawnOrReferOutsideAreRejected) {
    const std::string t = kTriangle;
    EXPECT_EQ(loadError("MD5Version 10\n"), "no exception");  // parses, but
    EXPECT_EQ(loadError("MD5Version 10\n", true), "MD5Model::checkReferences(): the model has no mesh");
    EXPECT_EQ(loadError(replaced(t, "tri 0 0 1 2", "tri 0 0 1 3"), true),
              "MD5Model::checkReferences(): mesh 0 has a triangle corner outside its vertices");
    EXPECT_EQ(loadError(replaced(t, "vert 2 ( 0 1 ) 2 1", "vert 2 ( 0 1 ) 2 2"), true),
              "MD5Model::checkReferences(): mesh 0 has a vertex whose weights lie outside its weights");
    EXPECT_EQ(loadError(replaced(t, "vert 2 ( 0 1 ) 2 1", "vert 2 ( 0 1 ) -1 1"), true),
              "MD5Model::checkReferences(): mesh 0 has a vertex whose weights lie outside its weights");
    EXPECT_EQ(loadError(replaced(t, "weight 2 0 1.0", "weight 2 1 1.0"), true),
              "MD5Model::checkReferences(): mesh 0 has a weight whose joint is not in the joints");
    EXPECT_EQ(loadError(replaced(replaced(t, "numtris 1", ""), "tri 0 0 1 2", ""), true),
              "MD5Model::checkReferences(): mesh 0 has no triangles");
    EXPECT_EQ(loadError(t + "mesh { }\n", true), "MD5Model::checkReferences(): mesh 1 has no vertices");
}

TEST(MD5Model, ASecondLoadFailsOnTheJointCountAndFilesAreChecked) {
    MD5Model model;
    model.loadFromText(kTriangle);
    EXPECT_THROW(model.loadFromText(kTriangle), MD5Model::Exception);
    try {
        MD5Model().loadFile("models/missing.md5mesh");
        FAIL();
    } catch (const MD5Model::Exception& e) {
        EXPECT_STREQ(e.what(), "MD5Model::loadMesh(): unable to open models/missing.md5mesh for reading");
    }
    EXPECT_THROW(MD5Model().loadFile(nullptr), MD5Model::Exception);
}

TEST(MD5Model, ShippedModelsLoad) {
    for (const char* file : {"models/brain.md5mesh", "models/synapse.md5mesh"}) {
        if (!std::ifstream(file)) GTEST_SKIP() << file << " not shipped yet";
        MD5Model model;
        EXPECT_NO_THROW(model.loadFile(file)) << file;
    }
}
