#version 120
// Per-pixel Blinn-Phong from one point light with a filtered shadow lookup.
// phong = 0: blocks (matte, a faint sheen); phong = 1: models (glossy).
// The renderer also builds this program with DARK_FACES defined, for block
// faces turned from the light: their diffuse term is zero at every pixel,
// so the shadow lookup and the highlight come to nothing there and are left
// out (the result is the same bytes).

uniform sampler2D diffuseMap;  // unit 0
uniform sampler2DShadow shadowmap;
uniform float phong;
uniform vec3 light_position;
uniform vec4 light_color;
uniform vec4 ambient_color;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeLight;
varying vec2 texCoord;
varying vec4 shadowCoord;
varying float worldUp;

const float texel = 1.0 / 2048.0;

// Returns the lit fraction from four bilinear depth comparisons on a
// rotated grid (sixteen texels), so shadow edges are equally soft in every
// direction.
float lightVisibility()
{
    if (shadowCoord.w <= 0.0) return 1.0;
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0) return 1.0;
    return 0.25 * (shadow2D(shadowmap, p + vec3(-0.6, -1.4, 0.0) * texel).r
                 + shadow2D(shadowmap, p + vec3( 1.4, -0.6, 0.0) * texel).r
                 + shadow2D(shadowmap, p + vec3( 0.6,  1.4, 0.0) * texel).r
                 + shadow2D(shadowmap, p + vec3(-1.4,  0.6, 0.0) * texel).r);
}

// Returns c with values above the knee rolled off smoothly towards 1, so
// brightly lit faces keep their texture instead of clipping to white.
vec3 softClip(vec3 c)
{
    const float knee = 0.8;
    vec3 over = max(c - knee, 0.0);
    return min(c, knee) + (1.0 - knee) * (1.0 - exp(-over / (1.0 - knee)));
}

void main()
{
    vec4 albedo = texture2D(diffuseMap, texCoord);
    vec3 n = normalize(eyeNormal);
    if (!gl_FrontFacing) n = -n;
    vec3 l = normalize(eyeLight - eyePosition);
    vec3 v = normalize(-eyePosition);
    vec3 h = normalize(l + v);

    float diffuse = max(dot(n, l), 0.0);
#if defined(DARK_FACES)
    float visible = 0.0;
#else
    float visible = diffuse > 0.0 ? lightVisibility() : 0.0;
#endif

    // Highlight: exponent 24 for blocks, 64 for models (phong is 0 or 1), by
    // squaring, which costs a software rasteriser far less than pow.
    float nh = max(dot(n, h), 0.0);
    float nh2 = nh * nh;
    float nh4 = nh2 * nh2;
    float nh8 = nh4 * nh4;
    float nh16 = nh8 * nh8;
    float nh64 = (nh16 * nh16) * (nh16 * nh16);
#if defined(DARK_FACES)
    float specular = 0.0;
#else
    float specular = diffuse > 0.0 ? mix(nh16 * nh8 * 0.12, nh64 * 0.65, phong) : 0.0;
#endif
    // Models get a soft rim so they read against the blocks behind them.
    float edge = 1.0 - max(dot(n, v), 0.0);
    float rim = phong * edge * edge * edge * 0.25;

    // Ambient with a sky/ground tint and a soft fill from the viewer, so
    // faces turned from the light keep their shape.
    float fill = 0.85 + 0.25 * worldUp + 0.3 * max(dot(n, v), 0.0);
    vec3 lit = albedo.rgb * (ambient_color.rgb * fill + light_color.rgb * diffuse * visible)
             + light_color.rgb * (specular * visible + rim);
    gl_FragColor = vec4(softClip(lit), albedo.a);
}
