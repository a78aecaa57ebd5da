#pragma once
// A block of script memory: variables, function slots and constants are
// placed at increasing offsets, each taking its type's size and aligned as
// its type needs (host code works on objects placed here). A script's block
// has the size the host gave; the environment's block grows on demand. The
// block is zero-filled and keeps a few bytes of slack behind its end.

#include <cstdint>
#include <vector>

namespace velmora::script {

class cMemoryBlock {
public:
    // Raises std::bad_alloc when the bytes cannot be had.
    cMemoryBlock(std::int32_t size, bool growable);

    // The offset of size new bytes at a multiple of alignment (a power of two), or -1 when a fixed block is
    // full.
    std::int32_t Allocate(std::int32_t size, std::int32_t alignment = 1);
    std::uint8_t* GetData() { return m_Data.data(); }
    const std::uint8_t* GetData() const { return m_Data.data(); }
    std::int32_t GetSize() const { return m_Size; }
    std::int32_t GetUsed() const { return m_Used; }

private:
    static constexpr std::int32_t kSlack = 16;

    std::vector<std::uint8_t> m_Data;
    std::int32_t m_Size;
    std::int32_t m_Used = 0;
    bool m_Growable;
};

} // namespace velmora::script
