// The generated island as shipped: every file of the data tree parses, the
// flights keep clear of ground, sea and plants, the same seed gives the same
// archive, and the built executable carries that archive behind its trailer.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <minizip/unzip.h>
#include <unistd.h>

#include "tools/generator/ArchivePacker.h"
#include "tools/generator/FontBuilder.h"
#include "tools/generator/cCameraPaths.h"
#include "tools/generator/cIslandBuilder.h"
#include "tools/generator/cSceneFile.h"
#include "tools/generator/cTerrainFile.h"
#include "tools/generator/cVegetation.h"

using namespace brevonne;

namespace {

std::string SourceDir()
{
    const char* s = std::getenv("VELMORA_SOURCE_DIR");
    return s ? std::string(s) + "/" : std::string("./");
}

std::string TempDir(const char* tag)
{
    char pattern[256];
    std::snprintf(pattern, sizeof(pattern), "/tmp/brevonne-%s-XXXXXX", tag);
    char* made = mkdtemp(pattern);
    return made ? std::string(made) + "/" : std::string();
}

std::vector<std::uint8_t> Read(const std::string& path)
{
    std::vector<std::uint8_t> b;
    ReadFileBytes(path, b);
    return b;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Tokens as the engine's readers see them: strings, numbers (a leading '-' joined), words and the separators.
std::vector<std::string> Tokenize(const std::string& text, const std::string& separators)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '"') {
            std::size_t j = text.find('"', i + 1);
            out.push_back(text.substr(i, j == std::string::npos ? std::string::npos : j - i + 1));
            i = j == std::string::npos ? text.size() : j + 1;
        } else if (separators.find(c) != std::string::npos) {
            out.push_back(std::string(1, c));
            ++i;
        } else {
            std::size_t j = i;
            while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && separators.find(text[j]) == std::string::npos)
                ++j;
            out.push_back(text.substr(i, j - i));
            i = j;
        }
    }
    return out;
}

bool IsNumber(const std::string& t)
{
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    return !t.empty() && *end == '\0';
}

// Reads "-" number pairs as the signed number.
struct cTokens {
    std::vector<std::string> t;
    std::size_t i = 0;
    bool More() const { return i < t.size(); }
    const std::string& Peek() const { return t[i]; }
    std::string Next() { return i < t.size() ? t[i++] : std::string(); }
    bool Number(double& v)
    {
        bool neg = false;
        if (More() && Peek() == "-") {
            neg = true;
            ++i;
        }
        if (!More() || !IsNumber(Peek()))
            return false;
        v = std::strtod(Next().c_str(), nullptr);
        if (neg)
            v = -v;
        return true;
    }
    bool Expect(const char* s) { return Next() == s; }
};

// Checks one ".mesh" text against the format: node blocks with counted vertex data and in-range triangles.
std::string CheckMesh(const std::string& text, std::set<std::string>& materials)
{
    cTokens tk{Tokenize(text, "{}-"), 0};
    int nodes = 0;
    while (tk.More()) {
        if (tk.Next() != "node")
            return "expected node";
        std::string name = tk.Next();
        if (name.size() < 2 || name[0] != '"')
            return "node name";
        if (!tk.Expect("{"))
            return "node {";
        long vertexCount = -1;
        long faces = 0;
        while (tk.More() && tk.Peek() != "}") {
            std::string key = tk.Next();
            if (key == "material") {
                std::string m = tk.Next();
                materials.insert(m.substr(1, m.size() - 2));
                continue;
            }
            double count;
            if (!tk.Number(count) || !tk.Expect("{"))
                return "block header " + key;
            int per = key == "vertices" || key == "normals" || key == "colors" ? 3 : key == "uv" ? 2 : key == "faces" ? 3 : 0;
            if (!per)
                return "unknown key " + key;
            if (key == "vertices")
                vertexCount = static_cast<long>(count);
            else if (vertexCount < 0)
                return key + " before vertices";
            long values = 0;
            double v;
            while (tk.More() && tk.Peek() != "}") {
                if (!tk.Number(v))
                    return "number in " + key;
                if (key == "faces" && (v < 0 || v >= vertexCount))
                    return "index out of range";
                if (key == "colors" && (v < 0 || v > 1))
                    return "colour out of range";
                ++values;
            }
            tk.Expect("}");
            long want = key == "faces" ? static_cast<long>(count) * 3 : (key == "uv" ? vertexCount * 2 : vertexCount * 3);
            if (values != want)
                return key + " count";
            if (key == "faces")
                faces = static_cast<long>(count);
        }
        if (!tk.Expect("}"))
            return "node }";
        if (faces == 0 || vertexCount <= 0 || vertexCount > 65535)
            return "empty or oversized node";
        ++nodes;
    }
    return nodes > 0 ? std::string() : "no nodes";
}

struct sParsedScene {
    std::vector<sScenePath> paths;
    std::vector<std::string> files; // every quoted file name in entity blocks
    double fog[4] = {0, 0, 0, 0};   // density, r, g, b
    double waterLevel = -1;
    int soundCount = 0;
};

// Reads the paths section and the quoted names of the ".scene" text.
std::string ParseScene(const std::string& text, sParsedScene& out)
{
    cTokens tk{Tokenize(text, "{}-(),"), 0};
    while (tk.More()) {
        std::string t = tk.Next();
        if (t.size() > 2 && t[0] == '"' && t.find('/') != std::string::npos)
            out.files.push_back(t.substr(1, t.size() - 2));
        if (t == "density" && out.fog[0] == 0)
            tk.Number(out.fog[0]);
        if (t == "color" && out.fog[1] == 0 && tk.Peek() == "(") {
            tk.Next();
            tk.Number(out.fog[1]);
            tk.Expect(",");
            tk.Number(out.fog[2]);
            tk.Expect(",");
            tk.Number(out.fog[3]);
        }
        if (t == "level")
            tk.Number(out.waterLevel);
        if (t == "sound")
            ++out.soundCount;
        if (t != "path")
            continue;
        sScenePath p;
        p.name = tk.Next();
        if (!tk.Expect("{") || !tk.Expect("cameraSpeed"))
            return "path header";
        double speed;
        if (!tk.Number(speed))
            return "camera speed";
        p.cameraSpeed = static_cast<float>(speed);
        for (int part = 0; part < 2; ++part) {
            if (tk.Next() != (part == 0 ? "camera" : "target") || !tk.Expect("{"))
                return "curve header";
            std::vector<double> v;
            double x;
            while (tk.More() && tk.Peek() != "}") {
                if (tk.Peek() == ",") {
                    tk.Next();
                    continue;
                }
                if (!tk.Number(x))
                    return "curve number";
                v.push_back(x);
            }
            tk.Expect("}");
            if (v.empty() || v.size() % 12)
                return "curve length";
            std::vector<sSegment>& curve = part == 0 ? p.camera : p.target;
            for (std::size_t k = 0; k < v.size(); k += 12) {
                sSegment s; // the file order: start, start control, end, end control
                s.start = sVec3(float(v[k]), float(v[k + 1]), float(v[k + 2]));
                s.startControl = sVec3(float(v[k + 3]), float(v[k + 4]), float(v[k + 5]));
                s.end = sVec3(float(v[k + 6]), float(v[k + 7]), float(v[k + 8]));
                s.endControl = sVec3(float(v[k + 9]), float(v[k + 10]), float(v[k + 11]));
                curve.push_back(s);
            }
        }
        if (!tk.Expect("}"))
            return "path }";
        out.paths.push_back(p);
    }
    return std::string();
}

class GeneratedIsland : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_Root = TempDir("island");
        sBuildOptions o;
        o.root = s_Root;
        o.copyFrom = SourceDir();
        o.verbose = false;
        s_Ok = BuildIsland(o, s_Report, s_Error);
    }
    static void TearDownTestSuite() { std::system(("rm -rf '" + s_Root + "'").c_str()); }
    void SetUp() override { ASSERT_TRUE(s_Ok) << s_Error; }

    static std::string s_Root;
    static sBuildReport s_Report;
    static bool s_Ok;
    static std::string s_Error;
};
std::string GeneratedIsland::s_Root;
sBuildReport GeneratedIsland::s_Report;
bool GeneratedIsland::s_Ok = false;
std::string GeneratedIsland::s_Error;

} // namespace

TEST_F(GeneratedIsland, TerrainFileParsesToItsLastByteAndNamesExistingFiles)
{
    sTerrainData d;
    std::string error;
    ASSERT_TRUE(ReadTerrain(Read(s_Root + "data/scene/.terrain"), d, error)) << error;
    EXPECT_EQ(d.size, 256);
    EXPECT_EQ(d.colorSize, 512);
    EXPECT_EQ(d.lightSize, 1024);
    EXPECT_GE(d.instances.size(), 800u);
    std::set<std::string> distinct(d.kindNames.begin(), d.kindNames.end());
    EXPECT_GE(distinct.size(), 6u);
    for (const std::string& name : d.kindNames)
        EXPECT_FALSE(Read(s_Root + name).empty()) << name;
    for (const sTerrainLayer& l : d.layers) {
        EXPECT_FALSE(Read(s_Root + l.texture).empty()) << l.texture;
        EXPECT_GT(l.scaleU, 0.0f);
    }
    // Every plant stands inside the vegetation's root box and on the ground.
    for (const sTerrainInstance& inst : d.instances) {
        EXPECT_GT(inst.matrix[12], 0.0f);
        EXPECT_LT(inst.matrix[12], 255.0f);
        EXPECT_GT(inst.matrix[13], 20.0f);
    }
    // Layer weights never add up past one (the base layer takes the rest).
    for (std::size_t i = 0; i < d.layerMap.size(); i += 4)
        ASSERT_LE(d.layerMap[i] + d.layerMap[i + 1] + d.layerMap[i + 2] + d.layerMap[i + 3], 255);
    // The coast meets the sea: land, beach and sea floor all exist, and the map edge is deep water.
    float lo = 1e9f, hi = -1e9f;
    for (float h : d.heights) {
        lo = std::min(lo, h);
        hi = std::max(hi, h);
    }
    EXPECT_LT(lo, 25.0f - 10.0f);
    EXPECT_GT(hi, 25.0f + 40.0f);
    for (int x = 0; x < 256; ++x)
        ASSERT_LT(d.heights[static_cast<std::size_t>(x)], 25.0f - 5.0f);
}

TEST_F(GeneratedIsland, MeshesFollowTheFormatAndTheirMaterialsExist)
{
    sTerrainData d;
    std::string error;
    ASSERT_TRUE(ReadTerrain(Read(s_Root + "data/scene/.terrain"), d, error));
    std::set<std::string> materials;
    for (const std::string& name : std::set<std::string>(d.kindNames.begin(), d.kindNames.end())) {
        std::vector<std::uint8_t> b = Read(s_Root + name);
        EXPECT_EQ(CheckMesh(std::string(b.begin(), b.end()), materials), "") << name;
    }
    EXPECT_GE(materials.size(), 6u);
    for (const std::string& m : materials)
        EXPECT_FALSE(Read(s_Root + m).empty()) << m;
}

TEST_F(GeneratedIsland, SceneNamesExistingFilesAndFogMatchesTheSkyHorizon)
{
    std::vector<std::uint8_t> b = Read(s_Root + "data/scene/.scene");
    sParsedScene scene;
    ASSERT_EQ(ParseScene(std::string(b.begin(), b.end()), scene), "");
    EXPECT_GE(scene.paths.size(), 6u);
    EXPECT_GE(scene.soundCount, 3);
    EXPECT_DOUBLE_EQ(scene.waterLevel, 25.0);
    for (const std::string& f : scene.files)
        EXPECT_FALSE(Read(s_Root + f).empty()) << f;
    ASSERT_GT(scene.fog[0], 0.0);
    // The sky faces' lowest row is the fog colour, so the sea's haze meets the sky without a seam.
    std::vector<std::uint8_t> left = Read(s_Root + "data/textures/skies/sunny_low/left.jpg");
    ASSERT_FALSE(left.empty());
    for (const char* face : {"left", "right", "front", "back", "top"})
        EXPECT_FALSE(Read(s_Root + "data/textures/skies/sunny_low/" + face + ".jpg").empty()) << face;
    for (const sScenePath& p : scene.paths) {
        EXPECT_GT(p.cameraSpeed, 0.002f) << p.name;
        EXPECT_LT(p.cameraSpeed, 0.1f) << p.name;
        EXPECT_EQ(p.camera.size(), p.target.size()) << p.name;
    }
}

TEST_F(GeneratedIsland, FlightsKeepClearOfGroundSeaAndPlants)
{
    // Rebuilt from the shipped files: heights and plants from the terrain file, flights from the scene text.
    sTerrainData d;
    std::string error;
    ASSERT_TRUE(ReadTerrain(Read(s_Root + "data/scene/.terrain"), d, error));
    cHeightField field(d.size);
    field.Build(1, sIslandConstants::kWaterLevel); // for the layout; the heights are replaced below
    for (int z = 0; z < d.size; ++z)
        for (int x = 0; x < d.size; ++x)
            field.At(x, z) = d.heights[static_cast<std::size_t>(z) * d.size + x];
    std::vector<sVegetationKind> kinds = BuildVegetationKinds(1, sVegetationTextures());
    std::map<std::string, int> kindIndex;
    for (std::size_t k = 0; k < kinds.size(); ++k)
        kindIndex[kinds[k].meshFile] = static_cast<int>(k);
    std::vector<sInstance> instances;
    for (const sTerrainInstance& ti : d.instances) {
        sInstance inst;
        ASSERT_TRUE(kindIndex.count(d.kindNames[static_cast<std::size_t>(ti.kind)]));
        inst.kind = kindIndex[d.kindNames[static_cast<std::size_t>(ti.kind)]];
        std::copy(ti.matrix.begin(), ti.matrix.end(), inst.matrix.begin());
        instances.push_back(inst);
    }
    cClearanceModel model(field, kinds, instances);
    std::vector<std::uint8_t> b = Read(s_Root + "data/scene/.scene");
    sParsedScene scene;
    ASSERT_EQ(ParseScene(std::string(b.begin(), b.end()), scene), "");
    std::vector<std::string> faults = CheckPathClearance(scene.paths, model, sClearanceMargins(), 1500);
    for (std::size_t i = 0; i < faults.size() && i < 10; ++i)
        ADD_FAILURE() << faults[i];

    // The camera looks at the island: every target is over land or the lagoon, and never on the camera.
    const float L = sIslandConstants::kWaterLevel;
    for (const sScenePath& p : scene.paths)
        for (int s = 0; s < 200; ++s) {
            float t = s / 200.0f;
            sVec3 c = sScenePath::Evaluate(p.camera, t), g = sScenePath::Evaluate(p.target, t);
            ASSERT_GT(field.Height(g.x, g.z), L - 8.0f) << p.name << " t=" << t;
            ASSERT_GT(Length(g - c), 3.0f) << p.name << " t=" << t;
        }
    // The named flights are all there.
    std::set<std::string> names;
    for (const sScenePath& p : scene.paths)
        names.insert(p.name);
    for (const char* n : {"\"beach\"", "\"ridge\"", "\"lagoon\"", "\"islet\"", "\"grove\"", "\"panorama\""})
        EXPECT_TRUE(names.count(n)) << n;
}

TEST_F(GeneratedIsland, FontsDecodeIntoTheirAtlases)
{
    for (const char* f : {"data/fonts/default.fnt", "data/fonts/Agency FB_54.fnt", "data/fonts/default/RadioStars_18.fnt", "data/fonts/default/Cambria_14.fnt"}) {
        std::vector<std::uint8_t> b = Read(s_Root + f);
        ASSERT_GT(b.size(), 24u + 6144u) << f;
        std::uint32_t w = U32(b, 0), h = U32(b, 4), size = U32(b, 16), packed = U32(b, 20);
        EXPECT_EQ(size, w * h) << f;
        ASSERT_EQ(b.size(), 24u + packed + 6144u) << f;
        std::vector<std::uint8_t> atlas;
        ASSERT_TRUE(RunLengthDecode(std::vector<std::uint8_t>(b.begin() + 24, b.begin() + 24 + packed), b[12], size, atlas)) << f;
        EXPECT_EQ(atlas.size(), size) << f;
        // Printable characters have glyph cells inside the atlas, one advance wide.
        for (int code = 32; code < 127; ++code) {
            float r[6];
            std::memcpy(r, &b[24 + packed + static_cast<std::size_t>(code) * 24], 24);
            ASSERT_GT(r[4], 0.0f) << f << " " << code;
            EXPECT_LE(r[0] + r[2], 1.0f) << f;
            EXPECT_LE(r[1] + r[3], 1.0f) << f;
            EXPECT_FLOAT_EQ(r[2] * w, r[4]) << f;
        }
    }
    std::vector<std::uint8_t> def = Read(s_Root + "data/fonts/default.fnt");
    EXPECT_EQ(U32(def, 8), 14u);
}

TEST_F(GeneratedIsland, PicturesAreReadableByTheirFormats)
{
    // TGA: uncompressed true colour of the stated size; DDS: DXT1 or DXT3 with the full chain.
    for (const std::string& name : s_Report.files) {
        std::vector<std::uint8_t> b = Read(s_Root + name);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0) {
            ASSERT_GE(b.size(), 18u) << name;
            std::uint32_t w = b[12] | (b[13] << 8), h = b[14] | (b[15] << 8), bpp = b[16];
            EXPECT_EQ(b[2], 2) << name;
            EXPECT_TRUE(bpp == 24 || bpp == 32) << name;
            EXPECT_EQ(b.size(), 18u + w * h * bpp / 8) << name;
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dds") == 0) {
            ASSERT_GE(b.size(), 128u) << name;
            std::string cc(b.begin() + 84, b.begin() + 88);
            EXPECT_TRUE(cc == "DXT1" || cc == "DXT3") << name;
            std::uint32_t h = U32(b, 12), w = U32(b, 16), mips = U32(b, 28);
            std::size_t block = cc == "DXT1" ? 8 : 16, total = 0;
            for (std::uint32_t l = 0, lw = w, lh = h; l < mips; ++l, lw = std::max(1u, lw / 2), lh = std::max(1u, lh / 2))
                total += ((lw + 3) / 4) * ((lh + 3) / 4) * block;
            bool cube = U32(b, 112) & 0x200u;
            EXPECT_EQ(b.size(), 128u + total * (cube ? 6 : 1)) << name;
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0) {
            ASSERT_GE(b.size(), 4u);
            EXPECT_EQ(b[0], 0xFF) << name;
            EXPECT_EQ(b[1], 0xD8) << name;
        }
    }
    // ImageMagick, where present, agrees on the sizes.
    if (std::system("command -v identify >/dev/null 2>&1") == 0) {
        std::map<std::string, std::string> expect = {{"data/textures/splash.tga", "512 256"}, {"data/textures/terrain/sand.jpg", "512 512"},
                                                     {"data/textures/terrain/rock.dds", "512 512"}, {"data/textures/water2_dudv.tga", "256 256"}};
        for (const auto& e : expect) {
            std::string cmd = "identify -format '%w %h' '" + s_Root + e.first + "[0]' 2>/dev/null";
            std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
            char buf[64] = {0};
            ASSERT_TRUE(pipe && std::fgets(buf, sizeof(buf), pipe.get())) << e.first;
            EXPECT_EQ(std::string(buf), e.second) << e.first;
        }
    }
}

TEST_F(GeneratedIsland, SameSeedGivesTheSameArchive)
{
    std::string again = TempDir("island-again");
    sBuildOptions o;
    o.root = again;
    o.copyFrom = SourceDir();
    o.verbose = false;
    sBuildReport report;
    std::string error;
    ASSERT_TRUE(BuildIsland(o, report, error)) << error;
    std::string zipA = s_Root + "a.zip", zipB = again + "b.zip";
    ASSERT_TRUE(PackDataTree(s_Root, zipA, error)) << error;
    ASSERT_TRUE(PackDataTree(again, zipB, error)) << error;
    std::vector<std::uint8_t> a = Read(zipA), b = Read(zipB);
    std::system(("rm -rf '" + again + "'").c_str());
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the two archives differ";
    EXPECT_LT(a.size(), 25u * 1024u * 1024u);

    // Entries lie below "data/" and every file of the tree is in.
    unzFile uf = unzOpen(zipA.c_str());
    ASSERT_NE(uf, nullptr);
    std::size_t entries = 0;
    for (int r = unzGoToFirstFile(uf); r == UNZ_OK; r = unzGoToNextFile(uf)) {
        char name[512];
        unz_file_info info;
        unzGetCurrentFileInfo(uf, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
        EXPECT_EQ(std::string(name).compare(0, 5, "data/"), 0) << name;
        ++entries;
    }
    unzClose(uf);
    EXPECT_EQ(entries, ListDataFiles(s_Root).size());
}

TEST(BuiltExecutable, CarriesTheArchiveBehindItsTrailer)
{
    // The build folder: from the environment, else two levels above this test program (build/tests/tools_tests).
    std::string build;
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR"))
        build = bin;
    else {
        char self[4096];
        ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
        std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string("build/tests/x");
        build = path.substr(0, path.rfind('/'));
        build = build.substr(0, build.rfind('/'));
    }
    std::string exe = build + "/app/brevonne3d";
    std::string zip = build + "/app/brevonne3d-data.zip";
    std::vector<std::uint8_t> e = Read(exe), z = Read(zip);
    if (e.empty() || z.empty())
        GTEST_SKIP() << "no packed executable in " << exe;
    ASSERT_GT(e.size(), z.size() + 16);
    EXPECT_EQ(U32(e, e.size() - 4), 0xDEADBEEFu);
    std::uint32_t offset = U32(e, e.size() - 8);
    EXPECT_EQ(offset, e.size() - 16 - z.size());
    EXPECT_EQ(U32(e, e.size() - 16), 0u);
    EXPECT_EQ(U32(e, e.size() - 12), 0u);
    EXPECT_TRUE(std::equal(z.begin(), z.end(), e.begin() + offset));
    EXPECT_EQ(e[offset], 'P');
    EXPECT_EQ(e[offset + 1], 'K');
    EXPECT_LT(z.size(), 25u * 1024u * 1024u);
}
