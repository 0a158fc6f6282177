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

}  // namespace

unsigned depthProgram() {
    static const unsigned program = buildInlineProgram(vertexSource, fragmentSource);
    return program;
}
