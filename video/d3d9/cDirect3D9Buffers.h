#pragma once
// Vertex and index buffers on Direct3D 9. A vertex buffer's format becomes a
// vertex declaration on stream 0 (positions and texture coordinates as 1-4
// floats, normals 3 floats, colours a D3DCOLOR).
//
// Static buffers live in the managed pool. Dynamic buffers (usage 2) live in
// the default pool, as the device requires, and keep a system-memory copy
// that Lock hands out, so that their contents survive a device reset. The
// engine stores colours as red, green, blue, alpha bytes and the device reads
// a D3DCOLOR (blue first): buffers with a colour element keep the copy too and
// swap red and blue on the way to the device.

#include "video/d3d9/D3D9Api.h"

#include <vector>

#include "video/cCommonIndexBuffer.h"
#include "video/cCommonVertexBuffer.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

class cDirect3D9VertexBuffer : public cCommonVertexBuffer, private cDirect3D9DeviceResource {
public:
    cDirect3D9VertexBuffer(cResourceManager* owner, cDirect3D9Renderer* renderer);
    ~cDirect3D9VertexBuffer() override;

    // False when the bytes do not fit or the buffer is locked.
    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool writable) override;
    bool Unlock() override;
    bool IsValid() const override { return m_Buffer != nullptr; }
    void Bind() override;
    void Unbind() override;

    IDirect3DVertexDeclaration9* GetDeclaration() const { return m_Declaration; }
    // The declaration elements made from a format (ended by D3DDECL_END); raises for a usage the
    // device has no meaning for.
    static std::vector<D3DVERTEXELEMENT9> BuildDeclaration(const std::vector<sVertexElement>& format);

protected:
    // Raises "cDirect3D9VertexBuffer::Create : failed to create vertex buffer, %s".
    void CreateDeviceBuffer() override;

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;
    bool Dynamic() const { return m_Usage == 2; }
    // Copies `bytes` of the system copy to the device buffer (colours swapped).
    bool Upload(std::size_t bytes);
    HRESULT MakeBuffer();

    cDirect3D9Renderer* m_D3DRenderer;
    IDirect3DVertexBuffer9* m_Buffer = nullptr;
    IDirect3DVertexDeclaration9* m_Declaration = nullptr;
    std::vector<std::uint8_t> m_Copy;
    std::vector<int> m_ColorOffsets;
    bool m_UsesCopy = false;
    bool m_Locked = false;
    bool m_LockedWritable = false;
};

class cDirect3D9IndexBuffer : public cCommonIndexBuffer, private cDirect3D9DeviceResource {
public:
    cDirect3D9IndexBuffer(cResourceManager* owner, cDirect3D9Renderer* renderer);
    ~cDirect3D9IndexBuffer() override;

    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool writable) override;
    bool Unlock() override;
    bool IsValid() const override { return m_Buffer != nullptr; }
    void Bind() override;
    void Unbind() override;

protected:
    // Raises "cDirect3D9IndexBuffer::Create : failed to create index buffer, %s".
    void CreateDeviceBuffer() override;

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;
    bool Dynamic() const { return m_Usage == 2; }
    HRESULT MakeBuffer();
    // Copies the system copy to the device buffer.
    bool Upload();

    cDirect3D9Renderer* m_D3DRenderer;
    IDirect3DIndexBuffer9* m_Buffer = nullptr;
    std::vector<std::uint8_t> m_Copy;
    bool m_Locked = false;
};

} // namespace velmora::video
