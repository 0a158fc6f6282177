#version 120
// Text: positions arrive in clip space; the texture coordinate is passed on.

attribute vec4 vertex;
attribute vec2 vTexCoord;

varying vec2 texCoord;

void main()
{
    texCoord = vTexCoord;
    gl_Position = vertex;
}
