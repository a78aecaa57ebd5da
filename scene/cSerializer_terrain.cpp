// The ".terrain" file: a plain little-endian concatenation of the height field, colour map, five layer records,
// layer map, light map, vegetation kind names and vegetation instances up to the end of the file:
//
//   int32 S, S^2 float32 heights (row by row)
//   int32 M, M^2 RGB colour-map texels (none when M = 0)
//   5 x (string texture name, float32 scale u, float32 scale v)
//   M^2 RGBA layer-map texels
//   int32 K, K^2 RGB light-map texels (none when K = 0)
//   int32 T, T strings (the mesh file of each vegetation kind)
//   72-byte instances to the end: int32 kind index, 16 float32 world matrix, 4 bytes colour
//
// Strings are an int32 length and that many bytes without terminator. The reader checks the whole layout
// against the file before it makes anything, so a damaged file gives one warning and no terrain.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/core/IProgressCallback.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "scene/IResourceManager.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/IStaticMesh.h"
#include "scene/cSerializer.h"
#include "video/ITexture.h"
#include "engine/core/PrintfFormat.h"

namespace velmora::scene {

namespace {

// Progress of the reader: 0.0 heightmap, 0.5 colour map, 0.6 layers, 0.7 light map, 0.8 vegetation kinds,
// 0.85 vegetation instances, 1.0 done.
void Report(IProgressCallback* progress, float fraction) {
    if (progress) {
        progress->OnProgress(fraction);
    }
}

constexpr int kLayers = 5;
constexpr std::size_t kInstanceBytes = 72;
constexpr int kReaderChunkSize = 32;
constexpr std::int32_t kMaxMapSize = 65535;

// Reads from the file's bytes, never past their end.
class cCursor {
public:
    cCursor(const std::uint8_t* data, std::size_t size) : m_Data(data), m_Size(size) {}
    std::size_t Remaining() const { return m_Size - m_Position; }
    bool Int(std::int32_t& value) {
        if (Remaining() < 4) {
            return false;
        }
        std::memcpy(&value, m_Data + m_Position, 4);
        m_Position += 4;
        return true;
    }
    bool Float(float& value) {
        if (Remaining() < 4) {
            return false;
        }
        std::memcpy(&value, m_Data + m_Position, 4);
        m_Position += 4;
        return true;
    }
    // The next n bytes, or null when fewer remain.
    const std::uint8_t* Take(std::size_t n) {
        if (n > Remaining()) {
            return nullptr;
        }
        const std::uint8_t* bytes = m_Data + m_Position;
        m_Position += n;
        return bytes;
    }

private:
    const std::uint8_t* m_Data;
    std::size_t m_Size;
    std::size_t m_Position = 0;
};

struct sLayerRecord {
    std::string name;
    float u = 0.0f;
    float v = 0.0f;
};

// Where each part of a file lies; every size already checked against the file.
struct sTerrainLayout {
    std::int32_t size = 0;
    const std::uint8_t* heights = nullptr;
    std::int32_t colorSize = 0;
    const std::uint8_t* colorMap = nullptr;
    sLayerRecord layers[kLayers];
    const std::uint8_t* layerMap = nullptr;
    std::int32_t lightSize = 0;
    const std::uint8_t* lightMap = nullptr;
    std::vector<std::string> kindNames;
    const std::uint8_t* instances = nullptr;
    std::size_t instanceCount = 0;
};

// Text up to the first zero byte, as the file system's string reading gives it.
std::string TextOf(const std::uint8_t* bytes, std::size_t length) {
    const auto* text = reinterpret_cast<const char*>(bytes);
    const void* zero = std::memchr(text, 0, length);
    return std::string(text, zero ? static_cast<const char*>(zero) - text : length);
}

// Squares of sizes up to 65535 times up to 4 bytes fit 64 bits easily.
std::uint64_t MapBytes(std::int32_t side, int bytesPerTexel) {
    return static_cast<std::uint64_t>(side) * static_cast<std::uint64_t>(side) * static_cast<std::uint64_t>(bytesPerTexel);
}

// Puts the formatted text into `problem`; returns false.
bool Fail(std::string& problem, const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(2, 3)
#endif
    ;
bool Fail(std::string& problem, const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    problem = text;
    return false;
}

// Fills the layout or returns false with what does not fit in `problem`.
bool ParseLayout(cCursor& in, sTerrainLayout& out, std::string& problem) {
    if (!in.Int(out.size)) {
        return Fail(problem, "the file ends before the heightmap size");
    }
    if (out.size <= 0) {
        return Fail(problem, "invalid heightmap size %d", out.size);
    }
    if (MapBytes(out.size, 4) > in.Remaining()) {
        return Fail(problem, "heightmap size %d does not fit the file (%zu bytes left)", out.size, in.Remaining());
    }
    out.heights = in.Take(static_cast<std::size_t>(MapBytes(out.size, 4)));

    if (!in.Int(out.colorSize)) {
        return Fail(problem, "the file ends before the colour map size");
    }
    if (out.colorSize < 0 || out.colorSize > kMaxMapSize) {
        return Fail(problem, "invalid colour map size %d", out.colorSize);
    }
    // The colour map and the layer map of the same size must both fit.
    if (MapBytes(out.colorSize, 3 + 4) > in.Remaining()) {
        return Fail(problem, "colour map size %d does not fit the file (%zu bytes left)", out.colorSize, in.Remaining());
    }
    out.colorMap = in.Take(static_cast<std::size_t>(MapBytes(out.colorSize, 3)));

    for (int layer = 0; layer < kLayers; ++layer) {
        std::int32_t length = 0;
        if (!in.Int(length)) {
            return Fail(problem, "the file ends in layer %d", layer);
        }
        if (length < 0 || static_cast<std::size_t>(length) > in.Remaining()) {
            return Fail(problem, "layer %d: name length %d does not fit the file (%zu bytes left)", layer, length,
                        in.Remaining());
        }
        out.layers[layer].name = TextOf(in.Take(static_cast<std::size_t>(length)), static_cast<std::size_t>(length));
        if (!in.Float(out.layers[layer].u) || !in.Float(out.layers[layer].v)) {
            return Fail(problem, "the file ends in layer %d", layer);
        }
    }

    if (MapBytes(out.colorSize, 4) > in.Remaining()) {
        return Fail(problem, "the layer map (%d x %d texels) does not fit the file (%zu bytes left)", out.colorSize,
                    out.colorSize, in.Remaining());
    }
    out.layerMap = in.Take(static_cast<std::size_t>(MapBytes(out.colorSize, 4)));

    if (!in.Int(out.lightSize)) {
        return Fail(problem, "the file ends before the light map size");
    }
    if (out.lightSize < 0 || out.lightSize > kMaxMapSize) {
        return Fail(problem, "invalid light map size %d", out.lightSize);
    }
    if (MapBytes(out.lightSize, 3) > in.Remaining()) {
        return Fail(problem, "light map size %d does not fit the file (%zu bytes left)", out.lightSize, in.Remaining());
    }
    out.lightMap = in.Take(static_cast<std::size_t>(MapBytes(out.lightSize, 3)));

    std::int32_t kinds = 0;
    if (!in.Int(kinds)) {
        return Fail(problem, "the file ends before the vegetation kind count");
    }
    if (kinds < 0 || static_cast<std::size_t>(kinds) > in.Remaining() / 4) {
        return Fail(problem, "%d vegetation kind names do not fit the file (%zu bytes left)", kinds, in.Remaining());
    }
    out.kindNames.reserve(static_cast<std::size_t>(kinds));
    for (std::int32_t kind = 0; kind < kinds; ++kind) {
        std::int32_t length = 0;
        if (!in.Int(length)) {
            return Fail(problem, "the file ends in vegetation kind name %d", kind);
        }
        if (length < 0 || static_cast<std::size_t>(length) > in.Remaining()) {
            return Fail(problem, "vegetation kind name %d: length %d does not fit the file (%zu bytes left)", kind, length,
                        in.Remaining());
        }
        out.kindNames.push_back(TextOf(in.Take(static_cast<std::size_t>(length)), static_cast<std::size_t>(length)));
    }

    if (in.Remaining() % kInstanceBytes != 0) {
        return Fail(problem, "the vegetation instances end inside a record (%zu bytes after the kind names)", in.Remaining());
    }
    out.instanceCount = in.Remaining() / kInstanceBytes;
    out.instances = in.Take(in.Remaining());
    return true;
}

// Writes everything or raises: a short write means the file is incomplete.
class cTerrainWriter {
public:
    explicit cTerrainWriter(IFile* file) : m_File(file) {}
    void Bytes(const void* data, std::size_t count) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        while (count > 0) {
            const std::size_t piece = count < (1u << 20) ? count : (1u << 20);
            if (m_File->Write(bytes, 1, static_cast<std::int32_t>(piece)) != static_cast<std::int32_t>(piece)) {
                RaiseError("cSerializer::WriteTerrain : failed to write to the file");
            }
            bytes += piece;
            count -= piece;
        }
    }
    void Int(std::int32_t value) { Bytes(&value, 4); }
    void Float(float value) { Bytes(&value, 4); }
    void String(const std::string& text) {
        Int(static_cast<std::int32_t>(text.size()));
        Bytes(text.data(), text.size());
    }

private:
    IFile* m_File;
};

// A square map's texels read back, `bytesPerTexel` (3 or 4) each; raises when the texture cannot read back.
std::vector<std::uint8_t> ReadMap(video::ITexture2D* map, int bytesPerTexel, const char* what) {
    std::vector<std::uint8_t> rgba;
    if (!map->ReadData(rgba)) {
        RaiseError("cSerializer::WriteTerrain : the %s cannot be read back from its texture", what);
    }
    const std::size_t count = static_cast<std::size_t>(map->GetImageWidth()) * map->GetImageWidth();
    if (map->GetImageHeight() != map->GetImageWidth() || rgba.size() < count * 4) {
        RaiseError("cSerializer::WriteTerrain : the %s read back is not %u x %u texels", what, map->GetImageWidth(),
                   map->GetImageWidth());
    }
    if (bytesPerTexel == 4) {
        rgba.resize(count * 4);
        return rgba;
    }
    std::vector<std::uint8_t> rgb(count * 3);
    for (std::size_t k = 0; k < count; ++k) {
        rgb[k * 3 + 0] = rgba[k * 4 + 0];
        rgb[k * 3 + 1] = rgba[k * 4 + 1];
        rgb[k * 3 + 2] = rgba[k * 4 + 2];
    }
    return rgb;
}

void CollectInstances(const ITerrainVegetation* node, std::vector<const sVegetationInstance*>& out) {
    for (int child = 0; child < 8; ++child) {
        if (const ITerrainVegetation* next = node->GetChild(child)) {
            CollectInstances(next, out);
        }
    }
    for (const sVegetationInstance* instance : node->GetInstances()) {
        out.push_back(instance);
    }
}

} // namespace

ITerrain* cSerializer::ReadTerrain(IFile* file, IProgressCallback* progress) {
    if (!file) {
        RaiseError("cSerializer::ReadTerrain : NULL pointer to source file");
    }
    Report(progress, 0.0f);
    const std::int32_t start = file->Tell();
    const std::int32_t end = file->GetSize();
    if (start < 0 || end < start) {
        LogWarning("cSerializer::ReadTerrain : the file cannot be read\n");
        return nullptr;
    }
    // The rest of the file, and nothing sized by what the file claims, until the layout has been checked.
    const std::size_t length = static_cast<std::size_t>(end - start);
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[length + 1]);
    if (!bytes) {
        LogWarning("cSerializer::ReadTerrain : failed to allocate memory for %zu bytes\n", length);
        return nullptr;
    }
    if (length > 0 && file->Read(bytes.get(), 1, static_cast<std::int32_t>(length)) != static_cast<std::int32_t>(length)) {
        LogWarning("cSerializer::ReadTerrain : failed to read the file\n");
        return nullptr;
    }
    cCursor cursor(bytes.get(), length);
    sTerrainLayout layout;
    std::string problem;
    if (!ParseLayout(cursor, layout, problem)) {
        LogWarning("cSerializer::ReadTerrain : %s\n", problem.c_str());
        return nullptr;
    }

    // Heights: the file's bytes need not be aligned for floats.
    const std::size_t sampleCount = static_cast<std::size_t>(layout.size) * static_cast<std::size_t>(layout.size);
    ITerrain* terrain = nullptr;
    {
        std::vector<float> heights;
        try {
            heights.resize(sampleCount);
        } catch (const std::bad_alloc&) {
            LogWarning("cSerializer::ReadTerrain : failed to allocate memory for the heightmap\n");
            return nullptr;
        }
        std::memcpy(heights.data(), layout.heights, sampleCount * sizeof(float));
        // Terrains smaller than a chunk are one chunk.
        const int chunkSize = layout.size < kReaderChunkSize ? layout.size : kReaderChunkSize;
        terrain = m_ResourceManager ? m_ResourceManager->CreateTerrain(heights.data(), layout.size, layout.colorSize,
                                                                       1.0f, chunkSize)
                                    : nullptr;
    }
    if (!terrain) {
        return nullptr;
    }

    Report(progress, 0.5f);
    const int M = layout.colorSize;
    if (M != 0 && terrain->GetColorMap()) {
        terrain->GetColorMap()->UpdateRect(0, 0, M, M, layout.colorMap);
    }

    Report(progress, 0.6f);
    for (int layer = 0; layer < kLayers; ++layer) {
        const sLayerRecord& record = layout.layers[layer];
        if (!record.name.empty()) {
            terrain->SetLayerTexture(layer, record.name.c_str());
        }
        if (record.u == 0.0f || record.v == 0.0f) {
            LogWarning("cSerializer::ReadTerrain : invalid scale for layer %d\n", layer);
            terrain->SetLayerScale(layer, 80.0f, 80.0f);
        } else {
            terrain->SetLayerScale(layer, record.u, record.v);
        }
    }
    if (M != 0 && terrain->GetLayerMap()) {
        terrain->GetLayerMap()->UpdateRect(0, 0, M, M, layout.layerMap);
    }

    Report(progress, 0.7f);
    const int K = layout.lightSize;
    if (K != 0 && terrain->CreateLightMap(K)) {
        terrain->GetLightMap()->UpdateRect(0, 0, K, K, layout.lightMap);
    }

    Report(progress, 0.8f);
    ITerrainVegetation* vegetation = terrain->GetVegetation();
    // The kinds the instances' indices count in: one per non-empty name (the vegetation owns them).
    std::vector<sVegetationKind*> kinds;
    for (const std::string& name : layout.kindNames) {
        if (!name.empty()) {
            kinds.push_back(vegetation->AddKind(name.c_str()));
        }
    }

    Report(progress, 0.85f);
    int strays = 0;
    for (std::size_t k = 0; k < layout.instanceCount; ++k) {
        const std::uint8_t* record = layout.instances + k * kInstanceBytes;
        std::int32_t index = 0;
        float elements[16];
        cColor color;
        std::memcpy(&index, record, 4);
        std::memcpy(elements, record + 4, 64);
        color.r = record[68];
        color.g = record[69];
        color.b = record[70];
        color.a = record[71];
        if (index < 0 || static_cast<std::size_t>(index) >= kinds.size() || !kinds[static_cast<std::size_t>(index)]) {
            ++strays;
            continue;
        }
        vegetation->AddInstance(kinds[static_cast<std::size_t>(index)], color, cMatrix(elements));
    }
    if (strays > 0) {
        LogWarning("cSerializer::ReadTerrain : %d vegetation instances name a kind the file does not list; they are "
                   "left out\n",
                   strays);
    }
    vegetation->Build();
    Report(progress, 1.0f);
    return terrain;
}

bool cSerializer::WriteTerrain(IFile* file, ITerrain* terrain) {
    if (!file) {
        RaiseError("cSerializer::WriteTerrain : NULL pointer to dest. file");
    }
    if (!terrain) {
        RaiseError("cSerializer::WriteTerrain : NULL pointer to terrain");
    }
    cTerrainWriter out(file);

    const std::int32_t S = terrain->GetSize();
    const std::vector<float> heights = terrain->GetHeightmap();
    if (heights.size() != static_cast<std::size_t>(S) * static_cast<std::size_t>(S)) {
        RaiseError("cSerializer::WriteTerrain : failed to read the heightmap back");
    }
    out.Int(S);
    out.Bytes(heights.data(), heights.size() * sizeof(float));

    video::ITexture2D* colorMap = terrain->GetColorMap();
    const std::int32_t M = colorMap ? static_cast<std::int32_t>(colorMap->GetImageWidth()) : 0;
    out.Int(M);
    if (colorMap) {
        const std::vector<std::uint8_t> texels = ReadMap(colorMap, 3, "colour map");
        out.Bytes(texels.data(), texels.size());
    }

    for (int layer = 0; layer < kLayers; ++layer) {
        out.String(terrain->GetLayerTextureName(layer));
        const cVector2 scale = terrain->GetLayerScale(layer);
        out.Float(scale.x);
        out.Float(scale.y);
    }

    // The reader takes the layer map at the colour map's size; any other size would read back wrongly.
    video::ITexture2D* layerMap = terrain->GetLayerMap();
    const std::int32_t L = layerMap ? static_cast<std::int32_t>(layerMap->GetImageWidth()) : 0;
    if (L != M) {
        RaiseError("cSerializer::WriteTerrain : the layer map is %d texels wide and the colour map %d; the file "
                   "needs both the same",
                   L, M);
    }
    if (layerMap) {
        const std::vector<std::uint8_t> texels = ReadMap(layerMap, 4, "layer map");
        out.Bytes(texels.data(), texels.size());
    }

    video::ITexture2D* lightMap = terrain->GetLightMap();
    out.Int(lightMap ? static_cast<std::int32_t>(lightMap->GetImageWidth()) : 0);
    if (lightMap) {
        const std::vector<std::uint8_t> texels = ReadMap(lightMap, 3, "light map");
        out.Bytes(texels.data(), texels.size());
    }

    std::vector<const sVegetationInstance*> instances;
    if (const ITerrainVegetation* vegetation = terrain->GetVegetation()) {
        CollectInstances(vegetation, instances);
    }
    // One name per run of instances showing the same mesh; an instance points at the last entry of its name.
    std::vector<std::string> names;
    const std::string* previous = nullptr;
    for (const sVegetationInstance* instance : instances) {
        const std::string& name = instance->kind->meshFileName;
        if (!previous || *previous != name) {
            names.push_back(name);
        }
        previous = &name;
    }
    out.Int(static_cast<std::int32_t>(names.size()));
    for (const std::string& name : names) {
        out.String(name);
    }
    for (const sVegetationInstance* instance : instances) {
        std::int32_t index = static_cast<std::int32_t>(names.size()) - 1;
        while (index > 0 && names[static_cast<std::size_t>(index)] != instance->kind->meshFileName) {
            --index;
        }
        std::uint8_t record[kInstanceBytes];
        std::memcpy(record, &index, 4);
        std::memcpy(record + 4, instance->matrix.m, 64);
        record[68] = instance->color.r;
        record[69] = instance->color.g;
        record[70] = instance->color.b;
        record[71] = instance->color.a;
        out.Bytes(record, kInstanceBytes);
    }
    return true;
}

} // namespace velmora::scene
