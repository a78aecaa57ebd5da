#include "scene/cRain.h"

#include <cmath>

#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/cException.h"
#include "scene/EffectRandom.h"
#include "scene/IBillboardSet.h"
#include "scene/IResourceManager.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"
#include "video/IShader.h"

namespace velmora::scene {

namespace {

// Drops keep this horizontal distance from the camera at least.
constexpr float kInnerRadius = 2.0f;

} // namespace

cRain::cRain(IResourceManager* manager, video::IRenderer* renderer) : m_Manager(manager), m_Renderer(renderer) {}

cRain::~cRain() {
    if (m_Drops) m_Drops->Release();
}

void cRain::Create(int count, float radius, float halfHeight, float halfWidth) {
    m_Count = count < 0 ? 0 : (count > IBillboardSet::kMaxBillboards ? IBillboardSet::kMaxBillboards : count);
    m_Radius = std::isfinite(radius) ? radius : 0.0f;
    m_HalfHeight = std::isfinite(halfHeight) ? halfHeight : 0.0f;
    m_HalfWidth = std::isfinite(halfWidth) ? halfWidth : 0.0f;
    Build();
}

float cRain::ScaleAt(float distance) const {
    if (!(m_Radius > kInnerRadius)) return 1.0f;
    return 1.0f + (distance - kInnerRadius) / (m_Radius - kInnerRadius);
}

void cRain::Build() {
    if (!m_Drops) {
        m_Drops = m_Manager ? m_Manager->CreateBillboardSet() : nullptr;
        if (!m_Drops) RaiseError("cRain::Build : failed to create billboard set");
    }
    if (m_Count == 0) {
        m_Drops->Clear();
        return;
    }
    if (!m_Drops->CreateBillboards(m_Count)) RaiseError("cRain::Build : failed to create %d drops", m_Count);
    sBillboardVertex* vertices = m_Drops->Lock();
    const bool ring = m_Radius > kInnerRadius;
    for (int k = 0; k < m_Count; ++k) {
        const float angle = DegToRad(RandomBetween(0.0f, 360.0f));
        const float distance = ring ? RandomBetween(kInnerRadius, m_Radius) : kInnerRadius;
        const float height = RandomBetween(-1.0f, 1.0f);
        const float scale = ScaleAt(distance);
        for (int c = 0; c < 4; ++c) {
            sBillboardVertex& v = vertices[4 * k + c];
            v.x = std::cos(angle) * distance;
            v.y = height;
            v.z = std::sin(angle) * distance;
            v.halfHeight = m_HalfHeight * scale;
            v.halfWidth = m_HalfWidth * scale;
            v.color = cColor(255, 255, 255, 255);
        }
    }
    m_Drops->Unlock();
}

void cRain::Resize() {
    sBillboardVertex* vertices = m_Drops ? m_Drops->Lock() : nullptr;
    if (!vertices) return;
    const int count = m_Drops->GetCount();
    for (int k = 0; k < count; ++k) {
        const sBillboardVertex& first = vertices[4 * k];
        const float scale = ScaleAt(std::sqrt(first.x * first.x + first.z * first.z));
        for (int c = 0; c < 4; ++c) {
            vertices[4 * k + c].halfHeight = m_HalfHeight * scale;
            vertices[4 * k + c].halfWidth = m_HalfWidth * scale;
        }
    }
    m_Drops->Unlock();
}

void cRain::Rebuild(const char* operation) {
    try {
        Build();
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        LogWarning("cRain::%s : the rain has no drops\n", operation);
        m_Count = 0;
        if (m_Drops) m_Drops->Clear();
    }
}

void cRain::SetTexture(const std::string& fileName) { m_Texture.Set(m_Renderer, fileName); }

void cRain::SetDropCount(int count) {
    if (count > IBillboardSet::kMaxBillboards) {
        LogWarning("cRain::SetDropCount : %d drops are too many, using %d\n", count, IBillboardSet::kMaxBillboards);
        count = IBillboardSet::kMaxBillboards;
    }
    m_Count = count < 0 ? 0 : count;
    Rebuild("SetDropCount");
}

void cRain::SetRadius(float radius) {
    if (!std::isfinite(radius)) {
        LogWarning("cRain::SetRadius : the radius is not a number\n");
        return;
    }
    m_Radius = radius;
    Rebuild("SetRadius");
}

void cRain::SetDropSize(float width, float height) {
    if (!std::isfinite(width) || !std::isfinite(height)) {
        LogWarning("cRain::SetDropSize : the size is not a number\n");
        return;
    }
    m_HalfWidth = width;
    m_HalfHeight = height;
    Resize();
}

void RenderRain(video::IRenderer* renderer, IRain& rain, video::IShader* shader, const cVector3& camera, float time) {
    IBillboardSet* drops = rain.GetBillboardSet();
    if (!renderer || !shader || !drops || drops->GetCount() == 0) return;
    renderer->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    renderer->SetDepthWrite(false);
    renderer->SetTexture(rain.GetTexture(), 0);
    renderer->SetShader(shader);
    shader->SetUniform("u_Camera", camera);
    shader->SetUniform("u_Time", time);
    drops->Render();
    renderer->SetShader(nullptr);
    renderer->SetTexture(nullptr, 0);
    renderer->SetDepthWrite(true);
    renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
}

} // namespace velmora::scene
