#pragma once
// A set of camera-facing quads in one vertex buffer. Each billboard is four
// vertices that all carry the billboard's centre and sizes plus their own
// corner in {-1, 1} x {-1, 1}; the quad is formed when drawing, either by a
// vertex shader that expands the corners (Render, with the caller's shader
// bound) or on the CPU (RenderExpanded, fixed function). Rain, particle
// systems and impostors are billboard sets.
//
// Without a renderer (headless scenes) the set keeps its vertices in memory
// only and draws nothing.

#include <cstdint>

#include "engine/core/cColor.h"
#include "engine/core/cVector3.h"

namespace velmora::scene {

// One corner of a billboard as the vertex buffer holds it (32 bytes).
struct sBillboardVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // centre
    float halfHeight = 0.0f;
    float cornerX = 0.0f, cornerY = 0.0f;  // -1 or 1
    float halfWidth = 0.0f;
    cColor color{0, 0, 0, 0};
};
static_assert(sizeof(sBillboardVertex) == 32, "a billboard vertex is 32 bytes");

class IBillboardSet {
public:
    // Largest billboard count: the last index of the 16-bit index buffer is 4 * count - 1.
    static constexpr int kMaxBillboards = 16384;

    // Releases the buffers.
    virtual ~IBillboardSet() = default;
    // Deletes the set.
    virtual void Release() = 0;
    // The 4 * GetCount() vertices (billboard k owns vertices 4k..4k+3, corners (-1, -1), (1, -1), (1, 1),
    // (-1, 1)) for reading and writing; null when the set is empty. Changes reach the device at Unlock.
    virtual sBillboardVertex* Lock() = 0;
    // Sends the vertices changed since Lock to the vertex buffer.
    virtual void Unlock() = 0;
    // Binds the set's buffers and draws 4n vertices and 6n indices as a triangle list, corners unexpanded:
    // the bound vertex shader places them. Vertex elements: position float4 (centre, half height), texture
    // coordinate 0 float2 (corner), texture coordinate 1 float (half width), colour.
    virtual void Render() = 0;
    // Replaces the billboards by `count` new ones at the origin with sizes and colour zero. False (after a
    // warning) for a count outside 1..kMaxBillboards or when the buffers cannot be made; throws
    // "cBillboardSet::CreateBillboards : failed to lock vertex buffer" when the new buffer cannot be written.
    virtual bool CreateBillboards(int count) = 0;
    // Releases the billboards and buffers.
    virtual void Clear() = 0;
    // Number of billboards.
    virtual int GetCount() const = 0;

    // ---- Fixed-function drawing ----------------------------------------------------------------
    // Draws the billboards as quads expanded on the CPU: corner (cx, cy) of a billboard lies at
    // centre + right * cx * half width + up * cy * half height, with texture coordinates
    // (cx, cy) * 0.5 + 0.5 and the billboard's colour. With right and up the camera's axes (taken from
    // the view matrix) this matches what the billboard shader draws.
    virtual void RenderExpanded(const cVector3& right, const cVector3& up) = 0;
    // As above with right and up taken from the renderer's current view matrix.
    virtual void RenderExpanded() = 0;
};

} // namespace velmora::scene
