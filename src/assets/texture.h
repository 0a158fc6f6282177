#pragma once
// Mipmapped image textures from TGA files, bound with the global sampling mode.

// Creates a texture from a TGA file with a full mipmap chain and the current
// filters; returns its name, or 0 (after a failure line) when loading failed.
unsigned loadMipmapTexture(const char* fileName);
// Binds `texture` for drawing, re-applying the filters in the frame after a
// sampling change; binds nothing while the pass has no texture coordinates.
void bindTexture(unsigned texture);
