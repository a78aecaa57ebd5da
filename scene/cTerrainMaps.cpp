// The terrain's textures: colour, layer and light maps, layer textures and their tiling scales.
#include <new>
#include <vector>

#include "engine/core/Log.h"
#include "scene/cTerrain.h"
#include "scene/cTerrainMemoryTexture.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

video::ITexture2D* cTerrain::MakeMap(int size, int bytesPerPixel, std::uint8_t fill, const char* what) {
    if (size <= 0) {
        return nullptr;
    }
    const auto side = static_cast<std::uint32_t>(size);
    try {
        if (!m_Renderer) {
            return new cTerrainMemoryTexture(side, side, static_cast<std::uint32_t>(bytesPerPixel), fill);
        }
        const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side * bytesPerPixel, fill);
        return m_Renderer->CreateTexture(pixels.data(), side, side, static_cast<std::uint32_t>(bytesPerPixel));
    } catch (const std::bad_alloc&) {
        LogWarning("cTerrain::Create%s : failed to allocate memory for a %d x %d map\n", what, size, size);
    }
    return nullptr;
}

bool cTerrain::ReplaceMap(video::ITexture2D*& map, int size, int bytesPerPixel, std::uint8_t fill, const char* what) {
    if (map && size > 0 && map->GetImageWidth() == static_cast<std::uint32_t>(size)) {
        return true;
    }
    if (map) {
        map->Release();
        map = nullptr;
    }
    map = MakeMap(size, bytesPerPixel, fill, what);
    return map != nullptr;
}

bool cTerrain::CreateColorMap(int size) { return ReplaceMap(m_ColorMap, size, 3, 128, "ColorMap"); }

bool cTerrain::CreateLayerMap(int size) { return ReplaceMap(m_LayerMap, size, 4, 0, "LayerMap"); }

bool cTerrain::CreateLightMap(int size) { return ReplaceMap(m_LightMap, size, 3, 0, "LightMap"); }

bool cTerrain::SetLayerTexture(int layer, const char* fileName) {
    if (layer < 0 || layer >= TERRAIN_LAYER_COUNT) {
        return false;
    }
    if (m_Layers[layer]) {
        m_Layers[layer]->Release();
        m_Layers[layer] = nullptr;
    }
    m_LayerNames[layer] = fileName ? fileName : "";
    if (!fileName || !*fileName) {
        return true;
    }
    if (!m_Renderer) {
        // Headless: the name is all a tool needs to write the layer back.
        m_Layers[layer] = new (std::nothrow) cTerrainMemoryTexture(fileName);
    } else {
        m_Layers[layer] = m_Renderer->CreateTexture(fileName);
    }
    return m_Layers[layer] != nullptr;
}

void cTerrain::SetLayerScale(int layer, float u, float v) {
    if (layer >= 0 && layer < TERRAIN_LAYER_COUNT) {
        m_LayerScales[layer] = cVector2(u, v);
    }
}

video::ITexture2D* cTerrain::GetLayerTexture(int layer) {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT ? m_Layers[layer] : nullptr;
}

std::string cTerrain::GetLayerTextureName(int layer) const {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT ? m_LayerNames[layer] : std::string();
}

cVector2 cTerrain::GetLayerScale(int layer) const {
    return layer >= 0 && layer < TERRAIN_LAYER_COUNT ? m_LayerScales[layer] : cVector2();
}

} // namespace velmora::scene
