#include "render/depth_program.h"

#include <GL/glew.h>

#include "render/inline_program.h"

namespace {

// The position arithmetic must stay the same as in data/shader.vert.
const char* const vertexSource = R"(#version 120
invariant gl_Position;
attribute vec4 vertex;
uniform mat4 perspective;
uniform mat4 view;
uniform mat4 model;
void main()
{
    vec4 world = model * vertex;
    vec4 eye = view * world;
    gl_Position = perspective * eye;
}
)";

const char* const fragmentSource = R"(#version 120
void main()
{
    gl_FragColor = vec4(0.0);
}
)";

// The same placement, passing each vertex's face shading on.
const char* const shadingVertexSource = R"(#version 120
invariant gl_Position;
attribute vec4 vertex;
attribute float shading;
uniform mat4 perspective;
uniform mat4 view;
uniform mat4 model;
varying float faceShading;
void main()
{
    vec4 world = model * vertex;
    vec4 eye = view * world;
    gl_Position = perspective * eye;
    faceShading = shading;
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
        GLEW_ARB_shader_stencil_export ? buildInlineProgram(shadingVertexSource, shadingFragmentSource) : 0;
    return program;
}

unsigned depthProgram() {
    static const unsigned program = buildInlineProgram(vertexSource, fragmentSource);
    return program;
}
