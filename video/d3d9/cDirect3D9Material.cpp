#include "video/d3d9/cDirect3D9Material.h"

#include <algorithm>

#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

D3DCOLORVALUE ColorValue(const float* c) { return D3DCOLORVALUE{c[0], c[1], c[2], c[3]}; }

} // namespace

cDirect3D9Material::cDirect3D9Material(cDirect3D9Renderer* renderer)
    : cCommonMaterial(renderer), m_D3DRenderer(renderer) {}

void cDirect3D9Material::ApplyColors() {
    D3DMATERIAL9 material{};
    material.Diffuse = ColorValue(m_Colors[MC_DIFFUSE]);
    material.Ambient = ColorValue(m_Colors[MC_AMBIENT]);
    material.Specular = ColorValue(m_Colors[MC_SPECULAR]);
    material.Emissive = ColorValue(m_Colors[MC_EMISSIVE]);
    material.Power = std::max(0.0f, std::min(m_Shininess, 128.0f));
    m_D3DRenderer->GetDevice()->SetMaterial(&material);
}

} // namespace velmora::video
