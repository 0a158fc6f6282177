#include "render/gl_check.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "log/console.h"

bool glCheckEnabled() {
#ifdef TUMBIX_GL_CHECK
    return true;
#else
    // Any build checks when asked to; the end-to-end tests always ask.
    static const bool requested = [] {
        const char* value = std::getenv("TUMBIX_GL_CHECK");
        return value && *value && std::string_view(value) != "0";
    }();
    return requested;
#endif
}

const char* glErrorLine(unsigned code, char (&buffer)[32]) {
    std::snprintf(buffer, sizeof buffer, "GL ERROR: 0x%04X", code);
    return buffer;
}

int checkGlErrors() {
    if (!glCheckEnabled()) return 0;
    static std::set<unsigned> reported;
    int count = 0;
    // A lost context can report errors forever; a frame never has this many.
    for (GLenum error = glGetError(); error != GL_NO_ERROR && count < 64; error = glGetError()) {
        ++count;
        if (!reported.insert(error).second) continue;
        char line[32];
        console() << glErrorLine(error, line) << std::endl;
    }
    return count;
}
