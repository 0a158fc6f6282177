#pragma once
// The depth-only program of the main pass's depth pre-pass: it places
// vertices exactly where the scene program does ("vertex", "model", "view",
// "perspective", invariant position) and shades nothing.

// Returns the program, built quietly on first use; 0 when the driver
// refuses it (the caller then draws without a pre-pass).
unsigned depthProgram();
// The same with a float attribute "shading" per vertex that the fragment
// writes into the stencil buffer (GL_ARB_shader_stencil_export), so the
// pre-pass leaves at every pixel the shading of the face that wins it; 0
// when the driver lacks the extension or refuses the program.
unsigned shadingDepthProgram();
