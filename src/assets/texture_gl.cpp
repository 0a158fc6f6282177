#include <GL/glew.h>

#include "assets/sampling.h"
#include "assets/texture.h"
#include "log/console.h"
#include "platform/image.h"
#include "platform/settings.h"

namespace {

void applyFilters() {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(magFilter));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(minFilter));
}

}  // namespace

unsigned loadMipmapTexture(const char* fileName) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    console() << "newest mipmap-texture #" << texture << std::endl;
    glBindTexture(GL_TEXTURE_2D, texture);
    applyFilters();
    if (platform::loadTexture2D(fileName)) return texture;
    console() << "texture loading mipmap bla failed" << std::endl;
    return 0;
}

void bindTexture(unsigned texture) {
    if (texCoordAttribLocation == -1) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (samplingChanged) applyFilters();
}
