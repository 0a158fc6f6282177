#pragma once
// The window layer: one window, one GL context, input and time, over GLFW 3.
// It behaves the way the rest of the game expects of a windowing library:
// key codes from platform/keys.h, a running integer wheel position, window
// hints that apply to one open attempt only, and events polled inside
// swapBuffers so handlers run between frames.

namespace platform {

// Hints for one open attempt. Anything left at its default is not set, so an
// attempt asks for exactly what is listed for it and nothing carried over.
struct WindowHints {
    bool noResize = false;
    int versionMajor = 0;  // 0: no version requested (legacy context)
    int versionMinor = 0;
    bool compatProfile = false;
    bool setForwardCompat = false;
    bool forwardCompat = false;
    // The X11 class (and instance) name: the desktop matches the window to
    // its menu entry, and the entry's icon, by it.
    const char* windowClass = "tumbix";
};

struct WindowSize {
    int width = 0;
    int height = 0;
};

// The window for a frame of `frame` pixels on a work area (the screen less
// panels) of `area`, with decorations adding `decorations` (title bar and
// borders together): the frame's own size when it fits, else the largest
// window of the frame's shape that fits, at least 1 x 1. An unknown work
// area (0 x 0) is taken to hold the frame.
WindowSize fitWindow(WindowSize frame, WindowSize area, WindowSize decorations);

using KeyHandler = void (*)(int key, int action);
using SizeHandler = void (*)(int width, int height);
using WheelHandler = void (*)(int position);
using ButtonHandler = void (*)(int button, int action);  // button 0 left, 1 right; keys::Press / Release

// Adds up the wheel offsets GLFW 3 reports into a running integer position.
class WheelAccumulator {
public:
    // Returns the new position after an offset of `delta` notches.
    int add(double delta);
    int position() const { return position_; }

private:
    double total_ = 0.0;
    int position_ = 0;
};

bool init();  // false when no display can be opened
void terminate();

// Opens the window for frames of `width` x `height` with the given hints.
// Hints are reset to the library's defaults first. When the monitor's work
// area cannot hold a window of that size with its decorations, the window
// is the largest of the same shape that fits (fitWindow) and the frames
// are scaled into it: see startFrames. Sets the window icon from
// "icons/tumbix-<N>.tga" in the working directory where they are. Returns
// false when the context cannot be created.
bool openWindow(int width, int height, int depthBits, int stencilBits, const WindowHints& hints);
// Once GL's functions are loaded (after glewInit): where the window is
// smaller than the frame, every frame is drawn into a framebuffer object of
// the frame's size, which stands in for the window's framebuffer (binding
// framebuffer 0 binds it), and swapBuffers scales it into the window; mouse
// positions are in frame pixels. Where the window has the frame's size this
// does nothing. Returns false (and the frame is cut off) when the driver
// cannot scale.
bool startFrames();
bool windowOpen();  // false once the user has closed the window
void keepOpen();    // takes back a close request (an editor asking first)
void setWindowTitle(const char* title);

// Handlers; size and wheel handlers are called once at once with the current
// value, as the old library did.
void setKeyHandler(KeyHandler handler);
void setSizeHandler(SizeHandler handler);
void setWheelHandler(WheelHandler handler);
void setButtonHandler(ButtonHandler handler);

int wheelPosition();
void mousePosition(int& x, int& y);
void setMousePosition(int x, int y);
bool leftButtonDown();
bool keyDown(int key);  // game key code; Esc is the one the loop needs
void hideAndLockCursor();

double time();       // seconds since init()
void swapBuffers();  // polls events, then presents
void* procAddress(const char* name);

}  // namespace platform
