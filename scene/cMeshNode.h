#pragma once
// One part of a static mesh: its device buffers, texture and bounds.

#include "scene/IStaticMesh.h"
#include "scene/MeshData.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class cMeshNode : public IMeshNode {
public:
    explicit cMeshNode(const std::string& name);
    // Releases the texture and both buffers.
    ~cMeshNode() override;
    cMeshNode(const cMeshNode&) = delete;
    cMeshNode& operator=(const cMeshNode&) = delete;

    // Takes the counts, bounds and material name of the parsed node (no device work).
    void Describe(const sMeshNodeData& data);
    // Creates and fills the vertex buffer (packed vertices in the flags' layout) and the 16-bit index buffer,
    // and loads the material texture (anisotropy 16). Throws cException when a buffer cannot be created or
    // filled; a texture that fails to load leaves the node untextured.
    void Upload(video::IRenderer* renderer, const sMeshNodeData& data, int flags);

    const std::string& GetName() const override { return m_Name; }
    int GetVertexCount() const override { return m_VertexCount; }
    int GetIndexCount() const override { return m_IndexCount; }
    const cBox& GetBoundingBox() const override { return m_Box; }
    video::IVertexBuffer* GetVertexBuffer() const override { return m_VertexBuffer; }
    video::IIndexBuffer* GetIndexBuffer() const override { return m_IndexBuffer; }
    int GetBaseVertex() const override { return 0; }
    int GetStartIndex() const override { return 0; }
    video::ITexture2D* GetTexture() const override { return m_Texture; }
    const std::string& GetTextureName() const override { return m_TextureName; }

private:
    std::string m_Name;
    std::string m_TextureName;
    int m_VertexCount = 0;
    int m_IndexCount = 0;
    cBox m_Box;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
    video::ITexture2D* m_Texture = nullptr;
};

} // namespace velmora::scene
