// The manager's script: controls as script variables, their methods, and
// script functions as event handlers.
#include "GUITestSupport.h"

#include <cstring>

namespace guitest {
namespace {

class GUIScript : public cGUITest {
protected:
    void SetUp() override {
        cGUITest::SetUp();
        m_Window = Dialog("main", cRect(0, 0, 400, 300));
        m_Ok = Add<IButton>(m_Window, "ok", cRect(10, 10, 90, 40));
        m_Sound = Add<ICheckBox>(m_Window, "sound", cRect(10, 50, 150, 70));
        m_Volume = Add<ISlider>(m_Window, "volume", cRect(10, 80, 150, 100));
        m_Name = Add<IEdit>(m_Window, "name", cRect(10, 110, 150, 134));
        m_List = Add<IListBox>(m_Window, "list", cRect(200, 10, 390, 200));
        m_Script = m_Manager->GetScript();
    }
    bool Compile(const char* source) {
        bool ok = false;
        const std::string log = Logged([&] { ok = m_Script->CompileString(source); });
        if (!ok) ADD_FAILURE() << log;
        return ok;
    }
    std::int32_t Int(const char* name) {
        std::int32_t value = 0;
        std::memcpy(&value, m_Script->GetVariable(name), 4);
        return value;
    }
    // A click whose script output (the variable dump after each call) stays out of the test's output.
    void Press(IControl* control) {
        Logged([&] { Click(*m_Manager, control); });
    }
    void Call(const char* function) {
        Logged([&] { m_Script->CallFunction(function); });
    }

    IWindow* m_Window = nullptr;
    IButton* m_Ok = nullptr;
    ICheckBox* m_Sound = nullptr;
    ISlider* m_Volume = nullptr;
    IEdit* m_Name = nullptr;
    IListBox* m_List = nullptr;
    script::IScript* m_Script = nullptr;
};

TEST_F(GUIScript, EveryControlIsAVariableOfItsClass) {
    ASSERT_NE(m_Script, nullptr);
    for (const char* name : {"main::self", "main::ok", "main::sound", "main::volume", "main::name", "main::list"}) {
        EXPECT_NE(m_Script->GetVariable(name), nullptr) << name;
    }
    // Controls inside group boxes and tab pages too; parts are not.
    IGroupBox* group = Add<IGroupBox>(m_Window, "group", cRect());
    Add<IButton>(group, "inner", cRect());
    ITabBox* tabs = Add<ITabBox>(m_Window, "tabs", cRect());
    Add<ILabel>(tabs->AddPage("P"), "onPage", cRect());
    EXPECT_NE(m_Script->GetVariable("main::inner"), nullptr);
    EXPECT_NE(m_Script->GetVariable("main::onPage"), nullptr);
    EXPECT_EQ(m_Script->GetVariable("main::thumb"), nullptr);
    // Names that are not identifiers are simply left out.
    IWindow* spaced = Dialog("my dialog", cRect());
    EXPECT_NE(Add<IButton>(spaced, "go", cRect()), nullptr);
    EXPECT_NE(Add<IButton>(m_Window, "two words", cRect()), nullptr);
}

TEST_F(GUIScript, ScriptsCallTheControlsMethods) {
    m_List->AddItem("first");
    ASSERT_TRUE(Compile("int visible; int checked; int length; int items; float volume;\n"
                        "string caption = \"Go\";\nstring text = \"typed\";\n"
                        "void run() {\n"
                        "  main::ok.Hide(); main::ok.SetCaption(caption);\n"
                        "  main::sound.SetChecked(true); main::sound.Disable();\n"
                        "  main::volume.SetValue(42.5); volume = main::volume.GetValue();\n"
                        "  main::name.SetText(text); length = main::name.GetTextLength();\n"
                        "  main::list.AddItem(text); main::list.SetSelected(1); items = main::list.GetItemCount();\n"
                        "  main::self.SetCaption(text);\n"
                        "}\n"
                        "void probe() { visible = main::ok.IsVisible(); checked = main::sound.IsChecked(); }\n"));
    Call("run");
    EXPECT_FALSE(m_Ok->IsVisible());
    EXPECT_EQ(m_Ok->GetCaption(), "Go");
    EXPECT_TRUE(m_Sound->IsChecked());
    EXPECT_FALSE(m_Sound->IsEnabled());
    EXPECT_FLOAT_EQ(m_Volume->GetValue(), 42.5f);
    EXPECT_EQ(m_Name->GetText(), "typed");
    EXPECT_EQ(Int("length"), 5);
    EXPECT_EQ(m_List->GetSelected(), 1);
    EXPECT_EQ(Int("items"), 2);
    EXPECT_EQ(m_Window->GetCaption(), "typed");
    m_Ok->SetVisible(true);
    m_Sound->SetChecked(false);
    Call("probe");
    EXPECT_EQ(Int("visible"), 1);
    EXPECT_EQ(Int("checked"), 0);
}

TEST_F(GUIScript, ScriptFunctionsHandleEvents) {
    ASSERT_TRUE(Compile("int clicks; int toggles;\n"
                        "void OnOk() { clicks += 1; main::sound.SetChecked(true); }\n"
                        "void OnSound() { toggles += 1; }\n"
                        "void WithArgument(int a) { clicks += a; }\n"));
    EXPECT_TRUE(m_Ok->SetEventHandler(BE_CLICK, "OnOk"));
    EXPECT_TRUE(m_Sound->SetEventHandler(CBE_CHANGE, "OnSound"));
    Press(m_Ok);
    EXPECT_EQ(Int("clicks"), 1);
    EXPECT_TRUE(m_Sound->IsChecked());
    EXPECT_EQ(Int("toggles"), 0);  // the script's own change raises no event
    Press(m_Sound);
    EXPECT_EQ(Int("toggles"), 1);
    // Functions are looked up when the event comes; problems are logged, nothing runs.
    EXPECT_TRUE(m_Ok->SetEventHandler(BE_CLICK, "Later"));
    std::string log = Logged([&] { Click(*m_Manager, m_Ok); });
    EXPECT_NE(log.find("cScriptEventHandler::Call( ok ) : function 'Later' not found\n"), std::string::npos) << log;
    ASSERT_TRUE(Compile("void Later() { clicks += 10; }"));
    Press(m_Ok);
    EXPECT_EQ(Int("clicks"), 11);
    EXPECT_TRUE(m_Ok->SetEventHandler(BE_CLICK, "WithArgument"));
    log = Logged([&] { Click(*m_Manager, m_Ok); });
    EXPECT_NE(log.find("function 'WithArgument' must take no arguments\n"), std::string::npos) << log;
    EXPECT_EQ(Int("clicks"), 11);
    // A run-time fault of the script is logged, not thrown at the input.
    ASSERT_TRUE(Compile("void Faulty() { clicks -= 1; }"));
    EXPECT_TRUE(m_Ok->SetEventHandler(BE_CLICK, "Faulty"));
    log = Logged([&] { Click(*m_Manager, m_Ok); });
    EXPECT_NE(log.find("cScript::Execute : invalid instruction 'msub' (7)"), std::string::npos) << log;
    // An index out of range, and no name to remove the handler.
    log = Logged([&] { EXPECT_FALSE(m_Ok->SetEventHandler(9, "OnOk")); });
    EXPECT_EQ(log, "cButton( ok )::SetEventHandler : invalid event index 9\n");
    EXPECT_TRUE(m_Ok->SetEventHandler(BE_CLICK, static_cast<const char*>(nullptr)));
    Press(m_Ok);
}

TEST_F(GUIScript, VariablesOfDestroyedControlsReferToNothing) {
    ASSERT_TRUE(Compile("int visible;\nvoid hide() { main::ok.Hide(); visible = main::ok.IsVisible(); }\n"
                        "gui::cButton own;\nvoid useOwn() { own.Hide(); visible = own.IsVisible(); }\n"));
    EXPECT_TRUE(m_Window->RemoveControl("ok"));
    Call("hide");  // nothing happens, nothing breaks
    EXPECT_EQ(Int("visible"), 0);
    // A new control of the same key takes the variable over.
    IButton* again = Add<IButton>(m_Window, "ok", cRect());
    Call("hide");
    EXPECT_FALSE(again->IsVisible());
    // Objects the script makes itself refer to no control.
    Call("useOwn");
    EXPECT_EQ(Int("visible"), 0);
    // The whole window goes, then comes back from a file.
    m_Manager->DestroyDialog(m_Window);
    Call("hide");
    ASSERT_TRUE(LoadText("window \"main\" { button \"ok\" { caption \"OK\" } }"));
    Call("hide");
    EXPECT_FALSE(m_Manager->FindControl("main::ok")->IsVisible());
}

TEST_F(GUIScript, ClassesAreRegisteredOnTheEnvironment) {
    // Another script of the same environment sees the classes and may declare its own objects of them.
    const std::string log = Logged([&] {
        EXPECT_TRUE(m_Script->CompileString("gui::cWindow w; gui::cTabBox t; gui::cComboBox c; gui::cRadioGroup r;\n"
                                            "gui::cScroll s; gui::cImage i; gui::cGroupBox g; gui::cPropertyGrid p;\n"
                                            "gui::cLabel l;\n"
                                            "void f() { t.SetActivePage(1); c.SetSelected(0); r.SetSelected(0); s.SetPosition(3); }"));
    });
    EXPECT_EQ(log.find("error"), std::string::npos) << log;
    Call("f");
}

} // namespace
} // namespace guitest
