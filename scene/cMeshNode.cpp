#include "scene/cMeshNode.h"

#include <cstring>

#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

cMeshNode::cMeshNode(const std::string& name) : m_Name(name) {}

cMeshNode::~cMeshNode() {
    if (m_Texture) {
        m_Texture->Release();
    }
    if (m_IndexBuffer) {
        m_IndexBuffer->Release();
    }
    if (m_VertexBuffer) {
        m_VertexBuffer->Release();
    }
}

void cMeshNode::Describe(const sMeshNodeData& data) {
    m_VertexCount = static_cast<int>(data.vertices.size());
    m_IndexCount = static_cast<int>(data.indices.size());
    m_Box = GetMeshBounds(data.vertices);
    if (m_Box.IsEmpty()) {
        m_Box = cBox(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    }
    m_TextureName = data.material;
}

void cMeshNode::Upload(video::IRenderer* renderer, const sMeshNodeData& data, int flags) {
    if (!renderer) {
        RaiseError("cMeshNode::Upload : no renderer for node '%s'", m_Name.c_str());
    }
    // A node without triangles draws nothing and needs no buffers.
    if (!data.vertices.empty() && !data.indices.empty()) {
        const sMeshVertexFormat format = GetMeshVertexFormat(flags);
        const std::vector<std::uint8_t> packed = PackMeshVertices(data.vertices, flags);
        m_VertexBuffer = renderer->CreateVertexBuffer(1, format.elements.data(), format.stride, packed.size());
        if (!m_VertexBuffer) {
            RaiseError("cMeshNode::Upload : failed to create the vertex buffer of node '%s'", m_Name.c_str());
        }
        void* vertices = m_VertexBuffer->Lock(true);
        if (!vertices) {
            RaiseError("cMeshNode::Upload : failed to lock the vertex buffer of node '%s'", m_Name.c_str());
        }
        std::memcpy(vertices, packed.data(), packed.size());
        m_VertexBuffer->Unlock();

        const std::size_t indexBytes = data.indices.size() * sizeof(std::uint16_t);
        m_IndexBuffer = renderer->CreateIndexBuffer(1, video::T_USHORT, indexBytes);
        if (!m_IndexBuffer) {
            RaiseError("cMeshNode::Upload : failed to create the index buffer of node '%s'", m_Name.c_str());
        }
        void* indices = m_IndexBuffer->Lock(true);
        if (!indices) {
            RaiseError("cMeshNode::Upload : failed to lock the index buffer of node '%s'", m_Name.c_str());
        }
        std::memcpy(indices, data.indices.data(), indexBytes);
        m_IndexBuffer->Unlock();
    }
    if (!data.material.empty()) {
        m_Texture = renderer->CreateTexture(data.material.c_str());
        if (m_Texture) {
            m_Texture->SetAnisotropy(16);
        }
    }
}

} // namespace velmora::scene
