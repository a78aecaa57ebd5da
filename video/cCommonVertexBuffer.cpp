#include "video/cCommonVertexBuffer.h"

#include "engine/core/cException.h"
#include "video/cCommonRenderer.h"
#include "video/cResourceManager.h"

namespace velmora::video {

namespace {

// Largest buffer accepted; a size beyond it is a damaged argument rather than geometry.
constexpr std::size_t kMaxBufferBytes = std::size_t(1) << 30;

} // namespace

cCommonVertexBuffer::~cCommonVertexBuffer() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<IVertexBuffer*>(this));
}

IVertexBuffer* cCommonVertexBuffer::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonVertexBuffer::Release() {
    if (m_RefCount <= 0) return;
    if (--m_RefCount > 0) return;
    if (m_Renderer && m_Renderer->GetBoundVertexBuffer() == this) m_Renderer->SetVertexBuffer(nullptr);
    if (m_Owner) m_Owner->RemoveVertexBuffer(this);
    delete this;
}

bool cCommonVertexBuffer::HasUsage(int usage) const {
    for (const sVertexElement& element : m_Format) {
        if (element.usage == usage) return true;
    }
    return false;
}

int cCommonVertexBuffer::DeviceComponents(const sVertexElement& element) {
    switch (element.usage) {
        case VU_NORMAL: return 3;
        case VU_COLOR: return 4;
        default: return element.count;
    }
}

int cCommonVertexBuffer::DeviceBytes(const sVertexElement& element) {
    return element.usage == VU_COLOR ? 4 : 4 * DeviceComponents(element);
}

void cCommonVertexBuffer::Create(int usage, const sVertexElement* format, int stride, std::size_t size) {
    if (!format) RaiseError("cCommonVertexBuffer::Create : NULL pointer to vertex format");
    if (stride <= 0) RaiseError("cCommonVertexBuffer::Create : invalid vertex size %d", stride);
    if (size == 0 || size > kMaxBufferBytes) RaiseError("cCommonVertexBuffer::Create : invalid buffer size %zu", size);
    m_Usage = usage;
    m_Stride = stride;
    m_Size = size;
    m_VertexCount = size / static_cast<std::size_t>(stride);

    int count = 0;
    while (count < kMaxElements && format[count].usage != VU_END) ++count;
    if (count == kMaxElements) RaiseError("cCommonVertexBuffer::InitializeVertexFormat : the format has no end element");
    m_Format.clear();
    for (int i = 0; i < count; ++i) {
        const sVertexElement& element = format[i];
        if (element.usage < VU_POSITION || element.usage > VU_TEXCOORD2) {
            RaiseError("cCommonVertexBuffer::GetDeclType : unhandled usage %d", element.usage);
        }
        const bool fixedCount = element.usage == VU_NORMAL || element.usage == VU_COLOR;
        if (!fixedCount && (element.count < 1 || element.count > 4)) {
            RaiseError("cCommonVertexBuffer::GetDeclType : invalid component count %d", element.count);
        }
        if (element.offset < 0 || element.offset + DeviceBytes(element) > stride) {
            RaiseError("cCommonVertexBuffer::InitializeVertexFormat : element %d at offset %d does not fit in %d bytes",
                       i, element.offset, stride);
        }
        for (const sVertexElement& earlier : m_Format) {
            if (earlier.usage == element.usage) {
                RaiseError("cCommonVertexBuffer::InitializeVertexFormat : usage %d given twice", element.usage);
            }
        }
        m_Format.push_back(element);
    }
    CreateDeviceBuffer();
}

} // namespace velmora::video
