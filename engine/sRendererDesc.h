#pragma once
// What the engine hands to renderer creation.

#include <cstdint>

namespace velmora {

enum : std::uint8_t {
    kDepth16 = 0x02,
    kDepth24 = 0x04,
    kDepth32 = 0x08,
    kWithStencil = 0x10,
};

// Renderer ids: 1 is the OpenGL renderer, 3 the Direct3D 9 renderer.
enum : std::int32_t {
    kRendererOpenGL = 1,
    kRendererDirect3D9 = 3,
};

// "OpenGL", "Direct3D9", or "unknown" for other ids.
inline const char* GetRendererName(std::int32_t rendererId) {
    return rendererId == kRendererOpenGL ? "OpenGL" : rendererId == kRendererDirect3D9 ? "Direct3D9" : "unknown";
}

struct sRendererDesc {
    std::int32_t rendererId = kRendererOpenGL;
    std::int32_t multisampling = 0;   // 0 = none
    std::uint8_t depthFlags = kDepth16;
    std::uint8_t fullscreen = 0;
};

// A platform window: HWND on Windows, SDL_Window* on the SDL platform.
using tWindowHandle = void*;

} // namespace velmora
