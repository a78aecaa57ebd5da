#pragma once
// Stand-ins for the rendering pipeline tests: a recording renderer that also
// keeps matrices, render targets, clip planes and render states and notes
// them with every draw; shaders that keep the uniforms they were given;
// targets and occlusion queries with scripted answers; a small terrain (a
// root over four chunks of chosen heights), vegetation that hands out a fixed
// number of batches, and a one-part static mesh.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/core/cPlane.h"
#include "scene/IStaticMesh.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainChunk.h"
#include "scene/ITerrainVegetation.h"
#include "scene/support/cNullRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"

namespace velmora::scene::test {

class cPipelineRenderer;

// A shader that keeps every uniform it is given (as floats).
class cRecordingShader : public video::IShader {
public:
    cRecordingShader(cPipelineRenderer& owner, const std::string& name) : m_Owner(owner), m_Name(name) {}
    void Release() override;
    video::IShader* AddRef() override {
        ++references;
        return this;
    }
    const std::string& GetName() const override { return m_Name; }
    bool SetUniform(const char* name, const cVector2& v) override { return Keep(name, {v.x, v.y}); }
    bool SetUniform(const char* name, float x, float y) override { return Keep(name, {x, y}); }
    bool SetUniform(const char* name, const cVector3& v) override { return Keep(name, {v.x, v.y, v.z}); }
    bool SetUniform(const char* name, float x, float y, float z) override { return Keep(name, {x, y, z}); }
    bool SetUniform(const char* name, const cVector4& v) override { return Keep(name, {v.x, v.y, v.z, v.w}); }
    bool SetUniform(const char* name, float x, float y, float z, float w) override { return Keep(name, {x, y, z, w}); }
    bool SetUniform(const char* name, float value) override { return Keep(name, {value}); }
    bool SetUniform(const char* name, int value) override { return Keep(name, {static_cast<float>(value)}); }
    bool SetUniform(const char* name, const cMatrix& m) override { return Keep(name, {m.m, m.m + 16}); }
    bool SetUniform(const char* name, const float* m) override { return Keep(name, {m, m + 16}); }
    bool SetUniformArray(const char* name, const float* v, int n) override { return Keep(name, {v, v + n}); }
    bool SetUniformArray(const char* name, const cVector2*, int) override { return Keep(name, {}); }
    bool SetUniformArray(const char* name, const cVector3*, int) override { return Keep(name, {}); }
    bool SetUniformArray(const char* name, const cVector4*, int) override { return Keep(name, {}); }
    void CompileShader() override {}
    void Bind() override {}
    void Unbind() override {}

    // The last value of a uniform (empty when never set).
    std::vector<float> Uniform(const std::string& name) const;
    std::map<std::string, std::vector<float>> uniforms;
    int references = 1;

private:
    bool Keep(const char* name, std::vector<float> values) {
        uniforms[name ? name : ""] = std::move(values);
        return true;
    }
    cPipelineRenderer& m_Owner;
    std::string m_Name;
};

// A render target whose texture is a stand-in of the target's name.
class cFakeRenderTarget : public video::IRenderTarget {
public:
    cFakeRenderTarget(cPipelineRenderer& owner, const std::string& name, int width, int height, int format);
    ~cFakeRenderTarget() override;
    void Release() override { delete this; }
    void SetClearColor(const cColor& color) override { clearColor = color; }
    video::ITexture2D* GetTexture() override { return m_Texture.get(); }
    video::ITexture2D* GetSecondTexture() override { return nullptr; }
    std::uint32_t GetImageWidth() const override { return static_cast<std::uint32_t>(width); }
    std::uint32_t GetImageHeight() const override { return static_cast<std::uint32_t>(height); }
    cColor GetClearColor() const override { return clearColor; }
    void Bind() override {}
    void Unbind() override {}

    std::string name;
    int width = 0, height = 0, format = 0;
    cColor clearColor{0, 0, 0, 0};

private:
    cPipelineRenderer& m_Owner;
    std::unique_ptr<video::ITexture2D> m_Texture;
};

// Answers GetResult with the scripted counts in turn (the last one repeats; 0 without any).
class cScriptedQuery : public video::IOcclusionQuery {
public:
    explicit cScriptedQuery(cPipelineRenderer& owner) : m_Owner(owner) {}
    ~cScriptedQuery() override;
    void Release() override { delete this; }
    std::uint32_t GetResult() override;
    std::uint32_t GetLastResult() const override { return m_Last; }
    void Begin() override;
    void End() override;
    bool IsAvailable() override { return true; }

private:
    cPipelineRenderer& m_Owner;
    std::size_t m_Next = 0;
    std::uint32_t m_Last = 0;
};

// One draw as the renderer saw it, with the state it was drawn in.
struct sRecordedDraw {
    std::string kind;     // "indexed", "quad", "rect", "box"
    std::string target;   // "window" or the target's name
    std::string shader;   // "none" or the shader file's base name ("terrain", "water", ...)
    int type = -1;        // primitive type of indexed draws
    int firstIndex = 0;
    int indexCount = 0;
    std::string texture0; // stage 0 at the time
    cMatrix world;
    bool clipOn = false;
    cPlane clipPlane;
    int cull = 2;
    int alphaFunc = 0;
    float alphaReference = 0.0f;
    int blendSrc = 0, blendDst = 0;
    bool depthWrite = true;
    bool colorWrite = true;
    int depthFunc = 4;
    float depthNear = 0.0f, depthFar = 1.0f;
    int fogMode = 0;
    bool lighting = false;
    cRect rect;           // of "rect" draws
    cRect texRect;        // of "quad" draws
    cColor color;         // of "rect" and "quad" draws
    cVector3 corners[4];  // of "quad" draws; min and max in 0 and 1 for "box"
};

class cPipelineRenderer : public cNullRenderer {
public:
    // The depth range last set (SetDepthRange).
    float depthNear = 0.0f;
    float depthFar = 1.0f;
    static constexpr int kViewWidth = 640;
    static constexpr int kViewHeight = 480;

    cPipelineRenderer();
    ~cPipelineRenderer() override;

    // Shader files (as asked for) that fail to load; target creation fails while failTargets is set.
    std::set<std::string> missingShaders;
    bool failTargets = false;
    // Pixel counts the occlusion queries answer, in order.
    std::vector<std::uint32_t> queryResults;
    std::size_t queriesAnswered = 0;
    int queriesOpen = 0;

    std::vector<sRecordedDraw> draws;
    std::vector<cRecordingShader*> shaders;
    std::vector<cFakeRenderTarget*> targets;
    int liveShaders = 0;
    int liveTargets = 0;
    int liveQueries = 0;
    video::sLight light0;
    bool light0Enabled = false;
    int pushes = 0, pops = 0;

    // The shader made from the file whose base name (without folder, variant and extension) is given.
    cRecordingShader* Shader(const std::string& baseName) const;
    // Draws whose kind is given (all when empty).
    std::vector<sRecordedDraw> Draws(const std::string& kind = std::string()) const;
    // Consecutive draws grouped by (target, shader): "window/terrain x4", ...
    std::vector<std::string> Passes() const;
    void Forget(cRecordingShader* shader);
    void Forget(cFakeRenderTarget* target);

    video::IShader* CreateShader(const char* fileName, const std::string&, const std::string&) override;
    video::IShader* CreateShader(const char* fileName, const std::vector<std::string>&,
                                 const std::vector<std::string>&) override;
    video::IRenderTarget* CreateRenderTarget(int width, int height, int format, int) override;
    video::IOcclusionQuery* CreateOcclusionQuery() override;

    void SetShader(video::IShader* shader) override;
    void SetTexture(video::ITexture* texture, int stage) override;
    void SetRenderTarget(video::IRenderTarget* target) override;
    using cNullRenderer::SetScissor;
    void SetScissor(bool enable, int x, int y, int width, int height) override;
    void SetCamera(ICamera* camera, bool applyProjection) override;
    void SetProjectionMatrix(const cMatrix& m) override { m_Matrices[video::MM_PROJECTION] = m; }
    void SetProjection(int type, int width, int height, double zNear, double zFar, double aspect, double fov) override;
    void SetTransform(int mode, const cMatrix& m, bool multiply) override { SetTransform(mode, &m, multiply); }
    void SetTransform(int mode, const cMatrix* m, bool multiply) override;
    void GetTransform(int mode, cMatrix& out) override;
    void PushTransform(int mode) override;
    void PopTransform(int mode) override;
    void GetViewportRect(int& x, int& y, int& w, int& h) override;
    void Project(cVector3& out, const cVector3& in) override;

    void SetAlphaTest(int func, float reference) override;
    void SetBlendFunc(int src, int dst) override;
    void SetCullMode(int mode) override;
    void SetDepthWrite(bool enable) override;
    void SetColorWrite(bool enable) override;
    void SetDepthFunc(int func) override;
    void SetDepthRange(float zNear, float zFar) override;
    void SetFogMode(int mode) override;
    void SetFogColor(int index, float r, float g, float b, float a) override;
    void SetFogParameter(int parameter, float value) override;
    void SetClipPlane(int index, int enable, float a, float b, float c, float d) override;
    void SetLighting(bool enable) override;
    void EnableLight(int index, bool enable) override;
    void SetLight(int index, const video::sLight& light) override;
    int GetCullMode() const override { return m_Cull; }
    int GetAlphaTestFunc() const override { return m_AlphaFunc; }
    int GetBlendSrc() const override { return m_BlendSrc; }
    int GetBlendDst() const override { return m_BlendDst; }
    bool GetDepthWrite() const override { return m_DepthWrite; }
    int GetFogMode() const override { return m_FogMode; }

    void RenderIndexedPrimitives(int type, int ignored, int firstIndex, int vertexCount, int indexCount) override;
    void RenderQuad(video::ITexture* texture, const cVector3 corners[4], const cRect& texRect,
                    const cColor& color) override;
    void RenderRect(video::ITexture* texture, const cRect& dst, const cRect& src, const cColor& color) override;
    void RenderSolidBox(const cVector3& min, const cVector3& max, const cColor& color) override;

    float fogColor[4] = {0, 0, 0, 0};
    float fogDensity = 0.0f;
    cRect lastTexRect;
    // Scissor changes, "<target> on x y width height" or "<target> off".
    std::vector<std::string> scissors;

private:
    sRecordedDraw Snapshot(const std::string& kind) const;

    cMatrix m_Matrices[5];
    std::vector<cMatrix> m_Stacks[4];
    std::string m_Target = "window";
    std::string m_Shader = "none";
    std::string m_Stage0 = "none";
    bool m_ClipOn = false;
    cPlane m_ClipPlane;
    int m_Cull = 2;
    int m_AlphaFunc = 0;
    float m_AlphaReference = 0.0f;
    int m_BlendSrc = 0, m_BlendDst = 0;
    bool m_DepthWrite = true;
    bool m_ColorWrite = true;
    int m_DepthFunc = 4;
    int m_FogMode = 0;
    bool m_Lighting = false;
};

// ---- Terrain -------------------------------------------------------------------------------------

class cFakeChunk : public ITerrainChunk {
public:
    cFakeChunk(cNullRenderer& renderer, const cBox& box);
    ~cFakeChunk() override;
    video::IVertexBuffer* GetVertexBuffer() const override { return m_Vertices; }
    video::IIndexBuffer* GetIndexBuffer(int level) const override;
    std::uint32_t GetVertexCount() const override { return 33 * 33; }
    std::uint32_t GetIndexCount(int level) const override;
    const cBox& GetBoundingBox() const override { return m_Box; }
    int GetCoarsestLevel() const override { return 5; }

private:
    cBox m_Box;
    video::IVertexBuffer* m_Vertices = nullptr;
    video::IIndexBuffer* m_Indices[TERRAIN_LEVEL_COUNT] = {};
};

// Batches of one mesh part; RenderImpostors draws one quad per impostor kind.
class cFakeVegetation : public ITerrainVegetation {
public:
    cFakeVegetation(cPipelineRenderer& renderer, IMeshNode* part, int batches)
        : m_Renderer(renderer), m_Part(part), m_Batches(batches) {}
    sVegetationInstance* PickInstance(const cVector3&, const cVector3&) override { return nullptr; }
    sVegetationInstance* AddInstance(sVegetationKind*, const cColor&, const cMatrix&) override { return nullptr; }
    bool RemoveInstance(sVegetationInstance*) override { return false; }
    const std::vector<sVegetationInstance*>& GetInstances() const override { return m_Instances; }
    ITerrainVegetation* GetChild(int) const override { return nullptr; }
    void Build() override {}
    void RenderBounds() override {}
    sVegetationKind* AddKind(const char*) override { return nullptr; }
    const std::vector<sVegetationKind*>& GetKinds() const override { return m_Kinds; }
    const cBox& GetBoundingBox() const override { return m_Box; }
    int GetInstanceCount() const override { return m_Batches; }
    void CollectBatches(ICamera* camera, float distance, cDrawBatchList& batches) override;
    int RenderImpostors() override;
    int GetImpostorCount() const override { return 1; }

    float lastDistance = -1.0f;
    std::vector<float> distances; // every collection's, in order
    std::vector<cVector3> cameras;  // the camera position of every collection
    std::vector<IFrustum*> frusta;  // and its frustum
    int collections = 0;

private:
    cPipelineRenderer& m_Renderer;
    IMeshNode* m_Part;
    int m_Batches;
    cBox m_Box{-1, -1, -1, 256, 256, 256};
    std::vector<sVegetationInstance*> m_Instances;
    std::vector<sVegetationKind*> m_Kinds;
};

// A root node over four chunks laid out 2 x 2 (32 units each), the given top heights, and vegetation.
class cFakeTerrain : public ITerrain {
public:
    cFakeTerrain(cPipelineRenderer& renderer, const float tops[4], IMeshNode* vegetationPart, int vegetationBatches);
    ~cFakeTerrain() override;
    void Release() override { delete this; }
    ITerrain* AddRef() override { return this; }
    int Render(float, int, ICamera*) override { return 0; }
    int RenderVegetation(ICamera*) override { return 0; }
    bool SetLayerTexture(int, const char*) override { return false; }
    void SetLayerScale(int layer, float u, float v) override;
    bool CreateColorMap(int) override { return true; }
    bool CreateLayerMap(int) override { return true; }
    bool CreateLightMap(int) override { return true; }
    float GetHeight(float, float) const override { return 0.0f; }
    int GetSize() const override { return 64; }
    float GetScale() const override { return 1.0f; }
    bool GetChunkVertexBuffer(float, float, video::IVertexBuffer*&) const override { return false; }
    int GetChunkSize() const override { return 32; }
    bool GetChunkBox(float, float, cBox&) const override { return false; }
    ITerrainVegetation* GetVegetation() override { return m_Vegetation.get(); }
    video::ITexture2D* GetColorMap() const override { return m_Maps[0]; }
    video::ITexture2D* GetLayerMap() const override { return m_Maps[1]; }
    video::ITexture2D* GetLightMap() const override { return m_Maps[2]; }
    video::ITexture2D* GetLayerTexture(int layer) override;
    std::string GetLayerTextureName(int layer) const override;
    cVector2 GetLayerScale(int layer) const override;
    video::ITexture2D* GetPackedDetailLayers() override { return packedLayers; }
    const sTerrainNode* GetQuadTree() const override { return &m_Root; }
    std::vector<float> GetHeightmap() const override { return {}; }
    void RefreshChunkHeights(float, float) override {}

    cFakeVegetation* Vegetation() { return m_Vegetation.get(); }
    // What GetPackedDetailLayers hands out (not owned).
    video::ITexture2D* packedLayers = nullptr;

private:
    std::vector<std::unique_ptr<cFakeChunk>> m_Chunks;
    sTerrainNode m_Children[4];
    sTerrainNode m_Root;
    std::unique_ptr<cFakeVegetation> m_Vegetation;
    video::ITexture2D* m_Maps[3] = {};
    video::ITexture2D* m_Layers[TERRAIN_LAYER_COUNT] = {};
    cVector2 m_Scales[TERRAIN_LAYER_COUNT];
};

// ---- Meshes --------------------------------------------------------------------------------------

class cFakeMeshPart : public IMeshNode {
public:
    cFakeMeshPart(cNullRenderer& renderer, const std::string& texture, int indexCount);
    ~cFakeMeshPart() override;
    const std::string& GetName() const override { return m_Name; }
    int GetVertexCount() const override { return 4; }
    int GetIndexCount() const override { return m_IndexCount; }
    const cBox& GetBoundingBox() const override { return m_Box; }
    video::IVertexBuffer* GetVertexBuffer() const override { return m_Vertices; }
    video::IIndexBuffer* GetIndexBuffer() const override { return m_Indices; }
    int GetBaseVertex() const override { return 0; }
    int GetStartIndex() const override { return 0; }
    video::ITexture2D* GetTexture() const override { return m_Texture; }
    const std::string& GetTextureName() const override { return m_Name; }

private:
    std::string m_Name;
    int m_IndexCount;
    cBox m_Box{-1, 0, -1, 1, 2, 1};
    video::IVertexBuffer* m_Vertices = nullptr;
    video::IIndexBuffer* m_Indices = nullptr;
    video::ITexture2D* m_Texture = nullptr;
};

// One part; released by the scene manager like a real mesh.
class cFakeMesh : public IStaticMesh {
public:
    cFakeMesh(cNullRenderer& renderer, int* live);
    ~cFakeMesh() override;
    void Release() override { delete this; }
    IStaticMesh* AddRef() override { return this; }
    void Render() override {}
    int FindNode(const std::string&) const override { return 0; }
    int GetNodeCount() const override { return 1; }
    IMeshNode* GetNodeByName(const std::string&) const override { return m_Part.get(); }
    IMeshNode* GetNode(int index) const override { return index == 0 ? m_Part.get() : nullptr; }
    const std::string& GetFileName() const override { return m_Name; }
    const cBox& GetBoundingBox() const override { return m_Part->GetBoundingBox(); }

private:
    std::unique_ptr<cFakeMeshPart> m_Part;
    std::string m_Name = "fake.mesh";
    int* m_Live;
};

} // namespace velmora::scene::test
