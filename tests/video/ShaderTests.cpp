// Shader files: section splitting and headers, the "_ogl" variant and the
// cache, compile and link failures, uniforms of every kind and sampler stages
// read back as the colours a GLSL program draws.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/cMemoryFile.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/ITexture.h"
#include "video/cCommonShader.h"
#include "video/opengl/cOpenGLShader.h"

using namespace velmora;
using namespace velmora::video;
using vtest::Captured;
using vtest::Near;

namespace {

// A shader that only loads its sources.
class cSourceOnlyShader : public cCommonShader {
public:
    cSourceOnlyShader() : cCommonShader(nullptr, nullptr) {}
    bool SetUniform(const char*, float, float) override { return true; }
    bool SetUniform(const char*, float, float, float) override { return true; }
    bool SetUniform(const char*, float, float, float, float) override { return true; }
    bool SetUniform(const char*, float) override { return true; }
    bool SetUniform(const char*, int) override { return true; }
    bool SetUniform(const char*, const float*) override { return true; }
    bool SetUniformArray(const char*, const float*, int) override { return true; }
    bool SetUniformArray(const char*, const cVector2*, int) override { return true; }
    bool SetUniformArray(const char*, const cVector3*, int) override { return true; }
    bool SetUniformArray(const char*, const cVector4*, int) override { return true; }
    void CompileShader() override {}
    void Bind() override {}
    void Unbind() override {}
    using cCommonShader::SetUniform;
};

void Load(cSourceOnlyShader& shader, std::string text, const std::string& vertexHeader = "",
          const std::string& fragmentHeader = "") {
    text.push_back('\0');  // a block to point at even for an empty text
    cMemoryFile file;
    file.Open(&text[0], static_cast<std::int32_t>(text.size() - 1));
    shader.LoadShaderCode(&file, vertexHeader, fragmentHeader);
}

// Fills the window with the bound shader and reads the centre.
std::array<std::uint8_t, 4> DrawAndRead(vtest::cGLTestContext* ctx) {
    ctx->Renderer()->RenderRect(nullptr, cRect(0, 0, vtest::cGLTestContext::kWidth, vtest::cGLTestContext::kHeight),
                                cRect(0, 0, 1, 1), cColor(255, 255, 255));
    return ctx->Pixel(vtest::cGLTestContext::kWidth / 2, vtest::cGLTestContext::kHeight / 2);
}

} // namespace

TEST(ShaderSource, SectionsSplitInEitherOrderWithHeadersInFront) {
    std::string vertex, fragment;
    cCommonShader::SplitSections("head\n<vertex>\nV\n<fragment>\nF\n", vertex, fragment);
    EXPECT_EQ(vertex, "\nV\n");
    EXPECT_EQ(fragment, "\nF\n");
    std::string v2, f2;
    cCommonShader::SplitSections("<fragment>\nF\n<vertex>\nV\n", v2, f2);
    EXPECT_EQ(v2, vertex);
    EXPECT_EQ(f2, fragment);
    cCommonShader::SplitSections("<vertex>only", vertex, fragment);
    EXPECT_EQ(vertex, "only");
    EXPECT_EQ(fragment, "");
    cCommonShader::SplitSections("no sections at all", vertex, fragment);
    EXPECT_EQ(vertex, "");
    EXPECT_EQ(fragment, "");

    // A define header and a line break go first; text after a zero byte does not count.
    cSourceOnlyShader shader;
    Load(shader, std::string("<vertex>\nV\n<fragment>\nF") + std::string(1, '\0') + "<vertex>junk", "#define A\n",
         "#define B\n");
    EXPECT_EQ(shader.GetVertexSource(), "#define A\n\n\nV\n");
    EXPECT_EQ(shader.GetFragmentSource(), "#define B\n\n\nF");
    // A header alone makes no program.
    cSourceOnlyShader vertexOnly;
    Load(vertexOnly, "<vertex>\nV\n", "", "#define B\n");
    EXPECT_EQ(vertexOnly.GetFragmentSource(), "");
    // A file without either section (empty, cut short, or not a shader) is refused.
    for (const char* text : {"", "// The sea surface: the reflection and", "<vertx>\nV\n"}) {
        cSourceOnlyShader empty;
        try {
            Load(empty, text);
            ADD_FAILURE() << "loaded '" << text << "'";
        } catch (const cException& e) {
            EXPECT_STREQ(e.GetText(),
                         "cCommonShader::LoadShaderCode : the file holds neither a vertex nor a fragment section");
        }
    }
}

TEST(ShaderSource, VersionLineGoesFirstAndSamplersCountInDeclarationOrder) {
    EXPECT_EQ(cOpenGLShader::WithVersion("void main(){}"), "#version 120\nvoid main(){}");
    EXPECT_EQ(cOpenGLShader::WithVersion("#define A\n\n  #version 110\nX"), "  #version 110\n#define A\n\n\nX");
    EXPECT_EQ(cOpenGLShader::DeclaredSamplers("uniform sampler2D a; // uniform sampler2D commented;\n"
                                              "uniform float f; /* uniform samplerCube c; */\n"
                                              "uniform highp samplerCube b, c[2];\nuniform sampler2D a;"),
              (std::vector<std::string>{"a", "b", "c[0]", "c[1]"}));
    EXPECT_TRUE(cOpenGLShader::DeclaredSamplers("uniform sampler2D").empty());
    EXPECT_EQ(cOpenGLShader::DeclaredSamplers("uniform sampler2D x["), (std::vector<std::string>{"x"}));
}

class ShaderFiles : public ::testing::Test {
protected:
    vtest::cScratchFiles m_Files;
};

TEST_F(ShaderFiles, OpenGLVariantIsReadAndCachedByNameAndHeaders) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Install("shaders/vertexonly_ogl.txt");
    IShader* a = r->CreateShader("shaders/vertexonly.txt", "", "");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetName(), "shaders/vertexonly_ogl.txt");
    IShader* b = r->CreateShader("shaders/vertexonly.txt", "", "");
    EXPECT_EQ(a, b);
    EXPECT_EQ(static_cast<cCommonShader*>(a)->GetReferenceCount(), 2);
    IShader* blue = r->CreateShader("shaders/vertexonly.txt", std::vector<std::string>{"BLUE"}, {});
    ASSERT_NE(blue, nullptr);
    EXPECT_NE(blue, a);
    EXPECT_EQ(r->CreateShader("shaders/vertexonly.txt", "#define BLUE\n", ""), blue);

    // The vertex program colours; the fragment stage stays fixed function.
    r->SetShader(a);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 0, 255, 0));
    r->SetShader(blue);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 0, 0, 255));

    // Released to zero: out of the cache, and the renderer back on fixed function.
    blue->Release();
    blue->Release();
    EXPECT_EQ(ctx->Common()->GetBoundShader(), nullptr);
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(ctx->Common()->GetResourceManager().FindShader("shaders/vertexonly_ogl.txt", "#define BLUE\n", ""),
              nullptr);
    a->Release();
    a->Release();
    EXPECT_EQ(ctx->Common()->GetResourceManager().FindShader("shaders/vertexonly_ogl.txt", "", ""), nullptr);

    // Without a file: null and only the file system's message. A dot in a folder is no extension.
    std::string log = Captured([&] { EXPECT_EQ(r->CreateShader("shaders/missing.txt", "", ""), nullptr); });
    EXPECT_NE(log.find("shaders/missing_ogl.txt"), std::string::npos) << log;
    EXPECT_EQ(log.find("cCommonRenderer::CreateShader"), std::string::npos) << log;
    m_Files.Write("v1.0/plain", "<vertex>\nvoid main() { gl_Position = ftransform(); }\n");
    IShader* plain = r->CreateShader("v1.0/plain", "", "");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetName(), "v1.0/plain");
    plain->Release();
}

TEST_F(ShaderFiles, ReversedSectionsWithTheirOwnVersionTakeDefines) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Install("shaders/reversed_ogl.txt");
    IShader* full = r->CreateShader("shaders/reversed.txt", "", "");
    IShader* half = r->CreateShader("shaders/reversed.txt", "", "#define HALF\n");
    ASSERT_NE(full, nullptr);
    ASSERT_NE(half, nullptr);
    r->SetShader(full);
    r->RenderRect(nullptr, cRect(0, 0, 128, 96), cRect(0, 0, 1, 1), cColor(200, 100, 50));
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 200, 100, 50));
    r->SetShader(half);
    r->RenderRect(nullptr, cRect(0, 0, 128, 96), cRect(0, 0, 1, 1), cColor(200, 100, 50));
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 100, 50, 25, 128));
    r->SetShader(nullptr);
    full->Release();
    half->Release();
}

TEST_F(ShaderFiles, CompileAndLinkErrorsGiveNullWithTheCompilersLog) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Write("bad_ogl.txt",
                  "<vertex>\nvoid main() { gl_Position = ftransform(); }\n"
                  "<fragment>\nvoid main() { gl_FragColor = undeclared_thing; }\n");
    m_Files.Write("badvertex_ogl.txt", "<vertex>\nvoid main() { gl_Position = 1.0 +; }\n");
    m_Files.Write("unlinked_ogl.txt",
                  "<vertex>\nvoid main() { gl_Position = ftransform(); }\n"
                  "<fragment>\nvarying vec4 v_NeverWritten;\nvoid notMain() { gl_FragColor = v_NeverWritten; }\n");
    IShader* shader = reinterpret_cast<IShader*>(1);
    std::string log = Captured([&] { shader = r->CreateShader("bad.txt", "", ""); });
    EXPECT_EQ(shader, nullptr);
    EXPECT_NE(log.find("cCommonRenderer::CreateShader( bad_ogl.txt ) : cOpenGLShader::CompileShader( fragment ) : "),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("undeclared_thing"), std::string::npos) << log;

    log = Captured([&] { shader = r->CreateShader("badvertex.txt", "", ""); });
    EXPECT_EQ(shader, nullptr);
    EXPECT_NE(log.find("cOpenGLShader::CompileShader( vertex ) : "), std::string::npos) << log;

    log = Captured([&] { shader = r->CreateShader("unlinked.txt", "", ""); });
    EXPECT_EQ(shader, nullptr);
    EXPECT_NE(log.find("cOpenGLShader::CompileShader : failed to link program, "), std::string::npos) << log;
    // Nothing of the failures stays in the cache or bound.
    EXPECT_EQ(ctx->Common()->GetResourceManager().FindShader("bad_ogl.txt", "", ""), nullptr);
    EXPECT_EQ(ctx->Common()->GetBoundShader(), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderFiles, UniformsOfEveryKindReachTheProgram) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Install("shaders/uniforms_ogl.txt");
    IShader* shader = r->CreateShader("shaders/uniforms.txt", "", "");
    ASSERT_NE(shader, nullptr);
    // Uniforms can be set before the shader is bound.
    EXPECT_TRUE(shader->SetUniform("u_Float", 51.0f / 255.0f));
    EXPECT_TRUE(shader->SetUniform("u_Vec2", cVector2(1.0f, 102.0f / 255.0f)));
    r->SetShader(shader);
    EXPECT_TRUE(shader->SetUniform("u_Vec3", cVector3(0.2f, 0.4f, 0.6f)));
    EXPECT_TRUE(shader->SetUniform("u_Vec4", 0.0f, 0.2f, 0.8f, 0.4f));
    EXPECT_TRUE(shader->SetUniform("u_Int", 77));
    EXPECT_TRUE(shader->SetUniform("u_Flag", 1));
    cMatrix matrix;
    for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(i) / 16.0f;
    EXPECT_TRUE(shader->SetUniform("u_Matrix", matrix));
    const float floats[3] = {0.2f, 0.4f, 0.6f};
    EXPECT_TRUE(shader->SetUniformArray("u_Floats", floats, 3));
    const cVector2 vec2s[2] = {cVector2(0.0f, 0.8f), cVector2(0.2f, 0.4f)};
    EXPECT_TRUE(shader->SetUniformArray("u_Vec2s", vec2s, 2));
    const cVector3 vec3s[2] = {cVector3(), cVector3(0.6f, 0.4f, 0.2f)};
    EXPECT_TRUE(shader->SetUniformArray("u_Vec3s", vec3s, 2));
    const cVector4 vec4s[2] = {cVector4(), cVector4(0.4f, 0.6f, 0.8f, 1.0f)};
    EXPECT_TRUE(shader->SetUniformArray("u_Vec4s", vec4s, 2));
    // Names the program does not have are ignored.
    EXPECT_TRUE(shader->SetUniform("u_NotThere", 1.0f));
    EXPECT_TRUE(shader->SetUniform(nullptr, 1.0f));

    struct sCase {
        int mode, r, g, b, a;
    };
    const sCase cases[] = {
        {0, 51, 0, 0, 255},     {1, 255, 102, 0, 255},   {2, 51, 102, 153, 255}, {3, 0, 51, 204, 102},
        {4, 77, 0, 0, 255},     {5, 0, 255, 0, 255},     {6, 64, 80, 96, 112},   {7, 51, 102, 153, 255},
        {8, 51, 102, 204, 255}, {9, 153, 102, 51, 255}, {10, 102, 153, 204, 255},
    };
    for (const sCase& c : cases) {
        shader->SetUniform("u_Mode", c.mode);
        EXPECT_TRUE(Near(DrawAndRead(ctx), c.r, c.g, c.b, c.a)) << "mode " << c.mode;
    }

    // Short values keep the components they do not reach; floats reach integers converted;
    // an array runs from its first element and is cut at its end.
    shader->SetUniform("u_Vec4", 1.0f, 0.0f, 0.2f);
    shader->SetUniform("u_Mode", 3.0f);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 255, 0, 51, 102));
    const float many[6] = {0.0f, 0.2f, 1.0f, 0.2f, 0.2f, 0.2f};
    shader->SetUniformArray("u_Floats", many, 6);
    shader->SetUniform("u_Mode", 7);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 0, 51, 255, 255));
    shader->SetUniform("u_Flag", 0.0f);
    shader->SetUniform("u_Mode", 5);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 255, 0, 0, 255));
    r->SetShader(nullptr);
    shader->Release();
}

TEST_F(ShaderFiles, SamplerNReadsTextureStageN) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Install("shaders/uniforms_ogl.txt");
    IShader* shader = r->CreateShader("shaders/uniforms.txt", "", "");
    ASSERT_NE(shader, nullptr);
    auto* gl = static_cast<cOpenGLShader*>(shader);
    EXPECT_EQ(gl->GetSamplerStage("u_First"), 0);
    EXPECT_EQ(gl->GetSamplerStage("u_Second"), 1);
    const std::uint8_t red[4] = {255, 0, 0, 255}, green[4] = {0, 255, 0, 255};
    ITexture2D* redTexture = r->CreateTexture(red, 1, 1, 4);
    ITexture2D* greenTexture = r->CreateTexture(green, 1, 1, 4);
    ASSERT_NE(redTexture, nullptr);
    ASSERT_NE(greenTexture, nullptr);
    r->SetTexture(redTexture, 0);
    r->SetTexture(greenTexture, 1);
    r->SetShader(shader);
    shader->SetUniform("u_Mode", 11);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 255, 0, 0));
    shader->SetUniform("u_Mode", 12);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 0, 255, 0));
    // Moved to another stage by hand.
    shader->SetUniform("u_Second", 0);
    EXPECT_TRUE(Near(DrawAndRead(ctx), 255, 0, 0));
    r->SetShader(nullptr);
    r->SetTexture(nullptr, 0);
    r->SetTexture(nullptr, 1);
    redTexture->Release();
    greenTexture->Release();
    shader->Release();
}

TEST_F(ShaderFiles, ClipPlanesCutShaderGeometryInWorldSpace) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    m_Files.Install("shaders/vertexonly_ogl.txt");
    IShader* shader = r->CreateShader("shaders/vertexonly.txt", "", "");
    ASSERT_NE(shader, nullptr);
    // A perspective view, so that clip space differs from world space.
    r->SetProjection(PROJ_PERSPECTIVE, 128, 96, 1.0, 100.0, -1.0, 60.0);
    const cMatrix view = cMatrix::LookAt(cVector3(0, 0, 10), cVector3(0, 0, 0), cVector3(0, 1, 0));
    r->SetTransform(MM_VIEW, &view);
    r->SetShader(shader);
    // Keep world x >= 1.5 only.
    r->SetClipPlane(0, 1, 1.0f, 0.0f, 0.0f, -1.5f);
    const cVector3 corners[4] = {cVector3(-3, -3, 0), cVector3(5, -3, 0), cVector3(5, 3, 0), cVector3(-3, 3, 0)};
    r->RenderQuad(nullptr, corners, cRect(0, 0, 1, 1), cColor(255, 255, 255));
    r->SetClipPlane(0, 0, 0, 0, 0, 0);
    r->SetShader(nullptr);
    // Where world x = 1.5 lands on screen.
    cVector3 edge;
    r->Project(edge, cVector3(1.5f, 0.0f, 0.0f));
    const int x = static_cast<int>(edge.x);
    EXPECT_TRUE(Near(ctx->Pixel(x + 3, 48), 0, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(x - 3, 48), 0, 0, 0));
    shader->Release();
}
