// The terrain's textures: colour, layer and light maps, layer textures and their tiling scales.
#include <new>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/cTerrain.h"
#include "scene/TerrainLayerPacking.h"
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
    ForgetPackedLayers();
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
        ForgetPackedLayers();
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

void cTerrain::ForgetPackedLayers() {
    if (m_PackedLayers) {
        m_PackedLayers->Release();
        m_PackedLayers = nullptr;
    }
    m_PackedLayersTried = false;
}

video::ITexture2D* cTerrain::GetPackedDetailLayers() {
    if (!m_PackedLayersTried) {
        m_PackedLayersTried = true;
        m_PackedLayers = PackDetailLayers();
    }
    return m_PackedLayers;
}

video::ITexture2D* cTerrain::PackDetailLayers() {
    constexpr int kFirstDetail = 1;
    if (!m_Renderer) {
        return nullptr;
    }
    for (int layer = kFirstDetail; layer < TERRAIN_LAYER_COUNT; ++layer) {
        if (!m_Layers[layer] || m_LayerScales[layer] != m_LayerScales[kFirstDetail]) {
            return nullptr;
        }
    }
    try {
        // What the device holds (after any detail reduction) is what the layering would have sampled.
        std::vector<std::uint8_t> read[4];
        sLayerPixels pictures[4];
        for (int k = 0; k < 4; ++k) {
            video::ITexture2D* texture = m_Layers[kFirstDetail + k];
            if (!texture->ReadData(read[k]) || read[k].empty()) {
                return nullptr;
            }
            // The device size is what ReadData returned: its level 0 may be smaller than the image.
            std::uint32_t width = texture->GetImageWidth();
            std::uint32_t height = texture->GetImageHeight();
            while (width > 1 && height > 1 && static_cast<std::size_t>(width) * height * 4 > read[k].size()) {
                width >>= 1;
                height >>= 1;
            }
            if (static_cast<std::size_t>(width) * height * 4 != read[k].size()) {
                return nullptr;
            }
            pictures[k] = sLayerPixels{read[k].data(), width, height};
        }
        std::vector<std::uint8_t> packed;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        if (!PackGreyLayers(pictures, packed, width, height)) {
            return nullptr;
        }
        video::ITexture2D* texture = m_Renderer->CreateTexture(packed.data(), width, height, 4);
        if (texture) {
            video::ITexture2D* model = m_Layers[kFirstDetail];
            texture->SetAddressMode(model->GetAddressMode());
            texture->SetFiltering(model->GetFiltering());
            texture->SetAnisotropy(model->GetAnisotropy());
            LogMessage("cTerrain : detail layers 1-4 packed into one %u x %u texture\n", width, height);
        }
        return texture;
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const cException& e) {
        // A device that cannot read textures back (or make the packed one) draws the layers one by one.
        LogWarning("cTerrain : detail layers not packed: %s\n", e.GetText());
        return nullptr;
    }
}

} // namespace velmora::scene
