#include "scene/cStaticMesh.h"

#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/cMeshParser.h"
#include "scene/cResourceManager.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

cStaticMesh::cStaticMesh(cResourceManager* owner, video::IRenderer* renderer)
    : m_Owner(owner), m_Renderer(renderer) {}

cStaticMesh::~cStaticMesh() = default;

bool cStaticMesh::Load(const char* fileName, int flags, bool upload) {
    m_FileName = fileName ? fileName : "";
    m_Flags = flags;
    LogMessage("Loading static mesh( %s )... ", m_FileName.c_str());
    try {
        std::vector<sMeshNodeData> parsed;
        cMeshParser parser;
        parser.ParseFile(m_FileName.c_str(), parsed);
        for (sMeshNodeData& data : parsed) {
            auto node = std::make_unique<cMeshNode>(data.name);
            if ((flags & MESH_NORMALS) && (flags & MESH_TANGENTS) && !data.indices.empty()) {
                ComputeMeshTangents(data.vertices, data.indices);
            }
            node->Describe(data);
            if (upload) {
                node->Upload(m_Renderer, data, flags);
            }
            m_Box.Extend(node->GetBoundingBox());
            m_Nodes.push_back(std::move(node));
        }
        // Still a mesh (one that draws nothing), but a file without nodes has most likely been cut short.
        if (m_Nodes.empty()) {
            LogWarning("cStaticMesh::Load : mesh '%s' holds no nodes\n", m_FileName.c_str());
        }
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        return false;
    } catch (const std::bad_alloc&) {
        LogWarning("cStaticMesh::SetupVertexBuffer : out of memory\n");
        return false;
    }
    return true;
}

void cStaticMesh::Release() {
    if (--m_References > 0) {
        return;
    }
    if (m_Owner) {
        m_Owner->ForgetMesh(this);
    }
    delete this;
}

IStaticMesh* cStaticMesh::AddRef() {
    ++m_References;
    return this;
}

void cStaticMesh::Render() {
    if (!m_Renderer) {
        return;
    }
    for (const auto& node : m_Nodes) {
        if (!node->GetVertexBuffer() || !node->GetIndexBuffer()) {
            continue;
        }
        video::ITexture2D* texture = node->GetTexture();
        if (texture) {
            m_Renderer->SetTexture(texture, 0);
        }
        m_Renderer->SetVertexBuffer(node->GetVertexBuffer());
        m_Renderer->SetIndexBuffer(node->GetIndexBuffer());
        m_Renderer->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, node->GetStartIndex(), node->GetVertexCount(),
                                            node->GetIndexCount());
        m_Renderer->SetIndexBuffer(nullptr);
        m_Renderer->SetVertexBuffer(nullptr);
        if (texture) {
            m_Renderer->SetTexture(nullptr, 0);
        }
    }
}

int cStaticMesh::FindNode(const std::string& name) const {
    for (int i = static_cast<int>(m_Nodes.size()) - 1; i >= 0; --i) {
        if (m_Nodes[static_cast<std::size_t>(i)]->GetName() == name) {
            return i;
        }
    }
    return -1;
}

IMeshNode* cStaticMesh::GetNodeByName(const std::string& name) const { return GetNode(FindNode(name)); }

IMeshNode* cStaticMesh::GetNode(int index) const {
    if (index < 0 || index >= static_cast<int>(m_Nodes.size())) {
        return nullptr;
    }
    return m_Nodes[static_cast<std::size_t>(index)].get();
}

} // namespace velmora::scene
