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
    const auto upload = [format](int level, const Image& image) {
        glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format), image.width, image.height, 0, format,
                     GL_UNSIGNED_BYTE, image.pixels.data());
    };
    upload(0, img);
    if (glGenerateMipmap) {
        glGenerateMipmap(GL_TEXTURE_2D);
    } else {
        // Without it (a driver before 3.0 without framebuffer objects) the
        // chain is box-filtered here; a texture without one samples black
        // under mipmap filtering.
        for (int level = 1; img.width > 1 || img.height > 1; ++level) {
            img = halveImage(img);
            upload(level, img);
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlign);
    return true;
}

}  // namespace platform
