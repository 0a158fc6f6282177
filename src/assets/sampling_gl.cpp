#include "assets/sampling.h"

#include <GL/glew.h>

#include "assets/bitmap_font.h"

bool bilinearSampling = true;
int mipmapMode = 2;
int magFilter = GL_LINEAR;
int minFilter = GL_LINEAR_MIPMAP_LINEAR;
bool samplingChanged = true;

SamplingFilters samplingFilters(bool bilinear, int mipmap) {
    const int mag = bilinear ? GL_LINEAR : GL_NEAREST;
    switch (mipmap) {
    case 0:
        return {mag, mag};
    case 1:
        return {mag, bilinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST};
    default:
        return {mag, bilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR};
    }
}

std::vector<const char*> samplingMessages(bool bilinear, int mipmap) {
    std::vector<const char*> lines;
    lines.push_back(bilinear ? "Texture sampling by bilinear interpolation" : "Texture sampling by nearest neighbour");
    switch (mipmap) {
    case 0:
        lines.push_back("Mipmapping is OFF");
        break;
    case 1:
        lines.push_back("Mipmap sampling by nearest neighbour");
        break;
    default:
        lines.push_back("Mipmap sampling by linear interpolation");
        if (bilinear) lines.push_back("OMG, enabling trilinear interpolation, this is awesome!!");
        break;
    }
    return lines;
}

void applySamplingMode() {
    for (const char* line : samplingMessages(bilinearSampling, mipmapMode)) showMessage(line);
    const SamplingFilters filters = samplingFilters(bilinearSampling, mipmapMode);
    magFilter = filters.magFilter;
    minFilter = filters.minFilter;
    samplingChanged = true;
}
