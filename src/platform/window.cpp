#include "platform/window.h"

#include <GLFW/glfw3.h>

#include <cmath>

#include "platform/keys.h"

namespace platform {

namespace {

GLFWwindow* window = nullptr;
KeyHandler keyHandler = nullptr;
WheelHandler wheelHandler = nullptr;
WheelAccumulator wheel;

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
    if (sizeHandler) sizeHandler(w, h);
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

bool init() {
    glfwSetErrorCallback(nullptr);
    return glfwInit() == GLFW_TRUE;
}

void terminate() {
    glfwTerminate();
    window = nullptr;
}

bool openWindow(int width, int height, int depthBits, int stencilBits, const WindowHints& h) {
    glfwDefaultWindowHints();
    // The desktop matches the window to the menu entry and its icon by class.
    glfwWindowHintString(GLFW_X11_CLASS_NAME, "tumbix");
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, "tumbix");
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
    x = static_cast<int>(std::floor(dx));
    y = static_cast<int>(std::floor(dy));
}

void setMousePosition(int x, int y) {
    if (window) glfwSetCursorPos(window, x, y);
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
    if (window) glfwSwapBuffers(window);
}

void* procAddress(const char* name) { return reinterpret_cast<void*>(glfwGetProcAddress(name)); }

}  // namespace platform
