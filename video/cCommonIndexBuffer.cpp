#include "video/cCommonIndexBuffer.h"

#include "engine/core/cException.h"
#include "video/cCommonRenderer.h"
#include "video/cResourceManager.h"

namespace velmora::video {

namespace {

constexpr std::size_t kMaxBufferBytes = std::size_t(1) << 30;

} // namespace

cCommonIndexBuffer::~cCommonIndexBuffer() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<IIndexBuffer*>(this));
}

IIndexBuffer* cCommonIndexBuffer::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonIndexBuffer::Release() {
    if (m_RefCount <= 0) return;
    if (--m_RefCount > 0) return;
    if (m_Renderer && m_Renderer->GetBoundIndexBuffer() == this) m_Renderer->SetIndexBuffer(nullptr);
    if (m_Owner) m_Owner->RemoveIndexBuffer(this);
    delete this;
}

void cCommonIndexBuffer::Create(int usage, int dataType, std::size_t size) {
    m_Usage = usage;
    if (dataType != T_USHORT && dataType != T_UINT) {
        RaiseError("cCommonIndexBuffer::Create : invalid data type, only T_USHORT or T_UINT are accepted");
    }
    m_DataType = dataType;
    if (size == 0 || size > kMaxBufferBytes) RaiseError("cCommonIndexBuffer::Create : invalid buffer size %zu", size);
    m_Size = size;
    CreateDeviceBuffer();
}

} // namespace velmora::video
