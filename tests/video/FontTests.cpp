// Bitmap fonts: the run-length decoder, ".fnt" reading and its damage cases,
// measuring, the pen walk of Print, and drawing on the OpenGL renderer.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/cMemoryFile.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "video/GLTestContext.h"
#include "video/IFont.h"
#include "video/ITexture.h"
#include "video/cCommonFont.h"
#include "video/loaders/cRunLengthEncoder.h"

using namespace velmora;
using namespace velmora::video;

namespace {

using tRecord = std::array<float, 6>;  // u, v, width, height, advance, quad height

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutFloat(std::vector<std::uint8_t>& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    Put32(out, bits);
}

// A 16 x 8 atlas: 'A' fills columns 0-4 except its top row, 'B' columns 5-11 in grey 128.
struct sFontData {
    int width = 16;
    int height = 8;
    int fontHeight = 14;
    std::uint8_t marker = 0xAB;
    std::vector<std::uint8_t> grey;
    std::array<tRecord, 256> records{};

    sFontData() {
        grey.assign(static_cast<std::size_t>(width) * height, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 16; ++x) {
                std::uint8_t value = 0;
                if (x < 5 && y < height - 1) value = 255;
                if (x >= 5 && x < 12) value = 128;
                grey[static_cast<std::size_t>(y) * width + x] = value;
            }
        }
        records[' '] = {0.0f, 0.0f, 0.0f, 0.0f, 3.0f, 16.0f};
        records['A'] = {0.0f, 0.0f, 5.0f / 16, 1.0f, 5.0f, 8.0f};
        records['B'] = {5.0f / 16, 0.0f, 7.0f / 16, 1.0f, 7.0f, 8.0f};
        records['\n'] = {0.0f, 0.0f, 0.0f, 0.0f, 2.0f, 0.0f};
    }

    // Runs for four or more equal bytes and for the marker byte itself.
    std::vector<std::uint8_t> Encode() const {
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < grey.size();) {
            std::size_t run = 1;
            while (i + run < grey.size() && grey[i + run] == grey[i]) ++run;
            if (run >= 4 || grey[i] == marker) {
                out.push_back(marker);
                Put32(out, static_cast<std::uint32_t>(run));
                out.push_back(grey[i]);
            } else {
                out.insert(out.end(), grey.begin() + static_cast<std::ptrdiff_t>(i),
                           grey.begin() + static_cast<std::ptrdiff_t>(i + run));
            }
            i += run;
        }
        return out;
    }

    std::vector<std::uint8_t> File() const { return File(Encode(), static_cast<std::uint32_t>(grey.size())); }
    std::vector<std::uint8_t> File(const std::vector<std::uint8_t>& packed, std::uint32_t decompressed) const {
        std::vector<std::uint8_t> out;
        Put32(out, static_cast<std::uint32_t>(width));
        Put32(out, static_cast<std::uint32_t>(height));
        Put32(out, static_cast<std::uint32_t>(fontHeight));
        Put32(out, 0x12345600u | marker);  // only the low byte is the marker
        Put32(out, decompressed);
        Put32(out, static_cast<std::uint32_t>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
        for (const tRecord& r : records) {
            for (float f : r) PutFloat(out, f);
        }
        return out;
    }
};

// A font without a device: keeps the atlas pixels and records every glyph drawn.
class cRecordingFont : public cCommonFont {
public:
    struct sGlyph {
        int code;
        float x, y;
        int blendSrc, blendDst;
    };

    explicit cRecordingFont(IRenderer* renderer = nullptr) : cCommonFont(nullptr, renderer) {}
    ~cRecordingFont() override {
        if (!m_Renderer) m_Atlas = nullptr;  // the stand-in atlas is not a texture
    }

    void DrawGlyph(int code, float x, float y) override {
        glyphs.push_back({code, x, y, m_Renderer ? m_Renderer->GetBlendSrc() : -1,
                          m_Renderer ? m_Renderer->GetBlendDst() : -1});
    }

    // Reads from a copy of the bytes; throws what Create throws.
    void Load(std::vector<std::uint8_t> bytes) {
        std::uint8_t nothing = 0;
        cMemoryFile file;
        file.Open(bytes.empty() ? &nothing : bytes.data(), static_cast<std::int32_t>(bytes.size()));
        Create(&file);
    }

    std::vector<sGlyph> glyphs;
    std::vector<std::uint8_t> atlas;

protected:
    ITexture2D* CreateAtlas(const std::uint8_t* pixels, int width, int height) override {
        atlas.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
        if (m_Renderer) return cCommonFont::CreateAtlas(pixels, width, height);
        return reinterpret_cast<ITexture2D*>(&atlas);
    }
};

std::string CreateError(const std::vector<std::uint8_t>& bytes) {
    cRecordingFont font;
    try {
        font.Load(bytes);
    } catch (const cException& e) {
        return e.GetText();
    }
    return std::string();
}

std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& packed, std::uint32_t marker, std::uint32_t size) {
    sCompressionInfo info;
    info.marker = marker;
    info.decompressedSize = size;
    info.compressedSize = static_cast<std::uint32_t>(packed.size());
    std::vector<std::uint8_t> out;
    cRunLengthEncoder::Decompress(packed.data(), info, out);
    return out;
}

} // namespace

// ---- Run-length decoding -------------------------------------------------------------------

TEST(RunLengthDecoding, LiteralsAndRuns) {
    // 7, run of 3 x 9, 8, a run of 0 copies, the marker's own value as a run of 1.
    const std::vector<std::uint8_t> packed = {7, 0xF0, 3, 0, 0, 0, 9, 8, 0xF0, 0, 0, 0, 0, 5, 0xF0, 1, 0, 0, 0, 0xF0};
    EXPECT_EQ(Decode(packed, 0x1F0, 6), (std::vector<std::uint8_t>{7, 9, 9, 9, 8, 0xF0}));
}

TEST(RunLengthDecoding, OutputStaysWithinTheDecompressedSize) {
    // A run of 2^32 - 1 copies is cut at the output size; a run cut off by the end of the
    // data ends decoding and leaves the rest zero.
    EXPECT_EQ(Decode({0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 4, 1}, 0xF0, 3), (std::vector<std::uint8_t>{4, 4, 4}));
    EXPECT_EQ(Decode({1, 2, 0xF0, 9, 0}, 0xF0, 4), (std::vector<std::uint8_t>{1, 2, 0, 0}));
}

TEST(RunLengthDecoding, InvalidArgumentsRaise) {
    sCompressionInfo info;
    info.decompressedSize = 4;
    info.compressedSize = 4;
    std::vector<std::uint8_t> out;
    const std::uint8_t data[4] = {};
    EXPECT_THROW(cRunLengthEncoder::Decompress(nullptr, info, out), cException);
    info.compressedSize = 0;
    EXPECT_THROW(cRunLengthEncoder::Decompress(data, info, out), cException);
    info.compressedSize = 4;
    info.decompressedSize = 0;
    EXPECT_THROW(cRunLengthEncoder::Decompress(data, info, out), cException);
}

// ---- Reading ".fnt" --------------------------------------------------------------------------

TEST(FontFile, ReadsHeaderAtlasAndRecords) {
    const sFontData data;
    cRecordingFont font;
    font.Load(data.File());
    EXPECT_EQ(font.GetHeight(), 14);
    ASSERT_EQ(font.atlas.size(), 16u * 8u * 4u);
    // Every channel carries the grey value; rows stay bottom first.
    for (std::size_t i = 0; i < data.grey.size(); ++i) {
        for (int c = 0; c < 4; ++c) ASSERT_EQ(font.atlas[i * 4 + c], data.grey[i]) << "pixel " << i;
    }
    EXPECT_FLOAT_EQ(font.GetCharacter('B').u, 5.0f / 16);
    EXPECT_FLOAT_EQ(font.GetCharacter('B').advance, 7.0f);
    EXPECT_FLOAT_EQ(font.GetCharacter(' ').quadHeight, 16.0f);
    // Defaults of a new font.
    EXPECT_EQ(font.GetColor(), cColor(255, 255, 255, 255));
    EXPECT_EQ(font.GetBlendSrc(), BF_SRC_ALPHA);
    EXPECT_EQ(font.GetBlendDst(), BF_INV_SRC_ALPHA);
}

TEST(FontFile, DamagedFilesRaiseClearErrors) {
    const sFontData data;
    const std::vector<std::uint8_t> good = data.File();

    EXPECT_EQ(CreateError(std::vector<std::uint8_t>(good.begin(), good.begin() + 20)),
              "cCommonFont::Create : unexpected end of file");
    // Records cut short, and a compressed size beyond the end of the file.
    EXPECT_EQ(CreateError(std::vector<std::uint8_t>(good.begin(), good.end() - 1)),
              "cCommonFont::Create : unexpected end of file");
    std::vector<std::uint8_t> longAtlas = good;
    longAtlas[20] = 0xFF;
    longAtlas[23] = 0x7F;
    EXPECT_EQ(CreateError(longAtlas), "cCommonFont::Create : unexpected end of file");

    for (std::uint32_t width : {0u, 0xFFFFFFFFu, 100000u}) {
        std::vector<std::uint8_t> bad = good;
        std::memcpy(bad.data(), &width, 4);
        EXPECT_NE(CreateError(bad).find("invalid atlas size"), std::string::npos) << width;
    }
    EXPECT_EQ(CreateError(data.File({}, 128)), "cRunLengthEncoder::Compress : invalid compression info");
    EXPECT_EQ(CreateError(data.File(data.Encode(), 0)), "cRunLengthEncoder::Compress : invalid compression info");

    cRecordingFont font;
    try {
        font.Load({});
        FAIL() << "an empty file was accepted";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cCommonFont::Create : unexpected end of file");
    }
    cCommonFont* raw = &font;
    EXPECT_THROW(raw->Create(nullptr), cException);
}

TEST(FontFile, ShortAtlasIsPaddedAndNonFiniteRecordsReadAsZero) {
    sFontData data;
    data.records['\t'] = {0.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f,
                          std::numeric_limits<float>::infinity(), 1.0f};
    // Only the first 4 pixels are coded, although the header promises the whole atlas.
    cRecordingFont font;
    font.Load(data.File({1, 2, 3, 4}, 128));
    ASSERT_EQ(font.atlas.size(), 16u * 8u * 4u);
    EXPECT_EQ(font.atlas[3 * 4], 4);
    EXPECT_EQ(font.atlas[4 * 4], 0);
    EXPECT_EQ(font.atlas.back(), 0);
    EXPECT_EQ(font.GetCharacter('\t').advance, 0.0f);
    EXPECT_EQ(font.MeasureText("A\tA"), 10.0f);
}

// ---- Measuring and the pen walk ------------------------------------------------------------

TEST(FontLayout, MeasureTextAddsAdvancesBelow128) {
    cRecordingFont font;
    font.Load(sFontData().File());
    EXPECT_EQ(font.MeasureText("AB"), 12.0f);
    EXPECT_EQ(font.MeasureText("A\xC8" "B"), 12.0f);
    EXPECT_EQ(font.MeasureText(""), 0.0f);
    EXPECT_EQ(font.MeasureText(nullptr), 0.0f);
    cRect size;
    font.GetTextSize(size, "A A");
    EXPECT_EQ(size, cRect(0.0f, 0.0f, 13.0f, 14.0f));
}

TEST(FontLayout, PrintWalksThePen) {
    cRecordingFont font;
    font.Load(sFontData().File());
    font.Print(10.7f, 20.2f, "AB\nA\tB\xC8");
    ASSERT_EQ(font.glyphs.size(), 6u);
    auto at = [&](std::size_t i) { return std::make_pair(font.glyphs[i].x, font.glyphs[i].y); };
    EXPECT_EQ(at(0), std::make_pair(10.0f, 20.0f));  // floored start
    EXPECT_EQ(at(1), std::make_pair(15.0f, 20.0f));
    // The line feed is drawn at the unfloored x one line lower; its advance moves the pen.
    EXPECT_EQ(at(2), std::make_pair(10.7f, 4.0f));
    EXPECT_EQ(at(3), std::make_pair(12.7f, 4.0f));
    // Tab: three space advances, then drawn and advanced by its own record (0).
    EXPECT_EQ(at(4), std::make_pair(26.7f, 4.0f));
    EXPECT_EQ(at(5), std::make_pair(26.7f, 4.0f));
    // Low byte selects the record; the previous character rides in the second byte.
    EXPECT_EQ(font.glyphs[0].code, 'A');
    EXPECT_EQ(font.glyphs[1].code, 'A' << 8 | 'B');
    EXPECT_EQ(font.glyphs[5].code, '\t' << 8 | 'B');

    font.glyphs.clear();
    font.Print(0.0f, 0.0f, nullptr);
    font.Printf(0.0f, 0.0f, nullptr);
    EXPECT_TRUE(font.glyphs.empty());
    font.Printf(1.0f, 2.0f, "%c%d", 'A', 7);
    ASSERT_EQ(font.glyphs.size(), 2u);
    EXPECT_EQ(font.glyphs[1].code & 0xFF, '7');
}

TEST(FontLayout, ColorAndReferenceCount) {
    cRecordingFont font;
    font.SetColor(2.0f, 0.5f, 0.0f, 0.75f);
    EXPECT_EQ(font.GetColor(), cColor(255, 127, 0, 191));
    EXPECT_EQ(font.AddRef(), &font);
    font.Release();
    font.Release();
    font.Release();  // stays at zero; the renderer's cache destroys fonts
    EXPECT_EQ(font.GetReferenceCount(), 0);
}

// ---- On the OpenGL renderer ------------------------------------------------------------------

namespace {

class cFontFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = vtest::MakeTempDir();
        m_FileSystem.SetRootFolder(m_Dir.c_str());
        m_Previous = GetProcessFileSystem();
        SetProcessFileSystem(&m_FileSystem);
    }
    void TearDown() override { SetProcessFileSystem(m_Previous); }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(vtest::WriteFileBytes(m_Dir + "/" + name, bytes));
    }

    std::string m_Dir;
    cPlatformFileSystem m_FileSystem;
    IFileSystem* m_Previous = nullptr;
};

} // namespace

TEST_F(cFontFiles, CreateFontCachesByNameAndRejectsBadFiles) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    Write("cache.fnt", sFontData().File());
    Write("bad.fnt", {1, 2, 3});
    IFont* font = r->CreateFont("cache.fnt");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetName(), "cache.fnt");
    EXPECT_EQ(font->GetHeight(), 14);
    EXPECT_EQ(r->CreateFont("cache.fnt"), font);
    font->Release();
    font->Release();
    // Released to zero, the font waits in the cache for the next request.
    EXPECT_EQ(r->CreateFont("cache.fnt"), font);
    font->Release();

    EXPECT_EQ(r->CreateFont("missing.fnt"), nullptr);
    EXPECT_EQ(r->CreateFont("bad.fnt"), nullptr);
    EXPECT_EQ(ctx->Common()->GetResourceManager().Fonts().count("bad.fnt"), 0u);
}

TEST_F(cFontFiles, PrintDrawsGlyphQuadsFromTheAtlas) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    Write("draw.fnt", sFontData().File());
    IFont* font = r->CreateFont("draw.fnt");
    ASSERT_NE(font, nullptr);
    r->SetBlendFunc(BF_ONE, BF_ZERO);
    font->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    font->Print(10.7f, 20.2f, "AB");
    EXPECT_EQ(r->GetBlendSrc(), BF_ONE);  // the renderer's blend function comes back
    EXPECT_EQ(r->GetBlendDst(), BF_ZERO);
    EXPECT_EQ(ctx->Common()->GetBoundTexture(0), nullptr);
    ctx->Screenshot("font_ab");

    using tPixel = std::array<std::uint8_t, 4>;
    // 'A': columns 10-14, rows 20-26 white, its top row 27 empty (the atlas is bottom first).
    EXPECT_EQ(ctx->Pixel(10, 20)[0], 255);
    EXPECT_EQ(ctx->Pixel(14, 26)[0], 255);
    EXPECT_EQ(ctx->Pixel(12, 27)[0], 0);
    // 'B': grey 128 as alpha over black.
    const tPixel b = ctx->Pixel(18, 23);
    EXPECT_NEAR(b[0], 64, 2);
    EXPECT_EQ(ctx->Pixel(22, 23)[0], 0);  // right of the last advance
    EXPECT_EQ(ctx->Pixel(9, 23)[0], 0);
    EXPECT_EQ(ctx->Pixel(12, 19)[0], 0);
    font->Release();
}

TEST_F(cFontFiles, BlendFactorsZeroLeaveTheRendererAlone) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cRecordingFont font(r);
    font.Load(sFontData().File());
    r->SetBlendFunc(BF_ONE, BF_ONE);
    font.Print(0.0f, 0.0f, "A");
    font.SetBlendFunc(0, 0);
    font.Print(0.0f, 0.0f, "A");
    ASSERT_EQ(font.glyphs.size(), 2u);
    EXPECT_EQ(font.glyphs[0].blendSrc, BF_SRC_ALPHA);
    EXPECT_EQ(font.glyphs[0].blendDst, BF_INV_SRC_ALPHA);
    EXPECT_EQ(font.glyphs[1].blendSrc, BF_ONE);
    EXPECT_EQ(font.glyphs[1].blendDst, BF_ONE);
    EXPECT_EQ(r->GetBlendSrc(), BF_ONE);
    r->SetBlendFunc(BF_NONE, BF_NONE);
}
