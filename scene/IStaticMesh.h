#pragma once
// Static meshes: unanimated models made of named parts (nodes), each with one
// texture, one vertex buffer and one 16-bit index buffer of triangles, loaded
// from ".mesh" files by the resource manager (IResourceManager::CreateMesh),
// which caches them by file name. Meshes are reference-counted: the cache
// holds one reference and every user takes its own with AddRef.

#include <string>

#include "engine/core/cBox.h"

namespace velmora::video {
class IVertexBuffer;
class IIndexBuffer;
class ITexture2D;
}

namespace velmora::scene {

// Load flags: which vertex elements the vertex buffers carry besides the position.
enum MeshLoadFlags : int {
    MESH_TEXCOORDS = 0x02, // texture coordinate (2 floats)
    MESH_NORMALS = 0x04,   // normal (3 floats)
    MESH_TANGENTS = 0x10,  // tangent and binormal (3 floats each), computed only together with MESH_NORMALS
    MESH_COLORS = 0x20,    // colour (4 bytes)
};
// What placed scene meshes load with: texture coordinate, normal, colour.
constexpr int MESH_SCENE_FLAGS = MESH_TEXCOORDS | MESH_NORMALS | MESH_COLORS;

class IMeshNode {
public:
    // Releases the node's texture and buffers.
    virtual ~IMeshNode() = default;
    virtual const std::string& GetName() const = 0;
    virtual int GetVertexCount() const = 0;
    virtual int GetIndexCount() const = 0;
    // The box around the node's vertex positions.
    virtual const cBox& GetBoundingBox() const = 0;
    // Null for a node without device buffers (no triangles, or loaded without a renderer).
    virtual video::IVertexBuffer* GetVertexBuffer() const = 0;
    virtual video::IIndexBuffer* GetIndexBuffer() const = 0;
    // Both 0.
    virtual int GetBaseVertex() const = 0;
    virtual int GetStartIndex() const = 0;
    // The node's texture, or null (no material, or the texture failed to load).
    virtual video::ITexture2D* GetTexture() const = 0;
    // The material's texture file name as the file gives it (empty without material).
    virtual const std::string& GetTextureName() const = 0;
};

class IStaticMesh {
public:
    virtual ~IStaticMesh() = default;
    // Lowers the reference count; at zero the mesh leaves the resource manager's cache and is deleted.
    virtual void Release() = 0;
    // Raises the reference count; returns this mesh.
    virtual IStaticMesh* AddRef() = 0;
    // Draws every node in file order: its texture on stage 0, its buffers, one indexed triangle list.
    virtual void Render() = 0;
    // Index of the last node with exactly this name, or -1.
    virtual int FindNode(const std::string& name) const = 0;
    virtual int GetNodeCount() const = 0;
    // The last node with exactly this name, or null.
    virtual IMeshNode* GetNodeByName(const std::string& name) const = 0;
    // The node at the index, or null when the index is out of range.
    virtual IMeshNode* GetNode(int index) const = 0;
    // The file the mesh was loaded from (its cache key).
    virtual const std::string& GetFileName() const = 0;
    // The union of the node boxes and the origin; all zero for a mesh without nodes.
    virtual const cBox& GetBoundingBox() const = 0;
};

} // namespace velmora::scene
