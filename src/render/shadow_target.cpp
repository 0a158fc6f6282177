#include "render/shadow_target.h"

#include <GL/glew.h>

#include <iostream>

unsigned shadowTexture = 0;

namespace {

bool framebuffersSupported() { return glGenFramebuffers && glBindFramebuffer && glFramebufferTexture2D; }

// Makes a depth texture for comparison lookups, bound on the active unit.
GLuint makeDepthTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, shadowMapSize, shadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    // Taps just past the map's edge read its edge texels: the border colour
    // (depth 0) would draw a dark line along the edge of the light's view.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

// Returns a depth-only framebuffer drawing into `texture`.
GLuint makeDepthFramebuffer(GLuint texture) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return framebuffer;
}

}  // namespace

unsigned createShadowTarget() {
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    shadowTexture = makeDepthTexture();

    if (!framebuffersSupported()) {
        // A driver without framebuffer objects cannot render the light's
        // view: the map holds the far plane, so every surface is lit.
        std::cout << "ERROR: no support for framebuffer objects, drawing without shadows" << std::endl;
        const GLuint farPlane = 0xffffffffu;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 1, 1, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &farPlane);
        glActiveTexture(GL_TEXTURE0);
        return 0;
    }
    const GLuint framebuffer = makeDepthFramebuffer(shadowTexture);
    glActiveTexture(GL_TEXTURE0);
    return framebuffer;
}

DepthTarget createDepthTarget() {
    if (!framebuffersSupported()) return {};
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    DepthTarget target;
    target.texture = makeDepthTexture();
    target.framebuffer = makeDepthFramebuffer(target.texture);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return target;
}
