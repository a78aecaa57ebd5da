// The binary and text writers of the generator: terrain file, scene text,
// font atlas coding, picture files and the appended-archive trailer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "tools/generator/ArchivePacker.h"
#include "tools/generator/FontBuilder.h"
#include "tools/generator/ImageFiles.h"
#include "tools/generator/SoundSynth.h"
#include "tools/generator/cSceneFile.h"
#include "tools/generator/cTerrainFile.h"

using namespace brevonne;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

sTerrainData SmallTerrain()
{
    sTerrainData d;
    d.size = 4;
    for (int i = 0; i < 16; ++i)
        d.heights.push_back(static_cast<float>(i) * 0.5f);
    d.colorSize = 2;
    d.colorMap.assign(12, 7);
    d.layerMap.assign(16, 9);
    d.layers[0].texture = "data/textures/terrain/grass.jpg";
    d.layers[2].texture = "data/textures/terrain/rock.dds";
    d.lightSize = 3;
    d.lightMap.assign(27, 200);
    d.kindNames = {"a.mesh", "b.mesh", "a.mesh"};
    for (int k : {2, 1, 2}) {
        sTerrainInstance inst;
        inst.kind = k;
        inst.matrix[0] = inst.matrix[5] = inst.matrix[10] = inst.matrix[15] = 1.0f;
        inst.matrix[12] = static_cast<float>(k);
        d.instances.push_back(inst);
    }
    return d;
}

} // namespace

TEST(TerrainFile, LayoutIsThePlainConcatenationOfTheFields)
{
    sTerrainData d = SmallTerrain();
    std::vector<std::uint8_t> bytes = WriteTerrain(d);
    std::size_t names = 0;
    for (const sTerrainLayer& l : d.layers)
        names += 4 + l.texture.size() + 8;
    std::size_t kinds = 4;
    for (const std::string& n : d.kindNames)
        kinds += 4 + n.size();
    EXPECT_EQ(bytes.size(), 4 + 4 * 16 + 4 + 3 * 4 + names + 4 * 4 + 4 + 3 * 9 + kinds + 72 * 3);
    EXPECT_EQ(U32(bytes, 0), 4u);
    float h5;
    std::memcpy(&h5, &bytes[4 + 4 * 5], 4);
    EXPECT_FLOAT_EQ(h5, 2.5f);
    EXPECT_EQ(U32(bytes, 4 + 64), 2u);                       // M
    EXPECT_EQ(U32(bytes, 4 + 64 + 4 + 12), 31u);             // first layer name length
    EXPECT_EQ(U32(bytes, bytes.size() - 72), 2u);            // first instance: kind index
}

TEST(TerrainFile, ReadsBackEveryFieldAndRejectsDamage)
{
    sTerrainData d = SmallTerrain();
    std::vector<std::uint8_t> bytes = WriteTerrain(d);
    sTerrainData back;
    std::string error;
    ASSERT_TRUE(ReadTerrain(bytes, back, error)) << error;
    EXPECT_EQ(back.heights, d.heights);
    EXPECT_EQ(back.layers[2].texture, d.layers[2].texture);
    EXPECT_TRUE(back.layers[1].texture.empty());
    EXPECT_EQ(back.kindNames, d.kindNames);
    ASSERT_EQ(back.instances.size(), 3u);
    EXPECT_EQ(back.instances[1].kind, 1);
    EXPECT_FLOAT_EQ(back.instances[2].matrix[12], 2.0f);

    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 5);
    EXPECT_FALSE(ReadTerrain(cut, back, error));
    std::vector<std::uint8_t> badKind = bytes;
    badKind[bytes.size() - 72] = 7;
    EXPECT_FALSE(ReadTerrain(badKind, back, error));
    std::vector<std::uint8_t> hugeName = bytes;
    hugeName[4 + 64 + 4 + 12 + 3] = 0x7f;
    EXPECT_FALSE(ReadTerrain(hugeName, back, error));

    d.instances[0].kind = 3;
    EXPECT_THROW(WriteTerrain(d), std::invalid_argument);
    d = SmallTerrain();
    d.layerMap.pop_back();
    EXPECT_THROW(WriteTerrain(d), std::invalid_argument);
}

TEST(SceneFile, PrintsTheFixedLayout)
{
    sSceneDescription s;
    s.environment.fog = true;
    s.environment.fogDensity = 0.0175f;
    s.environment.fogColor = {ColorByte(0.76f), ColorByte(0.76f), ColorByte(0.76f)};
    sScenePath p;
    p.name = "";
    p.cameraSpeed = 0.02f;
    sSegment seg;
    seg.start = sVec3(1, 2, 3);
    seg.end = sVec3(-4, 5, 6);
    seg.startControl = sVec3(7, 8, 9);
    seg.endControl = sVec3(10, 11, 12);
    p.camera.push_back(seg);
    p.target.push_back(seg);
    s.paths.push_back(p);
    sWaterEntity w;
    w.position = sVec3(0, 25, 0);
    w.color = {46, 102, 88};
    w.density = 0.2f;
    w.level = 25.0f;
    w.speed = 2.0f;
    s.entities.water.push_back(w);
    sLensFlareEntity l;
    l.position = sVec3(0.6552f, 1.4913f, 1.2444f);
    l.boundToCamera = true;
    l.flares[0].texture = "a.tga";
    l.flares[3].texture = "b.tga";
    s.entities.lensFlares.push_back(l);
    sSoundEntity snd;
    snd.source = "s.ogg";
    snd.looped = true;
    snd.maxDistance = 40.0f;
    s.entities.sounds.push_back(snd);
    sSoundEntity silent;
    s.entities.sounds.push_back(silent); // no source: not written
    sSkyEntity sky;
    sky.faces = {"l", "r", "t", "", "f", "b"};
    s.entities.skies.push_back(sky);

    const char* expected =
        "environment {\n\tfog {\n\t\tdensity\t0.017500\n\t\tcolor\t(0.76, 0.76, 0.76)\n\t}\n\n}\n\n"
        "paths {\n\tpath \"\" {\n\t\tcameraSpeed\t0.0200\n\t\tcamera {\n"
        "\t\t\t1.0000, 2.0000, 3.0000, 7.0000, 8.0000, 9.0000, -4.0000, 5.0000, 6.0000, 10.0000, 11.0000, 12.0000\n\t\t}\n"
        "\t\ttarget {\n"
        "\t\t\t1.0000, 2.0000, 3.0000, 7.0000, 8.0000, 9.0000, -4.0000, 5.0000, 6.0000, 10.0000, 11.0000, 12.0000\n\t\t}\n\t}\n}\n\n"
        "entities {\n"
        "\twater {\n\t\tposition\t(0.0000, 25.0000, 0.0000)\n\t\tcolor\t(0.1804, 0.4000, 0.3451)\n\t\tdensity\t0.2000\n\t\tlevel\t25.0000\n\t\tspeed\t2.0000\n\t}\n"
        "\tlensFlare {\n\t\tposition\t(0.6552, 1.4913, 1.2444)\n\t\tboundToCamera\ttrue\n"
        "\t\tflare 0 {\n\t\t\ttexture\t\"a.tga\"\n\t\t\tsize\t(0.00, 0.00)\n\t\t}\n"
        "\t\tflare 3 {\n\t\t\ttexture\t\"b.tga\"\n\t\t\tsize\t(0.00, 0.00)\n\t\t}\n\t}\n"
        "\tsound {\n\t\tposition\t(0.0000, 0.0000, 0.0000)\n\t\tsource\t\"s.ogg\"\n\t\tlooped\ttrue\n\t\tvolume\t1.0000\n\t\tpitch\t1.0000\n"
        "\t\trolloff\t1.00000\n\t\tmaxDistance\t40.00000\n\t}\n"
        "\tsky {\n\t\tposition\t(0.0000, 0.0000, 0.0000)\n\t\tyOffset\t0.0000\n\t\tleft\t\"l\"\n\t\tright\t\"r\"\n\t\tfront\t\"f\"\n\t\tback\t\"b\"\n\t\ttop\t\"t\"\n\t}\n"
        "}\n\n";
    EXPECT_EQ(WriteSceneText(s), expected);
    EXPECT_EQ(ColorByte(0.76f), 193);
    EXPECT_EQ(ColorByte(1.2f), 255);
}

TEST(SceneFile, PathsGiveEachSegmentAnEqualShare)
{
    std::vector<sSegment> curve(2);
    curve[0].start = curve[0].startControl = sVec3(0, 0, 0);
    curve[0].end = curve[0].endControl = sVec3(10, 0, 0);
    curve[1].start = curve[1].startControl = sVec3(10, 0, 0);
    curve[1].end = curve[1].endControl = sVec3(10, 0, 100);
    sVec3 half = sScenePath::Evaluate(curve, 0.5f);
    EXPECT_FLOAT_EQ(half.x, 10.0f);
    EXPECT_FLOAT_EQ(half.z, 0.0f);
    EXPECT_FLOAT_EQ(sScenePath::Evaluate(curve, 1.0f).z, 100.0f);
    EXPECT_FLOAT_EQ(sScenePath::Evaluate(curve, 0.25f).x, 5.0f);
}

TEST(FontCoding, RunLengthRoundTripsAndEscapesTheMarker)
{
    std::vector<std::uint8_t> data = {5, 5, 5, 5, 5, 1, 2, 1, 0, 0, 0, 9};
    std::vector<std::uint8_t> packed = RunLengthEncode(data, 1);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(RunLengthDecode(packed, 1, data.size(), back));
    EXPECT_EQ(back, data);
    EXPECT_EQ(packed[0], 1);           // the run of five
    EXPECT_EQ(U32(packed, 1), 5u);
    // A count beyond the announced size and a cut-off run are refused.
    std::vector<std::uint8_t> tooLong = {1, 9, 0, 0, 0, 3};
    EXPECT_FALSE(RunLengthDecode(tooLong, 1, 8, back));
    std::vector<std::uint8_t> cut = {1, 2, 0};
    EXPECT_FALSE(RunLengthDecode(cut, 1, 8, back));
}

TEST(ImageFiles, TGAIsBottomUpBGR)
{
    cImage img(2, 2);
    img.At(0, 0) = sColor(30 / 255.0f, 20 / 255.0f, 10 / 255.0f);
    img.At(1, 1) = sColor(1, 1, 1, 0.5f);
    std::vector<std::uint8_t> t = EncodeTGA(img, true);
    ASSERT_EQ(t.size(), 18u + 16u);
    EXPECT_EQ(t[2], 2);
    EXPECT_EQ(t[12] | (t[13] << 8), 2);
    EXPECT_EQ(t[16], 32);
    EXPECT_EQ(t[17] & 0x20, 0);        // origin at the bottom
    EXPECT_EQ(t[18], 10);              // first file pixel: blue, green, red
    EXPECT_EQ(t[19], 20);
    EXPECT_EQ(t[20], 30);
    EXPECT_EQ(t[18 + 12 + 3], 128);    // alpha of the last pixel
}

TEST(ImageFiles, DDSHeadersMatchWhatTheLoadersRead)
{
    cImage img(16, 8, sColor(0.2f, 0.4f, 0.6f));
    std::vector<std::uint8_t> d = EncodeDDS(img, eDXT::DXT1);
    ASSERT_EQ(std::string(d.begin(), d.begin() + 4), "DDS ");
    EXPECT_EQ(U32(d, 12), 8u);         // height
    EXPECT_EQ(U32(d, 16), 16u);        // width
    EXPECT_EQ(U32(d, 28), 5u);         // 16x8, 8x4, 4x2, 2x1, 1x1
    EXPECT_EQ(std::string(d.begin() + 84, d.begin() + 88), "DXT1");
    EXPECT_EQ(U32(d, 80) & 1u, 0u);    // no alpha
    EXPECT_EQ(d.size(), 128u + 8 * (8 + 2 + 1 + 1 + 1));

    cImage faces[6];
    for (cImage& f : faces)
        f = cImage(8, 8, sColor(1, 1, 1));
    std::vector<std::uint8_t> c = EncodeDDSCube(faces, eDXT::DXT1);
    EXPECT_EQ(U32(c, 8) & 1u, 1u);
    EXPECT_EQ(U32(c, 108) & 0x1008u, 0x1008u);
    EXPECT_EQ(U32(c, 112), 0x200u | 0xFC00u);
    std::size_t face = U32(c, 20) + 8 + 8 + 8; // linear size plus levels 4, 2, 1
    EXPECT_EQ(c.size(), 128u + 6 * face);
}

TEST(ImageFiles, JPEGDecodesTopRowFirst)
{
    cImage img(16, 16, sColor(0, 0, 0));
    for (int x = 0; x < 16; ++x)
        img.At(x, 15) = sColor(1, 1, 1); // the top row is white
    std::vector<std::uint8_t> j = EncodeJPEG(img, 95);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, j.data(), static_cast<unsigned long>(j.size()));
    ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&cinfo);
    EXPECT_EQ(cinfo.output_components, 3);
    std::vector<std::uint8_t> row(16 * 3);
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&cinfo, &r, 1);
    EXPECT_GT(row[0], 200);
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

TEST(Archive, TrailerHoldsTheOffsetAndTheMagic)
{
    std::vector<std::uint8_t> t = MakeTrailer(0x160000);
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(U32(t, 0), 0u);
    EXPECT_EQ(U32(t, 4), 0u);
    EXPECT_EQ(U32(t, 8), 0x160000u);
    EXPECT_EQ(U32(t, 12), 0xDEADBEEFu);
}

TEST(Sound, WaveHasTheCanonicalHeader)
{
    sSound s;
    s.rate = 22050;
    s.channels = 1;
    s.samples = {0.0f, 1.0f, -1.0f};
    std::vector<std::uint8_t> w = EncodeWave(s);
    ASSERT_EQ(w.size(), 44u + 6u);
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 12), "WAVE");
    EXPECT_EQ(w[22], 1);
    EXPECT_EQ(U32(w, 24), 22050u);
    EXPECT_EQ(w[34], 16);
    EXPECT_EQ(U32(w, 40), 6u);
    EXPECT_EQ(w[46] | (w[47] << 8), 32767);
}
