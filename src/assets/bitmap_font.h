#pragma once
// The bitmap font: the ".glf" font file, text layout as textured quads, and
// the on-screen message list drawn in red at the left edge of the screen.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/shader.h"

// One glyph as stored in a ".glf" file: its size as fractions of the texture
// size and the texture coordinates of its top-left and bottom-right corners.
struct Glyph {
    float dx = 0, dy = 0;
    float tx1 = 0, ty1 = 0;
    float tx2 = 0, ty2 = 0;
};
static_assert(sizeof(Glyph) == 24);

// The contents of a ".glf" file.
struct GlfFont {
    int textureWidth = 0;
    int textureHeight = 0;
    int firstChar = 0;
    int lastChar = 0;
    std::vector<Glyph> glyphs;          // lastChar - firstChar + 1 of them
    std::vector<std::uint8_t> texels;   // luminance, alpha; the first row is texture row 0
};

// Largest texture side and glyph count a font file may declare.
inline constexpr int kMaxFontTextureSide = 8192;
inline constexpr int kMaxFontGlyphs = 65536;

// Parses a ".glf" image held in memory. Returns false for a truncated or
// inconsistent file (sizes it does not hold, last character below the first,
// absurd dimensions); `out` is then left empty.
bool parseGlf(const std::uint8_t* data, std::size_t size, GlfFont& out);
// Reads and parses a ".glf" file; false when it cannot be read or parsed.
bool readGlfFile(const char* path, GlfFont& out);

// A text on screen and the seconds it has left.
struct ScreenMessage {
    std::string text;
    double remaining = 2.0;
};

class BitmapFont {
public:
    explicit BitmapFont(ShaderProgram textProgram = 0) : program(textProgram) {}

    int texture = -1;  // GL texture name once loadFont has run
    int textureWidth = 0;
    int textureHeight = 0;
    int firstChar = 0;
    int lastChar = 0;
    std::vector<Glyph> glyphs;
    ShaderProgram program = 0;
    std::vector<ScreenMessage> messages;  // oldest first

    // Returns the glyph of character code c, or null when the font lacks it.
    const Glyph* glyphFor(int c) const;
    // Takes over sizes and glyphs of a parsed file (not the texels).
    void adopt(const GlfFont& file);
};

// One glyph quad: corners top-left, bottom-left, bottom-right, top-right as
// clip-space (x, y, z, w) and texture coordinates (u, v).
struct GlyphQuad {
    float positions[16];
    float texCoords[8];
};
// Two counter-clockwise triangles over the corners of a GlyphQuad.
inline constexpr std::uint32_t glyphQuadIndices[6] = {0, 2, 3, 0, 1, 2};

// Returns the quads of `text` with the pen starting at (x, y), the top-left
// corner of the first glyph; characters outside the font are skipped.
std::vector<GlyphQuad> layoutText(const char* text, const BitmapFont& font, float scale, float x, float y);

// Ages every message by dt seconds and drops those with less than 0 left.
void ageMessages(std::vector<ScreenMessage>& messages, double dt);

// The one font of the game, created at start-up.
extern BitmapFont* font;

// Prints `text` and shows it on screen for two seconds.
void showMessage(const char* text);
// Ages the on-screen messages by dt seconds.
void updateMessages(double dt);

// --- GL side -------------------------------------------------------------

// Returns the text program built from "geometry.vert" and "geometry.frag".
ShaderProgram buildTextProgram();
// Loads "arial.glf" into the global font and into texture `textureName`.
bool loadFont(unsigned textureName);
// Loads the font file `path` into `target` and into texture `textureName`;
// false (font unchanged, nothing uploaded) when the file is missing or bad.
bool loadFont(BitmapFont& target, unsigned textureName, const char* path);
// Draws `text` with the program, texture and colour already set up.
void drawText(const char* text, const BitmapFont& font, float scale, float x, float y);
// Draws the message list in red and leaves the text state set up, in green
// (nothing, and no text until the next frame, when the text program did not link).
void drawMessages();
// Disables the text attribute arrays: their client pointers die with the text drawn.
void endText();
