#include "scene/PipelineTestSupport.h"

#include <algorithm>

#include "scene/cDrawBatchList.h"
#include "video/ICamera.h"

namespace velmora::scene::test {

namespace {

// "data/shaders/common/terrain.txt" -> "terrain".
std::string BaseName(const std::string& file) {
    std::string name = file.substr(file.find_last_of('/') + 1);
    return name.substr(0, name.find('.'));
}

// The colour texture of a stand-in target.
class cTargetTexture : public video::ITexture2D {
public:
    cTargetTexture(const std::string& name, int width, int height) : m_Name(name), m_Width(width), m_Height(height) {}
    video::ITexture* AddRef() override { return this; }
    void Release() override {}
    void SetFiltering(int) override {}
    void SetAnisotropy(int) override {}
    void SetSpareProperty(int) override {}
    void SetAddressMode(int) override {}
    int GetType() const override { return video::TEX_2D; }
    int GetFiltering() const override { return 1; }
    int GetAnisotropy() const override { return 0; }
    int GetSpareProperty() const override { return 0; }
    int GetAddressMode() const override { return video::TA_CLAMP_TO_EDGE; }
    const std::string& GetName() const override { return m_Name; }
    void Bind(int) override {}
    std::uint32_t GetImageWidth() const override { return static_cast<std::uint32_t>(m_Width); }
    std::uint32_t GetImageHeight() const override { return static_cast<std::uint32_t>(m_Height); }
    bool UpdateRect(int, int, int, int, const void*) override { return false; }
    bool ReadData(std::vector<std::uint8_t>&) override { return false; }
    void Create() override {}
    std::size_t GetMemoryUsage() const override { return 0; }

private:
    std::string m_Name;
    int m_Width, m_Height;
};

} // namespace

// ---- Shaders, targets, queries -------------------------------------------------------------------

void cRecordingShader::Release() {
    if (--references == 0) {
        m_Owner.Forget(this);
        delete this;
    }
}

std::vector<float> cRecordingShader::Uniform(const std::string& name) const {
    auto found = uniforms.find(name);
    return found == uniforms.end() ? std::vector<float>() : found->second;
}

cFakeRenderTarget::cFakeRenderTarget(cPipelineRenderer& owner, const std::string& targetName, int w, int h, int f)
    : name(targetName), width(w), height(h), format(f), m_Owner(owner),
      m_Texture(new cTargetTexture(targetName, w, h)) {
    ++m_Owner.liveTargets;
}

cFakeRenderTarget::~cFakeRenderTarget() {
    --m_Owner.liveTargets;
    m_Owner.Forget(this);
}

cScriptedQuery::~cScriptedQuery() { --m_Owner.liveQueries; }

void cScriptedQuery::Begin() {
    ++m_Owner.queriesOpen;
    m_Owner.calls.push_back("query begin");
}

void cScriptedQuery::End() {
    --m_Owner.queriesOpen;
    m_Owner.calls.push_back("query end");
}

std::uint32_t cScriptedQuery::GetResult() {
    const std::vector<std::uint32_t>& results = m_Owner.queryResults;
    if (!results.empty()) {
        m_Last = results[std::min(m_Owner.queriesAnswered, results.size() - 1)];
    }
    ++m_Owner.queriesAnswered;
    return m_Last;
}

// ---- Renderer ------------------------------------------------------------------------------------

cPipelineRenderer::cPipelineRenderer() {
    m_Matrices[video::MM_PROJECTION] = cMatrix::Perspective(90.0, 4.0 / 3.0, 0.05, 500.0);
}

cPipelineRenderer::~cPipelineRenderer() = default;

cRecordingShader* cPipelineRenderer::Shader(const std::string& baseName) const {
    for (cRecordingShader* shader : shaders) {
        if (BaseName(shader->GetName()) == baseName) {
            return shader;
        }
    }
    return nullptr;
}

std::vector<sRecordedDraw> cPipelineRenderer::Draws(const std::string& kind) const {
    std::vector<sRecordedDraw> out;
    for (const sRecordedDraw& draw : draws) {
        if (kind.empty() || draw.kind == kind) {
            out.push_back(draw);
        }
    }
    return out;
}

std::vector<std::string> cPipelineRenderer::Passes() const {
    std::vector<std::string> passes;
    std::string current;
    int count = 0;
    for (const sRecordedDraw& draw : draws) {
        const std::string key = draw.target + "/" + draw.shader;
        if (key != current && count > 0) {
            passes.push_back(current + " x" + std::to_string(count));
            count = 0;
        }
        current = key;
        ++count;
    }
    if (count > 0) {
        passes.push_back(current + " x" + std::to_string(count));
    }
    return passes;
}

void cPipelineRenderer::Forget(cRecordingShader* shader) {
    --liveShaders;
    shaders.erase(std::remove(shaders.begin(), shaders.end(), shader), shaders.end());
}

void cPipelineRenderer::Forget(cFakeRenderTarget* target) {
    targets.erase(std::remove(targets.begin(), targets.end(), target), targets.end());
}

video::IShader* cPipelineRenderer::CreateShader(const char* fileName, const std::string&, const std::string&) {
    const std::string name = fileName ? fileName : "";
    calls.push_back("create shader " + BaseName(name));
    if (missingShaders.count(name)) {
        return nullptr;
    }
    auto* shader = new cRecordingShader(*this, name);
    shaders.push_back(shader);
    ++liveShaders;
    return shader;
}

video::IShader* cPipelineRenderer::CreateShader(const char* fileName, const std::vector<std::string>&,
                                                const std::vector<std::string>&) {
    return CreateShader(fileName, std::string(), std::string());
}

video::IRenderTarget* cPipelineRenderer::CreateRenderTarget(int width, int height, int format, int) {
    calls.push_back("create target " + std::to_string(width) + "x" + std::to_string(height) + " format " +
                    std::to_string(format));
    if (failTargets) {
        return nullptr;
    }
    auto* target = new cFakeRenderTarget(*this, "target" + std::to_string(width), width, height, format);
    targets.push_back(target);
    return target;
}

video::IOcclusionQuery* cPipelineRenderer::CreateOcclusionQuery() {
    ++liveQueries;
    return new cScriptedQuery(*this);
}

void cPipelineRenderer::SetShader(video::IShader* shader) {
    m_Shader = shader ? BaseName(shader->GetName()) : "none";
    calls.push_back("shader " + m_Shader);
}

void cPipelineRenderer::SetTexture(video::ITexture* texture, int stage) {
    cNullRenderer::SetTexture(texture, stage);
    if (stage == 0) {
        m_Stage0 = texture ? texture->GetName() : "none";
    }
}

void cPipelineRenderer::SetScissor(bool enable, int x, int y, int width, int height) {
    scissors.push_back(m_Target + (enable ? " on " + std::to_string(x) + " " + std::to_string(y) + " " +
                                                std::to_string(width) + " " + std::to_string(height)
                                          : std::string(" off")));
}

void cPipelineRenderer::SetRenderTarget(video::IRenderTarget* target) {
    auto* fake = dynamic_cast<cFakeRenderTarget*>(target);
    m_Target = fake ? fake->name : "window";
    calls.push_back("target " + m_Target);
}

void cPipelineRenderer::SetCamera(ICamera* camera, bool applyProjection) {
    if (!camera) {
        m_Matrices[video::MM_VIEW] = cMatrix();
        return;
    }
    const cVector3 eye = camera->GetPosition();
    m_Matrices[video::MM_VIEW] = cMatrix::LookAt(eye, eye + camera->GetDirection(), camera->GetUp());
    if (applyProjection) {
        m_Matrices[video::MM_PROJECTION] = cMatrix::Perspective(
            camera->GetFieldOfView(), camera->GetAspectRatio(), camera->GetNearDistance(), camera->GetFarDistance());
    }
    camera->GetFrustum()->Build(m_Matrices[video::MM_VIEW] * m_Matrices[video::MM_PROJECTION]);
}

void cPipelineRenderer::SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                                      double fov) {
    const double w = width ? width : kViewWidth;
    const double h = height ? height : kViewHeight;
    if (type == video::PROJ_ORTHOGRAPHIC) {
        m_Matrices[video::MM_PROJECTION] = cMatrix::Orthographic(0.0, w, 0.0, h, -4096.0, 4096.0);
    } else {
        m_Matrices[video::MM_PROJECTION] =
            cMatrix::Perspective(fov == -1.0 ? 90.0 : fov, aspect == -1.0 ? w / h : aspect, zNear, zFar);
    }
}

void cPipelineRenderer::SetTransform(int mode, const cMatrix* m, bool multiply) {
    cMatrix& current = m_Matrices[mode == video::MM_WORLD1 ? video::MM_WORLD : mode];
    const cMatrix given = m ? *m : cMatrix();
    current = multiply ? given * current : given;
}

void cPipelineRenderer::GetTransform(int mode, cMatrix& out) {
    out = m_Matrices[mode == video::MM_WORLD1 ? video::MM_WORLD : mode];
}

void cPipelineRenderer::PushTransform(int mode) {
    ++pushes;
    m_Stacks[mode].push_back(m_Matrices[mode == video::MM_WORLD1 ? video::MM_WORLD : mode]);
}

void cPipelineRenderer::PopTransform(int mode) {
    ++pops;
    if (m_Stacks[mode].empty()) {
        calls.push_back("pop underflow");
        return;
    }
    m_Matrices[mode == video::MM_WORLD1 ? video::MM_WORLD : mode] = m_Stacks[mode].back();
    m_Stacks[mode].pop_back();
}

void cPipelineRenderer::GetViewportRect(int& x, int& y, int& w, int& h) {
    x = y = 0;
    w = kViewWidth;
    h = kViewHeight;
}

void cPipelineRenderer::Project(cVector3& out, const cVector3& in) {
    const cMatrix wvp = m_Matrices[video::MM_WORLD] * m_Matrices[video::MM_VIEW] * m_Matrices[video::MM_PROJECTION];
    const cVector3 ndc = (cVector4(in, 1.0f) * wvp).Project();
    out = cVector3((ndc.x + 1.0f) * 0.5f * kViewWidth, (ndc.y + 1.0f) * 0.5f * kViewHeight, ndc.z);
}

void cPipelineRenderer::SetAlphaTest(int func, float reference) {
    m_AlphaFunc = func;
    m_AlphaReference = reference;
}

void cPipelineRenderer::SetBlendFunc(int src, int dst) {
    m_BlendSrc = src;
    m_BlendDst = dst;
}

void cPipelineRenderer::SetCullMode(int mode) { m_Cull = mode; }
void cPipelineRenderer::SetDepthWrite(bool enable) { m_DepthWrite = enable; }
void cPipelineRenderer::SetColorWrite(bool enable) { m_ColorWrite = enable; }
void cPipelineRenderer::SetDepthFunc(int func) { m_DepthFunc = func; }
void cPipelineRenderer::SetDepthRange(float zNear, float zFar) {
    depthNear = zNear;
    depthFar = zFar;
}
void cPipelineRenderer::SetFogMode(int mode) { m_FogMode = mode; }

void cPipelineRenderer::SetFogColor(int index, float r, float g, float b, float a) {
    if (index == 0) {
        fogColor[0] = r;
        fogColor[1] = g;
        fogColor[2] = b;
        fogColor[3] = a;
    }
}

void cPipelineRenderer::SetFogParameter(int parameter, float value) {
    if (parameter == video::FP_DENSITY) {
        fogDensity = value;
    }
}

void cPipelineRenderer::SetClipPlane(int, int enable, float a, float b, float c, float d) {
    m_ClipOn = enable != 0;
    m_ClipPlane = enable ? cPlane(a, b, c, d) : cPlane();
    calls.push_back(enable ? "clip on" : "clip off");
}

void cPipelineRenderer::SetLighting(bool enable) { m_Lighting = enable; }

void cPipelineRenderer::EnableLight(int index, bool enable) {
    if (index == 0) {
        light0Enabled = enable;
    }
}

void cPipelineRenderer::SetLight(int index, const video::sLight& light) {
    if (index == 0) {
        light0 = light;
    }
}

sRecordedDraw cPipelineRenderer::Snapshot(const std::string& kind) const {
    sRecordedDraw draw;
    draw.kind = kind;
    draw.target = m_Target;
    draw.shader = m_Shader;
    draw.texture0 = m_Stage0;
    draw.world = m_Matrices[video::MM_WORLD];
    draw.clipOn = m_ClipOn;
    draw.clipPlane = m_ClipPlane;
    draw.cull = m_Cull;
    draw.alphaFunc = m_AlphaFunc;
    draw.alphaReference = m_AlphaReference;
    draw.blendSrc = m_BlendSrc;
    draw.blendDst = m_BlendDst;
    draw.depthWrite = m_DepthWrite;
    draw.colorWrite = m_ColorWrite;
    draw.depthFunc = m_DepthFunc;
    draw.depthNear = depthNear;
    draw.depthFar = depthFar;
    draw.fogMode = m_FogMode;
    draw.lighting = m_Lighting;
    return draw;
}

void cPipelineRenderer::RenderIndexedPrimitives(int type, int ignored, int firstIndex, int vertexCount,
                                                int indexCount) {
    cNullRenderer::RenderIndexedPrimitives(type, ignored, firstIndex, vertexCount, indexCount);
    sRecordedDraw draw = Snapshot("indexed");
    draw.type = type;
    draw.firstIndex = firstIndex;
    draw.indexCount = indexCount;
    draws.push_back(draw);
}

void cPipelineRenderer::RenderQuad(video::ITexture* texture, const cVector3 corners[4], const cRect& texRect,
                                   const cColor& color) {
    calls.push_back("quad");
    sRecordedDraw draw = Snapshot("quad");
    if (texture) {
        draw.texture0 = texture->GetName();
    }
    draw.color = color;
    for (int i = 0; i < 4; ++i) {
        draw.corners[i] = corners[i];
    }
    draw.texRect = texRect;
    lastTexRect = texRect;
    draws.push_back(draw);
}

void cPipelineRenderer::RenderRect(video::ITexture* texture, const cRect& dst, const cRect&, const cColor& color) {
    calls.push_back("rect");
    sRecordedDraw draw = Snapshot("rect");
    draw.texture0 = texture ? texture->GetName() : "none";
    draw.rect = dst;
    draw.color = color;
    draws.push_back(draw);
}

void cPipelineRenderer::RenderSolidBox(const cVector3& min, const cVector3& max, const cColor&) {
    calls.push_back("box");
    sRecordedDraw draw = Snapshot("box");
    draw.corners[0] = min;
    draw.corners[1] = max;
    draws.push_back(draw);
}

// ---- Terrain -------------------------------------------------------------------------------------

cFakeChunk::cFakeChunk(cNullRenderer& renderer, const cBox& box) : m_Box(box) {
    const video::sVertexElement format[] = {{0, video::T_FLOAT, 3, video::VU_POSITION}, {0, 0, 0, video::VU_END}};
    m_Vertices = renderer.CreateVertexBuffer(1, format, 40, 40);
    for (int level = 0; level < TERRAIN_LEVEL_COUNT; ++level) {
        m_Indices[level] = level <= GetCoarsestLevel() ? renderer.CreateIndexBuffer(1, video::T_USHORT, 8) : nullptr;
    }
}

cFakeChunk::~cFakeChunk() {
    m_Vertices->Release();
    for (video::IIndexBuffer* indices : m_Indices) {
        if (indices) {
            indices->Release();
        }
    }
}

video::IIndexBuffer* cFakeChunk::GetIndexBuffer(int level) const {
    return level >= 0 && level < TERRAIN_LEVEL_COUNT ? m_Indices[level] : nullptr;
}

std::uint32_t cFakeChunk::GetIndexCount(int level) const {
    // Level L of a 33 x 33 chunk: (32 / 2^L) strip rows of 2 (32 / 2^L + 1) indices joined by degenerate pairs.
    if (level < 0 || level > GetCoarsestLevel()) {
        return 0;
    }
    const std::uint32_t rows = 32u >> level;
    return rows * 2 * (rows + 1) + (rows - 1) * 2;
}

void cFakeVegetation::CollectBatches(ICamera* camera, float distance, cDrawBatchList& batches) {
    lastDistance = distance;
    cameras.push_back(camera ? camera->GetPosition() : cVector3(-1.0f, -1.0f, -1.0f));
    frusta.push_back(camera ? camera->GetFrustum() : nullptr);
    distances.push_back(distance);
    ++collections;
    // The first plant stands in the shallows (its part, 2 high, reaches from below the surface at 25 to above
    // it); the others stand wholly above the water.
    for (int i = 0; i < m_Batches; ++i) {
        batches.Add(m_Part, cMatrix::Translation(static_cast<float>(i), i == 0 ? 24.0f : 30.0f, 0.0f));
    }
}

int cFakeVegetation::RenderImpostors() {
    // One picture, one billboard set: the set's own draw.
    m_Renderer.RenderIndexedPrimitives(video::PT_TRIANGLES, 0, 0, 4, 6);
    return 2;
}

cFakeTerrain::cFakeTerrain(cPipelineRenderer& renderer, const float tops[4], IMeshNode* vegetationPart,
                           int vegetationBatches)
    : m_Vegetation(new cFakeVegetation(renderer, vegetationPart, vegetationBatches)) {
    float highest = 0.0f;
    for (int i = 0; i < 4; ++i) {
        const float x = static_cast<float>(i % 2) * 32.0f;
        const float z = static_cast<float>(i / 2) * 32.0f;
        m_Chunks.emplace_back(new cFakeChunk(renderer, cBox(x, 0.0f, z, x + 32.0f, tops[i], z + 32.0f)));
        m_Children[i].chunk = m_Chunks.back().get();
        m_Children[i].box = m_Chunks.back()->GetBoundingBox();
        highest = std::max(highest, tops[i]);
    }
    m_Root.children = m_Children;
    m_Root.box = cBox(0.0f, 0.0f, 0.0f, 64.0f, highest, 64.0f);
    const char* maps[3] = {"colour map", "layer map", "light map"};
    for (int i = 0; i < 3; ++i) {
        m_Maps[i] = renderer.CreateTexture(maps[i]);
    }
    const char* layers[TERRAIN_LAYER_COUNT] = {"sand", "grass", "rock", nullptr, "mud"};
    for (int i = 0; i < TERRAIN_LAYER_COUNT; ++i) {
        m_Layers[i] = layers[i] ? renderer.CreateTexture(layers[i]) : nullptr;
        m_Scales[i] = cVector2(10.0f + i, 20.0f + i);
    }
}

cFakeTerrain::~cFakeTerrain() {
    for (video::ITexture2D* texture : m_Maps) {
        if (texture) {
            texture->Release();
        }
    }
    for (video::ITexture2D* texture : m_Layers) {
        if (texture) {
            texture->Release();
        }
    }
}

void cFakeTerrain::SetLayerScale(int layer, float u, float v) {
    if (layer >= 0 && layer < TERRAIN_LAYER_COUNT) {
        m_Scales[layer] = cVector2(u, v);
    }
}

video::ITexture2D* cFakeTerrain::GetLayerTexture(int layer) {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT ? m_Layers[layer] : nullptr;
}

std::string cFakeTerrain::GetLayerTextureName(int layer) const {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT && m_Layers[layer] ? m_Layers[layer]->GetName() : std::string();
}

cVector2 cFakeTerrain::GetLayerScale(int layer) const {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT ? m_Scales[layer] : cVector2();
}

// ---- Meshes --------------------------------------------------------------------------------------

cFakeMeshPart::cFakeMeshPart(cNullRenderer& renderer, const std::string& texture, int indexCount)
    : m_Name(texture), m_IndexCount(indexCount) {
    const video::sVertexElement format[] = {{0, video::T_FLOAT, 3, video::VU_POSITION}, {0, 0, 0, video::VU_END}};
    m_Vertices = renderer.CreateVertexBuffer(1, format, 12, 48);
    m_Indices = renderer.CreateIndexBuffer(1, video::T_USHORT, static_cast<std::size_t>(indexCount) * 2);
    m_Texture = renderer.CreateTexture(texture.c_str());
}

cFakeMeshPart::~cFakeMeshPart() {
    m_Vertices->Release();
    m_Indices->Release();
    if (m_Texture) {
        m_Texture->Release();
    }
}

cFakeMesh::cFakeMesh(cNullRenderer& renderer, int* live) : m_Part(new cFakeMeshPart(renderer, "crate", 6)), m_Live(live) {
    if (m_Live) {
        ++*m_Live;
    }
}

cFakeMesh::~cFakeMesh() {
    if (m_Live) {
        --*m_Live;
    }
}

} // namespace velmora::scene::test
