#include "video/d3d9/D3D9Util.h"

#include <algorithm>

#include "video/VideoTypes.h"

namespace velmora::video::d3d9 {

const char* ErrorText(HRESULT result) {
    switch (static_cast<unsigned long>(result)) {
        case 0x00000000ul: return "No error occurred.";
        case 0x0876086Ful: return "The autogeneration of mipmaps is not supported for this format";
        case 0x80004001ul: return "Not implemented";
        case 0x80004002ul: return "No object interface is available";
        case 0x80004005ul: return "An undetermined error occurred inside the Direct3D subsystem";
        case 0x8007000Eul: return "Direct3D could not allocate sufficient memory to complete the call";
        case 0x8876017Cul: return "Direct3D does not have enough display memory to perform the operation";
        case 0x8876021Cul:
            return "The previous blit operation that is transferring information to or from this surface is incomplete";
        case 0x88760818ul: return "The pixel format of the texture surface is not valid";
        case 0x88760819ul: return "The device does not support a specified texture-blending operation for color values";
        case 0x8876081Aul: return "The device does not support a specified texture-blending argument for color values";
        case 0x8876081Bul:
            return "The device does not support a specified texture-blending operation for the alpha channel";
        case 0x8876081Cul:
            return "The device does not support a specified texture-blending argument for the alpha channel";
        case 0x8876081Dul:
            return "The application is requesting more texture-filtering operations than the device supports";
        case 0x8876081Eul: return "The current texture filters cannot be used together";
        case 0x8876081Ful:
            return "The device does not support the specified texture factor value. Not used; provided only to support "
                   "older drivers";
        case 0x88760821ul: return "The currently set render states cannot be used together";
        case 0x88760822ul: return "The device does not support the specified texture filter";
        case 0x88760826ul: return "The current textures cannot be used simultaneously";
        case 0x88760827ul: return "Internal driver error";
        case 0x88760866ul: return "The requested item was not found";
        case 0x88760867ul: return "There is more data available than the specified buffer size can hold";
        case 0x88760868ul:
            return "The device has been lost but cannot be reset at this time. Therefore, rendering is not possible";
        case 0x88760869ul: return "The device has been lost but can be reset at this time";
        case 0x8876086Aul: return "This device does not support the queried technique";
        case 0x8876086Bul: return "The requested device type is not valid";
        case 0x8876086Cul: return "The method call is invalid";
        default: return "Unknown error code";
    }
}

D3DCMPFUNC CompareFunc(int func) {
    static const D3DCMPFUNC kTable[9] = {D3DCMP_ALWAYS,  D3DCMP_NEVER,   D3DCMP_LESS,
                                         D3DCMP_EQUAL,   D3DCMP_LESSEQUAL, D3DCMP_GREATER,
                                         D3DCMP_GREATEREQUAL, D3DCMP_NOTEQUAL, D3DCMP_ALWAYS};
    return func >= 0 && func <= 8 ? kTable[func] : D3DCMP_ALWAYS;
}

D3DBLEND BlendFactor(int factor) {
    static const D3DBLEND kTable[14] = {D3DBLEND_ONE,         D3DBLEND_ZERO,         D3DBLEND_ONE,
                                        D3DBLEND_SRCCOLOR,    D3DBLEND_INVSRCCOLOR,  D3DBLEND_DESTCOLOR,
                                        D3DBLEND_INVDESTCOLOR, D3DBLEND_SRCALPHA,    D3DBLEND_INVSRCALPHA,
                                        D3DBLEND_DESTALPHA,   D3DBLEND_INVDESTALPHA, D3DBLEND_SRCALPHASAT,
                                        D3DBLEND_BLENDFACTOR, D3DBLEND_INVBLENDFACTOR};
    return factor >= 0 && factor <= 13 ? kTable[factor] : D3DBLEND_ONE;
}

D3DSTENCILOP StencilOp(int op) {
    static const D3DSTENCILOP kTable[6] = {D3DSTENCILOP_KEEP, D3DSTENCILOP_ZERO, D3DSTENCILOP_REPLACE,
                                           D3DSTENCILOP_INCR, D3DSTENCILOP_DECR, D3DSTENCILOP_INVERT};
    return op >= 0 && op <= 5 ? kTable[op] : D3DSTENCILOP_KEEP;
}

D3DPRIMITIVETYPE PrimitiveType(int type) {
    static const D3DPRIMITIVETYPE kTable[6] = {D3DPT_POINTLIST,    D3DPT_LINELIST,     D3DPT_LINESTRIP,
                                               D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN};
    return type >= 0 && type <= 5 ? kTable[type] : static_cast<D3DPRIMITIVETYPE>(0);
}

D3DCULL CullMode(int mode) {
    switch (mode) {
        case CM_NONE: return D3DCULL_NONE;
        case CM_CCW: return D3DCULL_CCW;
        default: return D3DCULL_CW;
    }
}

D3DFILLMODE FillMode(int mode) { return mode == FM_WIREFRAME ? D3DFILL_WIREFRAME : D3DFILL_SOLID; }

D3DFOGMODE FogMode(int mode) {
    switch (mode) {
        case FOG_LINEAR: return D3DFOG_LINEAR;
        case FOG_EXP: return D3DFOG_EXP;
        case FOG_EXP2: return D3DFOG_EXP2;
        default: return D3DFOG_NONE;
    }
}

D3DTRANSFORMSTATETYPE TransformState(int mode) {
    switch (mode) {
        case MM_VIEW: return D3DTS_VIEW;
        case MM_PROJECTION: return D3DTS_PROJECTION;
        case MM_TEXTURE: return D3DTS_TEXTURE0;
        default: return D3DTS_WORLD;
    }
}

D3DCOLOR ToD3DColor(float r, float g, float b, float a) {
    auto byte = [](float v) { return static_cast<unsigned>(std::min(std::max(v, 0.0f), 1.0f) * 255.0f); };
    return D3DCOLOR_ARGB(byte(a), byte(r), byte(g), byte(b));
}

} // namespace velmora::video::d3d9
