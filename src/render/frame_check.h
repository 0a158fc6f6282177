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
//                            usual drawing differ from the plain one
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

// Set by a comparing scene draw: pixels of the last frame that differ from
// the plain drawing; -1 when the frame was not compared.
extern long referenceDifference;
// Prints the frame line when frame lines are on. Call after presenting a
// frame that showed `messages` on-screen messages.
void reportFrameDrawn(std::size_t messages);
