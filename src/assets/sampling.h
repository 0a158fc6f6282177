#pragma once
// The global texture sampling mode: nearest or bilinear filtering within a
// mip level (F4) and three mipmap modes (F5), applied to every texture bound
// through bindTexture in the frame after a change.

#include <vector>

extern bool bilinearSampling;  // linear instead of nearest filtering
extern int mipmapMode;         // 0 off, 1 nearest mip level, 2 linear between levels
extern int magFilter;          // GL enum for GL_TEXTURE_MAG_FILTER
extern int minFilter;          // GL enum for GL_TEXTURE_MIN_FILTER
extern bool samplingChanged;   // while true bindTexture re-applies the filters

struct SamplingFilters {
    int magFilter;
    int minFilter;
};

// Returns the filters of a mode (mipmap modes outside 0..2 count as 2).
SamplingFilters samplingFilters(bool bilinear, int mipmap);
// Returns the messages that announce a mode, in the order they are shown.
std::vector<const char*> samplingMessages(bool bilinear, int mipmap);

// Announces the current mode on console and screen, recomputes the filters
// and sets samplingChanged.
void applySamplingMode();
