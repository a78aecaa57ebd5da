// The demo dialog drawn with the skin and the fonts on the off-screen OpenGL
// renderer, compared with the reference picture.
#include "GUIDemoDialog.h"
#include "GUITestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "video/GLTestContext.h"
#include "video/IRenderer.h"
#include "video/IResources.h"

namespace guitest {
namespace {

using namespace velmora::video;

std::string ReferenceDir() { return (std::filesystem::path(__FILE__).parent_path() / "data").string(); }

// The generated content (fonts, the splash picture) below the build folder as the file system's root.
class cBuildData {
public:
    cBuildData() : m_Previous(GetProcessFileSystem()) {
        m_FileSystem.SetRootFolder(vtest::BinaryDir().c_str());
        SetProcessFileSystem(&m_FileSystem);
    }
    ~cBuildData() { SetProcessFileSystem(m_Previous); }
    bool HasFonts() { return m_FileSystem.FileExists("data/fonts/default/Cambria_14.fnt"); }

private:
    cPlatformFileSystem m_FileSystem;
    IFileSystem* m_Previous;
};

// Draws the manager into a target of the demo view's size and reads it back.
vtest::sImage Draw(vtest::cGLTestContext* ctx, IGUIManager& manager) {
    IRenderer* r = ctx->Renderer();
    vtest::sImage image;
    IRenderTarget* target = r->CreateRenderTarget(kDemoViewWidth, kDemoViewHeight, 0);
    if (!target) return image;
    target->SetClearColor(cColor(46, 84, 102, 255));
    r->SetRenderTarget(target);
    r->SetViewportRect(0, 0, kDemoViewWidth, kDemoViewHeight);
    manager.SetRenderer(r);
    Logged([&] { manager.Render(); });
    std::vector<std::uint8_t> pixels;
    if (r->ReadPixels(0, 0, kDemoViewWidth, kDemoViewHeight, pixels)) {
        image.width = kDemoViewWidth;
        image.height = kDemoViewHeight;
        image.rgba = pixels;
    }
    r->SetRenderTarget(nullptr);
    target->Release();
    return image;
}

// Per-channel differences above 24 on at most 1% of the pixels, and a small mean difference.
void ExpectLikeReference(const vtest::sImage& picture, const char* name) {
    vtest::sImage reference;
    const std::string path = ReferenceDir() + "/" + name;
    ASSERT_TRUE(vtest::ReadPNG(path, reference)) << "no reference " << path << "; this run's picture is in "
                                                 << vtest::OutputDir();
    ASSERT_EQ(reference.width, picture.width);
    ASSERT_EQ(reference.height, picture.height);
    int off = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(picture.At(x, y)[c] - reference.At(x, y)[c]) > 24) {
                    ++off;
                    break;
                }
            }
        }
    }
    EXPECT_LE(off, picture.width * picture.height / 100) << "pixels far from the reference " << name;
    EXPECT_LE(vtest::MeanDifference(picture, reference, 3), 2.0) << name;
}

TEST(GUIScreenshot, DemoDialogWithEveryControlKind) {
    VTEST_REQUIRE_GL(ctx);
    cBuildData data;
    ASSERT_TRUE(data.HasFonts()) << "the generated data is missing below " << vtest::BinaryDir()
                                 << " (build the brevonne3d target)";
    std::unique_ptr<cGUIManager> manager;
    Logged([&] { manager.reset(new cGUIManager(script::CreateScriptEnv())); });
    IWindow* demo = BuildDemoDialog(*manager);
    manager->SetFocusedWindow(demo);
    // The name field has the keyboard focus with the caret at its end; the mouse rests on OK.
    manager->FindControl("demo::name")->SetFocus();
    const cRect ok = manager->FindControl("demo::ok")->GetScreenRect();
    manager->OnMouseMove(ok.x1 + 10, ok.y1 + 10);

    const vtest::sImage picture = Draw(ctx, *manager);
    ASSERT_EQ(picture.width, kDemoViewWidth);
    vtest::WritePNG(vtest::OutputDir() + "/gui_demo.png", picture);
    // The skin really drew: the view's clear colour around the window, the window's light body inside.
    EXPECT_EQ(picture.At(5, 5)[0], 46);
    EXPECT_GT(picture.At(320, 240)[0], 180);
    ExpectLikeReference(picture, "gui_demo.png");
    Logged([&] { manager.reset(); });
}

TEST(GUIScreenshot, OpenDropDownAndAnotherPage) {
    VTEST_REQUIRE_GL(ctx);
    cBuildData data;
    ASSERT_TRUE(data.HasFonts());
    std::unique_ptr<cGUIManager> manager;
    Logged([&] { manager.reset(new cGUIManager(script::CreateScriptEnv())); });
    IWindow* demo = BuildDemoDialog(*manager);
    manager->SetFocusedWindow(demo);
    // A second window behind the dialog, not focused.
    IWindow* help = nullptr;
    Logged([&] {
        help = manager->CreateDialog("help", 0);
        help->SetRect(cRect(430, 300, 636, 476));
        help->SetCaption("Help");
        ILabel* text = AddControl<ILabel>(help, "text");
        text->SetRect(cRect(12, 12, 200, 140));
        text->SetCaption("Drag the dialog by\nits caption bar.\nTab moves the focus.");
    });
    // The user opens the camera page and the resolution list, and points at a row.
    auto* tabs = ControlCast<ITabBox>(manager->FindControl("demo::tabs"));
    tabs->SetActivePage(1);
    Click(*manager, manager->FindControl("demo::resolution::button_Drop"), 6, 6);
    ASSERT_TRUE(ControlCast<IComboBox>(manager->FindControl("demo::resolution"))->IsDropped());
    const cRect list = manager->FindControl("demo::resolution::list_Items")->GetScreenRect();
    manager->OnMouseMove(list.x1 + 40, list.y2 - 30);

    const vtest::sImage picture = Draw(ctx, *manager);
    ASSERT_EQ(picture.width, kDemoViewWidth);
    vtest::WritePNG(vtest::OutputDir() + "/gui_demo_open.png", picture);
    ExpectLikeReference(picture, "gui_demo_open.png");
    Logged([&] { manager.reset(); });
}

} // namespace
} // namespace guitest
