#pragma once
// Switches for tests, read once from the environment like TUMBIX_GL_CHECK
// (set and not "0" means on):
//   TUMBIX_FRAME_LINES       after every presented frame the console gets
//                            the line "frame drawn: N messages" (N on-screen
//                            messages were drawn), so a test can wait for
//                            frames instead of time;
//   TUMBIX_RENDER_REFERENCE  the scene is drawn the plain way: every face of
//                            every block in both passes, no depth pre-pass;
//   TUMBIX_RENDER_COMPARE    every frame is drawn both ways and read back;
//                            the frame line then says how many pixels of the
//                            usual drawing differ from the plain one and how
//                            many of them are depth ties (compareFrames)
//                            (implies TUMBIX_FRAME_LINES);
//   TUMBIX_FIXED_STEP=S      every update step advances the game by S
//                            seconds (0 < S <= 0.1) instead of the time since
//                            the last step, so a test sees the same moments
//                            of play however fast the machine draws.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class RenderPath { Fast, Reference, Compare };

// Returns the drawing the environment asks for (Fast unless a test asks).
RenderPath requestedRenderPath();
// Returns whether frame lines are printed.
bool frameLinesEnabled();
// Returns the fixed game time per update step, 0 when steps follow the clock.
double fixedStepSeconds();

// Pixels (groups of `channels` bytes) where a and b differ in any byte;
// every pixel past the shorter one counts as differing.
std::size_t differingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                            int channels);

// Of the pixels where two drawings of one frame differ in colour, those where
// their depth buffers hold the same depth, to within `depthTolerance`: there
// two faces met the pixel at one depth, on an edge they share, and the
// drawing order (or the rounding of the rasteriser, where one drawing left
// out a face that the other's face covers from the edge on) chose the
// colour: a tie.
struct FrameDifference {
    std::size_t differing = 0;
    std::size_t ties = 0;
};
// Compares RGBA colour (4 bytes a pixel) and depth (one value a pixel) of
// two drawings of the same size; every pixel past the shorter one differs
// and is no tie.
FrameDifference compareFrames(const std::vector<std::uint8_t>& colourA, const std::vector<std::uint8_t>& colourB,
                              const std::vector<std::uint32_t>& depthA, const std::vector<std::uint32_t>& depthB,
                              std::uint32_t depthTolerance);

// Set by a comparing scene draw: pixels of the last frame that differ from
// the plain drawing, and how many of them are depth ties; -1 when the frame
// was not compared.
extern long referenceDifference;
extern long referenceTies;
// Prints the frame line when frame lines are on. Call after presenting a
// frame that showed `messages` on-screen messages.
void reportFrameDrawn(std::size_t messages);
