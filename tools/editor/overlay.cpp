#include "editor/overlay.h"

#include <GL/glew.h>

#include "editor/level_document.h"
#include "render/inline_program.h"
#include "world/block.h"

namespace {

const char* const vertexSource = R"(#version 120
attribute vec4 vertex;
uniform mat4 clip;
void main() { gl_Position = clip * vertex; }
)";

const char* const fragmentSource = R"(#version 120
uniform vec4 color;
void main() { gl_FragColor = color; }
)";

GLuint program = 0;
GLint clipLocation = -1, colorLocation = -1, vertexLocation = -1;

// Draws `count` corners from client memory as `mode` in `rgba`.
void drawCorners(GLenum mode, const float* corners, int count, const Mat4& clip, const float (&rgba)[4]) {
    glUseProgram(program);
    glUniformMatrix4fv(clipLocation, 1, GL_FALSE, clip.data());
    glUniform4fv(colorLocation, 1, rgba);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(vertexLocation);
    glVertexAttribPointer(vertexLocation, 3, GL_FLOAT, GL_FALSE, 0, corners);
    glDrawArrays(mode, 0, count);
    glDisableVertexAttribArray(vertexLocation);
    glUseProgram(0);
}

}  // namespace

bool initOverlay() {
    program = buildInlineProgram(vertexSource, fragmentSource);
    if (!program) return false;
    clipLocation = glGetUniformLocation(program, "clip");
    colorLocation = glGetUniformLocation(program, "color");
    vertexLocation = glGetAttribLocation(program, "vertex");
    return vertexLocation >= 0;
}

void drawFaceHighlight(const DocumentBlock& block, int face, const Mat4& clip) {
    if (!program) return;
    float corners[12];
    for (int c = 0; c < 4; ++c) {
        const float* offset = faceOffsets[face * 4 + c];
        // a hair outside the face, so it wins the depth test against it
        const float lift = 0.002f;
        corners[c * 3 + 0] = float(block.x) + offset[0] * (1.0f + lift);
        corners[c * 3 + 1] = float(block.y) + offset[1] * (1.0f + lift);
        corners[c * 3 + 2] = float(block.z) + offset[2] * (1.0f + lift);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    drawCorners(GL_TRIANGLE_FAN, corners, 4, clip, {1.0f, 0.9f, 0.1f, 0.35f});
    drawCorners(GL_LINE_LOOP, corners, 4, clip, {1.0f, 0.9f, 0.1f, 1.0f});
    glEnable(GL_CULL_FACE);
}

void drawPanel(float x0, float y0, float x1, float y1) {
    if (!program) return;
    const float corners[12] = {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0};
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    drawCorners(GL_TRIANGLE_FAN, corners, 4, Mat4::identity(), {0.0f, 0.0f, 0.0f, 0.6f});
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}
