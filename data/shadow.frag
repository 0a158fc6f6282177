#version 120
// Only depth is written; the colour is masked off.

void main()
{
    gl_FragColor = vec4(1.0);
}
