// Textures on the OpenGL renderer: the resource cache and reference counts,
// file loading by extension, upload orientation (the DXT flip), detail
// reduction, sampler settings and cube maps.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "video/GLTestContext.h"
#include "video/ITexture.h"
#include "video/LoaderTestSupport.h"
#include "video/cCommonTexture2D.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/opengl/cOpenGLTexture2D.h"
#include "video/opengl/cOpenGLTextureCube.h"

using namespace velmora;
using namespace velmora::video;

namespace {

void Put32(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> DDSFile(const char* fourCC, std::uint32_t size, std::uint32_t mips, std::uint32_t caps2,
                                  int faces, int compression) {
    std::vector<std::uint8_t> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    Put32(file, 4, 124);
    Put32(file, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000);
    Put32(file, 12, size);
    Put32(file, 16, size);
    Put32(file, 28, mips);
    Put32(file, 80, 0x4);
    std::memcpy(file.data() + 84, fourCC, 4);
    Put32(file, 108, 0x1008);
    Put32(file, 112, caps2);
    const std::uint64_t bytes = cDXTCodec::ChainBytes(compression, size, size, mips);
    for (int f = 0; f < faces; ++f) {
        for (std::uint64_t i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>((i * 13 + f * 50) & 0xFF));
    }
    return file;
}

// A file system rooted at a fresh folder, registered process-wide for the test's life.
class cTextureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = vtest::MakeTempDir();
        m_FileSystem.SetRootFolder(m_Dir.c_str());
        m_Previous = GetProcessFileSystem();
        SetProcessFileSystem(&m_FileSystem);
    }
    void TearDown() override { SetProcessFileSystem(m_Previous); }
    std::string Path(const std::string& name) const { return m_Dir + "/" + name; }

    std::string m_Dir;
    cPlatformFileSystem m_FileSystem;
    IFileSystem* m_Previous = nullptr;
};

std::string CapturedCreate(IRenderer* r, const char* name, ITexture2D*& out) {
    testing::internal::CaptureStdout();
    out = r->CreateTexture(name);
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(OpenGLTextures, MemoryTexturesDrawUprightAndAreDestroyedAtZero) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cResourceManager& resources = ctx->Common()->GetResourceManager();
    const std::size_t live = resources.GetMemoryTextureCount();
    // 2 x 2, bottom row first: red, green / blue, white.
    const std::uint8_t pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    ITexture2D* texture = r->CreateTexture(pixels, 2, 2, 4);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetName(), "__memory");
    EXPECT_EQ(texture->GetType(), TEX_2D);
    EXPECT_EQ(resources.GetMemoryTextureCount(), live + 1);
    EXPECT_EQ(r->GetTexture2DMemoryUsage(), 0u);  // memory textures are not cached
    texture->SetFiltering(TF_POINT);
    // Source t = 1 at the top edge shows the picture upright.
    r->RenderRect(texture, cRect(0, 0, 64, 64), cRect(0, 1, 1, 0), cColor(255, 255, 255));
    EXPECT_EQ(ctx->Common()->GetBoundTexture(0), nullptr);  // stage 0 cleared after the draw
    EXPECT_EQ(ctx->Pixel(10, 10)[0], 255);
    EXPECT_EQ(ctx->Pixel(10, 10)[1], 0);
    EXPECT_EQ(ctx->Pixel(50, 10)[1], 255);
    EXPECT_EQ(ctx->Pixel(10, 50)[2], 255);
    EXPECT_EQ(ctx->Pixel(50, 50)[0], 255);
    EXPECT_EQ(ctx->Pixel(50, 50)[2], 255);
    // The vertex colour modulates the texture.
    r->RenderRect(texture, cRect(0, 0, 64, 64), cRect(0, 1, 1, 0), cColor(128, 128, 128));
    EXPECT_NEAR(ctx->Pixel(50, 50)[0], 128, 1);

    std::vector<std::uint8_t> read;
    ASSERT_TRUE(texture->ReadData(read));
    EXPECT_EQ(0, std::memcmp(read.data(), pixels, 16));
    // UpdateRect replaces a pixel.
    const std::uint8_t black[4] = {0, 0, 0, 255};
    EXPECT_TRUE(texture->UpdateRect(1, 1, 1, 1, black));
    EXPECT_FALSE(texture->UpdateRect(1, 1, 2, 1, black));
    ASSERT_TRUE(texture->ReadData(read));
    EXPECT_EQ(read[12], 0);

    testing::internal::CaptureStdout();
    texture->AddRef();
    texture->Release();
    EXPECT_EQ(resources.GetMemoryTextureCount(), live + 1);
    texture->Release();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "cCommonTexture2D::Release : texture '__memory' released\n");
    EXPECT_EQ(resources.GetMemoryTextureCount(), live);

    // Three bytes per pixel read back opaque; other sizes and null data are refused.
    const std::uint8_t rgb[3] = {10, 20, 30};
    ITexture2D* opaque = r->CreateTexture(rgb, 1, 1, 3);
    ASSERT_NE(opaque, nullptr);
    ASSERT_TRUE(opaque->ReadData(read));
    EXPECT_EQ(read, (std::vector<std::uint8_t>{10, 20, 30, 255}));
    opaque->Release();
    testing::internal::CaptureStdout();
    EXPECT_EQ(r->CreateTexture(rgb, 1, 1, 1), nullptr);
    EXPECT_EQ(r->CreateTexture(nullptr, 1, 1, 3), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("cCommonRenderer::CreateTexture : cOpenGLTexture2D::Create : failed to create texture"),
              std::string::npos);
    EXPECT_EQ(resources.GetMemoryTextureCount(), live);
}

TEST_F(cTextureFiles, FileTexturesAreCachedByResolvedName) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    ASSERT_TRUE(vtest::WriteFileBytes(Path("water.dds"), DDSFile("DXT1", 16, 5, 0, 1, TC_DXT1)));
    ITexture2D* first = nullptr;
    const std::string log = CapturedCreate(r, "water", first);
    ASSERT_NE(first, nullptr) << log;
    EXPECT_EQ(log.rfind("Creating texture( water )... ", 0), 0u) << log;
    EXPECT_EQ(first->GetName(), "water.dds");
    ITexture2D* second = r->CreateTexture("water.dds");
    ITexture2D* third = r->CreateTexture("water");
    EXPECT_EQ(second, first);
    EXPECT_EQ(third, first);
    EXPECT_EQ(static_cast<cCommonTexture2D*>(first)->GetReferenceCount(), 3);

    // Released to zero it logs and stays cached; asked for again it is the same object.
    first->Release();
    first->Release();
    testing::internal::CaptureStdout();
    first->Release();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "cCommonTexture2D::Release : texture 'water.dds' released\n");
    EXPECT_EQ(r->CreateTexture("water.dds"), first);
    EXPECT_EQ(static_cast<cCommonTexture2D*>(first)->GetReferenceCount(), 1);

    // Renderer-wide sampler settings reach cached textures and later ones.
    r->SetTextureFiltering(TF_LINEAR);
    r->SetTextureAnisotropy(2);
    EXPECT_EQ(first->GetFiltering(), TF_LINEAR);
    EXPECT_EQ(first->GetAnisotropy(), 2);
    ASSERT_TRUE(vtest::WriteFileBytes(Path("later.dds"), DDSFile("DXT5", 8, 1, 0, 1, TC_DXT5)));
    ITexture2D* later = r->CreateTexture("later.dds");
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->GetFiltering(), TF_LINEAR);
    r->SetTextureFiltering(TF_LINEAR_MIP_LINEAR);
    r->SetTextureAnisotropy(0);
}

TEST_F(cTextureFiles, FailuresGiveNullAndAWarning) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    ASSERT_TRUE(vtest::WriteFileBytes(Path("picture.bmp"), {'B', 'M', 0, 0}));
    ITexture2D* texture = nullptr;
    std::string log = CapturedCreate(r, "picture.bmp", texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_NE(log.find("cCommonRenderer::CreateTexture : unsupported image format\n"), std::string::npos) << log;
    // A loader failure removes the half-made texture from the cache.
    std::vector<std::uint8_t> bad = DDSFile("DXT2", 8, 1, 0, 1, TC_DXT1);
    ASSERT_TRUE(vtest::WriteFileBytes(Path("bad.dds"), bad));
    log = CapturedCreate(r, "bad.dds", texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_NE(log.find("cCommonRenderer::CreateTexture : cDDSTexture2DLoader::LoadTexture : uncompressed DDS "
                       "textures aren't supported yet\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(ctx->Common()->GetResourceManager().Textures().count("bad.dds"), 0u);
    // Fixed, it loads.
    ASSERT_TRUE(vtest::WriteFileBytes(Path("bad.dds"), DDSFile("DXT1", 8, 1, 0, 1, TC_DXT1)));
    EXPECT_NE(r->CreateTexture("bad.dds"), nullptr);
    // Missing files give null.
    log = CapturedCreate(r, "missing.tga", texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(ctx->Common()->GetResourceManager().Textures().count("missing.tga"), 0u);
    // A missing font file: null and a warning.
    testing::internal::CaptureStdout();
    EXPECT_EQ(r->CreateFont("data/fonts/default.fnt"), nullptr);
    log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("cCommonRenderer::CreateFont : "), std::string::npos) << log;
    EXPECT_THROW(r->GetTexture3DMemoryUsage(), cException);
}

TEST_F(cTextureFiles, SidesAboveTheDeviceLimitAreRefusedByTheLoader) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const int maxSize = ctx->Common()->GetMaxTextureSize();
    ASSERT_GT(maxSize, 0);
    ASSERT_LT(maxSize, 65535);
    // An uncompressed TGA one pixel high and one pixel wider than the device takes.
    const std::uint32_t width = static_cast<std::uint32_t>(maxSize) + 1;
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2;
    tga[12] = static_cast<std::uint8_t>(width & 0xFF);
    tga[13] = static_cast<std::uint8_t>(width >> 8);
    tga[14] = 1;
    tga[16] = 24;
    tga.resize(18 + width * 3, 128);
    ASSERT_TRUE(vtest::WriteFileBytes(Path("wide.tga"), tga));
    ITexture2D* texture = nullptr;
    const std::string log = CapturedCreate(r, "wide.tga", texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_NE(log.find("cCommonRenderer::CreateTexture : cTGATexture2DLoader::LoadTexture : image size " +
                       std::to_string(width) + "x1 exceeds the device limit " + std::to_string(maxSize) + "\n"),
              std::string::npos)
        << log;
}

TEST_F(cTextureFiles, DetailReductionDropsTopLevelsOfCompressedTextures) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    ASSERT_TRUE(vtest::WriteFileBytes(Path("big.dds"), DDSFile("DXT1", 1024, 11, 0, 1, TC_DXT1)));
    ASSERT_TRUE(vtest::WriteFileBytes(Path("full.dds"), DDSFile("DXT1", 1024, 11, 0, 1, TC_DXT1)));
    ASSERT_TRUE(vtest::WriteFileBytes(Path("single.dds"), DDSFile("DXT1", 64, 1, 0, 1, TC_DXT1)));
    const std::size_t before = r->GetTexture2DMemoryUsage();
    r->SetTextureDetailReduction(1);
    auto* big = dynamic_cast<cOpenGLTexture2D*>(r->CreateTexture("big.dds"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->GetDeviceWidth(), 512u);
    EXPECT_EQ(big->GetImageWidth(), 1024u);
    EXPECT_EQ(big->GetDeviceLevels(), 10u);
    EXPECT_EQ(big->GetMemoryUsage(), 699064u - 524288u);
    // A file holding a single level keeps it whatever the reduction.
    auto* single = dynamic_cast<cOpenGLTexture2D*>(r->CreateTexture("single.dds"));
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->GetDeviceWidth(), 64u);
    r->SetTextureDetailReduction(0);
    auto* full = dynamic_cast<cOpenGLTexture2D*>(r->CreateTexture("full.dds"));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->GetDeviceWidth(), 1024u);
    EXPECT_EQ(full->GetMemoryUsage(), 699064u);
    EXPECT_EQ(r->GetTexture2DMemoryUsage() - before, 699064u + 174776u + 2048u);
    EXPECT_EQ(r->GetTextureMemoryUsage(), r->GetTexture2DMemoryUsage());
    r->SetTextureDetailReduction(1);
}

TEST_F(cTextureFiles, LoadedImagesReachTheDeviceUpright) {
    VTEST_REQUIRE_GL(ctx);
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    IRenderer* r = ctx->Renderer();
    r->SetTextureDetailReduction(0);
    const vtest::sImage picture = vtest::MakeTestPicture(64, 32);
    ASSERT_TRUE(vtest::WritePNG(Path("picture.png"), picture));
    const char* files[] = {"p.tga", "p_dxt1.dds", "p_dxt5.dds", "p.jpg"};
    const char* options[] = {"-flip -orient BottomLeft", "-alpha off -define dds:compression=dxt1",
                             "-define dds:compression=dxt5", "-alpha off -quality 95"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(vtest::RunConvert(Path("picture.png") + " " + options[i] + " " + Path(files[i])));
        ITexture2D* texture = r->CreateTexture(files[i]);
        ASSERT_NE(texture, nullptr) << files[i];
        // What the device holds is the decoded image with its bottom row first.
        std::vector<std::uint8_t> read;
        ASSERT_TRUE(texture->ReadData(read));
        vtest::sImage device{64, 32, read};
        vtest::sImage reference;
        ASSERT_TRUE(vtest::DecodeWithConvert(Path(files[i]), reference));
        const int channels = (i == 2) ? 4 : 3;
        EXPECT_LE(vtest::MaxDifference(device, reference, channels), i == 3 ? 4 : 3) << files[i];
        // Drawn with the top edge at t = 1, the white bar is at the top of the rectangle.
        r->BeginFrame(cColor(0, 0, 0));
        texture->SetFiltering(TF_POINT);
        r->RenderRect(texture, cRect(0, 0, 64, 32), cRect(0, 1, 1, 0), cColor(255, 255, 255));
        const auto top = ctx->Pixel(3, 31);
        const auto bottom = ctx->Pixel(3, 0);
        EXPECT_GT(top[1], 240) << files[i];
        EXPECT_LT(bottom[1], 40) << files[i];
        ctx->Screenshot((std::string("upright_") + files[i]).c_str());
    }
    r->SetTextureDetailReduction(1);
}

TEST_F(cTextureFiles, CubeTexturesLoadAndCache) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    ASSERT_TRUE(vtest::WriteFileBytes(Path("sky.dds"), DDSFile("DXT1", 16, 5, 0x200 | 0xFC00, 6, TC_DXT1)));
    testing::internal::CaptureStdout();
    ITextureCube* cube = r->CreateCubeTexture("sky.dds");
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_NE(cube, nullptr) << log;
    EXPECT_EQ(log, "Creating cube texture... succeeded\n");
    EXPECT_EQ(cube->GetType(), TEX_CUBE);
    EXPECT_EQ(cube->GetImageSize(), 16u);
    EXPECT_EQ(r->CreateCubeTexture("sky.dds"), cube);
    // Faces keep the file's rows.
    auto* glCube = dynamic_cast<cOpenGLTextureCube*>(cube);
    ASSERT_NE(glCube, nullptr);
    const std::vector<std::uint8_t> file = vtest::ReadFileBytes(Path("sky.dds"));
    const std::uint64_t faceBytes = cDXTCodec::ChainBytes(TC_DXT1, 16, 16, 5);
    for (int face = 0; face < 6; ++face) {
        std::vector<std::uint8_t> read, decoded(16 * 16 * 4);
        ASSERT_TRUE(glCube->ReadFace(face, read));
        cDXTCodec::DecodeLevel(TC_DXT1, file.data() + 128 + face * faceBytes, 16, 16, decoded.data());
        vtest::sImage a{16, 16, read}, b{16, 16, decoded};
        EXPECT_LE(vtest::MaxDifference(a, b, 4), 3) << "face " << face;
    }
    r->SetTexture(cube, 1);
    EXPECT_EQ(ctx->Common()->GetBoundTexture(1), cube);
    r->SetTexture(nullptr, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(r->CreateCubeTexture("flat.tga"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unsupported image format"), std::string::npos);
}
