#include "render/depth_program.h"

#include <GL/glew.h>

#include <string>

#include "render/inline_program.h"

namespace {

// The position arithmetic must stay the same as in data/shader.vert. With
// SHADING defined, each vertex's face shading is passed on as well.
const char* const vertexBody = R"(
invariant gl_Position;
attribute vec4 vertex;
uniform mat4 perspective;
uniform mat4 view;
uniform mat4 model;
#if defined(SHADING)
attribute float shading;
varying float faceShading;
#endif
void main()
{
    vec4 world = model * vertex;
    vec4 eye = view * world;
    gl_Position = perspective * eye;
#if defined(SHADING)
    faceShading = shading;
#endif
}
)";

std::string vertexSource(bool shading) {
    return std::string("#version 120\n") + (shading ? "#define SHADING\n" : "") + vertexBody;
}

const char* const fragmentSource = R"(#version 120
void main()
{
    gl_FragColor = vec4(0.0);
}
)";

const char* const shadingFragmentSource = R"(#version 120
#extension GL_ARB_shader_stencil_export : require
varying float faceShading;
void main()
{
    gl_FragColor = vec4(0.0);
    gl_FragStencilRefARB = int(faceShading + 0.5);
}
)";

}  // namespace

unsigned shadingDepthProgram() {
    static const unsigned program =
        GLEW_ARB_shader_stencil_export ? buildInlineProgram(vertexSource(true).c_str(), shadingFragmentSource) : 0;
    return program;
}

unsigned depthProgram() {
    static const unsigned program = buildInlineProgram(vertexSource(false).c_str(), fragmentSource);
    return program;
}
