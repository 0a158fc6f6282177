#include "platform/window.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/tga.h"
#include "log/console.h"
#include "platform/keys.h"

namespace platform {

namespace {

GLFWwindow* window = nullptr;
KeyHandler keyHandler = nullptr;
WheelHandler wheelHandler = nullptr;
WheelAccumulator wheel;

// The frame the game draws and the window it is shown in; they differ only
// where the screen cannot hold the frame (see openWindow).
WindowSize frameSize, windowSize;
// Set by startFrames where they differ: frames go to `frameTarget`, and the
// driver's glBindFramebuffer is kept here while GLEW's entry binds
// `frameTarget` for framebuffer 0.
bool scaled = false;
GLuint frameTarget = 0;
PFNGLBINDFRAMEBUFFERPROC driverBindFramebuffer = nullptr;

void GLAPIENTRY bindFramebufferOrFrame(GLenum target, GLuint framebuffer) {
    driverBindFramebuffer(target, framebuffer == 0 ? frameTarget : framebuffer);
}

void onGlfwKey(GLFWwindow*, int key, int scancode, int action, int) {
    if (action == GLFW_REPEAT) return;  // the game reacts to presses and releases only
    // Letters and signs by what the layout types, not by where the key sits
    // on a US keyboard.
    const int code = keys::fromGlfw(key, glfwGetKeyName(key, scancode));
    if (code < 0 || !keyHandler) return;
    keyHandler(code, action == GLFW_PRESS ? keys::Press : keys::Release);
}

void onGlfwScroll(GLFWwindow*, double, double dy) {
    const int before = wheel.position();
    const int after = wheel.add(dy);
    if (after != before && wheelHandler) wheelHandler(after);
}

ButtonHandler buttonHandler = nullptr;
void onGlfwButton(GLFWwindow*, int button, int action, int) {
    if (!buttonHandler || (button != GLFW_MOUSE_BUTTON_LEFT && button != GLFW_MOUSE_BUTTON_RIGHT)) return;
    buttonHandler(button == GLFW_MOUSE_BUTTON_LEFT ? 0 : 1, action == GLFW_PRESS ? keys::Press : keys::Release);
}

SizeHandler sizeHandler = nullptr;
void onGlfwSize(GLFWwindow*, int w, int h) {
    windowSize = {w, h};
    if (sizeHandler) sizeHandler(w, h);
}

// Scales `value` from window to frame pixels (or back, with the sizes swapped).
double scale(double value, int to, int from) { return from > 0 ? value * to / from : value; }

// The window icon in the sizes the content has, from the game's own icons.
void setWindowIcon() {
    std::vector<Image> images;
    for (const int size : {16, 32, 48}) {
        const std::string path = "icons/tumbix-" + std::to_string(size) + ".tga";
        std::error_code missing;
        if (!std::filesystem::exists(path, missing)) continue;  // the desktop's default icon then
        Image img;
        if (!readTgaFile(path, img) || img.channels < 3) {
            console() << "WARNING: window icon " << path << " is not a colour TGA image" << std::endl;
            continue;
        }
        // GLFW wants RGBA rows from the top; the decoder gives rows from the
        // bottom.
        Image rgba;
        rgba.width = img.width;
        rgba.height = img.height;
        rgba.channels = 4;
        rgba.pixels.resize(static_cast<std::size_t>(img.width) * img.height * 4);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const std::uint8_t* from =
                    &img.pixels[(static_cast<std::size_t>(img.height - 1 - y) * img.width + x) * img.channels];
                std::uint8_t* to = &rgba.pixels[(static_cast<std::size_t>(y) * img.width + x) * 4];
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
                to[3] = img.channels == 4 ? from[3] : 255;
            }
        images.push_back(std::move(rgba));
    }
    if (images.empty()) return;
    std::vector<GLFWimage> icons;
    for (Image& img : images) icons.push_back({img.width, img.height, img.pixels.data()});
    glfwSetWindowIcon(window, static_cast<int>(icons.size()), icons.data());
}

int glfwKeyFor(int code) {
    if (code == keys::Esc) return GLFW_KEY_ESCAPE;
    if (code >= GLFW_KEY_SPACE && code <= GLFW_KEY_GRAVE_ACCENT) return code;
    if (code >= keys::F1 && code <= keys::F25) return GLFW_KEY_F1 + (code - keys::F1);
    return GLFW_KEY_UNKNOWN;
}

}  // namespace

int WheelAccumulator::add(double delta) {
    total_ += delta;
    position_ = static_cast<int>(std::lround(total_));
    return position_;
}

WindowSize fitWindow(WindowSize frame, WindowSize area, WindowSize decorations) {
    if (area.width <= 0 || area.height <= 0 || frame.width <= 0 || frame.height <= 0) return frame;
    const long long roomWidth = area.width - decorations.width;
    const long long roomHeight = area.height - decorations.height;
    if (frame.width <= roomWidth && frame.height <= roomHeight) return frame;
    const long long height = std::min(roomHeight, roomWidth * frame.height / frame.width);
    const long long width = height * frame.width / frame.height;
    return {static_cast<int>(std::max(1LL, width)), static_cast<int>(std::max(1LL, height))};
}

bool init() {
    glfwSetErrorCallback(nullptr);
    return glfwInit() == GLFW_TRUE;
}

void terminate() {
    glfwTerminate();
    window = nullptr;
    scaled = false;
    frameTarget = 0;
}

bool openWindow(int width, int height, int depthBits, int stencilBits, const WindowHints& h) {
    glfwDefaultWindowHints();
    glfwWindowHintString(GLFW_X11_CLASS_NAME, h.windowClass);
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, h.windowClass);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);  // shown once it has its size
    glfwWindowHint(GLFW_DEPTH_BITS, depthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, stencilBits);
    if (h.noResize) glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    if (h.versionMajor > 0) {
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, h.versionMajor);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, h.versionMinor);
    }
    if (h.compatProfile) glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_COMPAT_PROFILE);
    if (h.setForwardCompat)
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, h.forwardCompat ? GLFW_TRUE : GLFW_FALSE);

    window = glfwCreateWindow(width, height, "", nullptr, nullptr);
    if (!window) return false;
    frameSize = windowSize = {width, height};
    // The work area leaves out panels; the decorations are known once the
    // window exists (the window manager is asked for them).
    WindowSize area;
    int areaX = 0, areaY = 0;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor())
        glfwGetMonitorWorkarea(monitor, &areaX, &areaY, &area.width, &area.height);
    int left = 0, top = 0, right = 0, bottom = 0;
    glfwGetWindowFrameSize(window, &left, &top, &right, &bottom);
    windowSize = fitWindow(frameSize, area, {left + right, top + bottom});
    if (windowSize.width != width || windowSize.height != height) {
        console() << "screen work area " << area.width << "x" << area.height << ": " << width << "x" << height
                  << " frames shown in a window of " << windowSize.width << "x" << windowSize.height << std::endl;
        glfwSetWindowSize(window, windowSize.width, windowSize.height);
        glfwSetWindowPos(window, areaX + left, areaY + top);
    }
    setWindowIcon();
    glfwShowWindow(window);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    // A quick tap of Esc between two polls must still end the loop.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetKeyCallback(window, onGlfwKey);
    glfwSetScrollCallback(window, onGlfwScroll);
    glfwSetMouseButtonCallback(window, onGlfwButton);
    glfwSetWindowSizeCallback(window, onGlfwSize);
    return true;
}

bool startFrames() {
    if (!window || scaled) return true;
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width >= frameSize.width && height >= frameSize.height) return true;
    if (!glGenFramebuffers || !glBindFramebuffer || !glBlitFramebuffer || !glGenRenderbuffers ||
        !glRenderbufferStorage || !glFramebufferRenderbuffer || !glCheckFramebufferStatus) {
        console() << "WARNING: the driver cannot scale frames: the window shows "
                     "part of each"
                  << std::endl;
        return false;
    }
    GLuint buffers[2] = {0, 0};
    glGenRenderbuffers(2, buffers);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, frameSize.width, frameSize.height);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, frameSize.width, frameSize.height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    GLuint target = 0;
    glGenFramebuffers(1, &target);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &target);
        glDeleteRenderbuffers(2, buffers);
        console() << "WARNING: the driver cannot scale frames: the window shows "
                     "part of each"
                  << std::endl;
        return false;
    }
    frameTarget = target;
    driverBindFramebuffer = glBindFramebuffer;
    glBindFramebuffer = bindFramebufferOrFrame;
    scaled = true;
    glViewport(0, 0, frameSize.width, frameSize.height);
    return true;
}

bool windowOpen() { return window && !glfwWindowShouldClose(window); }

void keepOpen() {
    if (window) glfwSetWindowShouldClose(window, GLFW_FALSE);
}

void setWindowTitle(const char* title) {
    if (window) glfwSetWindowTitle(window, title);
}

void setKeyHandler(KeyHandler handler) { keyHandler = handler; }

void setSizeHandler(SizeHandler handler) {
    sizeHandler = handler;
    if (handler && window) {
        int w = 0, hgt = 0;
        glfwGetWindowSize(window, &w, &hgt);
        handler(w, hgt);
    }
}

void setWheelHandler(WheelHandler handler) {
    wheelHandler = handler;
    if (handler) handler(wheel.position());
}

void setButtonHandler(ButtonHandler handler) { buttonHandler = handler; }

int wheelPosition() { return wheel.position(); }

void mousePosition(int& x, int& y) {
    double dx = 0.0, dy = 0.0;
    if (window) glfwGetCursorPos(window, &dx, &dy);
    if (scaled) {
        dx = scale(dx, frameSize.width, windowSize.width);
        dy = scale(dy, frameSize.height, windowSize.height);
    }
    x = static_cast<int>(std::floor(dx));
    y = static_cast<int>(std::floor(dy));
}

void setMousePosition(int x, int y) {
    if (!window) return;
    if (scaled)
        glfwSetCursorPos(window, scale(x, windowSize.width, frameSize.width),
                         scale(y, windowSize.height, frameSize.height));
    else
        glfwSetCursorPos(window, x, y);
}

bool leftButtonDown() {
    return window && glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS;
}

bool keyDown(int key) {
    const int k = glfwKeyFor(key);
    return window && k != GLFW_KEY_UNKNOWN && glfwGetKey(window, k) == GLFW_PRESS;
}

void hideAndLockCursor() {
    if (window) glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
}

double time() { return glfwGetTime(); }

void swapBuffers() {
    glfwPollEvents();
    if (!window) return;
    if (scaled) {
        // The frame into the window's back buffer, filtered; blits pass by
        // every per-fragment state but the scissor.
        driverBindFramebuffer(GL_READ_FRAMEBUFFER, frameTarget);
        driverBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        const bool scissor = glIsEnabled(GL_SCISSOR_TEST);
        if (scissor) glDisable(GL_SCISSOR_TEST);
        int width = 0, height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        glBlitFramebuffer(0, 0, frameSize.width, frameSize.height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        if (scissor) glEnable(GL_SCISSOR_TEST);
        glfwSwapBuffers(window);
        driverBindFramebuffer(GL_FRAMEBUFFER, frameTarget);
        return;
    }
    glfwSwapBuffers(window);
}

void* procAddress(const char* name) { return reinterpret_cast<void*>(glfwGetProcAddress(name)); }

}  // namespace platform
