#include "scene/cSky.h"

#include <cstring>

#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

// clang-format off
const float cSky::kVertices[kVertexCount * 5] = {
    // left
    -1, 0, -1, 1, 0,   -1, 0, 1, 0, 0,   -1, 1, 1, 0, 1,   -1, 1, -1, 1, 1,
    // right
    1, 0, -1, 0, 0,    1, 0, 1, 1, 0,    1, 1, 1, 1, 1,    1, 1, -1, 0, 1,
    // front
    -1, 0, 1, 1, 0,    1, 0, 1, 0, 0,    1, 1, 1, 0, 1,    -1, 1, 1, 1, 1,
    // back
    -1, 0, -1, 0, 0,   1, 0, -1, 1, 0,   1, 1, -1, 1, 1,   -1, 1, -1, 0, 1,
    // top
    -1, 1, -1, 1, 1,   1, 1, -1, 0, 1,   1, 1, 1, 0, 0,    -1, 1, 1, 1, 0,
    // bottom
    -1, 0, -1, 1, 1,   1, 0, -1, 0, 1,   1, 0, 1, 0, 0,    -1, 0, 1, 1, 0,
};
const unsigned short cSky::kIndices[kIndexCount] = {
    0, 1, 3, 2,  4, 5, 7, 6,  8, 9, 11, 10,  12, 13, 15, 14,  16, 17, 19, 18,  20, 21, 23, 22,
};
// clang-format on

namespace {

// Drawing order: (face, first index).
struct sFaceStrip {
    int face;
    int firstIndex;
};
constexpr sFaceStrip kStrips[] = {
    {SKY_FACE_LEFT, 0}, {SKY_FACE_RIGHT, 4}, {SKY_FACE_FRONT, 8}, {SKY_FACE_BACK, 12}, {SKY_FACE_TOP, 16},
};
constexpr int kBottomFirstIndex = 20;

bool ValidFace(int face) { return face >= 0 && face < SKY_FACE_COUNT; }

} // namespace

cSky::cSky(video::IRenderer* renderer) : m_Renderer(renderer), m_Clouds(renderer) {
    if (!m_Renderer) {
        return;
    }
    const video::sVertexElement format[] = {
        {0, video::T_FLOAT, 3, video::VU_POSITION},
        {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
        {0, 0, 0, video::VU_END},
    };
    m_VertexBuffer = m_Renderer->CreateVertexBuffer(1, format, 20, sizeof(kVertices));
    m_IndexBuffer = m_Renderer->CreateIndexBuffer(1, video::T_USHORT, sizeof(kIndices));
    if (!m_VertexBuffer || !m_IndexBuffer || !m_VertexBuffer->Fill(kVertices, sizeof(kVertices)) ||
        !m_IndexBuffer->Fill(kIndices, sizeof(kIndices))) {
        // A sky without buffers draws nothing; the renderer has said why.
        if (m_VertexBuffer) {
            m_VertexBuffer->Release();
            m_VertexBuffer = nullptr;
        }
        if (m_IndexBuffer) {
            m_IndexBuffer->Release();
            m_IndexBuffer = nullptr;
        }
    }
}

cSky::~cSky() {
    for (video::ITexture2D*& face : m_Faces) {
        if (face) {
            face->Release();
            face = nullptr;
        }
    }
    if (m_VertexBuffer) {
        m_VertexBuffer->Release();
    }
    if (m_IndexBuffer) {
        m_IndexBuffer->Release();
    }
}

void cSky::SetFaceTexture(int face, const std::string& fileName) {
    if (!ValidFace(face)) {
        return;
    }
    if (m_Faces[face]) {
        m_Faces[face]->Release();
        m_Faces[face] = nullptr;
    }
    if (fileName.empty() || !m_Renderer) {
        return;
    }
    m_Faces[face] = m_Renderer->CreateTexture(fileName.c_str());
    if (m_Faces[face]) {
        m_Faces[face]->SetAddressMode(video::TA_CLAMP_TO_EDGE);
    }
}

std::string cSky::GetFaceTextureName(int face) const {
    return ValidFace(face) && m_Faces[face] ? m_Faces[face]->GetName() : std::string();
}

video::ITexture2D* cSky::GetFaceTexture(int face) const { return ValidFace(face) ? m_Faces[face] : nullptr; }

void cSky::Render(const cVector3& center) {
    if (!m_Renderer || !HasBuffers()) {
        return;
    }
    video::IRenderer* r = m_Renderer;
    r->PushTransform(video::MM_WORLD);
    r->SetTransform(video::MM_WORLD, cMatrix::Translation(center.x, center.y + m_YOffset, center.z), true);
    r->SetCullMode(video::CM_NONE);
    r->SetDepthWrite(false);
    r->SetVertexBuffer(m_VertexBuffer);
    r->SetIndexBuffer(m_IndexBuffer);
    for (const sFaceStrip& strip : kStrips) {
        r->SetTexture(m_Faces[strip.face], 0);
        r->RenderIndexedPrimitives(video::PT_TRIANGLE_STRIP, 0, strip.firstIndex, kVertexCount, 4);
    }
    if (m_Faces[SKY_FACE_BOTTOM]) {
        r->SetTexture(m_Faces[SKY_FACE_BOTTOM], 0);
        r->RenderIndexedPrimitives(video::PT_TRIANGLE_STRIP, 0, kBottomFirstIndex, kVertexCount, 4);
    }
    r->SetTexture(nullptr, 0);
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    r->SetDepthWrite(true);
    r->SetCullMode(video::CM_CW);
    r->PopTransform(video::MM_WORLD);
}

void cSky::RenderClouds(const cVector3& center, float seconds) {
    m_Clouds.Render(cVector3(center.x, center.y + m_YOffset, center.z), seconds);
}

} // namespace velmora::scene
