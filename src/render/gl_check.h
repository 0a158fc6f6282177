#pragma once
// Frame-end OpenGL error check, active in builds configured with
// TUMBIX_GL_CHECK or when the environment sets TUMBIX_GL_CHECK (not "0"):
// prints "GL ERROR: 0x…" once for each distinct error code.

// Returns whether GL errors are checked in this run.
bool glCheckEnabled();
// Drains the GL error queue (checking builds only); returns how many errors were read.
int checkGlErrors();
// Returns the console line for an error code.
const char* glErrorLine(unsigned code, char (&buffer)[32]);
