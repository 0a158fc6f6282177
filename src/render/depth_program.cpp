#include "render/depth_program.h"

#include <GL/glew.h>

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

// Returns a compiled shader, or 0.
GLuint compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    glDeleteShader(shader);
    return 0;
}

GLuint build() {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);  // the program keeps them while it lives
    glDeleteShader(fragment);
    return program;
}

}  // namespace

unsigned depthProgram() {
    static const GLuint program = build();
    return program;
}
