// Vertex and index buffers: a format with every element kind drawn through the
// fixed-function arrays and through a shader, 16- and 32-bit indices, filling
// and locking, refused formats and release while bound.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IBuffers.h"
#include "video/IShader.h"
#include "video/ITexture.h"
#include "video/cCommonVertexBuffer.h"

using namespace velmora;
using namespace velmora::video;
using vtest::Near;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

// Every element kind, laid out out of order on purpose.
struct sFullVertex {
    float tex2[4];          // 0
    std::uint8_t color[4];  // 16
    float position[3];      // 20
    float normal[3];        // 32
    float tex0[2];          // 44
    float tex1[3];          // 52
};
static_assert(sizeof(sFullVertex) == 64, "packed test vertex");

const sVertexElement kFullFormat[] = {
    {0, T_FLOAT, 4, VU_TEXCOORD2}, {16, T_UBYTE, 4, VU_COLOR},    {20, T_FLOAT, 3, VU_POSITION},
    {32, T_FLOAT, 3, VU_NORMAL},   {44, T_FLOAT, 2, VU_TEXCOORD0}, {52, T_FLOAT, 3, VU_TEXCOORD1},
    {0, 0, 0, VU_END},
};

// A window-filling quad, every vertex with the same attributes.
std::vector<sFullVertex> FullQuad() {
    const float corners[4][2] = {{0, 0}, {W, 0}, {W, H}, {0, H}};
    std::vector<sFullVertex> vertices(4);
    for (int i = 0; i < 4; ++i) {
        sFullVertex v = {{0.2f, 0.4f, 0.6f, 0.8f},
                         {10, 20, 30, 40},
                         {corners[i][0], corners[i][1], 0.0f},
                         {0.2f, 0.4f, 0.6f},
                         {0.8f, 0.2f},
                         {0.4f, 0.6f, 0.8f}};
        vertices[i] = v;
    }
    return vertices;
}

// "created" (and the buffer released) or what creating the buffer logged.
std::string CreateLog(IRenderer* r, const sVertexElement* format, int stride, std::size_t size) {
    IVertexBuffer* buffer = nullptr;
    const std::string log = vtest::Captured([&] { buffer = r->CreateVertexBuffer(0, format, stride, size); });
    if (!buffer) return log;
    buffer->Release();
    return "created";
}

} // namespace

TEST(VertexBuffers, EveryElementKindReachesTheFixedFunctionArrays) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const std::vector<sFullVertex> vertices = FullQuad();
    IVertexBuffer* vb = r->CreateVertexBuffer(0, kFullFormat, sizeof(sFullVertex), sizeof(sFullVertex) * 4);
    ASSERT_NE(vb, nullptr);
    EXPECT_TRUE(vb->IsValid());
    EXPECT_TRUE(vb->Fill(vertices.data(), sizeof(sFullVertex) * 4));
    const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    IIndexBuffer* ib = r->CreateIndexBuffer(1, T_USHORT, sizeof(indices));
    ASSERT_NE(ib, nullptr);
    EXPECT_TRUE(ib->Fill(indices, sizeof(indices)));

    r->SetVertexBuffer(vb);
    r->SetIndexBuffer(ib);
    EXPECT_EQ(ctx->Common()->GetIndexFormat(), T_USHORT);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 0, 4, 6);
    EXPECT_TRUE(Near(ctx->Pixel(5, 5), 10, 20, 30, 40));
    EXPECT_TRUE(Near(ctx->Pixel(W - 5, H - 5), 10, 20, 30, 40));

    // Texture coordinate set 0 at u = 0.8 reads the right texel of [red | green], modulated.
    const std::uint8_t texels[8] = {255, 0, 0, 255, 0, 255, 0, 255};
    ITexture2D* texture = r->CreateTexture(texels, 2, 1, 4);
    ASSERT_NE(texture, nullptr);
    texture->SetFiltering(TF_POINT);
    r->SetTexture(texture, 0);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 4, 6);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 0, 20, 0, 40));
    r->SetTexture(nullptr, 0);
    texture->Release();

    // Immediate drawing after a buffer draw is not disturbed by its arrays.
    r->RenderRect(nullptr, cRect(0, 0, 8, 8), cRect(0, 0, 1, 1), cColor(1, 2, 3, 4));
    EXPECT_TRUE(Near(ctx->Pixel(2, 2), 1, 2, 3, 4));

    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    vb->Release();
    ib->Release();
}

TEST(VertexBuffers, EveryElementKindReachesAShader) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    vtest::cScratchFiles files;
    files.Install("shaders/attributes_ogl.txt");
    IShader* shader = r->CreateShader("shaders/attributes.txt", "", "");
    ASSERT_NE(shader, nullptr);
    const std::vector<sFullVertex> vertices = FullQuad();
    IVertexBuffer* vb = r->CreateVertexBuffer(2, kFullFormat, sizeof(sFullVertex), sizeof(sFullVertex) * 4);
    ASSERT_NE(vb, nullptr);
    ASSERT_TRUE(vb->Fill(vertices.data(), sizeof(sFullVertex) * 4));
    r->SetVertexBuffer(vb);
    r->SetShader(shader);
    const int expected[5][4] = {
        {51, 102, 153, 255}, {10, 20, 30, 40}, {204, 51, 0, 255}, {102, 153, 204, 255}, {51, 102, 153, 204},
    };
    for (int mode = 0; mode < 5; ++mode) {
        shader->SetUniform("u_Mode", mode);
        r->RenderPrimitives(PT_QUADS, 0, 4);
        const auto& e = expected[mode];
        EXPECT_TRUE(Near(ctx->Pixel(64, 48), e[0], e[1], e[2], e[3])) << "mode " << mode;
    }
    r->SetShader(nullptr);
    r->SetVertexBuffer(nullptr);
    vb->Release();
    shader->Release();
}

TEST(VertexBuffers, ShortPositionsAndThirtyTwoBitIndices) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // One float of position: (x, 0, 0).
    const sVertexElement xOnly[] = {{0, T_FLOAT, 1, VU_POSITION}, {0, 0, 0, VU_END}};
    const float xs[2] = {10.5f, 20.5f};
    IVertexBuffer* points = r->CreateVertexBuffer(0, xOnly, 4, sizeof(xs));
    ASSERT_NE(points, nullptr);
    ASSERT_TRUE(points->Fill(xs, sizeof(xs)));
    r->SetVertexBuffer(points);
    // Points grow with the viewport height: one pixel across, centred on the bottom row.
    r->SetPointSize(1.0f / H);
    const cMatrix up = cMatrix::Translation(0.0f, 0.5f, 0.0f);
    r->SetTransform(MM_WORLD, &up);
    r->RenderPrimitives(PT_POINTS, 0, 2);
    r->SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    EXPECT_TRUE(Near(ctx->Pixel(10, 0), 255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(20, 0), 255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(15, 0), 0, 0, 0));

    // Two floats of position, 32-bit indices, drawing from the second triangle on.
    const sVertexElement xy[] = {{0, T_FLOAT, 2, VU_POSITION}, {0, 0, 0, VU_END}};
    const float corners[8] = {0, 0, W, 0, W, H, 0, H};
    IVertexBuffer* quad = r->CreateVertexBuffer(0, xy, 8, sizeof(corners));
    ASSERT_NE(quad, nullptr);
    ASSERT_TRUE(quad->Fill(corners, sizeof(corners)));
    const std::uint32_t indices[6] = {0, 1, 2, 0, 2, 3};
    IIndexBuffer* ib = r->CreateIndexBuffer(0, T_UINT, sizeof(indices));
    ASSERT_NE(ib, nullptr);
    EXPECT_EQ(ib->GetDataType(), T_UINT);
    ASSERT_TRUE(ib->Fill(indices, sizeof(indices)));
    r->SetVertexBuffer(quad);
    r->SetIndexBuffer(ib);
    EXPECT_EQ(ctx->Common()->GetIndexFormat(), T_UINT);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 3, 4, 3);
    EXPECT_TRUE(Near(ctx->Pixel(5, H - 5), 255, 255, 255));   // upper left: triangle 0, 2, 3
    EXPECT_TRUE(Near(ctx->Pixel(W - 5, 5), 0, 0, 0));         // lower right: not drawn
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 4, 6);
    EXPECT_TRUE(Near(ctx->Pixel(W - 5, 5), 255, 255, 255));

    // Without an index buffer the indexed draws do nothing.
    r->SetIndexBuffer(nullptr);
    r->BeginFrame(cColor(0, 0, 0, 255));
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 0, 4, 6);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 4, 6);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 0, 0, 0));

    r->SetVertexBuffer(nullptr);
    points->Release();
    quad->Release();
    ib->Release();
}

TEST(VertexBuffers, FillLockAndAccounting) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const std::size_t before = r->GetVertexBufferMemoryUsage();
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_FLOAT, 3, VU_NORMAL}, {0, 0, 0, VU_END}};
    IVertexBuffer* vb = r->CreateVertexBuffer(0, format, 24, 1000);
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(static_cast<cCommonVertexBuffer*>(vb)->GetVertexCount(), 41u);
    EXPECT_EQ(vb->GetSize(), 1000u);
    EXPECT_EQ(vb->GetSpareProperty(), 0);
    EXPECT_EQ(r->GetVertexBufferMemoryUsage(), before + 1000);

    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(vb->Fill(nullptr, 12));
    EXPECT_FALSE(vb->Fill(data.data(), 1001));
    EXPECT_TRUE(vb->Fill(data.data(), 1000));
    auto* read = static_cast<const std::uint8_t*>(vb->Lock(false));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::memcmp(read, data.data(), 1000), 0);
    EXPECT_FALSE(vb->Fill(data.data(), 4));  // locked
    EXPECT_TRUE(vb->Unlock());
    EXPECT_FALSE(vb->Unlock());
    auto* write = static_cast<std::uint8_t*>(vb->Lock(true));
    ASSERT_NE(write, nullptr);
    write[999] = 1;
    EXPECT_TRUE(vb->Unlock());
    read = static_cast<const std::uint8_t*>(vb->Lock(false));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read[999], 1);
    vb->Unlock();

    const std::size_t indexBefore = r->GetIndexBufferMemoryUsage();
    IIndexBuffer* ib = r->CreateIndexBuffer(2, T_USHORT, 64);
    ASSERT_NE(ib, nullptr);
    EXPECT_EQ(ib->GetUsage(), 2);
    EXPECT_EQ(r->GetIndexBufferMemoryUsage(), indexBefore + 64);
    auto* indices = static_cast<std::uint16_t*>(ib->Lock(true));
    ASSERT_NE(indices, nullptr);
    indices[31] = 0xBEEF;
    EXPECT_TRUE(ib->Unlock());
    EXPECT_FALSE(ib->Fill(data.data(), 65));

    // Released while bound: unbound first, then gone from the lists.
    r->SetVertexBuffer(vb);
    r->SetIndexBuffer(ib);
    vb->AddRef();
    vb->Release();
    EXPECT_EQ(ctx->Common()->GetBoundVertexBuffer(), vb);
    vb->Release();
    ib->Release();
    EXPECT_EQ(ctx->Common()->GetBoundVertexBuffer(), nullptr);
    EXPECT_EQ(ctx->Common()->GetBoundIndexBuffer(), nullptr);
    EXPECT_EQ(r->GetVertexBufferMemoryUsage(), before);
    EXPECT_EQ(r->GetIndexBufferMemoryUsage(), indexBefore);
    r->RenderPrimitives(PT_TRIANGLES, 0, 3);  // nothing bound, nothing drawn, no crash
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 0, 0, 0));
}

TEST(VertexBuffers, TheEnginesFormatsAreTakenAndBadOnesRefused) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const sVertexElement terrain[] = {{0, 8, 3, 0}, {12, 8, 3, 1}, {24, 8, 2, 3}, {32, 8, 2, 4}, {0, 0, 0, 7}};
    EXPECT_EQ(CreateLog(r, terrain, 40, 4000), "created");
    const sVertexElement billboard[] = {{0, 8, 4, 3}, {16, 8, 3, 0}, {28, 1, 4, 2}, {0, 0, 0, 7}};
    EXPECT_EQ(CreateLog(r, billboard, 32, 320), "created");
    // Position, colour, normal, tangent, binormal, texture coordinates of a mesh.
    const sVertexElement mesh[] = {{0, 8, 3, 0},  {12, 1, 4, 2}, {16, 8, 3, 1}, {28, 8, 3, 4},
                                   {40, 8, 3, 5}, {52, 8, 2, 3}, {0, 0, 0, 7}};
    EXPECT_EQ(CreateLog(r, mesh, 60, 600), "created");

    const sVertexElement usage6[] = {{0, 8, 3, 0}, {12, 8, 3, 6}, {0, 0, 0, 7}};
    EXPECT_NE(CreateLog(r, usage6, 24, 240).find("cCommonRenderer::CreateVertexBuffer : "
                                                "cCommonVertexBuffer::GetDeclType : unhandled usage"),
              std::string::npos);
    const sVertexElement outside[] = {{0, 8, 3, 0}, {8, 8, 2, 3}, {0, 0, 0, 7}};
    EXPECT_NE(CreateLog(r, outside, 12, 240).find("does not fit"), std::string::npos);
    const sVertexElement fiveFloats[] = {{0, 8, 5, 3}, {0, 0, 0, 7}};
    EXPECT_NE(CreateLog(r, fiveFloats, 20, 200).find("invalid component count"), std::string::npos);
    std::vector<sVertexElement> endless(40, sVertexElement{0, 8, 2, 3});
    EXPECT_NE(CreateLog(r, endless.data(), 8, 80).find("no end element"), std::string::npos);
    EXPECT_NE(CreateLog(r, nullptr, 12, 120).find("NULL pointer"), std::string::npos);
    EXPECT_NE(CreateLog(r, terrain, 0, 120).find("invalid vertex size"), std::string::npos);
    EXPECT_NE(CreateLog(r, terrain, 40, 0).find("invalid buffer size"), std::string::npos);

    const std::string log = vtest::Captured([&] { EXPECT_EQ(r->CreateIndexBuffer(0, 4, 12), nullptr); });
    EXPECT_NE(log.find("cCommonRenderer::CreateIndexBuffer : cCommonIndexBuffer::Create : invalid data type, only "
                       "T_USHORT or T_UINT are accepted"),
              std::string::npos)
        << log;
}

TEST(VertexBuffers, FixedFunctionStagesFromTwoOnReadCoordinateSetZero) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // Position and one coordinate set, as the terrain's vertices have; u runs from 0 at the left to 1.
    struct sVertex {
        float position[3];
        float tex0[2];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_FLOAT, 2, VU_TEXCOORD0}, {0, 0, 0, VU_END}};
    const sVertex vertices[4] = {{{0, 0, 0}, {0, 0}}, {{W, 0, 0}, {1, 0}}, {{W, H, 0}, {1, 1}}, {{0, H, 0}, {0, 1}}};
    IVertexBuffer* vb = r->CreateVertexBuffer(0, format, sizeof(sVertex), sizeof(vertices));
    ASSERT_NE(vb, nullptr);
    ASSERT_TRUE(vb->Fill(vertices, sizeof(vertices)));
    const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    IIndexBuffer* ib = r->CreateIndexBuffer(1, T_USHORT, sizeof(indices));
    ASSERT_NE(ib, nullptr);
    ASSERT_TRUE(ib->Fill(indices, sizeof(indices)));

    const std::uint8_t white[4] = {255, 255, 255, 255};
    const std::uint8_t grey[4] = {128, 128, 128, 255};
    const std::uint8_t dark[8] = {40, 40, 40, 255, 255, 255, 255, 255};
    ITexture2D* base = r->CreateTexture(white, 1, 1, 4);
    ITexture2D* detail = r->CreateTexture(grey, 1, 1, 4); // adds nothing (signed add of 0.5)
    ITexture2D* light = r->CreateTexture(dark, 2, 1, 4);   // [dark | white]
    ASSERT_TRUE(base && detail && light);
    light->SetFiltering(TF_POINT);
    r->SetTexture(base, 0);
    r->SetTexture(detail, 1);
    r->SetTexture(light, 2);
    r->SetVertexBuffer(vb);
    r->SetIndexBuffer(ib);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 4, 6);
    // The third stage follows the quad's coordinates: dark on the left, white on the right.
    EXPECT_TRUE(Near(ctx->Pixel(5, H / 2), 40, 40, 40));
    EXPECT_TRUE(Near(ctx->Pixel(W - 5, H / 2), 255, 255, 255));

    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    for (int stage = 0; stage < 3; ++stage) r->SetTexture(nullptr, stage);
    // Later immediate drawing with one texture is not disturbed by the shared arrays.
    r->RenderRect(nullptr, cRect(0, 0, 8, 8), cRect(0, 0, 1, 1), cColor(1, 2, 3, 4));
    EXPECT_TRUE(Near(ctx->Pixel(2, 2), 1, 2, 3, 4));
    base->Release();
    detail->Release();
    light->Release();
    vb->Release();
    ib->Release();
}
