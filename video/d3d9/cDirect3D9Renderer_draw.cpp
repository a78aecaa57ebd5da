// cDirect3D9Renderer: immediate drawing from client memory and drawing from buffers.
#include <vector>

#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

struct sColorVertex {
    float x, y, z;
    D3DCOLOR color;
};

struct sTexturedVertex {
    float x, y, z;
    D3DCOLOR color;
    float s, t;
};

constexpr DWORD kColorFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr DWORD kTexturedFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

sColorVertex ColorVertex(const cVector3& p, D3DCOLOR c) { return sColorVertex{p.x, p.y, p.z, c}; }

sTexturedVertex TexturedVertex(const cVector3& p, D3DCOLOR c, float s, float t) {
    return sTexturedVertex{p.x, p.y, p.z, c, s, t};
}

// Eight corners: bit 0 selects max x, bit 1 max y, bit 2 max z.
void BoxCorners(const cVector3& min, const cVector3& max, cVector3 corners[8]) {
    for (int i = 0; i < 8; ++i) {
        corners[i] = cVector3((i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z);
    }
}

std::uint64_t TriangleCount(int type, int k) {
    switch (type) {
        case PT_TRIANGLES:
        case PT_TRIANGLE_STRIP:
        case PT_TRIANGLE_FAN: return static_cast<std::uint64_t>(cDirect3D9Renderer::PrimCount(type, k));
        default: return 0;
    }
}

} // namespace

int cDirect3D9Renderer::PrimCount(int type, int k) {
    switch (type) {
        case PT_POINTS: return k;
        case PT_LINES: return k / 2;
        case PT_LINE_STRIP: return k > 1 ? k - 1 : 0;
        case PT_TRIANGLES: return k / 3;
        case PT_TRIANGLE_STRIP:
        case PT_TRIANGLE_FAN: return k > 2 ? k - 2 : 0;
        case PT_QUADS: return k / 4;
        default: RaiseError("cDirect3D9Renderer::PrimCount : unhandled primitive type");
    }
}

void cDirect3D9Renderer::DrawColored(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride,
                                     bool textured) {
    if (!m_Device || primitives == 0) return;
    m_Device->SetFVF(textured ? kTexturedFVF : kColorFVF);
    m_Device->DrawPrimitiveUP(type, primitives, vertices, stride);
    // Client-memory drawing empties stream 0: the bound buffer (and its declaration) comes back.
    if (m_VertexBuffer) m_VertexBuffer->Bind();
}

void cDirect3D9Renderer::RenderLine(const cVector3& a, const cVector3& b, const cColor& color) {
    const D3DCOLOR c = d3d9::ToD3DColor(color);
    const sColorVertex v[2] = {ColorVertex(a, c), ColorVertex(b, c)};
    DrawColored(D3DPT_LINELIST, 1, v, sizeof(sColorVertex), false);
    CountDraw(0);
}

void cDirect3D9Renderer::RenderLine2D(const cVector2& a, const cVector2& b, const cColor& color) {
    RenderLine(cVector3(a.x, a.y, 0.0f), cVector3(b.x, b.y, 0.0f), color);
}

void cDirect3D9Renderer::RenderTriangle2D(const cVector2& a, const cVector2& b, const cVector2& c,
                                          const cColor& color) {
    const D3DCOLOR d = d3d9::ToD3DColor(color);
    const sColorVertex v[3] = {ColorVertex(cVector3(a.x, a.y, 0.0f), d), ColorVertex(cVector3(b.x, b.y, 0.0f), d),
                               ColorVertex(cVector3(c.x, c.y, 0.0f), d)};
    DrawColored(D3DPT_TRIANGLELIST, 1, v, sizeof(sColorVertex), false);
    CountDraw(1);
}

void cDirect3D9Renderer::RenderBox(const cVector3& min, const cVector3& max, const cColor& color, bool markCenter) {
    cVector3 c[8];
    BoxCorners(min, max, c);
    // Eight edges as one strip through nine corners, then the four edges left.
    static const int kStrip[9] = {0, 1, 3, 2, 0, 4, 5, 7, 6};
    static const int kLines[8] = {6, 4, 1, 5, 3, 7, 2, 6};
    const D3DCOLOR d = d3d9::ToD3DColor(color);
    sColorVertex strip[9];
    for (int i = 0; i < 9; ++i) strip[i] = ColorVertex(c[kStrip[i]], d);
    sColorVertex lines[8];
    for (int i = 0; i < 8; ++i) lines[i] = ColorVertex(c[kLines[i]], d);
    DrawColored(D3DPT_LINESTRIP, 8, strip, sizeof(sColorVertex), false);
    DrawColored(D3DPT_LINELIST, 4, lines, sizeof(sColorVertex), false);
    CountDraw(0);
    CountDraw(0);
    if (markCenter) RenderAxes((min + max) * 0.5f, 0.05f);
}

void cDirect3D9Renderer::RenderSolidBox(const cVector3& min, const cVector3& max, const cColor& color) {
    cVector3 c[8];
    BoxCorners(min, max, c);
    // Twelve triangles, counter-clockwise seen from outside.
    static const std::uint16_t kIndices[36] = {
        0, 3, 1, 0, 2, 3,  // -z
        4, 5, 7, 4, 7, 6,  // +z
        0, 1, 5, 0, 5, 4,  // -y
        2, 6, 7, 2, 7, 3,  // +y
        0, 4, 6, 0, 6, 2,  // -x
        1, 3, 7, 1, 7, 5,  // +x
    };
    const D3DCOLOR d = d3d9::ToD3DColor(color);
    sTexturedVertex v[8];
    for (int i = 0; i < 8; ++i) v[i] = TexturedVertex(c[i], d, 0.0f, 0.0f);
    if (!m_Device) return;
    m_Device->SetFVF(kTexturedFVF);
    m_Device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 12, kIndices, D3DFMT_INDEX16, v,
                                     sizeof(sTexturedVertex));
    // Client-memory drawing empties stream 0 and the indices: the bound buffers come back.
    if (m_VertexBuffer) m_VertexBuffer->Bind();
    if (m_IndexBuffer) m_IndexBuffer->Bind();
    CountDraw(12);
}

void cDirect3D9Renderer::RenderRect(ITexture* texture, const cRect& dst, const cRect& src, const cColor& color) {
    // The device matrix already moves the picture by the half pixel: corners are used as given.
    const float x1 = dst.x1, y1 = dst.y1;
    const float x2 = x1 + (dst.x2 - dst.x1), y2 = y1 + (dst.y2 - dst.y1);
    const D3DCOLOR c = d3d9::ToD3DColor(color);
    const sTexturedVertex v[4] = {
        TexturedVertex(cVector3(x2, y2, 0.0f), c, src.x2, src.y1),
        TexturedVertex(cVector3(x1, y2, 0.0f), c, src.x1, src.y1),
        TexturedVertex(cVector3(x2, y1, 0.0f), c, src.x2, src.y2),
        TexturedVertex(cVector3(x1, y1, 0.0f), c, src.x1, src.y2),
    };
    if (texture) SetTexture(texture, 0);
    DrawColored(D3DPT_TRIANGLESTRIP, 2, v, sizeof(sTexturedVertex), true);
    CountDraw(2);
    if (texture) SetTexture(nullptr, 0);
}

void cDirect3D9Renderer::DrawTexturedQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset,
                                          const cRect& texRect, const cColor& color) {
    if (!corners) return;
    const D3DCOLOR c = d3d9::ToD3DColor(color);
    const sTexturedVertex v[4] = {
        TexturedVertex(corners[0] + offset, c, texRect.x1, texRect.y1),
        TexturedVertex(corners[1] + offset, c, texRect.x1, texRect.y2),
        TexturedVertex(corners[2] + offset, c, texRect.x2, texRect.y2),
        TexturedVertex(corners[3] + offset, c, texRect.x2, texRect.y1),
    };
    if (texture) SetTexture(texture, 0);
    DrawColored(D3DPT_TRIANGLEFAN, 2, v, sizeof(sTexturedVertex), true);
    CountDraw(2);
    if (texture) SetTexture(nullptr, 0);
}

void cDirect3D9Renderer::RenderQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset,
                                    const cRect& texRect, const cColor& color) {
    DrawTexturedQuad(texture, corners, offset, texRect, color);
}

void cDirect3D9Renderer::RenderQuad(ITexture* texture, const cVector3 corners[4], const cRect& texRect,
                                    const cColor& color) {
    DrawTexturedQuad(texture, corners, cVector3(), texRect, color);
}

void cDirect3D9Renderer::RenderPrimitives(int type, int first, int count) {
    // Quads have no device primitive and are left undrawn.
    if (type == PT_QUADS || PrimCount(type, count) <= 0 || first < 0 || !m_VertexBuffer) return;
    m_Device->DrawPrimitive(d3d9::PrimitiveType(type), static_cast<UINT>(first),
                            static_cast<UINT>(PrimCount(type, count)));
    CountDraw(TriangleCount(type, count));
}

void cDirect3D9Renderer::RenderIndexedPrimitives(int type, int /*ignored*/, int firstIndex, int vertexCount,
                                                 int indexCount) {
    if (type == PT_QUADS || !m_VertexBuffer || !m_IndexBuffer || PrimCount(type, indexCount) <= 0 || firstIndex < 0 ||
        vertexCount <= 0) {
        return;
    }
    m_Device->DrawIndexedPrimitive(d3d9::PrimitiveType(type), 0, 0, static_cast<UINT>(vertexCount),
                                   static_cast<UINT>(firstIndex), static_cast<UINT>(PrimCount(type, indexCount)));
    CountDraw(TriangleCount(type, indexCount));
}

void cDirect3D9Renderer::RenderIndexedPrimitives(int type, int /*ignored*/, int vertexCount, int indexCount) {
    if (type == PT_QUADS || !m_IndexBuffer || PrimCount(type, indexCount) <= 0 || vertexCount <= 0) return;
    m_Device->DrawIndexedPrimitive(d3d9::PrimitiveType(type), 0, 0, static_cast<UINT>(vertexCount), 0,
                                   static_cast<UINT>(PrimCount(type, indexCount)));
    CountDraw(TriangleCount(type, indexCount));
}

void cDirect3D9Renderer::RenderBezier2(const sBezier2& curve, int segments) {
    if (segments < 2) RaiseError("cDirect3D9Renderer::RenderBezier2 : invalid point count");
    std::vector<sColorVertex> points(static_cast<std::size_t>(segments) + 1);
    const D3DCOLOR white = D3DCOLOR_ARGB(255, 255, 255, 255);
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const float u = 1.0f - t;
        points[static_cast<std::size_t>(i)] =
            ColorVertex(curve.start * (u * u) + curve.control * (2.0f * t * u) + curve.end * (t * t), white);
    }
    DrawColored(D3DPT_LINESTRIP, static_cast<UINT>(segments), points.data(), sizeof(sColorVertex), false);
    CountDraw(0);
}

void cDirect3D9Renderer::RenderBezier3(const sBezier3& curve, int segments) {
    if (segments < 2) RaiseError("cDirect3D9Renderer::RenderBezier3 : invalid point count");
    std::vector<sColorVertex> points(static_cast<std::size_t>(segments) + 1);
    const D3DCOLOR white = D3DCOLOR_ARGB(255, 255, 255, 255);
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const float u = 1.0f - t;
        points[static_cast<std::size_t>(i)] =
            ColorVertex(curve.start * (u * u * u) + curve.control1 * (3.0f * t * u * u) +
                            curve.control2 * (3.0f * t * t * u) + curve.end * (t * t * t),
                        white);
    }
    DrawColored(D3DPT_LINESTRIP, static_cast<UINT>(segments), points.data(), sizeof(sColorVertex), false);
    CountDraw(0);
}

} // namespace velmora::video
