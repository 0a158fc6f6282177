#include "render/vertex_attributes.h"

#include <GL/glew.h>

void pointAttribute(int location, int size, int strideBytes, const void* data) {
    if (location < 0) return;
    glVertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, strideBytes, data);
}
