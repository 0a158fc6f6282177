#pragma once
// Small helper programs whose GLSL lives in the code (the depth pre-pass,
// tool overlays), built quietly: no console lines, unlike the scene programs
// read from files.

// Returns a linked program from the two sources, or 0 when the driver
// refuses either shader or the link.
unsigned buildInlineProgram(const char* vertexSource, const char* fragmentSource);
