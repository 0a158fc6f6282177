#version 120
// Text: the font texture (luminance, alpha) on unit 0 tinted with "color";
// the glyph shape comes from the alpha channel.

uniform vec4 color;
uniform sampler2D font;

varying vec2 texCoord;

void main()
{
    gl_FragColor = color * texture2D(font, texCoord);
}
