// bench_terrain [--frames N] [--picture out.png]
//
// Flies a camera around a generated 256 x 256 island (chunk size 32, view
// distance 250) at 1280 x 720 and draws the terrain with the terrain shader
// through the same level selection and tree walk the rendering pipelines use.
// Prints the median and 95th-percentile frame time, the CPU time of level
// selection plus tree walk per frame, triangles and draw calls per frame, and
// how many allocations the walk and the drawing made.
//
// When the build folder holds the generated island (data/scene/.terrain), it
// is loaded as the screensaver loads it (impostor pictures timed) and drawn
// with its layers, light map, fog, vegetation meshes and impostors into two
// pictures (default terrain_island.png and terrain_island_beach.png in the
// build folder).

#include <SDL.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/core/IProgressCallback.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "engine/sRendererDesc.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainChunk.h"
#include "scene/ITerrainVegetation.h"
#include "scene/TerrainWalk.h"
#include "scene/cDrawBatchList.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/camera/cCamera.h"
#include "video/IRenderer.h"
#include "video/IShader.h"
#include "video/ITexture.h"
#include "video/cCommonRenderer.h"

// ---- Allocation counting -------------------------------------------------------------------------

// Counted per thread: the driver's own threads allocate while the frame is drawn.
namespace {
thread_local long g_Allocations = 0;
}

void* operator new(std::size_t size) {
    ++g_Allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    ++g_Allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::video;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSize = 256;
constexpr float kViewDistance = 250.0f;
constexpr float kWater = 25.0f;

using tClock = std::chrono::steady_clock;

double Milliseconds(tClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// ---- A small PNG writer (stored rows, zlib-compressed) -------------------------------------------

void Chunk(std::FILE* f, const char* type, const std::vector<std::uint8_t>& data) {
    const std::uint32_t length = static_cast<std::uint32_t>(data.size());
    const std::uint8_t be[4] = {std::uint8_t(length >> 24), std::uint8_t(length >> 16), std::uint8_t(length >> 8),
                                std::uint8_t(length)};
    std::fwrite(be, 1, 4, f);
    std::fwrite(type, 1, 4, f);
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    const std::uint8_t c[4] = {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8), std::uint8_t(crc)};
    std::fwrite(c, 1, 4, f);
}

bool WritePNG(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> raw;
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + static_cast<long>(y) * width * 4,
                   rgba.begin() + static_cast<long>(y + 1) * width * 4);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) return false;
    packed.resize(packedSize);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(signature, 1, 8, f);
    std::vector<std::uint8_t> header = {std::uint8_t(width >> 24), std::uint8_t(width >> 16), std::uint8_t(width >> 8),
                                        std::uint8_t(width), std::uint8_t(height >> 24), std::uint8_t(height >> 16),
                                        std::uint8_t(height >> 8), std::uint8_t(height), 8, 6, 0, 0, 0};
    Chunk(f, "IHDR", header);
    Chunk(f, "IDAT", packed);
    Chunk(f, "IEND", {});
    return std::fclose(f) == 0;
}

// ---- The generated island ------------------------------------------------------------------------

float Hash(int x, int z) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(z) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float Noise(float x, float z) {
    const int ix = static_cast<int>(std::floor(x)), iz = static_cast<int>(std::floor(z));
    const float fx = x - ix, fz = z - iz;
    const float sx = fx * fx * (3 - 2 * fx), sz = fz * fz * (3 - 2 * fz);
    const float a = Hash(ix, iz), b = Hash(ix + 1, iz), c = Hash(ix, iz + 1), d = Hash(ix + 1, iz + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sz;
}

std::vector<float> MakeIsland() {
    std::vector<float> heights(kSize * kSize);
    for (int z = 0; z < kSize; ++z) {
        for (int x = 0; x < kSize; ++x) {
            float n = 0, amplitude = 1, frequency = 1.0f / 48;
            for (int octave = 0; octave < 5; ++octave) {
                n += amplitude * Noise(x * frequency, z * frequency);
                amplitude *= 0.5f;
                frequency *= 2;
            }
            const float dx = (x - 128.0f) / 110.0f, dz = (z - 128.0f) / 110.0f;
            const float mask = std::max(0.0f, 1.0f - (dx * dx + dz * dz));
            heights[static_cast<std::size_t>(z) * kSize + x] = 3.0f + mask * (20.0f + 55.0f * n * mask);
        }
    }
    return heights;
}

// Colour map (by height) and light map (by slope towards the sun), both 512 x 512.
void PaintMaps(ITerrain* terrain, const std::vector<float>& heights) {
    const int M = 512;
    std::vector<std::uint8_t> colors(M * M * 3), light(M * M * 3);
    const cVector3 sun = cVector3(0.5f, 0.8f, 0.3f).Normalized();
    for (int v = 0; v < M; ++v) {
        for (int u = 0; u < M; ++u) {
            const int x = std::min(u / 2, kSize - 2), z = std::min(v / 2, kSize - 2);
            const float h = heights[static_cast<std::size_t>(z) * kSize + x];
            const float hx = heights[static_cast<std::size_t>(z) * kSize + x + 1] - h;
            const float hz = heights[static_cast<std::size_t>(z + 1) * kSize + x] - h;
            const cVector3 normal = cVector3(-hx, 1.0f, -hz).Normalized();
            std::uint8_t* c = &colors[(static_cast<std::size_t>(v) * M + u) * 3];
            if (h < kWater + 2) {
                c[0] = 210, c[1] = 190, c[2] = 140;
            } else if (h < 60) {
                c[0] = 80, c[1] = 140, c[2] = 60;
            } else {
                c[0] = 130, c[1] = 120, c[2] = 110;
            }
            const auto shade = static_cast<std::uint8_t>(std::clamp(Dot(normal, sun), 0.3f, 1.0f) * 255.0f);
            std::uint8_t* l = &light[(static_cast<std::size_t>(v) * M + u) * 3];
            l[0] = l[1] = l[2] = shade;
        }
    }
    terrain->GetColorMap()->UpdateRect(0, 0, M, M, colors.data());
    terrain->CreateLightMap(M);
    terrain->GetLightMap()->UpdateRect(0, 0, M, M, light.data());
}

// ---- Drawing -------------------------------------------------------------------------------------

const char* const kSamplers[5] = {"u_BaseLayer", "u_Detail0", "u_Detail1", "u_Detail2", "u_Detail3"};
const char* const kScales[5] = {"u_ScaleBase", "u_Scale0", "u_Scale1", "u_Scale2", "u_Scale3"};

// Binds the terrain's textures and the shader's uniforms as the shader pipeline does.
void BindTerrain(IRenderer* r, IShader* shader, ITerrain* terrain, ICamera* camera, ITexture2D* fallbackBase,
                 const float fog[4]) {
    r->SetShader(shader);
    shader->SetUniform("u_Camera", camera->GetPosition());
    shader->SetUniform("u_DiffuseMap", 0);
    shader->SetUniform("u_AlphaMap", 1);
    shader->SetUniform("u_Lightmap", 2);
    shader->SetUniform("u_Fog", fog[0], fog[1], fog[2], fog[3]);
    r->SetTexture(terrain->GetColorMap(), 0);
    r->SetTexture(terrain->GetLayerMap(), 1);
    r->SetTexture(terrain->GetLightMap(), 2);
    for (int layer = 0; layer < TERRAIN_LAYER_COUNT; ++layer) {
        ITexture2D* texture = terrain->GetLayerTexture(layer);
        if (!texture && layer == 0) texture = fallbackBase;
        if (!texture) continue;
        r->SetTexture(texture, layer + 3);
        shader->SetUniform(kSamplers[layer], layer + 3);
        const cVector2 scale = texture == fallbackBase ? cVector2(64, 64) : terrain->GetLayerScale(layer);
        shader->SetUniform(kScales[layer], scale);
    }
}

void UnbindAll(IRenderer* r) {
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    for (int stage = 0; stage < 8; ++stage) r->SetTexture(nullptr, stage);
    r->SetShader(nullptr);
}

struct sCount {
    int chunks = 0;
    int levelSum = 0;
};

void CountChunk(const ITerrainChunk&, int level, void* context) {
    auto* count = static_cast<sCount*>(context);
    ++count->chunks;
    count->levelSum += level;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * (values.size() - 1))];
}

struct sWindow {
    SDL_Window* window = nullptr;
    IRenderer* renderer = nullptr;
};

bool OpenWindow(sWindow& out) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bench_terrain: SDL: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    out.window = SDL_CreateWindow("bench_terrain", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!out.window) {
        std::fprintf(stderr, "bench_terrain: SDL_CreateWindow: %s\n", SDL_GetError());
        return false;
    }
    sRendererDesc desc;
    desc.rendererId = kRendererOpenGL;
    desc.depthFlags = kDepth24 | kWithStencil;
    out.renderer = CreateRenderer(desc, out.window, kWidth, kHeight, false);
    return out.renderer != nullptr;
}

// ---- The flight ----------------------------------------------------------------------------------

int Flight(IRenderer* r, int frames) {
    cPlatformFileSystem files;
    files.SetRootFolder(VELMORA_SOURCE_DIR);
    SetProcessFileSystem(&files);
    scene::cResourceManager resources;
    resources.SetRenderer(r);
    const std::vector<float> heights = MakeIsland();
    ITerrain* terrain = resources.CreateTerrain(heights.data(), kSize, 512, 1.0f, 32);
    IShader* shader = r->CreateShader("data/shaders/common/terrain.txt", std::string(), std::string());
    if (!terrain || !shader) {
        std::fprintf(stderr, "bench_terrain: no terrain or no terrain shader\n");
        return 1;
    }
    PaintMaps(terrain, heights);
    std::vector<std::uint8_t> grain(64 * 64 * 3);
    for (int k = 0; k < 64 * 64; ++k) grain[k * 3] = grain[k * 3 + 1] = grain[k * 3 + 2] =
        static_cast<std::uint8_t>(110 + 40 * Hash(k % 64, k / 64));
    ITexture2D* base = r->CreateTexture(grain.data(), 64, 64, 3);

    cCamera camera;
    camera.SetFieldOfView(60.0);
    camera.SetAspectRatio(static_cast<double>(kWidth) / kHeight);
    camera.SetNearDistance(0.5);
    camera.SetFarDistance(1000.0);
    const float fog[4] = {0.72f, 0.82f, 0.91f, 0.004f};
    auto* common = dynamic_cast<cCommonRenderer*>(r);

    std::vector<double> frameTimes, walkTimes, triangles, draws, chunks;
    long walkAllocations = 0, drawAllocations = 0;
    constexpr int kWalkRepeats = 50;
    for (int frame = 0; frame < frames; ++frame) {
        // Around the island at changing height, looking across it.
        const float a = 6.2831853f * frame / frames;
        camera.position = cVector3(128 + 150 * std::cos(a), 45 + 20 * std::sin(3 * a), 128 + 150 * std::sin(a));
        const cVector3 target(128 + 40 * std::cos(a + 2.0f), 20.0f, 128 + 40 * std::sin(a + 2.0f));
        camera.direction = (target - camera.position).Normalized();
        camera.right = Cross(camera.direction, cVector3(0, 1, 0)).Normalized();
        camera.up = Cross(camera.right, camera.direction);

        const auto start = tClock::now();
        r->BeginFrame(cColor(184, 209, 232, 255));
        r->SetCamera(&camera);
        const sTerrainWalk walk = MakeTerrainWalk(&camera, kViewDistance, 0);

        // CPU part alone: level selection and tree walk, repeated for a measurable time.
        sCount count;
        const long before = g_Allocations;
        const auto walkStart = tClock::now();
        for (int k = 0; k < kWalkRepeats; ++k) {
            count = sCount();
            WalkTerrainTree(terrain->GetQuadTree(), walk, CountChunk, &count);
        }
        const double walkTime = Milliseconds(tClock::now() - walkStart) / kWalkRepeats;
        walkAllocations += g_Allocations - before;
        walkTimes.push_back(walkTime);

        chunks.push_back(count.chunks);

        BindTerrain(r, shader, terrain, &camera, base, fog);
        const long beforeDraw = g_Allocations;
        DrawTerrainTree(r, terrain->GetQuadTree(), walk);
        // The first frame is the driver's: it builds its programs and state on first use.
        if (frame > 0) drawAllocations += g_Allocations - beforeDraw;
        UnbindAll(r);
        std::vector<std::uint8_t> pixel;
        pixel.reserve(4);
        r->ReadPixels(0, 0, 1, 1, pixel); // waits for the frame to be drawn
        r->EndFrame();
        frameTimes.push_back(Milliseconds(tClock::now() - start));
        if (common) {
            triangles.push_back(static_cast<double>(common->GetFrameStatistics().triangles));
            draws.push_back(common->GetFrameStatistics().drawCalls);
        }
    }
    std::printf("terrain flight: %d frames at %dx%d, %dx%d heights, chunk size 32, view distance %.0f\n", frames,
                kWidth, kHeight, kSize, kSize, static_cast<double>(kViewDistance));
    std::printf("  frame time: median %.2f ms, 95th percentile %.2f ms\n", Percentile(frameTimes, 0.5),
                Percentile(frameTimes, 0.95));
    std::printf("  level selection + tree walk (CPU): median %.4f ms per frame, max %.4f ms\n",
                Percentile(walkTimes, 0.5), Percentile(walkTimes, 1.0));
    std::printf("  chunks drawn per frame: median %.0f of 64\n", Percentile(chunks, 0.5));
    std::printf("  triangles per frame: median %.0f, max %.0f\n", Percentile(triangles, 0.5), Percentile(triangles, 1.0));
    std::printf("  draw calls per frame: median %.0f, max %.0f\n", Percentile(draws, 0.5), Percentile(draws, 1.0));
    std::printf("  allocations on the drawing thread: %ld in %d walks, %ld while drawing frames 2 to %d\n",
                walkAllocations, frames * kWalkRepeats, drawAllocations, frames);
    if (base) base->Release();
    shader->Release();
    terrain->Release();
    resources.Clear();
    SetProcessFileSystem(nullptr);
    return walkAllocations == 0 ? 0 : 1;
}

// ---- The generated island as a picture -----------------------------------------------------------

int Island(IRenderer* r, const std::string& picture) {
    const std::string root = VELMORA_BUILD_DIR;
    if (std::FILE* probe = std::fopen((root + "data/scene/.terrain").c_str(), "rb")) {
        std::fclose(probe);
    } else {
        std::printf("island: no generated island in %sdata/ (build brevonne3d first); no picture\n", root.c_str());
        return 0;
    }
    cPlatformFileSystem files;
    files.SetRootFolder(root.c_str());
    SetProcessFileSystem(&files);
    scene::cResourceManager resources;
    resources.SetRenderer(r);
    cSerializer serializer(&resources);
    // The reader's progress marks the phases: from 0.85 on it places the vegetation and renders the pictures.
    struct sPhases : IProgressCallback {
        tClock::time_point vegetation, end;
        void OnProgress(float fraction) override {
            if (fraction == 0.85f) vegetation = tClock::now();
            if (fraction == 1.0f) end = tClock::now();
        }
    } phases;
    const auto start = tClock::now();
    ITerrain* terrain = serializer.ReadTerrain("data/scene/.terrain", &phases);
    const double loading = Milliseconds(tClock::now() - start);
    IShader* shader = r->CreateShader("data/shaders/common/terrain.txt", std::string(), std::string());
    IShader* impostors = r->CreateShader("data/shaders/common/impostors.txt", std::string(), std::string());
    if (!terrain || !shader || !impostors) {
        std::fprintf(stderr, "island: the terrain or a shader did not load\n");
        return 1;
    }
    std::printf("island: loaded in %.0f ms, of which %.0f ms placing %d vegetation instances and rendering the "
                "impostor pictures of %zu kinds\n",
                loading, Milliseconds(phases.end - phases.vegetation), terrain->GetVegetation()->GetInstanceCount(),
                terrain->GetVegetation()->GetKinds().size());

    // Two views: the island from off its coast, and from among the plants nearest to a point on its south beach
    // (meshes near the camera, impostors behind them).
    cVector3 plant(150, 0, 200);
    float nearest = 1e30f;
    for (const sVegetationInstance* instance : terrain->GetVegetation()->GetInstances()) {
        const float d = DistanceSquared(instance->matrix.GetTranslation(), cVector3(150, instance->matrix.m[13], 200));
        if (d < nearest) {
            nearest = d;
            plant = instance->matrix.GetTranslation();
        }
    }
    const cVector3 beach(plant.x + 4, terrain->GetHeight(plant.x + 4, plant.z + 14) + 4, plant.z + 14);
    struct sView {
        cVector3 eye, target;
        std::string file;
    } views[2] = {{cVector3(60, 70, 235), cVector3(135, 30, 120), picture},
                  {beach, cVector3(128, 45, 128), picture.substr(0, picture.rfind('.')) + "_beach.png"}};
    bool written = true;
    for (const sView& view : views) {
        cCamera camera;
        camera.SetFieldOfView(60.0);
        camera.SetAspectRatio(static_cast<double>(kWidth) / kHeight);
        camera.SetNearDistance(0.5);
        camera.SetFarDistance(1000.0);
        camera.position = view.eye;
        camera.direction = (view.target - camera.position).Normalized();
        camera.right = Cross(camera.direction, cVector3(0, 1, 0)).Normalized();
        camera.up = Cross(camera.right, camera.direction);
        const float fog[4] = {0.72f, 0.82f, 0.91f, 0.0042f};

        r->BeginFrame(cColor(184, 209, 232, 255));
        r->SetCamera(&camera);
        BindTerrain(r, shader, terrain, &camera, nullptr, fog);
        const int terrainTriangles =
            DrawTerrainTree(r, terrain->GetQuadTree(), MakeTerrainWalk(&camera, kViewDistance, 0));
        UnbindAll(r);

        // Vegetation as the shader pipeline draws it: lit meshes near the camera, impostors beyond.
        sLight light;
        light.direction = cVector3(-0.5f, -0.8f, -0.3f).Normalized();
        r->SetLighting(true);
        r->EnableLight(0, true);
        r->SetLight(0, light);
        r->SetCullMode(CM_NONE);
        r->SetAlphaTest(CMP_GEQUAL, 0.35f);
        r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
        r->SetFogColor(0, fog[0], fog[1], fog[2], 1.0f);
        r->SetFogParameter(FP_DENSITY, fog[3]);
        r->SetFogMode(FOG_EXP2);
        cDrawBatchList batches;
        const float vegetationDistance = 25.0f;
        terrain->GetVegetation()->CollectBatches(&camera, vegetationDistance, batches);
        batches.Sort();
        const int meshTriangles = batches.RenderFixedFunction(r);
        r->SetFogMode(FOG_OFF);
        r->SetLighting(false);
        r->SetShader(impostors);
        impostors->SetUniform("u_Camera", camera.GetPosition());
        impostors->SetUniform("u_ViewDistance", vegetationDistance);
        impostors->SetUniform("u_DiffuseMap", 0);
        impostors->SetUniform("u_Fog", fog[0], fog[1], fog[2], fog[3]);
        const int impostorTriangles = terrain->GetVegetation()->RenderImpostors();
        UnbindAll(r);
        r->SetAlphaTest(CMP_OFF, 0.35f);
        r->SetBlendFunc(BF_NONE, BF_NONE);
        r->SetCullMode(CM_CW);

        std::vector<std::uint8_t> rgba;
        const bool read = r->ReadPixels(0, 0, kWidth, kHeight, rgba);
        r->EndFrame();
        std::printf("island: %d terrain, %d mesh (%zu batches), %d impostor triangles\n", terrainTriangles,
                    meshTriangles, batches.GetCount(), impostorTriangles);
        if (read && WritePNG(view.file, kWidth, kHeight, rgba)) {
            std::printf("island: picture written to %s\n", view.file.c_str());
        } else {
            written = false;
        }
    }
    impostors->Release();
    shader->Release();
    terrain->Release();
    resources.Clear();
    SetProcessFileSystem(nullptr);
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int frames = 300;
    std::string picture = std::string(VELMORA_BUILD_DIR) + "terrain_island.png";
    for (int k = 1; k + 1 < argc; k += 2) {
        if (std::strcmp(argv[k], "--frames") == 0) frames = std::max(1, std::atoi(argv[k + 1]));
        if (std::strcmp(argv[k], "--picture") == 0) picture = argv[k + 1];
    }
    sWindow window;
    if (!OpenWindow(window)) return 1;
    int status = Flight(window.renderer, frames);
    status |= Island(window.renderer, picture);
    delete window.renderer;
    SDL_DestroyWindow(window.window);
    SDL_Quit();
    return status;
}
