#include "scene/cTerrain.h"

#include <cmath>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/cResourceManager.h"
#include "scene/cTerrainChunk.h"
#include "video/IRenderer.h"
#include "video/IShader.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

// Where the vegetation keeps its instances: everything the shipped island can place.
const cBox kVegetationBox(-1.0f, -1.0f, -1.0f, 256.0f, 256.0f, 256.0f);

// Far deeper than any grid of chunks needs; only guards against degenerate input.
constexpr int kMaxTreeDepth = 40;

cBox Union(const cBox& a, const cBox& b) {
    cBox box = a;
    box.Extend(b);
    return box;
}

} // namespace

cTerrain::cTerrain(cResourceManager* resources, video::IRenderer* renderer)
    : m_Resources(resources), m_Renderer(renderer), m_Vegetation(resources, renderer, kVegetationBox) {
    for (cVector2& scale : m_LayerScales) {
        scale = cVector2(80.0f, 80.0f);
    }
}

cTerrain::~cTerrain() {
    for (cTerrainChunk* chunk : m_Chunks) {
        delete chunk;
    }
    FreeTree(m_Root);
    for (video::ITexture2D** map : {&m_ColorMap, &m_LayerMap, &m_LightMap}) {
        if (*map) {
            (*map)->Release();
        }
    }
    for (video::ITexture2D* layer : m_Layers) {
        if (layer) {
            layer->Release();
        }
    }
    ForgetPackedLayers();
    if (m_ImpostorShader) {
        m_ImpostorShader->Release();
    }
}

void cTerrain::Release() {
    if (--m_References <= 0) {
        delete this;
    }
}

ITerrain* cTerrain::AddRef() {
    ++m_References;
    return this;
}

void cTerrain::Create(const float* heights, int size, int colorMapSize, float scale, int chunkSize) {
    if (size <= 0 || (size & (size - 1)) != 0) {
        RaiseError("cTerrain::Create : terrain size must be a power of two, got %d", size);
    }
    if (size > 32768) {
        RaiseError("cTerrain::Create : terrain size %d is too large", size);
    }
    if (chunkSize <= 0 || chunkSize > size) {
        RaiseError("cTerrain::Create : invalid chunk size %d for terrain size %d", chunkSize, size);
    }
    if (colorMapSize < 0 || colorMapSize > 65535) {
        RaiseError("cTerrain::Create : invalid colour map size %d", colorMapSize);
    }
    if (!(scale > 0.0f) || !std::isfinite(scale)) {
        RaiseError("cTerrain::Create : invalid scale %g", static_cast<double>(scale));
    }
    m_Size = size;

    // (S + 1)^2 samples: the S^2 given ones row by row (row length S), zeros after them.
    std::vector<float> samples;
    try {
        const std::size_t side = static_cast<std::size_t>(size) + 1;
        samples.assign(side * side, 0.0f);
    } catch (const std::bad_alloc&) {
        RaiseError("cTerrain::Create : out of memory");
    }
    if (heights) {
        const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
        std::size_t invalid = 0;
        for (std::size_t k = 0; k < count; ++k) {
            // Heights that are no finite numbers would poison boxes, normals and queries.
            if (std::isfinite(heights[k])) {
                samples[k] = heights[k];
            } else {
                ++invalid;
            }
        }
        if (invalid > 0) {
            LogWarning("cTerrain::Create : %zu heights are not finite numbers; they are taken as 0\n", invalid);
        }
    }
    m_ChunkSize = chunkSize;
    BuildChunks(samples.data(), scale);

    if (colorMapSize > 0) {
        CreateColorMap(colorMapSize);
        CreateLayerMap(colorMapSize);
        for (video::ITexture2D* map : {m_ColorMap, m_LayerMap}) {
            if (map) {
                map->SetAnisotropy(16);
            }
        }
    }
}

void cTerrain::BuildChunks(const float* samples, float scale) {
    const int cs = m_ChunkSize;
    const int n = cs + 1;
    const int S = m_Size;
    m_ChunksPerSide = S / cs;
    const int N = m_ChunksPerSide;
    m_Scale = cVector3(scale, 1.0f, scale);
    std::vector<float> window;
    try {
        const std::size_t cells = static_cast<std::size_t>(N) * static_cast<std::size_t>(N);
        m_Grid.assign(cells, nullptr);
        m_Visibility.assign(cells, 0);
        m_Chunks.reserve(cells);
        m_Ring.reserve(8 * static_cast<std::size_t>(N) + 8);
        window.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        RaiseError("cTerrain::Create : out of memory");
    }

    const float textureFactor = 1.0f / (static_cast<float>(S) * m_Scale.x);
    for (int r = 0; r < N; ++r) {
        for (int k = 0; k < N; ++k) {
            // Rows of the window are S samples apart, as the height data's rows are.
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const std::size_t source = static_cast<std::size_t>(k * cs + i) +
                                               static_cast<std::size_t>(r * cs + j) * static_cast<std::size_t>(S);
                    window[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n] = samples[source];
                }
            }
            cTerrainChunk* chunk = new cTerrainChunk(m_Renderer, n, k + r * N);
            m_Chunks.push_back(chunk);
            // Chunks on the terrain's border hang no skirt over its edge.
            const int border = (k == 0 ? cTerrainChunk::EDGE_LOW_X : 0) | (k == N - 1 ? cTerrainChunk::EDGE_HIGH_X : 0) |
                               (r == 0 ? cTerrainChunk::EDGE_LOW_Z : 0) | (r == N - 1 ? cTerrainChunk::EDGE_HIGH_Z : 0);
            chunk->Generate(window.data(), k * cs, r * cs, textureFactor, m_Scale, border);
            m_Grid[static_cast<std::size_t>(k) + static_cast<std::size_t>(r) * N] = chunk;
        }
    }

    cBox root(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    for (const cTerrainChunk* chunk : m_Chunks) {
        const cBox& box = chunk->GetBoundingBox();
        root.max.x = std::fmax(root.max.x, box.max.x);
        root.max.y = std::fmax(root.max.y, box.max.y);
        root.max.z = std::fmax(root.max.z, box.max.z);
        root.min.y = std::fmin(root.min.y, box.min.y);
    }
    m_Root.box = root;
    BuildTree(m_Root, m_Chunks, 0);
}

void cTerrain::BuildTree(sTerrainNode& node, const std::vector<cTerrainChunk*>& chunks, int depth) {
    if (chunks.empty()) {
        return;
    }
    if (chunks.size() == 1 || depth >= kMaxTreeDepth) {
        node.chunk = chunks.front();
        node.box = node.chunk->GetBoundingBox();
        return;
    }
    node.children = new sTerrainNode[4];
    const float midX = (node.box.min.x + node.box.max.x) * 0.5f;
    const float midZ = (node.box.min.z + node.box.max.z) * 0.5f;
    std::vector<cTerrainChunk*> parts[4];
    for (int child = 0; child < 4; ++child) {
        cBox& box = node.children[child].box;
        box = node.box;
        (child & 1 ? box.min.x : box.max.x) = midX;
        (child & 2 ? box.min.z : box.max.z) = midZ;
    }
    // Each chunk goes to the one child holding its centre; on the grids the terrain builds that is the
    // child whose box contains the whole chunk.
    for (cTerrainChunk* chunk : chunks) {
        const cVector3 centre = chunk->GetBoundingBox().GetCenter();
        parts[(centre.x >= midX ? 1 : 0) + (centre.z >= midZ ? 2 : 0)].push_back(chunk);
    }
    for (int child = 0; child < 4; ++child) {
        BuildTree(node.children[child], parts[child], depth + 1);
    }
    // The node reaches as high (and as far) as its children do.
    cBox box = node.children[0].box;
    for (int child = 1; child < 4; ++child) {
        box = Union(box, node.children[child].box);
    }
    node.box = box;
}

void cTerrain::FreeTree(sTerrainNode& node) {
    if (node.children) {
        for (int child = 0; child < 4; ++child) {
            FreeTree(node.children[child]);
        }
        delete[] node.children;
        node.children = nullptr;
    }
}

cTerrainChunk* cTerrain::FindChunk(float x, float z) const {
    // Depth-first, children 0..3, the first leaf whose box holds the point in the ground plane.
    const sTerrainNode* stack[4 * kMaxTreeDepth + 4];
    int top = 0;
    stack[top++] = &m_Root;
    while (top > 0) {
        const sTerrainNode* node = stack[--top];
        const cBox& box = node->box;
        if (!(x >= box.min.x && x <= box.max.x && z >= box.min.z && z <= box.max.z)) {
            continue;
        }
        if (node->chunk) {
            return static_cast<cTerrainChunk*>(node->chunk);
        }
        if (node->children) {
            for (int child = 3; child >= 0; --child) {
                stack[top++] = &node->children[child];
            }
        }
    }
    return nullptr;
}

float cTerrain::GetHeight(float x, float z) const {
    const cTerrainChunk* chunk = FindChunk(x, z);
    if (!chunk) {
        return 0.0f;
    }
    const cBox& box = chunk->GetBoundingBox();
    return chunk->GetHeightAt(x - box.min.x, z - box.min.z, m_Scale);
}

bool cTerrain::GetChunkVertexBuffer(float x, float z, video::IVertexBuffer*& buffer) const {
    const cTerrainChunk* chunk = FindChunk(x, z);
    if (!chunk) {
        return false;
    }
    buffer = chunk->GetVertexBuffer();
    return true;
}

bool cTerrain::GetChunkBox(float x, float z, cBox& box) const {
    const cTerrainChunk* chunk = FindChunk(x, z);
    if (!chunk) {
        return false;
    }
    box = chunk->GetBoundingBox();
    return true;
}

std::vector<float> cTerrain::GetHeightmap() const {
    const int S = m_Size;
    const int cs = m_ChunkSize;
    const int n = cs + 1;
    std::vector<float> heights(static_cast<std::size_t>(S) * static_cast<std::size_t>(S), 0.0f);
    std::vector<float> vertices;
    for (const cTerrainChunk* chunk : m_Chunks) {
        if (!chunk->ReadBackHeights(vertices)) {
            return {};
        }
        const int column = chunk->GetIndex() % m_ChunksPerSide;
        const int row = chunk->GetIndex() / m_ChunksPerSide;
        // Sample (x, z) is vertex (x mod cs, z mod cs) of chunk (x div cs, z div cs).
        for (int j = 0; j < cs; ++j) {
            for (int i = 0; i < cs; ++i) {
                const std::size_t target = static_cast<std::size_t>(column * cs + i) +
                                           static_cast<std::size_t>(row * cs + j) * static_cast<std::size_t>(S);
                heights[target] = vertices[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * n];
            }
        }
    }
    return heights;
}

void cTerrain::RefreshChunkHeights(float x, float z) {
    cTerrainChunk* chunk = FindChunk(x, z);
    if (chunk) {
        chunk->RefreshHeights();
    }
}

} // namespace velmora::scene
