#include "scene/support/cNullRenderer.h"
#include "engine/core/cException.h"

#include <algorithm>
#include <cstring>

namespace velmora::scene::test {

namespace {

template <class T>
void Erase(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

// ---- Buffers ----------------------------------------------------------------------------------

cMemoryVertexBuffer::cMemoryVertexBuffer(cNullRenderer& owner, const video::sVertexElement* elements, int vertexSize,
                                         std::size_t size)
    : stride(vertexSize), m_Owner(owner), m_Data(size) {
    for (const video::sVertexElement* e = elements; e && format.size() < 16; ++e) {
        format.push_back(*e);
        if (e->usage == video::VU_END) {
            break;
        }
    }
    ++m_Owner.liveVertexBuffers;
}

cMemoryVertexBuffer::~cMemoryVertexBuffer() {
    --m_Owner.liveVertexBuffers;
    m_Owner.Forget(this);
}

void cMemoryVertexBuffer::Release() {
    if (--m_References == 0) {
        delete this;
    }
}

video::IVertexBuffer* cMemoryVertexBuffer::AddRef() {
    ++m_References;
    return this;
}

bool cMemoryVertexBuffer::Fill(const void* data, std::size_t bytes) {
    if (data) {
        std::memcpy(m_Data.data(), data, std::min(bytes, m_Data.size()));
    }
    return true;
}

cMemoryIndexBuffer::cMemoryIndexBuffer(cNullRenderer& owner, int dataType, std::size_t size)
    : m_Owner(owner), m_Data(size), m_DataType(dataType) {
    ++m_Owner.liveIndexBuffers;
}

cMemoryIndexBuffer::~cMemoryIndexBuffer() {
    --m_Owner.liveIndexBuffers;
    m_Owner.Forget(this);
}

void cMemoryIndexBuffer::Release() {
    if (--m_References == 0) {
        delete this;
    }
}

video::IIndexBuffer* cMemoryIndexBuffer::AddRef() {
    ++m_References;
    return this;
}

bool cMemoryIndexBuffer::Fill(const void* data, std::size_t bytes) {
    if (data) {
        std::memcpy(m_Data.data(), data, std::min(bytes, m_Data.size()));
    }
    return true;
}

std::vector<std::uint16_t> cMemoryIndexBuffer::Indices() const {
    std::vector<std::uint16_t> out(m_Data.size() / 2);
    std::memcpy(out.data(), m_Data.data(), out.size() * 2);
    return out;
}

// ---- Textures ---------------------------------------------------------------------------------

cNamedTexture::~cNamedTexture() { m_Owner.Forget(this); }

video::ITexture* cNamedTexture::AddRef() {
    ++references;
    return this;
}

void cNamedTexture::Release() {
    if (--references == 0) {
        delete this;
    }
}

// ---- Renderer ---------------------------------------------------------------------------------

cNullRenderer::~cNullRenderer() {
    // Whatever scene code leaked is not this renderer's to free: tests check the live counts.
}

void cNullRenderer::Forget(cMemoryVertexBuffer* buffer) { Erase(vertexBuffers, buffer); }
void cNullRenderer::Forget(cMemoryIndexBuffer* buffer) { Erase(indexBuffers, buffer); }
void cNullRenderer::Forget(cNamedTexture* texture) {
    --liveTextures;
    Erase(m_Textures, texture);
}

cNamedTexture* cNullRenderer::FindTexture(const std::string& name) const {
    for (cNamedTexture* texture : m_Textures) {
        if (texture->GetName() == name) {
            return texture;
        }
    }
    return nullptr;
}

void cNullRenderer::SetTexture(video::ITexture* texture, int stage) {
    calls.push_back("texture " + std::to_string(stage) + " " + (texture ? texture->GetName() : "none"));
}

void cNullRenderer::SetVertexBuffer(video::IVertexBuffer* buffer) {
    auto* memory = dynamic_cast<cMemoryVertexBuffer*>(buffer);
    calls.push_back("vertices " + (memory ? std::to_string(memory->id) : std::string("none")));
}

void cNullRenderer::SetIndexBuffer(video::IIndexBuffer* buffer) {
    auto* memory = dynamic_cast<cMemoryIndexBuffer*>(buffer);
    calls.push_back("indices " + (memory ? std::to_string(memory->id) : std::string("none")));
}

void cNullRenderer::SetShader(video::IShader* shader) { calls.push_back(shader ? "shader" : "shader none"); }

void cNullRenderer::RenderIndexedPrimitives(int type, int, int firstIndex, int vertexCount, int indexCount) {
    calls.push_back("draw " + std::to_string(type) + " " + std::to_string(firstIndex) + " " +
                    std::to_string(vertexCount) + " " + std::to_string(indexCount));
}

void cNullRenderer::RenderIndexedPrimitives(int type, int ignored, int vertexCount, int indexCount) {
    RenderIndexedPrimitives(type, ignored, 0, vertexCount, indexCount);
}

void cNullRenderer::RenderPrimitives(int type, int first, int count) {
    calls.push_back("draw arrays " + std::to_string(type) + " " + std::to_string(first) + " " +
                    std::to_string(count));
}

video::IVertexBuffer* cNullRenderer::CreateVertexBuffer(int, const video::sVertexElement* format, int stride,
                                                        std::size_t size) {
    if (failBuffers) {
        return nullptr;
    }
    auto* buffer = new cMemoryVertexBuffer(*this, format, stride, size);
    buffer->id = nextId++;
    vertexBuffers.push_back(buffer);
    return buffer;
}

video::IIndexBuffer* cNullRenderer::CreateIndexBuffer(int, int dataType, std::size_t size) {
    if (failBuffers) {
        return nullptr;
    }
    auto* buffer = new cMemoryIndexBuffer(*this, dataType, size);
    buffer->id = nextId++;
    indexBuffers.push_back(buffer);
    return buffer;
}

bool cNamedTexture::ReadData(std::vector<std::uint8_t>& out) {
    out.clear();
    if (m_Owner.readBackRaises) {
        velmora::RaiseError("cNamedTexture::ReadData : not implemented yet");
    }
    return false;
}

video::ITexture2D* cNullRenderer::CreateTexture(const char* fileName) {
    const std::string name = fileName ? fileName : "";
    if (name.empty() || missingTextures.count(name)) {
        return nullptr;
    }
    if (cNamedTexture* cached = FindTexture(name)) {
        cached->AddRef();
        return cached;
    }
    auto* texture = new cNamedTexture(*this, name);
    m_Textures.push_back(texture);
    ++liveTextures;
    return texture;
}

} // namespace velmora::scene::test
