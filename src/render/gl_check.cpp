#include "render/gl_check.h"

#include <GL/glew.h>

#include <cstdio>
#include <iostream>
#include <set>

bool glCheckEnabled() {
#ifdef TUMBIX_GL_CHECK
    return true;
#else
    return false;
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
        std::cout << glErrorLine(error, line) << std::endl;
    }
    return count;
}
