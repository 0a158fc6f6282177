#pragma once
// Frame-end OpenGL error check, active in builds configured with
// TUMBIX_GL_CHECK: prints "GL ERROR: 0x…" once for each distinct error code.

// Returns whether this build checks for GL errors.
bool glCheckEnabled();
// Drains the GL error queue (checking builds only); returns how many errors were read.
int checkGlErrors();
// Returns the console line for an error code.
const char* glErrorLine(unsigned code, char (&buffer)[32]);
