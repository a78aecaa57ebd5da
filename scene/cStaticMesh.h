#pragma once
// A static mesh loaded from a ".mesh" file (see cMeshParser for the format).
// Loading parses the whole file first; the device buffers are then made in
// one place (cMeshNode::Upload), so parsing never depends on a device.

#include <memory>
#include <vector>

#include "scene/IStaticMesh.h"
#include "scene/cMeshNode.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class cResourceManager;

class cStaticMesh : public IStaticMesh {
public:
    // owner: the resource manager whose cache the mesh leaves when released (may be null);
    // renderer: what draws the mesh and makes its buffers.
    cStaticMesh(cResourceManager* owner, video::IRenderer* renderer);
    ~cStaticMesh() override;
    cStaticMesh(const cStaticMesh&) = delete;
    cStaticMesh& operator=(const cStaticMesh&) = delete;

    // Logs "Loading static mesh( %s )... ", parses the file and builds the nodes; with upload the nodes get
    // device buffers and textures, without it only counts, bounds and texture names (for tools). Returns
    // false after logging the reason as a warning.
    bool Load(const char* fileName, int flags, bool upload = true);
    // The cache no longer holds this mesh (the resource manager was cleared).
    void DetachFromCache() { m_Owner = nullptr; }
    int GetFlags() const { return m_Flags; }
    // The current reference count.
    int GetReferenceCount() const { return m_References; }

    void Release() override;
    IStaticMesh* AddRef() override;
    void Render() override;
    int FindNode(const std::string& name) const override;
    int GetNodeCount() const override { return static_cast<int>(m_Nodes.size()); }
    IMeshNode* GetNodeByName(const std::string& name) const override;
    IMeshNode* GetNode(int index) const override;
    const std::string& GetFileName() const override { return m_FileName; }
    const cBox& GetBoundingBox() const override { return m_Box; }

private:
    cResourceManager* m_Owner = nullptr;
    video::IRenderer* m_Renderer = nullptr;
    std::vector<std::unique_ptr<cMeshNode>> m_Nodes;
    std::string m_FileName;
    cBox m_Box{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    int m_Flags = 0;
    int m_References = 1;
};

} // namespace velmora::scene
