#include "platform/image.h"

#include <GL/glew.h>

#include "assets/tga.h"

namespace platform {

bool loadTexture2D(const char* path) {
    Image img;
    if (!path || !readTgaFile(path, img)) return false;
    static const GLenum formats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    const GLenum format = formats[img.channels - 1];
    GLint oldAlign = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlign);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), img.width, img.height, 0, format,
                 GL_UNSIGNED_BYTE, img.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlign);
    if (glGenerateMipmap) glGenerateMipmap(GL_TEXTURE_2D);
    return true;
}

}  // namespace platform
