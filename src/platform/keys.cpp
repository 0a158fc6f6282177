#include "platform/keys.h"

#include <GLFW/glfw3.h>

namespace keys {

int fromGlfw(int k) {
    // GLFW 3 names printable keys by their US-layout ASCII code already,
    // letters in upper case.
    if (k >= GLFW_KEY_SPACE && k <= GLFW_KEY_GRAVE_ACCENT) return k;
    if (k >= GLFW_KEY_F1 && k <= GLFW_KEY_F25) return F1 + (k - GLFW_KEY_F1);
    if (k >= GLFW_KEY_KP_0 && k <= GLFW_KEY_KP_9) return Kp0 + (k - GLFW_KEY_KP_0);
    switch (k) {
        case GLFW_KEY_ESCAPE: return Esc;
        case GLFW_KEY_UP: return Up;
        case GLFW_KEY_DOWN: return Down;
        case GLFW_KEY_LEFT: return Left;
        case GLFW_KEY_RIGHT: return Right;
        case GLFW_KEY_LEFT_SHIFT: return LShift;
        case GLFW_KEY_RIGHT_SHIFT: return RShift;
        case GLFW_KEY_LEFT_CONTROL: return LCtrl;
        case GLFW_KEY_RIGHT_CONTROL: return RCtrl;
        case GLFW_KEY_LEFT_ALT: return LAlt;
        case GLFW_KEY_RIGHT_ALT: return RAlt;
        case GLFW_KEY_TAB: return Tab;
        case GLFW_KEY_ENTER: return Enter;
        case GLFW_KEY_BACKSPACE: return Backspace;
        case GLFW_KEY_INSERT: return Insert;
        case GLFW_KEY_DELETE: return Del;
        case GLFW_KEY_PAGE_UP: return PageUp;
        case GLFW_KEY_PAGE_DOWN: return PageDown;
        case GLFW_KEY_HOME: return Home;
        case GLFW_KEY_END: return End;
        case GLFW_KEY_KP_DIVIDE: return KpDivide;
        case GLFW_KEY_KP_MULTIPLY: return KpMultiply;
        case GLFW_KEY_KP_SUBTRACT: return KpSubtract;
        case GLFW_KEY_KP_ADD: return KpAdd;
        case GLFW_KEY_KP_DECIMAL: return KpDecimal;
        case GLFW_KEY_KP_EQUAL: return KpEqual;
        case GLFW_KEY_KP_ENTER: return KpEnter;
        case GLFW_KEY_NUM_LOCK: return KpNumLock;
        case GLFW_KEY_CAPS_LOCK: return CapsLock;
        case GLFW_KEY_SCROLL_LOCK: return ScrollLock;
        case GLFW_KEY_PAUSE: return Pause;
        case GLFW_KEY_LEFT_SUPER: return LSuper;
        case GLFW_KEY_RIGHT_SUPER: return RSuper;
        case GLFW_KEY_MENU: return Menu;
        case GLFW_KEY_WORLD_1:
        case GLFW_KEY_WORLD_2: return k;
        default: return -1;
    }
}

int fromGlfw(int k, const char* typed) {
    const bool printable = (k >= GLFW_KEY_SPACE && k <= GLFW_KEY_GRAVE_ACCENT) || k == GLFW_KEY_WORLD_1 ||
                           k == GLFW_KEY_WORLD_2 || k == GLFW_KEY_UNKNOWN;
    if (printable && typed && typed[0] > ' ' && typed[0] < 0x7f && typed[1] == '\0') {
        const char c = typed[0];
        return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    }
    return fromGlfw(k);
}

}  // namespace keys
