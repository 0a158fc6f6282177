#include <GL/glew.h>

#include "assets/bitmap_font.h"
#include "platform/settings.h"

namespace {

constexpr float kMessageScale = 0.001f;
constexpr float kMessageX = -0.99f;
constexpr float kFirstMessageY = 0.7f;
constexpr float kMessageSpacing = 0.03f;

// Whether drawMessages has made a linked text program current this frame.
bool textReady = false;

void setColor(GLuint program, float r, float g, float b) {
    const GLfloat color[4] = {r, g, b, 1.0f};
    glUniform4fv(glGetUniformLocation(program, "color"), 1, color);
}

}  // namespace

ShaderProgram buildTextProgram() { return buildProgram("geometry.vert", "geometry.frag"); }

bool loadFont(unsigned textureName) { return font && loadFont(*font, textureName, "arial.glf"); }

bool loadFont(BitmapFont& target, unsigned textureName, const char* path) {
    GlfFont file;
    if (!readGlfFile(path, file)) return false;
    target.adopt(file);
    target.texture = static_cast<int>(textureName);

    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // rows of two-byte texels need not be 4-byte aligned
    GLint oldAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 2, file.textureWidth, file.textureHeight, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, file.texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
    return true;
}

void drawText(const char* text, const BitmapFont& font, float scale, float x, float y) {
    if (!textReady || vertexAttribLocation < 0 || texCoordAttribLocation < 0) return;
    for (const GlyphQuad& quad : layoutText(text, font, scale, x, y)) {
        glVertexAttribPointer(vertexAttribLocation, 4, GL_FLOAT, GL_FALSE, 0, quad.positions);
        glVertexAttribPointer(texCoordAttribLocation, 2, GL_FLOAT, GL_FALSE, 0, quad.texCoords);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, glyphQuadIndices);
    }
}

void drawMessages() {
    textReady = false;
    if (!font || !programLinked(font->program)) return;
    const GLuint program = font->program;
    glUseProgram(program);
    textReady = true;
    vertexAttribLocation = glGetAttribLocation(program, "vertex");
    texCoordAttribLocation = glGetAttribLocation(program, "vTexCoord");
    if (vertexAttribLocation >= 0) glEnableVertexAttribArray(vertexAttribLocation);
    if (texCoordAttribLocation >= 0) glEnableVertexAttribArray(texCoordAttribLocation);
    // text comes from client memory, so no buffer may stay bound
    if (vboSupported) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, font->texture >= 0 ? static_cast<GLuint>(font->texture) : 0);

    setColor(program, 1.0f, 0.0f, 0.0f);
    float y = kFirstMessageY;
    for (const ScreenMessage& message : font->messages) {
        drawText(message.text.c_str(), *font, kMessageScale, kMessageX, y);
        y -= kMessageSpacing;
    }
    setColor(program, 0.0f, 1.0f, 0.0f);
}

void endText() {
    if (!textReady) return;
    textReady = false;
    if (vertexAttribLocation >= 0) glDisableVertexAttribArray(vertexAttribLocation);
    if (texCoordAttribLocation >= 0) glDisableVertexAttribArray(texCoordAttribLocation);
}
