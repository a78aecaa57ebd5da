#pragma once
// The billboard set (see IBillboardSet). The vertices live in memory and in
// the vertex buffer: Lock hands out the memory copy, Unlock sends it to the
// buffer. The CPU-expanded drawing has its own vertex buffer (position,
// texture coordinate, colour: 24 bytes), made on first use and rewritten on
// every draw; both drawings share the index buffer.

#include <vector>

#include "scene/IBillboardSet.h"
#include "video/VideoTypes.h"

namespace velmora::video {
class IRenderer;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class cBillboardSet : public IBillboardSet {
public:
    // One vertex of the CPU-expanded drawing.
    struct sExpandedVertex {
        float x, y, z;
        float u, v;
        cColor color;
    };
    static_assert(sizeof(sExpandedVertex) == 24, "an expanded billboard vertex is 24 bytes");

    // renderer: makes the buffers and draws (null: vertices in memory only, nothing drawn).
    explicit cBillboardSet(video::IRenderer* renderer);
    ~cBillboardSet() override;
    cBillboardSet(const cBillboardSet&) = delete;
    cBillboardSet& operator=(const cBillboardSet&) = delete;

    void Release() override;
    sBillboardVertex* Lock() override;
    void Unlock() override;
    void Render() override;
    bool CreateBillboards(int count) override;
    void Clear() override;
    int GetCount() const override { return m_Count; }
    void RenderExpanded(const cVector3& right, const cVector3& up) override;
    void RenderExpanded() override;

    // The corners of every billboard expanded along right and up, 4 per billboard (what RenderExpanded
    // draws).
    void Expand(const cVector3& right, const cVector3& up, std::vector<sExpandedVertex>& out) const;
    // Indices of billboard k: 4k+3, 4k, 4k+1, 4k+3, 4k+1, 4k+2.
    static void MakeIndices(int count, std::vector<unsigned short>& out);
    // The vertex elements of the billboard vertex (ended by VU_END).
    static const video::sVertexElement* VertexFormat();

private:
    video::IRenderer* m_Renderer = nullptr;
    int m_Count = 0;
    std::vector<sBillboardVertex> m_Vertices;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
    video::IVertexBuffer* m_ExpandedBuffer = nullptr;
    std::vector<sExpandedVertex> m_Expanded;
};

} // namespace velmora::scene
