#pragma once
// Enumerations and small records passed through the renderer interface. The
// numeric values are part of the contract: callers and data files pass them
// as plain integers.

#include <cstdint>

#include "engine/core/cVector3.h"

namespace velmora::video {

// Primitive kinds for drawing from buffers.
enum PrimitiveType : int {
    PT_POINTS = 0,
    PT_LINES = 1,
    PT_LINE_STRIP = 2,
    PT_TRIANGLES = 3,
    PT_TRIANGLE_STRIP = 4,
    PT_TRIANGLE_FAN = 5,
    PT_QUADS = 6,
};

// Depth, stencil and alpha-test comparisons; 0 switches the alpha test off.
enum CompareFunc : int {
    CMP_OFF = 0,
    CMP_NEVER = 1,
    CMP_LESS = 2,
    CMP_EQUAL = 3,
    CMP_LEQUAL = 4,
    CMP_GREATER = 5,
    CMP_GEQUAL = 6,
    CMP_NOTEQUAL = 7,
    CMP_ALWAYS = 8,
};

// Blend factors; 0 in either slot of SetBlendFunc switches blending off.
enum BlendFactor : int {
    BF_NONE = 0,
    BF_ZERO = 1,
    BF_ONE = 2,
    BF_SRC_COLOR = 3,
    BF_INV_SRC_COLOR = 4,
    BF_DST_COLOR = 5,
    BF_INV_DST_COLOR = 6,
    BF_SRC_ALPHA = 7,
    BF_INV_SRC_ALPHA = 8,
    BF_DST_ALPHA = 9,
    BF_INV_DST_ALPHA = 10,
    BF_SRC_ALPHA_SAT = 11,
    BF_BLEND_COLOR = 12,
    BF_INV_BLEND_COLOR = 13,
};

enum StencilOp : int {
    SO_KEEP = 0,
    SO_ZERO = 1,
    SO_REPLACE = 2,
    SO_INCR = 3,
    SO_DECR = 4,
    SO_INVERT = 5,
};

enum FillMode : int {
    FM_WIREFRAME = 0,
    FM_SOLID = 1,
};

// 1 culls counter-clockwise faces, 2 clockwise faces (as seen on screen).
enum CullMode : int {
    CM_NONE = 0,
    CM_CCW = 1,
    CM_CW = 2,
};

enum FogMode : int {
    FOG_OFF = 0,
    FOG_LINEAR = 1,
    FOG_EXP = 2,
    FOG_EXP2 = 3,
};

enum FogParameter : int {
    FP_START = 0,
    FP_END = 1,
    FP_DENSITY = 2,
};

// Modes 0 and 1 both address the world matrix but have separate stacks.
enum MatrixMode : int {
    MM_WORLD = 0,
    MM_WORLD1 = 1,
    MM_VIEW = 2,
    MM_PROJECTION = 3,
    MM_TEXTURE = 4,
};

enum ProjectionType : int {
    PROJ_ORTHOGRAPHIC = 0,
    PROJ_PERSPECTIVE = 1,
};

enum LightType : int {
    LT_POINT = 0,
    LT_DIRECTIONAL = 2,
};

// Features for QueryFeature; GetFeatureName gives their display names.
enum Feature : int {
    FEAT_RENDER_TO_TARGET = 0,
    FEAT_ANISOTROPIC_FILTERING = 1,
    FEAT_CUBE_TEXTURES = 2,
    FEAT_NP2_CUBE_TEXTURES = 3,
    FEAT_MIPMAPPED_CUBE_TEXTURES = 4,
    FEAT_NP2_TEXTURES = 5,
    FEAT_VERTEX_SHADERS_1_1 = 6,
    FEAT_VERTEX_SHADERS_2_0 = 7,
    FEAT_VERTEX_SHADERS_3_0 = 8,
    FEAT_FRAGMENT_SHADERS_1_1 = 9,
    FEAT_FRAGMENT_SHADERS_1_2 = 10,
    FEAT_FRAGMENT_SHADERS_1_3 = 11,
    FEAT_FRAGMENT_SHADERS_1_4 = 12,
    FEAT_FRAGMENT_SHADERS_2_0 = 13,
    FEAT_FRAGMENT_SHADERS_3_0 = 14,
    FEAT_COUNT = 15,
};

// The display name of a feature ("Cube textures", ...); null outside 0..14.
const char* GetFeatureName(int feature);

// Texture filtering modes (ITexture2D::SetFiltering, IRenderer::SetTextureFiltering).
enum TextureFilter : int {
    TF_POINT = 0,
    TF_LINEAR = 1,
    TF_POINT_MIP_POINT = 2,
    TF_LINEAR_MIP_LINEAR = 3,
};

// Texture address modes: 0 wraps, 1 and 2 clamp.
enum TextureAddress : int {
    TA_WRAP = 0,
    TA_CLAMP = 1,
    TA_CLAMP_TO_EDGE = 2,
};

// Block compression of texture data.
enum TextureCompression : int {
    TC_NONE = 0,
    TC_DXT1 = 1,
    TC_DXT3 = 2,
    TC_DXT5 = 3,
};

// The engine's data-type enumeration as far as buffers use it.
enum DataType : int {
    T_UBYTE = 1,
    T_USHORT = 3,
    T_UINT = 5,
    T_FLOAT = 8,
};

// Vertex element usages; an element with usage VU_END closes a format list.
enum VertexUsage : int {
    VU_POSITION = 0,
    VU_NORMAL = 1,
    VU_COLOR = 2,
    VU_TEXCOORD0 = 3,
    VU_TEXCOORD1 = 4,
    VU_TEXCOORD2 = 5,
    VU_END = 7,
};

// One element of a vertex format (IRenderer::CreateVertexBuffer).
struct sVertexElement {
    std::int32_t offset = 0;  // bytes from the start of the vertex
    std::int32_t type = 0;    // DataType (8 floats, 1 bytes of a packed colour)
    std::int32_t count = 0;   // components
    std::int32_t usage = 0;   // VertexUsage
};

// A fixed-function light (IRenderer::SetLight). Directional lights shine along `direction`.
struct sLight {
    LightType type = LT_DIRECTIONAL;
    cVector3 position;
    cVector3 direction{0.0f, -1.0f, 0.0f};
};

// Quadratic Bezier curve: start, end, control.
struct sBezier2 {
    cVector3 start, end, control;
};

// Cubic Bezier curve: start, end, first control, second control.
struct sBezier3 {
    cVector3 start, end, control1, control2;
};

} // namespace velmora::video
