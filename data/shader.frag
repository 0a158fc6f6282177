#version 120
// Per-pixel Blinn-Phong from one point light with a filtered shadow lookup.
// phong = 0: blocks (matte, a faint sheen); phong = 1: models (glossy).
// The renderer also builds this program for blocks alone with BLOCKS
// defined: phong is then 0 and the models' terms are left out, and the
// normal, the same over a whole face, needs no normalising per pixel. With
// DARK_FACES as well, for block faces turned from the light: their diffuse
// term is zero at every pixel, so the shadow lookup and the highlight come
// to nothing there and are left out (the result is the same bytes). With
// OPEN_FACES instead, for lit block faces that nothing stands in front of
// (no block or moving thing between them and the light): they are lit
// wherever they face the light, without the lookups.

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
// brightly lit faces keep their texture instead of clipping to white:
// 1 - exp(-t) above the knee, as p / (1 + p) with p the first four terms of
// exp(t) - 1 (within 0.6 / 255 of it; exp costs a software rasteriser far
// more).
vec3 softClip(vec3 c)
{
    const float knee = 0.8;
    vec3 t = max(c - knee, 0.0) * (1.0 / (1.0 - knee));
    vec3 p = t * (1.0 + t * (0.5 + t * (1.0 / 6.0 + t * (1.0 / 24.0))));
    return min(c, knee) + (1.0 - knee) * p / (1.0 + p);
}

void main()
{
    vec4 albedo = texture2D(diffuseMap, texCoord);
#if defined(BLOCKS)
    vec3 n = eyeNormal;
#else
    vec3 n = normalize(eyeNormal);
#endif
    if (!gl_FrontFacing) n = -n;
    vec3 l = normalize(eyeLight - eyePosition);
    vec3 v = normalize(-eyePosition);
    float nl = dot(n, l);
    float nv = dot(n, v);

    float diffuse = max(nl, 0.0);
#if defined(DARK_FACES)
    float visible = 0.0;
#elif defined(OPEN_FACES)
    float visible = diffuse > 0.0 ? 1.0 : 0.0;
#else
    float visible = diffuse > 0.0 ? lightVisibility() : 0.0;
#endif

    // Highlight: exponent 24 for blocks, 64 for models (phong is 0 or 1), by
    // squaring, which costs a software rasteriser far less than pow.
#if defined(DARK_FACES)
    float specular = 0.0;
#else
    // n.h with h the unit half vector of l and v: |l + v|^2 = 2 + 2 l.v
    float nh = max((nl + nv) * inversesqrt(2.0 + 2.0 * dot(l, v)), 0.0);
    float nh2 = nh * nh;
    float nh4 = nh2 * nh2;
    float nh8 = nh4 * nh4;
    float nh16 = nh8 * nh8;
#if defined(BLOCKS)
    float specular = diffuse > 0.0 ? nh16 * nh8 * 0.12 : 0.0;
#else
    float nh64 = (nh16 * nh16) * (nh16 * nh16);
    float specular = diffuse > 0.0 ? mix(nh16 * nh8 * 0.12, nh64 * 0.65, phong) : 0.0;
#endif
#endif
#if defined(BLOCKS)
    const float rim = 0.0;
#else
    // Models get a soft rim so they read against the blocks behind them.
    float edge = 1.0 - max(nv, 0.0);
    float rim = phong * edge * edge * edge * 0.25;
#endif

    // Ambient with a sky/ground tint and a soft fill from the viewer, so
    // faces turned from the light keep their shape.
    float fill = 0.85 + 0.25 * worldUp + 0.3 * max(nv, 0.0);
    vec3 lit = albedo.rgb * (ambient_color.rgb * fill + light_color.rgb * diffuse * visible)
             + light_color.rgb * (specular * visible + rim);
    gl_FragColor = vec4(softClip(lit), albedo.a);
}
