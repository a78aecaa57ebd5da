#pragma once
// Small reading helpers shared by the image loaders (private to the loaders).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "video/ITextureLoader.h"

namespace velmora::video::loaderutil {

// Largest edge length any loader accepts; keeps every size computation far from overflow.
constexpr std::uint32_t kMaxImageEdge = 65536;

// Bytes between the position and the end of the file (0 when unknown).
inline std::uint64_t Remaining(IFile* file) {
    const std::int32_t size = file->GetSize();
    const std::int32_t pos = file->Tell();
    if (size < 0 || pos < 0 || pos > size) return 0;
    return static_cast<std::uint64_t>(size - pos);
}

// Reads exactly `bytes` bytes or raises "<where> : unexpected end of file".
inline void ReadExact(IFile* file, void* buffer, std::size_t bytes, const char* where) {
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    while (bytes > 0) {
        const std::int32_t chunk = bytes > 0x40000000u ? 0x40000000 : static_cast<std::int32_t>(bytes);
        const std::int32_t got = file->Read(out, 1, chunk);
        if (got != chunk) RaiseError("%s : unexpected end of file", where);
        out += chunk;
        bytes -= static_cast<std::size_t>(chunk);
    }
}

// Raises "<where> : image size WxH exceeds the device limit N" when the first level the caller uploads (after
// the dropped levels, of the `levels` the image holds) has a side above the limit.
inline void CheckLimits(const char* where, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                        const sImageLimits& limits) {
    const std::uint32_t held = levels == 0 ? 1 : levels;
    const std::uint32_t dropped = limits.droppedLevels < held - 1 ? limits.droppedLevels : held - 1;
    const std::uint32_t w = (width >> dropped) == 0 ? 1 : width >> dropped;
    const std::uint32_t h = (height >> dropped) == 0 ? 1 : height >> dropped;
    if (w > limits.maxEdge || h > limits.maxEdge) {
        RaiseError("%s : image size %ux%u exceeds the device limit %u", where, width, height, limits.maxEdge);
    }
}

inline std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Resizes `buffer`, turning an allocation failure into cException with `message`.
inline void Allocate(std::vector<std::uint8_t>& buffer, std::uint64_t bytes, const char* message) {
    try {
        buffer.assign(static_cast<std::size_t>(bytes), 0);
    } catch (...) {
        RaiseError("%s", message);
    }
}

} // namespace velmora::video::loaderutil
