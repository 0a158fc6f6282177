#pragma once
// The depth-only program of the main pass's depth pre-pass: it places
// vertices exactly where the scene program does ("vertex", "model", "view",
// "perspective", invariant position) and shades nothing.

// Returns the program, built quietly on first use; 0 when the driver
// refuses it (the caller then draws without a pre-pass).
unsigned depthProgram();
