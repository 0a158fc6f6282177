#include "render/frame_check.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string_view>

long referenceDifference = -1;
long referenceTies = -1;

namespace {

bool switchedOn(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::string_view(value) != "0";
}

}  // namespace

RenderPath requestedRenderPath() {
    static const RenderPath path = switchedOn("TUMBIX_RENDER_COMPARE")     ? RenderPath::Compare
                                   : switchedOn("TUMBIX_RENDER_REFERENCE") ? RenderPath::Reference
                                                                           : RenderPath::Fast;
    return path;
}

bool frameLinesEnabled() {
    static const bool on = switchedOn("TUMBIX_FRAME_LINES") || requestedRenderPath() == RenderPath::Compare;
    return on;
}

double fixedStepSeconds() {
    static const double step = [] {
        const char* value = std::getenv("TUMBIX_FIXED_STEP");
        const double s = value ? std::strtod(value, nullptr) : 0.0;
        return s > 0.0 && s <= 0.1 ? s : 0.0;  // anything else (NaN too) keeps the clock
    }();
    return step;
}

std::size_t differingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                            int channels) {
    const std::size_t step = static_cast<std::size_t>(std::max(channels, 1));
    const std::size_t common = std::min(a.size(), b.size()) / step;
    std::size_t count = (std::max(a.size(), b.size()) + step - 1) / step - common;
    for (std::size_t p = 0; p < common; ++p)
        if (!std::equal(a.begin() + p * step, a.begin() + (p + 1) * step, b.begin() + p * step)) ++count;
    return count;
}

FrameDifference compareFrames(const std::vector<std::uint8_t>& colourA, const std::vector<std::uint8_t>& colourB,
                              const std::vector<std::uint32_t>& depthA, const std::vector<std::uint32_t>& depthB,
                              std::uint32_t depthTolerance) {
    FrameDifference d;
    d.differing = differingPixels(colourA, colourB, 4);
    const std::size_t common = std::min({colourA.size() / 4, colourB.size() / 4, depthA.size(), depthB.size()});
    for (std::size_t p = 0; p < common; ++p)
        if (std::max(depthA[p], depthB[p]) - std::min(depthA[p], depthB[p]) <= depthTolerance &&
            !std::equal(colourA.begin() + 4 * p, colourA.begin() + 4 * (p + 1),
                                                  colourB.begin() + 4 * p))
            ++d.ties;
    return d;
}

void reportFrameDrawn(std::size_t messages) {
    if (!frameLinesEnabled()) return;
    std::cout << "frame drawn: " << messages << " messages";
    if (referenceDifference >= 0) {
        std::cout << ", " << referenceDifference << " pixels differ from the reference";
        if (referenceDifference > 0) std::cout << ", " << referenceTies << " of them at depth ties";
    }
    std::cout << std::endl;
}
