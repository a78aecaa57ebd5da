#pragma once
// The constant table of shader-model 1-3 bytecode: the "CTAB" comment block
// the compiler leaves after the version token, which names every uniform and
// sampler with its register. Platform-neutral, so that the bytecode files can
// be checked anywhere; reading never leaves the given bytes, whatever they hold.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velmora::video::d3d9 {

// Register sets and classes as the table stores them.
enum : std::uint16_t { RS_BOOL = 0, RS_INT4 = 1, RS_FLOAT4 = 2, RS_SAMPLER = 3 };
enum : std::uint16_t { PC_SCALAR = 0, PC_VECTOR = 1, PC_MATRIX_ROWS = 2, PC_MATRIX_COLUMNS = 3, PC_OBJECT = 4 };

struct sShaderConstant {
    std::string name;
    std::uint16_t registerSet = 0;
    std::uint16_t registerIndex = 0;
    std::uint16_t registerCount = 0;
    std::uint16_t parameterClass = 0;
    std::uint16_t rows = 0;
    std::uint16_t columns = 0;
    std::uint16_t elements = 0;
};

namespace detail {

inline bool ReadU32(const std::uint8_t* base, std::size_t size, std::size_t at, std::uint32_t& out) {
    if (at > size || size - at < 4) return false;
    std::memcpy(&out, base + at, 4);
    return true;
}

inline bool ReadU16(const std::uint8_t* base, std::size_t size, std::size_t at, std::uint16_t& out) {
    if (at > size || size - at < 2) return false;
    std::memcpy(&out, base + at, 2);
    return true;
}

} // namespace detail

// The version token of bytecode (0xFFFE0101 for vs_1_1, 0xFFFF0200 for ps_2_0); 0 when too short.
inline std::uint32_t ShaderVersion(const void* code, std::size_t size) {
    std::uint32_t version = 0;
    if (!code || !detail::ReadU32(static_cast<const std::uint8_t*>(code), size, 0, version)) return 0;
    return version;
}

// Reads the constant table of the bytecode into `out`. False when the bytes are not shader bytecode
// or hold no well-formed table.
inline bool ParseConstantTable(const void* code, std::size_t size, std::vector<sShaderConstant>& out) {
    using detail::ReadU16;
    using detail::ReadU32;
    out.clear();
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(code);
    const std::uint32_t version = ShaderVersion(code, size);
    if ((version & 0xFFFE0000u) != 0xFFFE0000u) return false;
    // Comment tokens follow the version: 0xFFFE in the low word, the length in tokens above it.
    std::size_t at = 4;
    std::uint32_t token = 0;
    while (ReadU32(bytes, size, at, token) && (token & 0xFFFFu) == 0xFFFEu) {
        const std::size_t length = static_cast<std::size_t>(token >> 16) * 4;
        const std::size_t start = at + 4;
        if (length > size - start) return false;
        std::uint32_t fourcc = 0;
        if (length >= 4 + 28 && ReadU32(bytes, size, start, fourcc) && fourcc == 0x42415443u /* "CTAB" */) {
            const std::uint8_t* table = bytes + start + 4;
            const std::size_t tableSize = length - 4;
            std::uint32_t count = 0, infoOffset = 0;
            if (!ReadU32(table, tableSize, 12, count) || !ReadU32(table, tableSize, 16, infoOffset)) return false;
            if (count > tableSize / 20) return false;
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t info = static_cast<std::size_t>(infoOffset) + i * 20u;
                sShaderConstant c;
                std::uint32_t nameOffset = 0, typeOffset = 0;
                if (!ReadU32(table, tableSize, info, nameOffset) || !ReadU16(table, tableSize, info + 4, c.registerSet) ||
                    !ReadU16(table, tableSize, info + 6, c.registerIndex) ||
                    !ReadU16(table, tableSize, info + 8, c.registerCount) ||
                    !ReadU32(table, tableSize, info + 12, typeOffset) ||
                    !ReadU16(table, tableSize, typeOffset, c.parameterClass) ||
                    !ReadU16(table, tableSize, typeOffset + 4, c.rows) ||
                    !ReadU16(table, tableSize, typeOffset + 6, c.columns) ||
                    !ReadU16(table, tableSize, typeOffset + 8, c.elements)) {
                    return false;
                }
                // The name ends with a zero inside the table.
                if (nameOffset >= tableSize) return false;
                const void* end = std::memchr(table + nameOffset, 0, tableSize - nameOffset);
                if (!end) return false;
                c.name.assign(reinterpret_cast<const char*>(table + nameOffset),
                              static_cast<const std::uint8_t*>(end) - (table + nameOffset));
                out.push_back(c);
            }
            return true;
        }
        at = start + length;
    }
    return false;
}

// The constant of that name, or null.
inline const sShaderConstant* FindConstant(const std::vector<sShaderConstant>& table, const char* name) {
    if (!name) return nullptr;
    for (const sShaderConstant& c : table) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

} // namespace velmora::video::d3d9
