#include "scene/cTerrainChunk.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/IResources.h"

namespace velmora::scene {

namespace {

struct sChunkVertex {
    float position[3];
    float normal[3];
    float uv0[2];
    float uv1[2];
};
static_assert(sizeof(sChunkVertex) == TERRAIN_VERTEX_SIZE, "a chunk vertex is ten packed floats");

const video::sVertexElement kChunkFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 3, video::VU_NORMAL},
    {24, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {32, video::T_FLOAT, 2, video::VU_TEXCOORD1},
    {0, 0, 0, video::VU_END},
};

// Static buffers, as the mesh parts use.
constexpr int kStaticUsage = 1;

// The triangle strip of one level: rows of quads `step` vertices apart, each row a run of vertex pairs
// (this row, next row), rows joined by a degenerate pair. Writes nothing when `out` is null; returns the
// number of indices. Only called for steps that divide n - 1.
std::uint32_t BuildStrip(int n, int step, std::uint32_t* out) {
    std::uint32_t count = 0;
    auto emit = [&](int index) {
        if (out) {
            out[count] = static_cast<std::uint32_t>(index);
        }
        ++count;
    };
    for (int z = 0; z < n - 1; z += step) {
        const int z2 = z + step;
        for (int x = 0; x < n; x += step) {
            emit(x + n * z);
            emit(x + n * z2);
        }
        if (z2 < n - 1) {
            emit(n - 1 + n * z2);
            emit(n * z2);
        }
    }
    return count;
}

// The skirts of one level, continuing its strip: per inner edge a run of (edge vertex, skirt vertex) pairs
// `step` apart whose triangles face away from the chunk, joined to what precedes it by repeating the last
// index and the run's first (the strip keeps an even length, so every run starts with the same winding).
// Skirt vertex i of edge e is n^2 + e n + i. Writes nothing when `out` is null; returns the number of indices
// added after `last`, the strip's last index.
std::uint32_t BuildSkirts(int n, int step, int borderEdges, std::uint32_t last, std::uint32_t* out) {
    std::uint32_t count = 0;
    auto emit = [&](std::uint32_t index) {
        if (out) {
            out[count] = index;
        }
        ++count;
    };
    const std::uint32_t grid = static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    // Edges: 0 low z, 1 high z, 2 low x, 3 high x; the skirt first where the pair would face inwards.
    const int borders[4] = {cTerrainChunk::EDGE_LOW_Z, cTerrainChunk::EDGE_HIGH_Z, cTerrainChunk::EDGE_LOW_X,
                            cTerrainChunk::EDGE_HIGH_X};
    const bool skirtFirst[4] = {true, false, false, true};
    for (int edge = 0; edge < 4; ++edge) {
        if (borderEdges & borders[edge]) {
            continue;
        }
        auto edgeVertex = [&](int i) -> std::uint32_t {
            switch (edge) {
            case 0: return static_cast<std::uint32_t>(i);
            case 1: return static_cast<std::uint32_t>(i + n * (n - 1));
            case 2: return static_cast<std::uint32_t>(n * i);
            default: return static_cast<std::uint32_t>(n - 1 + n * i);
            }
        };
        auto skirtVertex = [&](int i) { return grid + static_cast<std::uint32_t>(edge * n + i); };
        const std::uint32_t first = skirtFirst[edge] ? skirtVertex(0) : edgeVertex(0);
        emit(last);
        emit(first);
        for (int i = 0; i < n; i += step) {
            emit(skirtFirst[edge] ? skirtVertex(i) : edgeVertex(i));
            emit(skirtFirst[edge] ? edgeVertex(i) : skirtVertex(i));
        }
        last = skirtFirst[edge] ? edgeVertex(n - 1) : skirtVertex(n - 1);
    }
    return count;
}

} // namespace

cTerrainChunk::cTerrainChunk(video::IRenderer* renderer, int verticesPerSide, int index)
    : m_Renderer(renderer), m_Index(index), m_Size(verticesPerSide) {
    if (verticesPerSide > TERRAIN_MAX_CHUNK_VERTICES) {
        RaiseError("cTerrainChunk::cTerrainChunk : chunk size exceeded( %d )", verticesPerSide);
    }
    if (verticesPerSide < 2) {
        RaiseError("cTerrainChunk::cTerrainChunk : chunk size too small( %d )", verticesPerSide);
    }
    m_VertexCount = static_cast<std::uint32_t>(verticesPerSide) * static_cast<std::uint32_t>(verticesPerSide);
    if (m_Renderer) {
        // A missing query only turns the ring drawing's occlusion test off for this chunk.
        m_Query = m_Renderer->CreateOcclusionQuery();
    }
}

cTerrainChunk::~cTerrainChunk() {
    ReleaseBuffers();
    if (m_Query) {
        m_Query->Release();
    }
}

void cTerrainChunk::ReleaseBuffers() {
    if (m_VertexBuffer) {
        m_VertexBuffer->Release();
        m_VertexBuffer = nullptr;
    }
    for (video::IIndexBuffer*& buffer : m_IndexBuffers) {
        if (buffer) {
            buffer->Release();
            buffer = nullptr;
        }
    }
}

video::IIndexBuffer* cTerrainChunk::GetIndexBuffer(int level) const {
    return level >= 0 && level < TERRAIN_LEVEL_COUNT ? m_IndexBuffers[level] : nullptr;
}

std::uint32_t cTerrainChunk::GetIndexCount(int level) const {
    return level >= 0 && level < TERRAIN_LEVEL_COUNT ? m_IndexCounts[level] : 0;
}

std::uint32_t cTerrainChunk::GetSkirtIndexCount(int level) const {
    return level >= 0 && level < TERRAIN_LEVEL_COUNT ? m_SkirtIndexCounts[level] : 0;
}

void cTerrainChunk::Generate(const float* window, int originX, int originZ, float textureFactor,
                             const cVector3& scale, int borderEdges) {
    const int n = m_Size;
    m_BorderEdges = borderEdges;
    m_SkirtVertexCount = 4 * static_cast<std::uint32_t>(n);
    std::vector<sChunkVertex> vertices;
    try {
        vertices.assign(m_VertexCount + m_SkirtVertexCount, sChunkVertex{});
        m_Heights.assign(m_VertexCount, 0.0f);
    } catch (const std::bad_alloc&) {
        RaiseError("cTerrainChunk::Generate : failed to allocate memory for %d vertices", static_cast<int>(m_VertexCount));
    }

    const float ox = scale.x * static_cast<float>(originX);
    const float oz = scale.z * static_cast<float>(originZ);
    float highest = 0.0f;
    float lowest = 0.0f;
    bool first = true;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const std::size_t k = static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n;
            sChunkVertex& v = vertices[k];
            v.position[0] = ox + scale.x * static_cast<float>(i);
            v.position[1] = window[k] * scale.y;
            v.position[2] = oz + scale.z * static_cast<float>(j);
            v.uv0[0] = textureFactor * v.position[0];
            v.uv0[1] = textureFactor * v.position[2];
            v.uv1[0] = 0.25f * v.position[0];
            v.uv1[1] = 0.25f * v.position[2];
            m_Heights[k] = v.position[1];
            if (first || v.position[1] > highest) {
                highest = v.position[1];
            }
            if (first || v.position[1] < lowest) {
                lowest = v.position[1];
            }
            first = false;
        }
    }

    // Normals from the neighbours in the next row and the next column (the previous ones at the far edges).
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const std::size_t q = static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n;
            const int rowB = j + 1 < n ? j + 1 : j - 1;
            const int columnB = i + 1 < n ? i + 1 : i - 1;
            const sChunkVertex& a = vertices[static_cast<std::size_t>(i) + static_cast<std::size_t>(rowB) * n];
            const sChunkVertex& b = vertices[static_cast<std::size_t>(columnB) + static_cast<std::size_t>(j) * n];
            const sChunkVertex& p = vertices[q];
            const cVector3 toA(a.position[0] - p.position[0], a.position[1] - p.position[1],
                               a.position[2] - p.position[2]);
            const cVector3 toB(b.position[0] - p.position[0], b.position[1] - p.position[1],
                               b.position[2] - p.position[2]);
            cVector3 normal = Cross(toA, toB);
            if (normal.Normalize() == 0.0f || !std::isfinite(normal.y)) {
                normal = cVector3(0.0f, 1.0f, 0.0f);
            } else if (normal.y < 0.0f) {
                normal = -normal;
            }
            vertices[q].normal[0] = normal.x;
            vertices[q].normal[1] = normal.y;
            vertices[q].normal[2] = normal.z;
        }
    }

    // Skirt vertices: copies of the edge vertices (edges low z, high z, low x, high x) lowered by more than
    // the chunk's whole height range, which is more than any crack between two levels can open.
    const float depth = highest - lowest + 1.0f;
    for (int edge = 0; edge < 4; ++edge) {
        for (int i = 0; i < n; ++i) {
            const int column = edge == 2 ? 0 : (edge == 3 ? n - 1 : i);
            const int row = edge == 0 ? 0 : (edge == 1 ? n - 1 : i);
            sChunkVertex skirt = vertices[static_cast<std::size_t>(column) + static_cast<std::size_t>(row) * n];
            skirt.position[1] -= depth;
            vertices[m_VertexCount + static_cast<std::size_t>(edge) * n + i] = skirt;
        }
    }

    // The box starts at height 0; ground below 0 lowers it so that culling still sees that ground.
    const float bottom = lowest < 0.0f ? lowest : 0.0f;
    m_Box = cBox(ox, bottom, oz, ox + static_cast<float>(n - 1) * scale.x, highest > bottom ? highest : bottom,
                 oz + static_cast<float>(n - 1) * scale.z);

    // The coarsest level whose step divides the chunk size; coarser steps would leave the grid.
    m_CoarsestLevel = 0;
    while (m_CoarsestLevel + 1 < TERRAIN_LEVEL_COUNT && (n - 1) % (1 << (m_CoarsestLevel + 1)) == 0) {
        ++m_CoarsestLevel;
    }

    if (m_Renderer) {
        const std::size_t bytes = vertices.size() * sizeof(sChunkVertex);
        m_VertexBuffer = m_Renderer->CreateVertexBuffer(kStaticUsage, kChunkFormat, TERRAIN_VERTEX_SIZE, bytes);
        if (!m_VertexBuffer) {
            RaiseError("cTerrainChunk::Generate : failed to create vertex buffer");
        }
        if (!m_VertexBuffer->Fill(vertices.data(), bytes)) {
            ReleaseBuffers();
            RaiseError("cTerrainChunk::Generate : failed to load vertex data into buffer");
        }
    }
    GenerateGeoMipmaps();
}

void cTerrainChunk::GenerateGeoMipmaps() {
    const int n = m_Size;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint16_t> shortIndices;
    // 2 n^2 - 4 indices at level 0, the most any level has, and the skirts' (2 n + 2 per edge at most).
    const std::size_t capacity = 2 * static_cast<std::size_t>(m_VertexCount) - 4 + 4 * (2 * static_cast<std::size_t>(n) + 2);
    // Vertex numbers above 65535 need 32-bit indices.
    const bool wide = GetBufferVertexCount() > 65536;
    try {
        indices.resize(capacity);
        if (!wide) {
            shortIndices.resize(capacity);
        }
    } catch (const std::bad_alloc&) {
        ReleaseBuffers();
        RaiseError("cTerrainChunk::GenerateGeoMipmaps : failed to allocate memory for %d indices",
                   static_cast<int>(capacity));
    }
    for (int level = 0; level < TERRAIN_LEVEL_COUNT; ++level) {
        if (level > m_CoarsestLevel) {
            m_IndexCounts[level] = 0;
            continue;
        }
        const std::uint32_t strip = BuildStrip(n, 1 << level, indices.data());
        m_IndexCounts[level] = strip;
        m_SkirtIndexCounts[level] =
            BuildSkirts(n, 1 << level, m_BorderEdges, indices[strip - 1], indices.data() + strip);
        const std::uint32_t count = strip + m_SkirtIndexCounts[level];
        if (!m_Renderer) {
            continue;
        }
        const void* data = indices.data();
        std::size_t bytes = count * sizeof(std::uint32_t);
        if (!wide) {
            for (std::uint32_t k = 0; k < count; ++k) {
                shortIndices[k] = static_cast<std::uint16_t>(indices[k]);
            }
            data = shortIndices.data();
            bytes = count * sizeof(std::uint16_t);
        }
        m_IndexBuffers[level] = m_Renderer->CreateIndexBuffer(kStaticUsage, wide ? video::T_UINT : video::T_USHORT,
                                                              bytes);
        if (!m_IndexBuffers[level]) {
            ReleaseBuffers();
            RaiseError("cTerrainChunk::GenerateGeoMipmaps : failed to create index buffer for mip level %d", level);
        }
        if (!m_IndexBuffers[level]->Fill(data, bytes)) {
            ReleaseBuffers();
            RaiseError("cTerrainChunk::GenerateGeoMipmaps : failed to load index data into buffer for mip level %d",
                       level);
        }
    }
}

float cTerrainChunk::GetHeightAt(float localX, float localZ, const cVector3& scale) const {
    const int n = m_Size;
    if (m_Heights.empty() || !(localX >= 0.0f) || !(localZ >= 0.0f) ||
        localX >= static_cast<float>(n) * scale.x || localZ >= static_cast<float>(n) * scale.z) {
        return 0.0f;
    }
    const float u = localX / scale.x;
    const float v = localZ / scale.z;
    int i = static_cast<int>(u);
    int j = static_cast<int>(v);
    if (i > n - 2) {
        i = n - 2;
    }
    if (j > n - 2) {
        j = n - 2;
    }
    const float fu = u - static_cast<float>(i);
    const float fv = v - static_cast<float>(j);
    const float h00 = GetVertexHeight(i, j);
    const float h10 = GetVertexHeight(i + 1, j);
    const float h01 = GetVertexHeight(i, j + 1);
    const float h11 = GetVertexHeight(i + 1, j + 1);
    return (1.0f - fv) * (1.0f - fu) * h00 + (1.0f - fv) * fu * h10 + fv * (1.0f - fu) * h01 + fv * fu * h11;
}

bool cTerrainChunk::ReadBackHeights(std::vector<float>& out) const {
    out.resize(m_VertexCount);
    if (!m_VertexBuffer) {
        out = m_Heights;
        return out.size() == m_VertexCount;
    }
    if (m_VertexBuffer->GetSize() < static_cast<std::size_t>(m_VertexCount) * TERRAIN_VERTEX_SIZE) {
        return false;
    }
    const auto* data = static_cast<const std::uint8_t*>(m_VertexBuffer->Lock(false));
    if (!data) {
        return false;
    }
    for (std::uint32_t k = 0; k < m_VertexCount; ++k) {
        std::memcpy(&out[k], data + static_cast<std::size_t>(k) * TERRAIN_VERTEX_SIZE + 4, sizeof(float));
    }
    m_VertexBuffer->Unlock();
    return true;
}

bool cTerrainChunk::RefreshHeights() {
    std::vector<float> heights;
    if (!ReadBackHeights(heights)) {
        return false;
    }
    m_Heights.swap(heights);
    return true;
}

} // namespace velmora::scene
