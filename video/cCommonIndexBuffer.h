#pragma once
// The device-independent part of an index buffer: reference count, usage,
// index type (T_USHORT 16-bit or T_UINT 32-bit) and size. A backend creates
// the device buffer.

#include "video/IBuffers.h"

namespace velmora::video {

class cResourceManager;
class cCommonRenderer;

class cCommonIndexBuffer : public IIndexBuffer {
public:
    cCommonIndexBuffer(cResourceManager* owner, cCommonRenderer* renderer) : m_Owner(owner), m_Renderer(renderer) {}
    ~cCommonIndexBuffer() override;
    cCommonIndexBuffer(const cCommonIndexBuffer&) = delete;
    cCommonIndexBuffer& operator=(const cCommonIndexBuffer&) = delete;

    // At zero: unbound if bound, out of the renderer's list, destroyed.
    void Release() override;
    IIndexBuffer* AddRef() override;
    int GetDataType() const override { return m_DataType; }
    int GetUsage() const override { return m_Usage; }
    std::size_t GetSize() const override { return m_Size; }
    // Checks and stores the arguments, then creates the device buffer (CreateDeviceBuffer).
    void Create(int usage, int dataType, std::size_t size) override;

    // 2 or 4.
    int GetIndexBytes() const { return m_DataType == T_UINT ? 4 : 2; }
    int GetReferenceCount() const { return m_RefCount; }

protected:
    virtual void CreateDeviceBuffer() = 0;

    cResourceManager* m_Owner;
    cCommonRenderer* m_Renderer;
    int m_RefCount = 1;
    int m_Usage = 0;
    int m_DataType = T_USHORT;
    std::size_t m_Size = 0;
};

} // namespace velmora::video
