#pragma once
// Texture upload from TGA files (decoded by assets/tga.h).

namespace platform {

// Uploads `path` into the texture bound to GL_TEXTURE_2D with a full mipmap
// chain (by glGenerateMipmap, or box-filtered here where the driver lacks
// it). Returns false (and uploads nothing) when the file cannot be read or
// decoded. Needs a current context.
bool loadTexture2D(const char* path);

}  // namespace platform
