#version 120
// Scene pass: positions and normals go to eye space for the lighting, the
// world position (nudged along the normal against shadow acne) goes through
// tex_mat into shadow-map space. The position is computed exactly as the
// renderer's depth pre-pass computes it (invariant), so that the lit pass
// meets the laid depth on the same values.

invariant gl_Position;

attribute vec4 vertex;
attribute vec3 normal;
attribute vec2 color;  // texture coordinates

uniform mat4 perspective;
uniform mat4 view;
uniform mat4 model;
uniform mat4 tex_mat;
uniform vec3 light_position;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeLight;
varying vec2 texCoord;
varying vec4 shadowCoord;
varying float worldUp;

void main()
{
    vec4 world = model * vertex;
    vec3 worldNormal = normalize(mat3(model) * normal);
    vec4 eye = view * world;

    eyePosition = eye.xyz;
    eyeNormal = mat3(view) * worldNormal;
    eyeLight = (view * vec4(light_position, 1.0)).xyz;
    texCoord = color;
    worldUp = worldNormal.y;

    // Offset grows as the surface turns away from the light.
    vec3 toLight = normalize(light_position - world.xyz);
    float slope = 1.0 - clamp(dot(worldNormal, toLight), 0.0, 1.0);
    shadowCoord = tex_mat * vec4(world.xyz + worldNormal * (0.006 + 0.03 * slope), 1.0);

    gl_Position = perspective * eye;
}
