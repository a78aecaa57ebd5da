#pragma once
// Small helpers of the Direct3D 9 backend: result texts and the tables that
// map the engine's enumerations to device values.

#include "video/d3d9/D3D9Api.h"

#include "engine/core/cColor.h"

namespace velmora::video::d3d9 {

// The text of a device result ("Unknown error code" for codes it does not know).
const char* ErrorText(HRESULT result);

D3DCMPFUNC CompareFunc(int func);
D3DBLEND BlendFactor(int factor);
D3DSTENCILOP StencilOp(int op);
// D3DPRIMITIVETYPE of a PrimitiveType; 0 for quads, which the device has no primitive for.
D3DPRIMITIVETYPE PrimitiveType(int type);
D3DCULL CullMode(int mode);
D3DFILLMODE FillMode(int mode);
D3DFOGMODE FogMode(int mode);
D3DTRANSFORMSTATETYPE TransformState(int mode);

// The engine's RGBA bytes as a D3DCOLOR; float colours are clamped to 0..1 and scaled by 255.
inline D3DCOLOR ToD3DColor(const cColor& c) { return D3DCOLOR_ARGB(c.a, c.r, c.g, c.b); }
D3DCOLOR ToD3DColor(float r, float g, float b, float a);

// Releases a COM object and clears the pointer.
template <typename T>
void SafeRelease(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace velmora::video::d3d9
