#include "script/cMemoryBlock.h"

#include <limits>

namespace velmora::script {

cMemoryBlock::cMemoryBlock(std::int32_t size, bool growable) : m_Size(size < 0 ? 0 : size), m_Growable(growable) {
    m_Data.assign(static_cast<std::size_t>(m_Size) + kSlack, 0);
}

std::int32_t cMemoryBlock::Allocate(std::int32_t size, std::int32_t alignment) {
    if (size < 0 || alignment < 1) {
        return -1;
    }
    const std::int64_t start = (static_cast<std::int64_t>(m_Used) + alignment - 1) / alignment * alignment;
    const std::int64_t end = start + size;
    if (end > m_Size) {
        if (!m_Growable || end > std::numeric_limits<std::int32_t>::max() / 2) {
            return -1;
        }
        std::int64_t grown = m_Size > 0 ? m_Size : 64;
        while (grown < end) {
            grown *= 2;
        }
        m_Data.resize(static_cast<std::size_t>(grown) + kSlack, 0);
        m_Size = static_cast<std::int32_t>(grown);
    }
    m_Used = static_cast<std::int32_t>(end);
    return static_cast<std::int32_t>(start);
}

} // namespace velmora::script
