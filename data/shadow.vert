#version 120
// Depth-only pass from the light. Casters are pulled a hair inwards along
// their normals so contact edges do not leak light.

attribute vec4 vertex;
attribute vec3 normal;

uniform mat4 perspective;
uniform mat4 view;
uniform mat4 model;

void main()
{
    vec4 world = model * vertex;
    world.xyz -= mat3(model) * normal * 0.004;
    gl_Position = perspective * view * world;
}
