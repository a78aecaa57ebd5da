// cRenderingPipelineSM20: the sea. Three steps per frame: the terrain and
// vegetation below the surface into the underwater target (depth fog in
// alpha), the scene above the surface mirrored about it into the reflection
// target, then the surface quad mixing both with a scrolling distortion map.
#include "scene/cRenderingPipelineSM20.h"

#include "engine/core/Log.h"
#include "engine/core/cFrameProfiler.h"
#include "engine/core/cColor.h"
#include "engine/core/cRect.h"
#include "scene/ISceneManager.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/TerrainWalk.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

const char* const kDistortionTexture = "data/textures/water2_dudv.tga";
constexpr float kTextureRepeat = 200.0f;
// Below the surface the terrain is kept up to half a unit above it, so that the shore meets the water.
constexpr float kUnderwaterMargin = 0.5f;
// Above the surface the reflection keeps a twentieth of a unit below it.
constexpr float kReflectionMargin = 0.05f;
// How far the surface's distortion moves a lookup, in normalised device units (the water program's
// shift of at most 0.025).
constexpr float kDistortionReach = 0.025f;

// The mirror about the plane y = 0.
cMatrix MirrorY() { return cMatrix::Scaling(1.0f, -1.0f, 1.0f); }

} // namespace

void cRenderingPipelineSM20::RenderWater(IWater* water, ISceneManager* scene, ICamera* camera) {
    cProfileSection section("water");
    PrepareWaterTargets();
    if (!m_Shaders[SHADER_WATER]) {
        LogWarning("cRenderingPipelineSM20::RenderWater : no water shaders loaded\n");
        return;
    }
    // Out of view the surface samples nothing: its targets are not drawn.
    if (FindWaterBounds(water)) {
        RenderUnderwater(water, scene, camera);
        RenderReflection(water, scene, camera);
    }
    RenderSurface(water, camera);
}

bool cRenderingPipelineSM20::FindWaterBounds(IWater* water) {
    video::IRenderer* r = GetRenderer();
    cMatrix view;
    cMatrix projection;
    r->GetTransform(video::MM_VIEW, view);
    r->GetTransform(video::MM_PROJECTION, projection);
    cVector3 corners[4];
    GetWaterQuad(water->GetLevel(), corners);
    return ProjectedBounds(corners, 4, view * projection, m_WaterBounds);
}

void cRenderingPipelineSM20::ScissorToWater(video::IRenderTarget* target) {
    // The targets are sampled where the surface lies on the screen, moved by the distortion; two texels
    // more for the bilinear lookup. The rest of a target is never read, so it is not drawn.
    const int width = static_cast<int>(target->GetImageWidth());
    const int height = static_cast<int>(target->GetImageHeight());
    const float texel = 2.0f / static_cast<float>(width < height ? (width > 0 ? width : 1) : height);
    const sPixelRect rect = ToPixelRect(m_WaterBounds, kDistortionReach + 2.0f * texel, width, height);
    GetRenderer()->SetScissor(true, rect.x, rect.y, rect.width, rect.height);
}

void cRenderingPipelineSM20::RenderUnderwater(IWater* water, ISceneManager* scene, ICamera* camera) {
    cProfileSection section("underwater");
    video::IShader* terrainShader = m_Shaders[SHADER_UNDERWATER_TERRAIN];
    if (!terrainShader) {
        LogWarning("cRenderingPipelineSM20::RenderUnderwater : no underwater shaders loaded\n");
        return;
    }
    const float level = water->GetLevel();
    video::IRenderer* r = GetRenderer();
    // Seen from below the surface there is nothing to look down into; without its target the pass waits
    // for Init to make one.
    if (!camera || level >= camera->GetPosition().y || !m_UnderwaterTarget) {
        return;
    }
    // The device keeps what lies below the surface (plus the margin). The tree walk is given the surface
    // facing up, so that it drops the nodes wholly above it and keeps every node reaching below: the ground
    // under deeper water fades out in the depth fog instead of stopping at a chunk's edge.
    const cPlane below(0.0f, -1.0f, 0.0f, level + kUnderwaterMargin);
    m_ClipFlags |= CLIP_UNDERWATER;
    m_ClipPlane = cPlane(0.0f, 1.0f, 0.0f, -(level + kUnderwaterMargin));
    r->SetRenderTarget(m_UnderwaterTarget);
    ScissorToWater(m_UnderwaterTarget);

    // With packed detail layers the packed form of the program draws the ground (RenderTerrain binds the
    // packed texture for it).
    if (m_PackedLayers) {
        terrainShader = m_PackedShaders[PACKED_UNDERWATER_TERRAIN];
    }
    r->SetShader(terrainShader);
    terrainShader->SetUniform("u_WaterLevel", level);
    terrainShader->SetUniform("u_WaterDensity", water->GetDensity());
    if (m_PackedLayers) {
        SetPackedLayerScales(terrainShader, scene->GetTerrain());
    } else {
        SetLayerScales(terrainShader, scene);
    }
    r->SetClipPlane(0, 1, below.a, below.b, below.c, below.d);
    RenderTerrain(scene, nullptr, camera, kWaterPassViewDistance);
    r->SetClipPlane(0, 0, 0.0f, 0.0f, 0.0f, 0.0f);

    if (video::IShader* objectShader = m_Shaders[SHADER_UNDERWATER_OBJECT]) {
        r->SetShader(objectShader);
        objectShader->SetUniform("u_WaterLevel", level);
        objectShader->SetUniform("u_WaterDensity", water->GetDensity());
        objectShader->SetUniform("u_DiffuseMap", 0);
    }
    r->SetClipPlane(0, 1, below.a, below.b, below.c, below.d);
    RenderVegetation(scene, camera);
    r->SetClipPlane(0, 0, 0.0f, 0.0f, 0.0f, 0.0f);

    r->SetShader(nullptr);
    r->SetScissor(false, 0, 0, 0, 0);
    r->SetRenderTarget(nullptr);
    m_ClipFlags &= static_cast<std::uint16_t>(~CLIP_UNDERWATER);
}

void cRenderingPipelineSM20::RenderReflection(IWater* water, ISceneManager* scene, ICamera* camera) {
    cProfileSection section("reflection");
    video::IRenderer* r = GetRenderer();
    if (!m_ReflectionTarget) {
        return;
    }
    const float level = water->GetLevel();
    m_ClipFlags |= CLIP_REFLECTION;
    m_ClipPlane = cPlane(0.0f, 1.0f, 0.0f, -level);
    m_ReflectionTarget->SetClearColor(cColor(255, 0, 0, 255));
    r->SetRenderTarget(m_ReflectionTarget);
    ScissorToWater(m_ReflectionTarget);

    if (auto* sky = dynamic_cast<ISky*>(m_Slots.sky)) {
        const cVector3 eye = camera ? camera->GetPosition() : cVector3();
        r->PushTransform(video::MM_WORLD);
        r->SetTransform(video::MM_WORLD, MirrorY() * cMatrix::Translation(eye), true);
        sky->Render(cVector3());
        RenderClouds(sky, cVector3());
        r->PopTransform(video::MM_WORLD);
    }

    // The plane keeps what lies below the surface once mirrored, i.e. the scene above it. Set with the
    // terrain shader bound it is taken to clip space through the unmirrored matrices.
    const float clipD = level + kReflectionMargin;
    r->PushTransform(video::MM_WORLD);
    r->SetShader(m_Shaders[SHADER_TERRAIN]);
    r->SetClipPlane(0, 1, 0.0f, -1.0f, 0.0f, clipD);
    r->SetShader(nullptr);
    const cMatrix mirror = MirrorY() * cMatrix::Translation(0.0f, 2.0f * level, 0.0f);
    ICamera* mirrorCamera = MirrorCamera(camera, mirror);
    r->SetTransform(video::MM_WORLD, mirror, true);
    // The mirror turns the winding over.
    r->SetCullMode(video::CM_CCW);
    RenderTerrain(scene, m_Shaders[SHADER_TERRAIN], mirrorCamera, kWaterPassViewDistance);
    // No program is bound now: the plane stays in world space for the fixed-function vegetation.
    r->SetClipPlane(0, 1, 0.0f, -1.0f, 0.0f, clipD);
    RenderVegetation(scene, mirrorCamera);
    r->PopTransform(video::MM_WORLD);
    r->SetCullMode(video::CM_CW);
    r->SetClipPlane(0, 0, 0.0f, 0.0f, 0.0f, 0.0f);
    r->SetScissor(false, 0, 0, 0, 0);
    r->SetRenderTarget(nullptr);
    m_ClipFlags &= static_cast<std::uint16_t>(~CLIP_REFLECTION);
}

ICamera* cRenderingPipelineSM20::MirrorCamera(ICamera* camera, const cMatrix& mirror) {
    if (!camera) {
        return nullptr;
    }
    // What the camera sees in the mirror is what the mirrored camera sees of the scene itself: the frustum
    // of the mirror transform followed by the camera's view and projection.
    video::IRenderer* r = GetRenderer();
    cMatrix view;
    cMatrix projection;
    r->GetTransform(video::MM_VIEW, view);
    r->GetTransform(video::MM_PROJECTION, projection);
    m_MirrorCamera.GetFrustum()->Build(mirror * view * projection);
    m_MirrorCamera.position = mirror.TransformPoint(camera->GetPosition());
    m_MirrorCamera.direction = mirror.TransformDirection(camera->GetDirection());
    m_MirrorCamera.up = mirror.TransformDirection(camera->GetUp());
    return &m_MirrorCamera;
}

void cRenderingPipelineSM20::RenderSurface(IWater* water, ICamera* camera) {
    cProfileSection section("surface");
    video::IRenderer* r = GetRenderer();
    video::IShader* shader = m_Shaders[SHADER_WATER];
    if (!m_TriedDistortion) {
        // Loaded once; a texture that fails to load leaves the surface undistorted (and is not asked for
        // again every frame).
        m_TriedDistortion = true;
        m_Distortion = r->CreateTexture(kDistortionTexture);
        if (m_Distortion) {
            m_Distortion->SetAnisotropy(16);
        }
    }
    AdvanceScroll(water->GetSpeed());

    r->SetCullMode(video::CM_NONE);
    r->SetShader(shader);
    shader->SetUniform("u_WaterDUDV", 0);
    shader->SetUniform("u_Reflection", 1);
    shader->SetUniform("u_Underwater", 2);
    shader->SetUniform("u_Camera", camera ? camera->GetPosition() : cVector3());
    shader->SetUniform("u_Fog", m_Fog);
    r->SetTexture(m_Distortion, 0);
    r->SetTexture(m_ReflectionTarget ? m_ReflectionTarget->GetTexture() : nullptr, 1);
    r->SetTexture(m_UnderwaterTarget ? m_UnderwaterTarget->GetTexture() : nullptr, 2);

    cVector3 corners[4];
    GetWaterQuad(water->GetLevel(), corners);
    const float offset = m_ScrollOffset;
    r->RenderQuad(nullptr, corners, cRect(offset, offset, offset + kTextureRepeat, offset + kTextureRepeat),
                  water->GetColor());

    for (int stage = 0; stage <= 3; ++stage) {
        r->SetTexture(nullptr, stage);
    }
    r->SetShader(nullptr);
    r->SetCullMode(video::CM_CW);
}

} // namespace velmora::scene
