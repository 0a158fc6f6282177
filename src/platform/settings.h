#pragma once
// Process-wide display settings toggled by the function keys, and the vertex
// attribute and uniform locations of the program in use, which every drawing
// routine reads. They live here, below every subsystem that draws.

extern bool showStepCounter;      // F2; window title and HUD
extern bool filledPolygons;       // F3
extern bool vboEnabled;           // F6; draw from GPU buffers instead of client memory
extern bool vboSupported;         // set once at start-up from the driver
extern bool transparencyEnabled;  // F9

extern int vertexAttribLocation;
extern int normalAttribLocation;
extern int texCoordAttribLocation;  // -1 while the pass has no texture coordinates
extern int modelUniformLocation;
