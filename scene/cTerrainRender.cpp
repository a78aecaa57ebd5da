// The terrain's own drawing (the stand-alone path; the pipelines draw through TerrainWalk.h).
#include <cmath>

#include "engine/core/cColor.h"
#include "scene/cTerrain.h"
#include "scene/cTerrainChunk.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"

namespace velmora::scene {

namespace {

// What the stand-alone path draws vegetation meshes within.
constexpr float kVegetationDistance = 25.0f;
const char* const kImpostorShader = "data/shaders/common/impostors.txt";

struct sVisibilityMarker {
    std::vector<std::uint8_t>* visibility;
};

void MarkVisible(const ITerrainChunk& chunk, int, void* context) {
    auto* marker = static_cast<sVisibilityMarker*>(context);
    (*marker->visibility)[static_cast<std::size_t>(static_cast<const cTerrainChunk&>(chunk).GetIndex())] = 1;
}

} // namespace

int cTerrain::Render(float viewDistance, int flags, ICamera* camera) {
    if (!m_Renderer) {
        return 0;
    }
    const std::uint8_t everything = static_cast<std::uint8_t>(flags & TERRAIN_RENDER_ALL);
    for (std::uint8_t& visible : m_Visibility) {
        visible = everything;
    }
    sTerrainWalk walk = MakeTerrainWalk(camera, viewDistance, 0);
    if (flags & TERRAIN_RENDER_ALL) {
        walk.frustum = nullptr;
    }
    if (camera && !(flags & TERRAIN_RENDER_ALL)) {
        sVisibilityMarker marker{&m_Visibility};
        WalkTerrainTree(&m_Root, walk, MarkVisible, &marker);
    }

    int triangles = 0;
    if (camera && (flags & TERRAIN_RENDER_OCCLUSION)) {
        triangles = RenderRings(walk, camera->GetPosition());
    } else {
        // Without a camera the walk has no frustum and no distance: every chunk at level 0.
        triangles = DrawTerrainTree(m_Renderer, &m_Root, walk);
    }

    m_Renderer->SetShader(nullptr);
    m_Renderer->SetVertexBuffer(nullptr);
    m_Renderer->SetIndexBuffer(nullptr);
    for (int stage = 0; stage < 8; ++stage) {
        m_Renderer->SetTexture(nullptr, stage);
    }
    m_Renderer->SetFogMode(video::FOG_EXP2);
    triangles += RenderVegetation(camera);
    m_Renderer->SetFogMode(video::FOG_OFF);
    return triangles;
}

int cTerrain::RenderRings(const sTerrainWalk& walk, const cVector3& cameraPosition) {
    const int N = m_ChunksPerSide;
    const float cell = static_cast<float>(m_ChunkSize) * m_Scale.x;
    // Kept in a range where the ring arithmetic cannot overflow.
    auto cellOf = [&](float position) {
        const float c = std::trunc(position / cell);
        return c < -1.0e6f ? -1000000 : (c > 1.0e6f ? 1000000 : static_cast<int>(c));
    };
    const int cx = cellOf(cameraPosition.x);
    const int cz = cellOf(cameraPosition.z);
    // Rings from the first that reaches the grid (0 for a camera above it) to the last that does, so that a
    // camera outside the grid still sees it.
    int firstRing = 0;
    int lastRing = 0;
    for (int beyond : {-cx, cx - (N - 1), -cz, cz - (N - 1)}) {
        firstRing = beyond > firstRing ? beyond : firstRing;
    }
    for (int edge : {cx, N - 1 - cx, cz, N - 1 - cz}) {
        lastRing = std::abs(edge) > lastRing ? std::abs(edge) : lastRing;
    }

    int triangles = 0;
    const cColor white(255, 255, 255, 255);
    for (int k = firstRing; k <= lastRing; ++k) {
        m_Ring.clear();
        auto add = [&](int x, int z) {
            if (x >= 0 && z >= 0 && x < N && z < N) {
                m_Ring.push_back(m_Grid[static_cast<std::size_t>(x) + static_cast<std::size_t>(z) * N]);
            }
        };
        if (k == 0) {
            add(cx, cz);
        } else {
            // Each side clipped to the grid: the row at z + k, the row at z - k, then the two columns between.
            const int x1 = cx - k < 0 ? 0 : cx - k;
            const int x2 = cx + k > N - 1 ? N - 1 : cx + k;
            const int z1 = cz - k + 1 < 0 ? 0 : cz - k + 1;
            const int z2 = cz + k - 1 > N - 1 ? N - 1 : cz + k - 1;
            for (int x = x1; x <= x2; ++x) {
                add(x, cz + k);
            }
            for (int x = x1; x <= x2; ++x) {
                add(x, cz - k);
            }
            for (int z = z1; z <= z2; ++z) {
                add(cx - k, z);
            }
            for (int z = z1; z <= z2; ++z) {
                add(cx + k, z);
            }
        }
        const bool queried = m_Ring.size() > 1;
        if (queried) {
            const int cull = m_Renderer->GetCullMode();
            m_Renderer->SetCullMode(video::CM_NONE);
            m_Renderer->SetColorWrite(false);
            m_Renderer->SetDepthWrite(false);
            for (cTerrainChunk* chunk : m_Ring) {
                video::IOcclusionQuery* query = chunk->GetOcclusionQuery();
                if (!query || !m_Visibility[static_cast<std::size_t>(chunk->GetIndex())]) {
                    continue;
                }
                query->Begin();
                m_Renderer->RenderSolidBox(chunk->GetBoundingBox().min, chunk->GetBoundingBox().max, white);
                query->End();
            }
            m_Renderer->SetDepthWrite(true);
            m_Renderer->SetColorWrite(true);
            m_Renderer->SetCullMode(cull);
        }
        for (cTerrainChunk* chunk : m_Ring) {
            if (!m_Visibility[static_cast<std::size_t>(chunk->GetIndex())]) {
                continue;
            }
            video::IOcclusionQuery* query = chunk->GetOcclusionQuery();
            if (queried && query && query->GetResult() == 0) {
                continue;
            }
            triangles += DrawTerrainChunk(m_Renderer, *chunk, SelectChunkLevel(*chunk, walk));
        }
    }
    return triangles;
}

int cTerrain::RenderVegetation(ICamera* camera) {
    if (!m_Renderer) {
        return 0;
    }
    m_Renderer->SetCullMode(video::CM_NONE);
    m_Renderer->SetAlphaTest(video::CMP_GEQUAL, 0.35f);
    m_Renderer->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    m_Batches.Clear();
    m_Vegetation.CollectBatches(camera, kVegetationDistance, m_Batches);
    m_Batches.Sort();
    int triangles = m_Batches.RenderFixedFunction(m_Renderer);

    // Impostors need their shader to face the camera; it is looked for once.
    if (!m_ImpostorShaderTried) {
        m_ImpostorShaderTried = true;
        m_ImpostorShader = m_Renderer->CreateShader(kImpostorShader, std::string(), std::string());
    }
    if (m_ImpostorShader) {
        m_Renderer->SetShader(m_ImpostorShader);
        m_ImpostorShader->SetUniform("u_Camera", camera ? camera->GetPosition() : cVector3());
        m_ImpostorShader->SetUniform("u_ViewDistance", kVegetationDistance);
        m_ImpostorShader->SetUniform("u_DiffuseMap", 0);
        triangles += m_Vegetation.RenderImpostors();
        m_Renderer->SetTexture(nullptr, 0);
        m_Renderer->SetShader(nullptr);
    }
    m_Renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    m_Renderer->SetAlphaTest(video::CMP_OFF, 0.35f);
    m_Renderer->SetCullMode(video::CM_CW);
    return triangles;
}

} // namespace velmora::scene
