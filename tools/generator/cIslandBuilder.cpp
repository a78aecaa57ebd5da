#include "tools/generator/cIslandBuilder.h"

#include "gui/SkinImages.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/generator/ArchivePacker.h"
#include "tools/generator/FontBuilder.h"
#include "tools/generator/ImageFiles.h"
#include "tools/generator/LifePlacement.h"
#include "tools/generator/LifeTextures.h"
#include "tools/generator/MaterialTextures.h"
#include "tools/generator/SoundSynth.h"
#include "tools/generator/VegetationTextures.h"
#include "tools/generator/cCameraPaths.h"
#include "tools/generator/cHeightField.h"
#include "tools/generator/cNoise.h"
#include "tools/generator/cPreviewRenderer.h"
#include "tools/generator/SurfMap.h"
#include "tools/generator/cSky.h"
#include "tools/generator/cTerrainFile.h"
#include "tools/generator/cTerrainPainter.h"
#include "tools/generator/cVegetation.h"

namespace brevonne {

sVec3 SunDirection() { return Normalize(sVec3(-0.6f, 0.55f, 0.58f)); }

namespace {

const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu/";

// The skin textures the GUI toolkit loads from data/textures/gui/default/.
const char* const kSkinFiles[] = {
    "Background.tga", "Button.tga", "ButtonSmall.tga", "CheckRadio.tga", "Cursors.tga", "GroupBox.tga",
    "Lowered.tga", "Tabs.tga", "Window.tga", "Pannel.tga", "Slider.tga", "SliderThumb.tga", "Down.tga", "Up.tga",
};

// A colour byte that the scene file's printed value (with the given decimals) reads back unchanged.
std::uint8_t StableByte(float v, int decimals)
{
    int want = std::clamp(static_cast<int>(v * 255.0f), 0, 255);
    for (int delta : {0, 1, -1, 2, -2, 3, -3}) {
        int b = std::clamp(want + delta, 0, 255);
        double scale = std::pow(10.0, decimals);
        double printed = std::round(static_cast<double>(static_cast<float>(b) / 255.0f) * scale) / scale;
        if (ColorByte(static_cast<float>(printed)) == b)
            return static_cast<std::uint8_t>(b);
    }
    return static_cast<std::uint8_t>(want);
}

class cWriter {
public:
    cWriter(const std::string& root, sBuildReport& report) : m_Root(root), m_Report(report) {}
    void Bytes(const std::string& rel, const tBytes& bytes)
    {
        if (!WriteFileBytes(m_Root + rel, bytes))
            throw std::runtime_error("cannot write " + m_Root + rel);
        m_Report.files.push_back(rel);
    }
    void Text(const std::string& rel, const std::string& text) { Bytes(rel, tBytes(text.begin(), text.end())); }

private:
    std::string m_Root;
    sBuildReport& m_Report;
};

// Draws text with FreeType into a picture (y of the baseline counted from the bottom), with a soft shadow.
void DrawText(cImage& img, const std::string& ttf, int px, int x, int baseline, const std::string& text, const sColor& color)
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib))
        return;
    FT_Face face;
    if (FT_New_Face(lib, ttf.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(px));
    for (int pass = 0; pass < 2; ++pass) {
        int pen = x;
        int off = pass == 0 ? 2 : 0;
        for (char ch : text) {
            if (FT_Load_Char(face, static_cast<FT_ULong>(static_cast<unsigned char>(ch)), FT_LOAD_RENDER))
                continue;
            FT_GlyphSlot g = face->glyph;
            for (unsigned r = 0; r < g->bitmap.rows; ++r)
                for (unsigned c = 0; c < g->bitmap.width; ++c) {
                    int xx = pen + g->bitmap_left + static_cast<int>(c) + off;
                    int yy = baseline + g->bitmap_top - 1 - static_cast<int>(r) - off;
                    if (xx < 0 || yy < 0 || xx >= img.GetWidth() || yy >= img.GetHeight())
                        continue;
                    float a = g->bitmap.buffer[static_cast<std::ptrdiff_t>(r) * g->bitmap.pitch + static_cast<int>(c)] / 255.0f;
                    sColor& d = img.At(xx, yy);
                    sColor src = pass == 0 ? sColor(0.0f, 0.08f, 0.12f) : color;
                    float k = pass == 0 ? a * 0.45f : a;
                    d = sColor(Lerp(d.r, src.r, k), Lerp(d.g, src.g, k), Lerp(d.b, src.b, k), 1.0f);
                }
            pen += static_cast<int>(g->advance.x / 64);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

void Log(const sBuildOptions& o, const char* what, std::chrono::steady_clock::time_point start)
{
    if (!o.verbose)
        return;
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("brevonne-generate: %-34s %6.2f s\n", what, s);
    std::fflush(stdout);
}

} // namespace

bool BuildIsland(const sBuildOptions& o, sBuildReport& report, std::string& error)
{
    try {
        auto start = std::chrono::steady_clock::now();
        const std::string root = o.root.empty() || o.root.back() == '/' ? o.root : o.root + "/";
        cWriter out(root, report);
        const float L = sIslandConstants::kWaterLevel;
        const sVec3 sun = SunDirection();

        // Scene-wide colours, chosen so that the scene file reads them back byte for byte.
        const float fogValues[3] = {0.72f, 0.82f, 0.91f};
        sByteColor fogBytes{StableByte(fogValues[0], 2), StableByte(fogValues[1], 2), StableByte(fogValues[2], 2)};
        const sColor horizon(fogBytes.r / 255.0f, fogBytes.g / 255.0f, fogBytes.b / 255.0f);
        sByteColor waterBytes{StableByte(0.07f, 4), StableByte(0.33f, 4), StableByte(0.41f, 4)};
        const float fogDensity = 0.0036f;
        const float waterDensity = 0.2f;

        cHeightField field(sIslandConstants::kHeightSize);
        field.Build(o.seed, L);
        Log(o, "height field", start);
        cTerrainPainter painter(field, sun, o.seed);
        Log(o, "occlusion", start);

        sVegetationTextures vt;
        vt.frond = "data/textures/vegetation/palm_frond.tga";
        vt.bark = "data/textures/vegetation/palm_bark.jpg";
        vt.coconut = "data/textures/vegetation/coconut.jpg";
        vt.leaves = "data/textures/vegetation/bush_leaves.tga";
        vt.fern = "data/textures/vegetation/fern.tga";
        vt.grass = "data/textures/vegetation/grass.tga";
        vt.boulder = "data/textures/vegetation/boulder.jpg";
        std::vector<sVegetationKind> kinds = BuildVegetationKinds(o.seed, vt);
        cVegetationPlacer placer(field, painter, o.seed);
        std::vector<sInstance> instances = placer.Place(kinds);
        Log(o, "vegetation placed", start);

        sClearanceMargins design;
        design.terrain = 1.5f;
        design.water = 1.0f;
        design.vegetation = 1.1f;
        std::vector<sScenePath> paths = DesignCameraPaths(field, kinds, instances, design);
        cClearanceModel model(field, kinds, instances);
        report.pathFaults = CheckPathClearance(paths, model, sClearanceMargins(), 2000);
        report.instanceCount = instances.size();
        Log(o, "camera paths", start);

        // Terrain maps.
        cImage lightMap = painter.PaintLightMap(sIslandConstants::kLightSize, placer.Shadows(kinds, instances, sun));
        Log(o, "light map", start);
        cImage colorMap = painter.PaintColorMap(sIslandConstants::kColorSize);
        std::vector<std::uint8_t> layerMap = painter.PaintLayerMap(sIslandConstants::kColorSize);
        Log(o, "colour and layer maps", start);

        // Layer textures: JPEG and DXT1 both, as the loaders read them.
        const std::string tex = "data/textures/terrain/";
        sTerrainData td;
        td.size = field.GetSize();
        td.heights = field.GetHeights();
        td.colorSize = sIslandConstants::kColorSize;
        td.colorMap = colorMap.ToBytes(3);
        td.layerMap = layerMap;
        td.lightSize = sIslandConstants::kLightSize;
        td.lightMap = lightMap.ToBytes(3);
        struct sLayerFile {
            eGround ground;
            const char* file;
            float scale;
        };
        // The four detail layers share one tiling scale (see PaintGroundLayer).
        const sLayerFile layerFiles[LAYER_COUNT] = {{eGround::Grass, "grass.jpg", 48.0f}, {eGround::Sand, "sand.jpg", 48.0f}, {eGround::Rock, "rock.dds", 48.0f},
                                                   {eGround::Jungle, "jungle_floor.jpg", 48.0f}, {eGround::WetSand, "pebbles.dds", 48.0f}};
        std::vector<cImage> layerImages;
        for (int i = 0; i < LAYER_COUNT; ++i) {
            cImage img = PaintGroundLayer(layerFiles[i].ground, 512, o.seed + 17 * static_cast<std::uint32_t>(i));
            std::string name = tex + layerFiles[i].file;
            if (name.compare(name.size() - 4, 4, ".dds") == 0)
                out.Bytes(name, EncodeDDS(img, eDXT::DXT1));
            else
                out.Bytes(name, EncodeJPEG(img, 88));
            td.layers[static_cast<std::size_t>(i)].texture = name;
            td.layers[static_cast<std::size_t>(i)].scaleU = td.layers[static_cast<std::size_t>(i)].scaleV = layerFiles[i].scale;
            layerImages.push_back(img);
        }
        // One name per run of instances of one kind (the instances are sorted by kind).
        for (const sInstance& inst : instances) {
            const std::string& name = kinds[static_cast<std::size_t>(inst.kind)].meshFile;
            if (td.kindNames.empty() || td.kindNames.back() != name)
                td.kindNames.push_back(name);
            sTerrainInstance ti;
            ti.kind = static_cast<std::int32_t>(td.kindNames.size() - 1);
            std::copy(inst.matrix.begin(), inst.matrix.end(), ti.matrix.begin());
            std::copy(inst.color, inst.color + 4, ti.color.begin());
            td.instances.push_back(ti);
        }
        out.Bytes("data/scene/.terrain", WriteTerrain(td));
        Log(o, "terrain textures and file", start);

        // Vegetation meshes and their pictures.
        for (const sVegetationKind& k : kinds)
            out.Text(k.meshFile, k.mesh.ToText());
        out.Bytes(vt.frond, EncodeTGA(PaintFeatherLeaf(256, 512, o.seed + 1, false), true));
        out.Bytes(vt.fern, EncodeTGA(PaintFeatherLeaf(128, 256, o.seed + 2, true), true));
        out.Bytes(vt.leaves, EncodeTGA(PaintBroadLeaves(256, o.seed + 3), true));
        out.Bytes(vt.grass, EncodeTGA(PaintGrassBlades(128, o.seed + 4), true));
        out.Bytes(vt.bark, EncodeJPEG(PaintBark(128, 256, o.seed + 5), 88));
        out.Bytes(vt.coconut, EncodeJPEG(PaintCoconut(64, o.seed + 6), 88));
        out.Bytes(vt.boulder, EncodeJPEG(PaintBoulder(256, o.seed + 7), 88));
        Log(o, "vegetation meshes and textures", start);

        // Sky: the five faces the sky box draws, and the same sky as a cube map.
        cSky sky(sun, horizon, o.seed);
        const std::string skyDir = "data/textures/skies/sunny_low/";
        const char* faceNames[6] = {"left.jpg", "right.jpg", "top.jpg", "", "front.jpg", "back.jpg"};
        sSkyEntity skyEntity;
        std::vector<cImage> skyFaces(6);
        for (int f = 0; f < 6; ++f) {
            if (f == 3)
                continue;
            skyFaces[static_cast<std::size_t>(f)] = sky.PaintBoxFace(f, 512);
            out.Bytes(skyDir + faceNames[f], EncodeJPEG(skyFaces[static_cast<std::size_t>(f)], 92));
            skyEntity.faces[static_cast<std::size_t>(f)] = skyDir + faceNames[f];
        }
        cImage cube[6];
        for (int f = 0; f < 6; ++f)
            cube[f] = sky.PaintCubeFace(f, 128);
        out.Bytes(skyDir + "sky_cube.dds", EncodeDDSCube(cube, eDXT::DXT1));
        // The clouds drift over the box as a layer of their own, slowly from the east.
        out.Bytes(skyDir + "clouds.tga", EncodeTGA(sky.PaintCloudLayer(512), true));
        skyEntity.clouds = skyDir + "clouds.tga";
        skyEntity.cloudDriftU = -2.0f;
        skyEntity.cloudDriftV = 0.75f;
        Log(o, "sky", start);

        // Sea, lens flare, loading screen.
        out.Bytes("data/textures/water.dds", EncodeDDS(PaintWaterSurface(256, o.seed), eDXT::DXT1));
        out.Bytes("data/textures/water2_dudv.tga", EncodeTGA(PaintWaterDistortion(256, o.seed), false));
        // Surf: the foam picture, and the surf's strength and reach along the coast.
        out.Bytes("data/textures/foam.tga", EncodeTGA(PaintFoam(256, o.seed), true));
        out.Bytes("data/textures/surf.tga", EncodeTGA(PaintSurfMap(field), false));
        sLensFlareEntity flare;
        flare.position = sun;
        flare.boundToCamera = true;
        const int flareSizes[7] = {128, 64, 64, 32, 16, 64, 32};
        for (int i = 0; i < 7; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "data/textures/fx/lens_%02d.tga", i + 1);
            out.Bytes(name, EncodeTGA(PaintFlare(i, flareSizes[i]), true));
            flare.flares[static_cast<std::size_t>(i)].texture = name;
        }
        out.Bytes("data/textures/progress.tga", EncodeTGA(PaintProgressCell(8, true), false));
        out.Bytes("data/textures/progress_desaturated.tga", EncodeTGA(PaintProgressCell(8, false), false));

        // Fonts.
        std::string sans = FindFontFile({std::string(kFontFolder) + "DejaVuSans.ttf"});
        std::string condensed = FindFontFile({std::string(kFontFolder) + "DejaVuSansCondensed-Bold.ttf", std::string(kFontFolder) + "DejaVuSansCondensed.ttf", sans});
        std::string bold = FindFontFile({std::string(kFontFolder) + "DejaVuSans-Bold.ttf", sans});
        std::string serif = FindFontFile({std::string(kFontFolder) + "DejaVuSerif.ttf", sans});
        if (sans.empty())
            throw std::runtime_error("no DejaVu fonts found below " + std::string(kFontFolder));
        out.Bytes("data/fonts/default.fnt", BuildFont({sans, 14, 256}));
        out.Bytes("data/fonts/Agency FB_54.fnt", BuildFont({condensed, 54, 512}));
        out.Bytes("data/fonts/default/RadioStars_18.fnt", BuildFont({bold, 18, 256}));
        out.Bytes("data/fonts/default/Cambria_14.fnt", BuildFont({serif, 14, 256}));
        Log(o, "water, flares, fonts", start);

        // GUI skin: the toolkit's own skin pictures, so a dialog drawn from
        // the files looks exactly like one drawn from the built-in skin.
        const std::string gui = "data/textures/gui/default/";
        for (const char* name : kSkinFiles) {
            velmora::gui::sSkinImage picture;
            if (!velmora::gui::PaintSkinImage(name, picture))
                throw std::runtime_error(std::string("no skin picture for ") + name);
            out.Bytes(gui + name, EncodeTGA(picture.width, picture.height, picture.rgba));
        }

        // Sounds: streamed Ogg Vorbis surf and wind, a WAV of birds.
        out.Bytes("data/sounds/surf_beach.ogg", EncodeOggVorbis(SynthesizeSurf(o.seed, 16.0f), 0.1f, 0x42524531));
        out.Bytes("data/sounds/surf_rocks.ogg", EncodeOggVorbis(SynthesizeSurf(o.seed + 9, 12.0f), 0.0f, 0x42524532));
        out.Bytes("data/sounds/wind_palms.ogg", EncodeOggVorbis(SynthesizeWind(o.seed, 12.0f), 0.0f, 0x42524533));
        out.Bytes("data/sounds/birds.wav", EncodeWave(SynthesizeBirds(o.seed, 6.0f)));
        Log(o, "gui and sounds", start);

        // The scene description.
        sSceneDescription scene;
        scene.environment.fog = true;
        scene.environment.fogDensity = fogDensity;
        scene.environment.fogColor = fogBytes;
        scene.paths = paths;
        const sIslandLayout& lay = field.GetLayout();
        sWaterEntity water;
        water.position = sVec3(128.0f, L, 128.0f);
        water.color = waterBytes;
        water.density = waterDensity;
        water.level = L;
        water.speed = 2.0f;
        water.foam = "data/textures/foam.tga";
        water.surfMap = "data/textures/surf.tga";
        scene.entities.water.push_back(water);
        scene.entities.lensFlares.push_back(flare);
        auto coastPoint = [&](float angle, float offset, float y) {
            float c = std::cos(angle), s = std::sin(angle);
            float r = 10.0f;
            while (r < 200.0f && field.Height(lay.centerX + c * r, lay.centerZ + s * r) >= L)
                r += 0.5f;
            return sVec3(lay.centerX + c * (r + offset), y, lay.centerZ + s * (r + offset));
        };
        sSoundEntity surf;
        // The surf sounds where the foam is strongest: on the beach side, and below the cliffs.
        surf.position = StrongestSurf(field, false);
        surf.position.y = L + 0.5f;
        surf.source = "data/sounds/surf_beach.ogg";
        surf.looped = true;
        surf.volume = 1.0f;
        surf.rolloff = 1.0f;
        surf.maxDistance = 40.0f;
        scene.entities.sounds.push_back(surf);
        sSoundEntity rocks = surf;
        rocks.position = StrongestSurf(field, true);
        rocks.position.y = L + 0.5f;
        rocks.source = "data/sounds/surf_rocks.ogg";
        rocks.volume = 0.8f;
        rocks.pitch = 0.85f;
        scene.entities.sounds.push_back(rocks);
        sSoundEntity wind = surf;
        wind.position = paths.size() > 4 ? sScenePath::Evaluate(paths[4].camera, 0.5f) : coastPoint(0.4f, -8.0f, L + 4.0f);
        wind.source = "data/sounds/wind_palms.ogg";
        wind.volume = 0.7f;
        wind.maxDistance = 25.0f;
        scene.entities.sounds.push_back(wind);
        sSoundEntity birds = surf;
        birds.position = sVec3(Lerp(lay.peakX, lay.centerX + lay.radius, 0.45f), 0.0f, lay.centerZ);
        birds.position.y = field.Height(birds.position.x, birds.position.z) + 6.0f;
        birds.source = "data/sounds/birds.wav";
        birds.volume = 0.6f;
        birds.maxDistance = 20.0f;
        scene.entities.sounds.push_back(birds);
        scene.entities.skies.push_back(skyEntity);
        // Butterflies over the grove and the beach, sea birds above the shore.
        sLifeOptions life;
        life.butterflyTextures = {"data/textures/fx/butterfly_blue.tga", "data/textures/fx/butterfly_orange.tga"};
        life.birdTexture = "data/textures/fx/gull.tga";
        out.Bytes(life.butterflyTextures[0], EncodeTGA(PaintButterfly(64, BUTTERFLY_BLUE), true));
        out.Bytes(life.butterflyTextures[1], EncodeTGA(PaintButterfly(64, BUTTERFLY_ORANGE), true));
        out.Bytes(life.birdTexture, EncodeTGA(PaintGull(128, 64), true));
        scene.entities.butterflies = PlaceButterflies(field, paths, life);
        scene.entities.birds = PlaceBirds(field, paths, life);
        out.Text("data/scene/.scene", WriteSceneText(scene));

        // The loading-screen picture: the island seen from the lagoon, with the title.
        std::vector<sProxy> proxies;
        for (const sInstance& inst : instances) {
            const sVegetationKind& k = kinds[static_cast<std::size_t>(inst.kind)];
            float s = inst.matrix[5];
            sVec3 crown = TransformPoint(inst.matrix, k.crown);
            switch (k.kindClass) {
            case KIND_PALM: proxies.push_back({crown, 1.9f * s, sColor(0.22f, 0.40f, 0.10f)}); break;
            case KIND_BUSH: proxies.push_back({crown, 1.0f * s, sColor(0.14f, 0.30f, 0.07f)}); break;
            case KIND_ROCK: proxies.push_back({crown, 0.8f * s, sColor(0.40f, 0.38f, 0.35f)}); break;
            default: break;
            }
        }
        sPreviewScene ps;
        ps.field = &field;
        ps.colorMap = &colorMap;
        ps.lightMap = &lightMap;
        ps.sky = &sky;
        ps.proxies = proxies;
        ps.waterColor = sColor(waterBytes.r / 255.0f, waterBytes.g / 255.0f, waterBytes.b / 255.0f);
        ps.waterDensity = waterDensity;
        ps.fogColor = horizon;
        ps.fogDensity = fogDensity;
        cPreviewRenderer renderer(ps);
        sVec3 splashEye = coastPoint(0.45f, 85.0f, L + 38.0f);
        cImage splash = renderer.Render(splashEye, sVec3(lay.centerX, L + 12.0f, lay.centerZ), 512, 256, 75.0f);
        DrawText(splash, condensed, 44, 22, 198, "BREVONNE 3D", sColor(1.0f, 1.0f, 1.0f));
        DrawText(splash, sans, 15, 26, 176, "a tropical island screensaver", sColor(0.95f, 0.98f, 1.0f));
        out.Bytes("data/textures/splash.tga", EncodeTGA(splash, false));
        Log(o, "scene and splash", start);

        // Hand-written data (shader sources).
        if (!o.copyFrom.empty()) {
            std::string src = o.copyFrom.back() == '/' ? o.copyFrom : o.copyFrom + "/";
            for (const std::string& rel : ListDataFiles(src)) {
                tBytes bytes;
                if (!ReadFileBytes(src + rel, bytes))
                    throw std::runtime_error("cannot read " + src + rel);
                out.Bytes(rel, bytes);
            }
        }

        if (!o.previewDir.empty()) {
            std::string pv = o.previewDir.back() == '/' ? o.previewDir : o.previewDir + "/";
            int S = field.GetSize();
            cImage relief(S, S);
            for (int z = 0; z < S; ++z)
                for (int x = 0; x < S; ++x) {
                    float h = field.At(x, z);
                    sVec3 n = field.Normal(static_cast<float>(x), static_cast<float>(z));
                    float l = 0.3f + 0.7f * std::max(0.0f, Dot(n, sun));
                    sColor c = h < L ? LerpColor(sColor(0.1f, 0.2f, 0.5f), sColor(0.4f, 0.8f, 0.9f), Saturate((h - L + 20.0f) / 20.0f))
                                     : LerpColor(sColor(0.35f, 0.6f, 0.3f), sColor(0.85f, 0.8f, 0.7f), Saturate((h - L) / 60.0f));
                    relief.At(x, z) = c * l;
                }
            WriteFileBytes(pv + "relief.png", EncodePNG(relief.Resized(512, 512, false), false));
            WriteFileBytes(pv + "colormap.png", EncodePNG(colorMap, false));
            WriteFileBytes(pv + "lightmap.png", EncodePNG(lightMap, false));
            cImage layers(5 * 256, 256);
            for (int i = 0; i < 5; ++i) {
                cImage small = layerImages[static_cast<std::size_t>(i)].Resized(256, 256, true);
                for (int y = 0; y < 256; ++y)
                    for (int x = 0; x < 256; ++x)
                        layers.At(i * 256 + x, y) = small.At(x, y);
            }
            WriteFileBytes(pv + "layers.png", EncodePNG(layers, false));
            cImage skyStrip(4 * 256, 2 * 256, horizon);
            const int order[4] = {0, 4, 1, 5};
            for (int i = 0; i < 4; ++i) {
                cImage small = skyFaces[static_cast<std::size_t>(order[i])].Resized(256, 256, false);
                for (int y = 0; y < 256; ++y)
                    for (int x = 0; x < 256; ++x)
                        skyStrip.At(i * 256 + x, y) = small.At(x, y);
            }
            cImage topSmall = skyFaces[2].Resized(256, 256, false);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    skyStrip.At(256 + x, 256 + y) = topSmall.At(x, y);
            WriteFileBytes(pv + "sky.png", EncodePNG(skyStrip, false));
            // Top-down composite as the terrain shader shades it, with the plants and the flights drawn on.
            const int C = 1024;
            cImage top(C, C);
            for (int j = 0; j < C; ++j)
                for (int i = 0; i < C; ++i) {
                    float x = (i + 0.5f) * S / C, z = (j + 0.5f) * S / C;
                    sColor cm = colorMap.SampleClamp(x / S * colorMap.GetWidth(), z / S * colorMap.GetHeight());
                    sColor lm = lightMap.SampleClamp(x / S * lightMap.GetWidth(), z / S * lightMap.GetHeight());
                    float w[LAYER_COUNT];
                    painter.LayerWeights(x, z, w);
                    sColor detail(0, 0, 0, 0);
                    for (int k = 0; k < LAYER_COUNT; ++k) {
                        const cImage& li = layerImages[static_cast<std::size_t>(k)];
                        float sc = layerFiles[k].scale / S * li.GetWidth();
                        detail = detail + li.SampleWrap(x * sc, z * sc) * w[k];
                    }
                    sColor c = (cm + detail - sColor(0.5f, 0.5f, 0.5f, 0.5f)).Mul(lm);
                    float h = field.Height(x, z);
                    if (h < L) {
                        float ua = Saturate(std::exp(-waterDensity * waterDensity * (L - h) * (L - h)));
                        c = LerpColor(ps.waterColor, c, ua * 0.85f);
                    }
                    top.At(i, j) = c;
                }
            for (const sProxy& p : proxies) {
                int ci = static_cast<int>(p.center.x * C / S), cj = static_cast<int>(p.center.z * C / S);
                int r = static_cast<int>(p.radius * C / S);
                for (int dj = -r; dj <= r; ++dj)
                    for (int di = -r; di <= r; ++di) {
                        int x = ci + di, y = cj + dj;
                        if (x < 0 || y < 0 || x >= C || y >= C || di * di + dj * dj > r * r)
                            continue;
                        float shade = 0.7f + 0.5f * (di * sun.x + dj * sun.z) / std::max(1, r);
                        top.At(x, y) = p.color * shade;
                    }
            }
            WriteFileBytes(pv + "island.png", EncodePNG(top, false));
            for (const sScenePath& p : paths)
                for (int s = 0; s < 3000; ++s) {
                    sVec3 c = sScenePath::Evaluate(p.camera, s / 3000.0f);
                    int x = static_cast<int>(c.x * C / S), y = static_cast<int>(c.z * C / S);
                    if (x >= 0 && y >= 0 && x < C && y < C)
                        top.At(x, y) = sColor(1.0f, 0.2f, 0.1f);
                }
            WriteFileBytes(pv + "paths.png", EncodePNG(top, false));
            for (const sScenePath& p : paths)
                for (float t : {0.1f, 0.5f, 0.85f}) {
                    cImage view = renderer.Render(sScenePath::Evaluate(p.camera, t), sScenePath::Evaluate(p.target, t), 384, 216, 90.0f);
                    char name[128];
                    std::snprintf(name, sizeof(name), "%spath_%s_%02d.png", pv.c_str(), p.name.c_str(), static_cast<int>(t * 100));
                    WriteFileBytes(name, EncodePNG(view, false));
                }
            WriteFileBytes(pv + "splash.png", EncodePNG(splash, false));
            Log(o, "previews", start);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

} // namespace brevonne
