#pragma once
// The device-independent part of a vertex buffer: reference count, size,
// stride and the checked vertex format. A backend creates the device buffer
// and binds the format to its vertex sources.
//
// Format elements (sVertexElement, ended by usage VU_END): position takes 1-4
// floats, a normal always 3 floats, a colour always 4 bytes red, green, blue,
// alpha (whatever its count says), texture coordinate sets 0-2 take 1-4
// floats. Every element must lie inside the stride.

#include <vector>

#include "video/IBuffers.h"

namespace velmora::video {

class cResourceManager;
class cCommonRenderer;

class cCommonVertexBuffer : public IVertexBuffer {
public:
    // Longest format list accepted (a list without its end element is refused).
    static constexpr int kMaxElements = 16;

    cCommonVertexBuffer(cResourceManager* owner, cCommonRenderer* renderer) : m_Owner(owner), m_Renderer(renderer) {}
    ~cCommonVertexBuffer() override;
    cCommonVertexBuffer(const cCommonVertexBuffer&) = delete;
    cCommonVertexBuffer& operator=(const cCommonVertexBuffer&) = delete;

    // At zero: unbound if bound, out of the renderer's list, destroyed.
    void Release() override;
    IVertexBuffer* AddRef() override;
    int GetSpareProperty() const override { return m_Spare; }
    std::size_t GetSize() const override { return m_Size; }
    // Checks and stores the arguments, then creates the device buffer (CreateDeviceBuffer).
    void Create(int usage, const sVertexElement* format, int stride, std::size_t size) override;

    int GetStride() const { return m_Stride; }
    int GetUsage() const { return m_Usage; }
    // size / stride.
    std::size_t GetVertexCount() const { return m_VertexCount; }
    // The checked elements without the end element.
    const std::vector<sVertexElement>& GetFormat() const { return m_Format; }
    bool HasUsage(int usage) const;
    int GetReferenceCount() const { return m_RefCount; }

    // Components an element takes on the device (normal 3, colour 4, others its count) and
    // its size in bytes.
    static int DeviceComponents(const sVertexElement& element);
    static int DeviceBytes(const sVertexElement& element);

protected:
    virtual void CreateDeviceBuffer() = 0;

    cResourceManager* m_Owner;
    cCommonRenderer* m_Renderer;
    int m_RefCount = 1;
    int m_Spare = 0;
    int m_Usage = 0;
    int m_Stride = 0;
    std::size_t m_Size = 0;
    std::size_t m_VertexCount = 0;
    std::vector<sVertexElement> m_Format;
};

} // namespace velmora::video
