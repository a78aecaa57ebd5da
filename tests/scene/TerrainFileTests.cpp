// The ".terrain" file: layout and byte counts, round trips that write back the
// same bytes, progress, the kind-name runs of the writer, and truncated or
// hostile files that give a warning and no terrain.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/IProgressCallback.h"
#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/TerrainTestSupport.h"
#include "scene/support/cNullRenderer.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

struct sProgress : IProgressCallback {
    std::vector<float> fractions;
    void OnProgress(float fraction) override { fractions.push_back(fraction); }
};

struct sTerrainFileFixture : ::testing::Test {
    cScratchFolder folder;
    cResourceManager resources;
    cSerializer serializer{&resources};
    std::vector<ITerrain*> made;
    sTerrainFileFixture() {
        resources.SetHeadless(true);
        folder.Write("a.mesh", kTerrainTestMesh);
        folder.Write("b.mesh", kTerrainTestMesh);
    }
    ~sTerrainFileFixture() override {
        for (ITerrain* terrain : made) terrain->Release();
    }
    ITerrain* Read(const std::string& bytes, std::string* log = nullptr, IProgressCallback* progress = nullptr) {
        folder.Write("in.terrain", bytes);
        cLogCapture capture;
        ITerrain* terrain = serializer.ReadTerrain("in.terrain", progress);
        if (log) *log = capture.Text();
        if (terrain) made.push_back(terrain);
        return terrain;
    }
    std::string Write(ITerrain* terrain) {
        cLogCapture capture;
        EXPECT_TRUE(serializer.WriteTerrain("out.terrain", terrain));
        return folder.Read("out.terrain");
    }
};

std::vector<std::uint8_t> Texels(video::ITexture2D* texture) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(texture->ReadData(out));
    return out;
}

} // namespace

TEST_F(sTerrainFileFixture, AFileReadsFieldByFieldAndWritesBackTheSameBytes) {
    const sTerrainFile file;
    const std::string bytes = file.Bytes();
    std::size_t names = 0;
    for (const std::string& n : file.layerNames) names += n.size();
    std::size_t kinds = 0;
    for (const std::string& k : file.kinds) kinds += 4 + k.size();
    EXPECT_EQ(bytes.size(), 4 + 4u * 32 * 32 + 4 + 3u * 16 + 5 * 12 + names + 4u * 16 + 4 + 3u * 4 + 4 + kinds + 72u * 4);

    ITerrain* terrain = Read(bytes);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetSize(), 32);
    EXPECT_EQ(terrain->GetChunkSize(), 32);
    EXPECT_EQ(terrain->GetHeightmap(), file.heights);
    EXPECT_FLOAT_EQ(terrain->GetHeight(3.0f, 1.0f), file.heights[32 + 3]);
    ASSERT_NE(terrain->GetColorMap(), nullptr);
    const std::vector<std::uint8_t> colors = Texels(terrain->GetColorMap());
    EXPECT_EQ(colors[4], file.colors[3]);
    EXPECT_EQ(colors[3], 255);
    EXPECT_EQ(Texels(terrain->GetLayerMap()), file.layerMap);
    ASSERT_NE(terrain->GetLightMap(), nullptr);
    EXPECT_EQ(terrain->GetLightMap()->GetImageWidth(), 2u);
    EXPECT_EQ(terrain->GetLayerTexture(0)->GetName(), "grass.jpg");
    EXPECT_EQ(terrain->GetLayerTexture(1), nullptr);
    EXPECT_EQ(terrain->GetLayerScale(2), cVector2(32, 16));

    ITerrainVegetation* vegetation = terrain->GetVegetation();
    EXPECT_EQ(vegetation->GetKinds().size(), 3u);
    ASSERT_EQ(vegetation->GetInstances().size(), 4u);
    EXPECT_EQ(vegetation->GetInstances()[2]->kind, vegetation->GetKinds()[1]);
    EXPECT_EQ(vegetation->GetInstances()[3]->kind, vegetation->GetKinds()[2]);
    EXPECT_EQ(vegetation->GetInstances()[1]->color, cColor(255, 201, 10, 255));
    EXPECT_EQ(vegetation->GetInstances()[1]->matrix.GetTranslation(), cVector3(11, 5, 20));

    EXPECT_EQ(Write(terrain), bytes);
}

TEST_F(sTerrainFileFixture, TheWriterListsAKindOncePerRunAndPointsAtItsLastName) {
    ITerrain* terrain = nullptr;
    {
        cLogCapture log;
        terrain = resources.CreateTerrain(nullptr, 32, 2, 1.0f, 32);
        ASSERT_NE(terrain, nullptr);
        made.push_back(terrain);
        ITerrainVegetation* vegetation = terrain->GetVegetation();
        sVegetationKind* a = vegetation->AddKind("a.mesh");
        sVegetationKind* b = vegetation->AddKind("b.mesh");
        for (sVegetationKind* kind : {a, a, b, a}) {
            ASSERT_NE(vegetation->AddInstance(kind, cColor(1, 2, 3, 4), cMatrix::Translation(5, 0, 5)), nullptr);
        }
        // Outside the vegetation's box: not kept, not written.
        EXPECT_EQ(vegetation->AddInstance(a, cColor(), cMatrix::Translation(900, 0, 5)), nullptr);
    }
    const std::string bytes = Write(terrain);
    const std::size_t names = 4 + 4 * 32 * 32 + 4 + 3 * 4 + 5 * 12 + 4 * 4 + 4;
    std::int32_t count = 0;
    std::memcpy(&count, bytes.data() + names, 4);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(bytes.substr(names + 4, 3 * 10), std::string("\x06\0\0\0a.mesh\x06\0\0\0b.mesh\x06\0\0\0a.mesh", 30));
    std::vector<std::int32_t> indices;
    for (std::size_t at = names + 4 + 30; at < bytes.size(); at += 72) {
        std::int32_t index = 0;
        std::memcpy(&index, bytes.data() + at, 4);
        indices.push_back(index);
    }
    EXPECT_EQ(indices, (std::vector<std::int32_t>{2, 2, 1, 2}));
    // Reading that back and writing again gives the same bytes.
    ITerrain* again = Read(bytes);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Write(again), bytes);
}

TEST_F(sTerrainFileFixture, ProgressIsReportedInOrderAndOptionalPartsMayBeAbsent) {
    sTerrainFile file;
    file.colorSize = 0;
    file.colors.clear();
    file.layerMap.clear();
    file.lightSize = 0;
    file.light.clear();
    file.kinds = {"a.mesh"};
    file.instanceKinds.clear();
    sProgress progress;
    ITerrain* terrain = Read(file.Bytes(), nullptr, &progress);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(progress.fractions, (std::vector<float>{0.0f, 0.5f, 0.6f, 0.7f, 0.8f, 0.85f, 1.0f}));
    EXPECT_EQ(terrain->GetColorMap(), nullptr);
    EXPECT_EQ(terrain->GetLayerMap(), nullptr);
    EXPECT_EQ(terrain->GetLightMap(), nullptr);
    EXPECT_EQ(terrain->GetVegetation()->GetInstanceCount(), 0);
    // No instances: the writer lists no kind names.
    file.kinds.clear();
    EXPECT_EQ(Write(terrain), file.Bytes());
}

TEST_F(sTerrainFileFixture, AZeroLayerScaleIsWarnedAboutAndBecomesEighty) {
    sTerrainFile file;
    file.scales[3][1] = 0.0f;
    std::string log;
    ITerrain* terrain = Read(file.Bytes(), &log);
    ASSERT_NE(terrain, nullptr);
    EXPECT_NE(log.find("cSerializer::ReadTerrain : invalid scale for layer 3\n"), std::string::npos);
    EXPECT_EQ(terrain->GetLayerScale(3), cVector2(80, 80));
    EXPECT_EQ(terrain->GetLayerTexture(3), nullptr);
    EXPECT_EQ(terrain->GetLayerScale(1), cVector2(64, 64)) << "an empty layer still takes its scales";
}

TEST_F(sTerrainFileFixture, EveryTruncationGivesAWarningAndNoTerrainUnlessItEndsBetweenInstances) {
    const sTerrainFile file;
    const std::string bytes = file.Bytes();
    const std::size_t instancesStart = bytes.size() - 4 * 72;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::string log;
        ITerrain* terrain = Read(bytes.substr(0, length), &log);
        if (length >= instancesStart && (length - instancesStart) % 72 == 0) {
            ASSERT_NE(terrain, nullptr) << length;
            EXPECT_EQ(terrain->GetVegetation()->GetInstanceCount(), static_cast<int>((length - instancesStart) / 72));
        } else {
            ASSERT_EQ(terrain, nullptr) << length;
            ASSERT_NE(log.find("cSerializer::ReadTerrain : "), std::string::npos) << length;
        }
        for (ITerrain* t : made) t->Release();
        made.clear();
    }
}

TEST_F(sTerrainFileFixture, HostileSizesAndCountsAreRefusedBeforeAnythingIsMade) {
    auto patched = [](std::string bytes, std::size_t at, std::int32_t value) {
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    };
    const sTerrainFile file;
    const std::string bytes = file.Bytes();
    const std::size_t colorSizeAt = 4 + 4 * 32 * 32;
    const std::size_t firstLayerAt = colorSizeAt + 4 + 48;
    const std::size_t lightSizeAt = firstLayerAt + 5 * 12 + 9 + 8 + 8 + 64;
    const std::size_t kindCountAt = lightSizeAt + 4 + 12;
    struct sCase {
        std::size_t at;
        std::int32_t value;
        const char* warning;
    } cases[] = {
        {0, 1 << 20, "heightmap size 1048576 does not fit the file"},
        {0, -32, "invalid heightmap size -32"},
        {0, 0, "invalid heightmap size 0"},
        {colorSizeAt, -1, "invalid colour map size -1"},
        {colorSizeAt, 70000, "invalid colour map size 70000"},
        {colorSizeAt, 40000, "colour map size 40000 does not fit the file"},
        {firstLayerAt, -5, "layer 0: name length -5 does not fit the file"},
        {firstLayerAt, 0x7FFFFFFF, "layer 0: name length 2147483647 does not fit the file"},
        {lightSizeAt, 30000, "light map size 30000 does not fit the file"},
        {kindCountAt, 1000000000, "1000000000 vegetation kind names do not fit the file"},
        {kindCountAt, -3, "-3 vegetation kind names do not fit the file"},
        {kindCountAt + 4, 1 << 30, "vegetation kind name 0: length 1073741824 does not fit the file"},
    };
    for (const sCase& c : cases) {
        std::string log;
        EXPECT_EQ(Read(patched(bytes, c.at, c.value), &log), nullptr) << c.warning;
        EXPECT_NE(log.find(std::string("cSerializer::ReadTerrain : ") + c.warning), std::string::npos) << log;
        EXPECT_EQ(log.find("Creating terrain"), std::string::npos) << c.warning;
    }
    // A heightmap size that fits but is no power of two is the terrain's to refuse.
    sTerrainFile odd;
    odd.size = 24;
    odd.heights.assign(24 * 24, 1.0f);
    std::string log;
    EXPECT_EQ(Read(odd.Bytes(), &log), nullptr);
    EXPECT_NE(log.find("terrain size must be a power of two, got 24"), std::string::npos);
    // A record cut short at the end is damage, not an instance.
    EXPECT_EQ(Read(bytes + std::string(71, '\0'), &log), nullptr);
    EXPECT_NE(log.find("the vegetation instances end inside a record"), std::string::npos);

    // Kind indices outside the listed names (and an empty name, which makes no kind) are left out.
    sTerrainFile strays;
    strays.kinds = {"a.mesh", "", "b.mesh"};
    strays.instanceKinds = {0, 1, 2, -1, 7};
    ITerrain* terrain = Read(strays.Bytes(), &log);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetVegetation()->GetInstanceCount(), 2);
    EXPECT_NE(log.find("3 vegetation instances name a kind the file does not list"), std::string::npos);
    // A kind whose mesh does not load is left out with one warning; the rest stays.
    strays.kinds = {"missing.mesh", "a.mesh"};
    strays.instanceKinds = {0, 1, 0, 0};
    terrain = Read(strays.Bytes(), &log);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetVegetation()->GetInstanceCount(), 1);
    const std::string warning = "mesh 'missing.mesh' could not be loaded";
    EXPECT_EQ(log.find(warning), log.rfind(warning));
}

TEST_F(sTerrainFileFixture, NullArgumentsAndTexturesThatCannotBeReadBack) {
    EXPECT_THROW(
        {
            try {
                serializer.ReadTerrain(static_cast<IFile*>(nullptr), nullptr);
            } catch (const cException& e) {
                EXPECT_STREQ(e.GetText(), "cSerializer::ReadTerrain : NULL pointer to source file");
                throw;
            }
        },
        cException);
    ITerrain* terrain = Read(sTerrainFile().Bytes());
    ASSERT_NE(terrain, nullptr);
    try {
        serializer.WriteTerrain(static_cast<IFile*>(nullptr), terrain);
        ADD_FAILURE();
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cSerializer::WriteTerrain : NULL pointer to dest. file");
    }
    try {
        serializer.WriteTerrain("out.terrain", nullptr);
        ADD_FAILURE();
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cSerializer::WriteTerrain : NULL pointer to terrain");
    }

    // A backend whose textures cannot be read back: the heights are written, then the writer gives up.
    struct sNoReadBack : cNullRenderer {
        video::ITexture2D* CreateTexture(const void*, std::uint32_t, std::uint32_t, std::uint32_t) override {
            return new cNamedTexture(*this, "__memory");
        }
        using cNullRenderer::CreateTexture;
    } renderer;
    cResourceManager device;
    device.SetRenderer(&renderer);
    cSerializer writer(&device);
    cLogCapture log;
    ITerrain* drawn = device.CreateTerrain(nullptr, 32, 4, 1.0f, 32);
    ASSERT_NE(drawn, nullptr);
    try {
        writer.WriteTerrain("cannot.terrain", drawn);
        ADD_FAILURE();
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cSerializer::WriteTerrain : the colour map cannot be read back from its texture");
    }
    EXPECT_EQ(folder.Read("cannot.terrain").size(), 4u + 4 * 32 * 32 + 4);
    drawn->Release();
}

TEST(TerrainFile, TheGeneratedIslandLoadsAndWritesBackByteForByte) {
    const std::string root = BuildFolder();
    std::FILE* probe = std::fopen((root + "data/scene/.terrain").c_str(), "rb");
    if (!probe) GTEST_SKIP() << "no generated island in " << root;
    std::fclose(probe);
    cPlatformFileSystem files;
    files.SetRootFolder(root.c_str());
    SetProcessFileSystem(&files);
    cResourceManager resources;
    resources.SetHeadless(true);
    cSerializer serializer(&resources);
    std::string log;
    ITerrain* terrain = nullptr;
    {
        cLogCapture capture;
        terrain = serializer.ReadTerrain("data/scene/.terrain", nullptr);
        log = capture.Text();
    }
    ASSERT_NE(terrain, nullptr) << log;
    EXPECT_EQ(log.find("could not be loaded"), std::string::npos) << log;
    EXPECT_EQ(terrain->GetSize(), 256);
    EXPECT_EQ(terrain->GetColorMap()->GetImageWidth(), 512u);
    EXPECT_EQ(terrain->GetLightMap()->GetImageWidth(), 1024u);
    EXPECT_GT(terrain->GetVegetation()->GetInstanceCount(), 100);

    cScratchFolder out;
    cPlatformFileSystem writing;
    writing.SetRootFolder(out.Path().c_str());
    SetProcessFileSystem(&writing);
    {
        cLogCapture capture;
        EXPECT_TRUE(serializer.WriteTerrain("copy.terrain", terrain));
    }
    std::FILE* original = std::fopen((root + "data/scene/.terrain").c_str(), "rb");
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), original)) > 0) bytes.append(buffer, n);
    std::fclose(original);
    EXPECT_TRUE(out.Read("copy.terrain") == bytes);
    terrain->Release();
    SetProcessFileSystem(nullptr);
}
