// Dialog text: every keyword the reader knows, every message it gives, and
// what stays loaded after an error.
#include "GUITestSupport.h"

#include <cmath>

#include "gui/cWindow.h"

namespace guitest {
namespace {

class GUIParser : public cGUITest {};

const char* const kFullDialog = R"(
// A dialog using every keyword.
window "settings" {
    rect ( 100, 50, 500, 450 )
    caption "Settings"
    dockingThreshold 12.5
    isDockable true
    isDragable true
    isEnabled true
    isVisible true
    button "ok" { rect ( 300, 10, 380, 40 ) caption "OK" isEnabled false }
    check "sound" { rect ( 10, 300, 200, 320 ) caption "Sound" isChecked true isVisible false }
    edit "name" { rect ( 10, 260, 200, 284 ) text "C:\\data" isTextOnly true isNumberOnly false
                  isMultiline true isReadOnly false }
    label "hint" { rect ( 10, 230, 200, 250 ) caption "Hello" isDragable true }
    image "logo" { rect ( 220, 230, 300, 310 ) texture "data/textures/logo.tga" }
    group "options" {
        rect ( 10, 60, 390, 220 ) caption "Options"
        button "inner" { rect ( 10, 10, 90, 40 ) caption "Inner" }
        group "deeper" { rect ( 100, 10, 300, 100 ) label "deep" { caption "Deep" } }
    }
    list "files" { rect ( 220, 100, 380, 200 ) items { "a.txt", "b.txt" "c.txt" } selected 1 }
    radio "mode" {
        rect ( 10, 10, 200, 50 ) caption "Mode" selected 1
        item { caption "Fast" rect ( 5, 5, 90, 25 ) }
        item { rect ( 95, 5, 190, 25 ) caption "Good" }
    }
    combo "size" { selected 2 rect ( 220, 60, 380, 84 ) items { "Small" "Medium" "Large" } }
}
)";

TEST_F(GUIParser, ReadsEveryKeyword) {
    std::string log;
    ASSERT_TRUE(LoadText(kFullDialog, &log)) << log;
    IWindow* w = m_Manager->FindWindow("settings");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetRect(), cRect(100, 50, 500, 450));
    EXPECT_EQ(w->GetCaption(), "Settings");
    EXPECT_FLOAT_EQ(w->GetDockingThreshold(), 12.5f);
    EXPECT_TRUE(w->IsDockable() && w->IsDragable() && w->IsEnabled() && w->IsVisible());

    auto* ok = ControlCast<IButton>(w->FindControl("ok"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetCaption(), "OK");
    EXPECT_FALSE(ok->IsEnabled());
    EXPECT_EQ(ok->GetRect(), cRect(300, 10, 380, 40));
    auto* sound = ControlCast<ICheckBox>(w->FindControl("sound"));
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(sound->IsChecked());
    EXPECT_FALSE(sound->IsVisible());
    auto* name = ControlCast<IEdit>(w->FindControl("name"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetText(), "C:\\data");
    EXPECT_TRUE(name->IsTextOnly() && name->IsMultiline());
    EXPECT_FALSE(name->IsNumberOnly() || name->IsReadOnly());
    auto* hint = ControlCast<ILabel>(w->FindControl("hint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->GetCaption(), "Hello");
    EXPECT_TRUE(hint->IsDragable());
    auto* logo = ControlCast<IImage>(w->FindControl("logo"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->GetTextureName(), "data/textures/logo.tga");

    // Group boxes hold controls, also nested ones, found from the window.
    auto* options = ControlCast<IGroupBox>(w->FindControl("options"));
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->GetCaption(), "Options");
    ASSERT_NE(w->FindControl("inner"), nullptr);
    EXPECT_EQ(w->FindControl("inner")->GetParent(), options);
    ASSERT_NE(w->FindControl("deep"), nullptr);
    EXPECT_EQ(w->FindControl("deep")->GetCaption(), "Deep");

    auto* files = ControlCast<IListBox>(w->FindControl("files"));
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->GetItemCount(), 3);
    EXPECT_EQ(files->GetItem(2), "c.txt");
    EXPECT_EQ(files->GetSelected(), 1);
    auto* mode = ControlCast<IRadioGroup>(w->FindControl("mode"));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->GetCaption(), "Mode");
    ASSERT_EQ(mode->GetItemCount(), 2);
    EXPECT_EQ(mode->GetItemCaption(1), "Good");
    EXPECT_EQ(mode->GetItemRect(0), cRect(5, 5, 90, 25));
    EXPECT_EQ(mode->GetSelected(), 1);
    auto* size = ControlCast<IComboBox>(w->FindControl("size"));
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->GetItemCount(), 3);
    EXPECT_EQ(size->GetSelected(), 2);  // "selected" may come before "items"

    // Every control was logged with its word.
    for (const char* line : {"Creating dialog 'settings'... succeeded", "Creating button 'settings::ok'... succeeded",
                             "Creating check box 'settings::sound'", "Creating edit 'settings::name'",
                             "Creating label 'settings::hint'", "Creating image 'settings::logo'",
                             "Creating group box 'settings::options'", "Creating list box 'settings::files'",
                             "Creating radio group 'settings::mode'", "Creating combo box 'settings::size'",
                             "Creating button 'settings::inner'"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
}

TEST_F(GUIParser, TokenErrorsAreLoggedWithTheirPlace) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"dialog \"x\" { }", "dialog.txt( 0 ) error : unexpected token 'dialog'"},
        {"\"window\" \"x\" { }", "error : unexpected token 'window'"},
        {"window main { }", "error : string expected, found 'main'"},
        {"window \"w\" { wibble }", "error : unexpected token 'wibble'"},
        {"window \"w\" { button \"b\" { colour \"red\" } }", "error : unexpected token 'colour'"},
        {"window \"w\" { rect ( 1, 2, 3 ) }", "error : vector overflow; 4d vector expected"},
        {"window \"w\" { rect ( 1, 2, 3, 4, 5 ) }", "error : vector overflow; 4d vector expected"},
        {"window \"w\" { rect 1, 2, 3, 4 }", "error : expected '(' found '1'"},
        {"window \"w\" { isVisible 1 }", "error : boolean expected, found '1'"},
        {"window \"w\" { isEnabled yes }", "error : boolean expected, found 'yes'"},
        {"window \"w\" { button \"b\" { isDragable \"true\" } }", "error : boolean expected, found 'true'"},
        {"window \"w\" { button b { } }", "error : string expected, found 'b'"},
        {"window \"w\" { caption \"open", "error : unexpected end of file, missing \"."},
        {"window \"w\" { dockingThreshold x }", "error : integer expected, found 'x'"},
        {"window \"w\" { list \"l\" { items { \"a\" 3 } } }", "error : string expected, found '3'"},
        {"window \"w\" { radio \"r\" { item { name \"a\" } } }", "error : unexpected token 'name'"},
        {"window \"w\" {\n  button \"b\" { caption \"B\" }\n", "dialog.txt( 2 ) error : unexpected end of file; '}' expected"},
    };
    for (const auto& c : cases) {
        std::string log;
        EXPECT_FALSE(LoadText(c.text, &log)) << c.text;
        EXPECT_NE(log.find(std::string("cGUIManager::LoadGUI : ")), std::string::npos) << log;
        EXPECT_NE(log.find(c.message), std::string::npos) << c.text << "\n got: " << log;
        // Nothing of the broken window stays.
        EXPECT_EQ(m_Manager->FindWindow("w"), nullptr) << c.text;
        EXPECT_EQ(m_Manager->GetWindowCount(), 0) << c.text;
    }
}

TEST_F(GUIParser, ControlsThatCannotBeMadeNameTheirReader) {
    const struct {
        const char* keyword;
        const char* message;
    } cases[] = {
        {"button", "cGUIParser::ParseButton : failed to create button"},
        {"check", "cGUIParser::ParseCheckBox : failed to create check box"},
        {"edit", "cGUIParser::ParseEdit : failed to create edit box"},
        {"label", "cGUIParser::ParseLabel : failed to create label"},
        {"image", "cGUIParser::ParseImage : failed to create image"},
        {"group", "cGUIParser::ParseGroupBox : failed to create window"},
        {"list", "cGUIParser::ParseListBox : failed to create image"},
        {"radio", "cGUIParser::ParseRadioGroup : failed to create radio group"},
        {"combo", "cGUIParser::ParseComboBox : failed to create combo box"},
    };
    for (const auto& c : cases) {
        // The second control of the name is refused (names are unique in a window, group boxes included).
        const std::string text = std::string("window \"w\" { label \"taken\" { } group \"g\" { ") + c.keyword +
                                 " \"taken\" { } } }";
        std::string log;
        EXPECT_FALSE(LoadText(text, &log));
        EXPECT_NE(log.find("control with the same name found\n"), std::string::npos) << log;
        EXPECT_NE(log.find(std::string("cGUIManager::LoadGUI : ") + c.message + "\n"), std::string::npos) << log;
        EXPECT_EQ(m_Manager->GetWindowCount(), 0);
    }
}

TEST_F(GUIParser, WindowsReadBeforeAnErrorStay) {
    std::string log;
    // Two windows of the same name: the second is refused and the first kept.
    EXPECT_FALSE(LoadText("window \"a\" { caption \"first\" }\nwindow \"a\" { caption \"second\" }\n"
                          "window \"b\" { }",
                          &log));
    EXPECT_NE(log.find("Creating dialog 'a'... dialog with the same name found\n"), std::string::npos) << log;
    EXPECT_NE(log.find("cGUIManager::LoadGUI : cGUIParser::ParseWindow : failed to create window\n"), std::string::npos);
    ASSERT_EQ(m_Manager->GetWindowCount(), 1);
    EXPECT_EQ(m_Manager->FindWindow("a")->GetCaption(), "first");
    EXPECT_EQ(m_Manager->FindWindow("b"), nullptr);

    // A window without its closing brace: the windows before it remain.
    EXPECT_FALSE(LoadText("window \"c\" { }\nwindow \"d\" { button \"x\" { }", &log));
    EXPECT_NE(log.find("cGUIManager::LoadGUI : dialog.txt( 1 ) error : unexpected end of file; '}' expected\n"),
              std::string::npos)
        << log;
    EXPECT_NE(m_Manager->FindWindow("c"), nullptr);
    EXPECT_EQ(m_Manager->FindWindow("d"), nullptr);
    // Its name is free again.
    EXPECT_TRUE(LoadText("window \"d\" { button \"x\" { } }", &log)) << log;
}

TEST_F(GUIParser, MissingFilesAndEmptyText) {
    std::string log = Logged([&] { EXPECT_FALSE(m_Manager->LoadGUI("nowhere.txt")); });
    EXPECT_NE(log.find("cGUIManager::LoadGUI : cGUIParser::ParseFile : file 'nowhere.txt' not found\n"),
              std::string::npos)
        << log;
    log = Logged([&] { EXPECT_FALSE(m_Manager->LoadGUI(nullptr)); });
    EXPECT_NE(log.find("cGUIManager::LoadGUI : invalid file name\n"), std::string::npos);
    EXPECT_TRUE(LoadText("  // nothing but a comment\n"));
    EXPECT_EQ(m_Manager->GetWindowCount(), 0);
}

TEST_F(GUIParser, DeepNestingIsRefused) {
    std::string text = "window \"w\" { ";
    for (int i = 0; i < 40; ++i) text += "group \"g" + std::to_string(i) + "\" { ";
    for (int i = 0; i < 40; ++i) text += "} ";
    text += "}";
    std::string log;
    EXPECT_FALSE(LoadText(text, &log));
    EXPECT_NE(log.find("error : controls nested too deep"), std::string::npos) << log.substr(log.size() - 300);
    EXPECT_EQ(m_Manager->GetWindowCount(), 0);
}

TEST_F(GUIParser, HugeNumbersStayWithinTheScreenRange) {
    ASSERT_TRUE(LoadText("window \"w\" { rect ( 1" + std::string(60, '0') + ", -5, 10, 20 ) }"));
    const cRect r = m_Manager->FindWindow("w")->GetRect();
    EXPECT_LE(std::fabs(r.x1), cControl::kMaxCoordinate);
    EXPECT_EQ(r.y1, -5.0f);
    ASSERT_TRUE(LoadText("window \"v\" { rect ( 99999999, 0, 10, 20 ) }", nullptr, "other.txt"));
    EXPECT_EQ(m_Manager->FindWindow("v")->GetRect().x1, cControl::kMaxCoordinate);
}

} // namespace
} // namespace guitest
