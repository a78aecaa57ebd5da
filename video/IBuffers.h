#pragma once
// Vertex and index buffers made by IRenderer::CreateVertexBuffer and
// CreateIndexBuffer. They are reference-counted and listed by the renderer
// for memory accounting; releasing a bound buffer to zero unbinds it first.
// A colour element holds 4 bytes red, green, blue, alpha (a cColor).

#include <cstddef>

#include "video/VideoTypes.h"

namespace velmora::video {

class IVertexBuffer {
public:
    // Releases the device buffer.
    virtual ~IVertexBuffer() = default;
    // Lowers the count; at zero unbinds, leaves the renderer's list and is destroyed.
    virtual void Release() = 0;
    // Raises the count; returns this buffer.
    virtual IVertexBuffer* AddRef() = 0;
    // Copies `bytes` bytes to the start of the buffer; a null pointer does nothing and returns true.
    virtual bool Fill(const void* data, std::size_t bytes) = 0;
    // Maps the whole buffer (read-only when writable is false); null on failure.
    virtual void* Lock(bool writable) = 0;
    // Unmaps; true on success.
    virtual bool Unlock() = 0;
    // An integer without other use (0).
    virtual int GetSpareProperty() const = 0;
    // True when the device buffer exists.
    virtual bool IsValid() const = 0;
    // Makes the buffer the vertex source with its format (called by IRenderer::SetVertexBuffer).
    virtual void Bind() = 0;
    // Clears the vertex source.
    virtual void Unbind() = 0;
    // (usage 2 = dynamic, format ended by usage VU_END, stride, size in bytes); throws on failure.
    virtual void Create(int usage, const sVertexElement* format, int stride, std::size_t size) = 0;
    // Size in bytes.
    virtual std::size_t GetSize() const = 0;
};

class IIndexBuffer {
public:
    // Releases the device buffer.
    virtual ~IIndexBuffer() = default;
    // Lowers the count; at zero unbinds, leaves the renderer's list and is destroyed.
    virtual void Release() = 0;
    // Raises the count; returns this buffer.
    virtual IIndexBuffer* AddRef() = 0;
    // Copies `bytes` bytes to the start of the buffer; false when it cannot be mapped.
    virtual bool Fill(const void* data, std::size_t bytes) = 0;
    // Maps the whole buffer; null on failure.
    virtual void* Lock(bool writable) = 0;
    // Unmaps; true on success.
    virtual bool Unlock() = 0;
    // T_USHORT or T_UINT.
    virtual int GetDataType() const = 0;
    // The usage given at creation.
    virtual int GetUsage() const = 0;
    // True when the device buffer exists.
    virtual bool IsValid() const = 0;
    // Makes the buffer the index source (called by IRenderer::SetIndexBuffer).
    virtual void Bind() = 0;
    // Clears the index source.
    virtual void Unbind() = 0;
    // (usage, T_USHORT or T_UINT, size in bytes); throws on failure.
    virtual void Create(int usage, int dataType, std::size_t size) = 0;
    // Size in bytes.
    virtual std::size_t GetSize() const = 0;
};

} // namespace velmora::video
