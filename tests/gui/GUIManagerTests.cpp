// The manager: dialogs and their names, finding controls by key, focus and
// the window list, and how input walks the windows.
#include "GUITestSupport.h"

#include <vector>

#include "engine/EngineFactory.h"
#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/cException.h"
#include "gui/cButton.h"
#include "gui/cWindow.h"

namespace guitest {
namespace {

class GUIManager : public cGUITest {};

TEST_F(GUIManager, CreatingDialogsLogsAndKeepsNamesUnique) {
    IWindow* first = nullptr;
    std::string log = Logged([&] { first = m_Manager->CreateDialog("main", DF_DRAGABLE | DF_DOCKABLE); });
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(log, "Creating dialog 'main'... succeeded\n");
    EXPECT_TRUE(first->IsDragable() && first->IsDockable() && first->IsVisible() && first->IsEnabled());
    EXPECT_EQ(first->GetManager(), m_Manager.get());
    log = Logged([&] { EXPECT_EQ(m_Manager->CreateDialog("main", 0), nullptr); });
    EXPECT_EQ(log, "Creating dialog 'main'... dialog with the same name found\n");
    log = Logged([&] { EXPECT_EQ(m_Manager->CreateDialog("a::b", 0), nullptr); });
    EXPECT_EQ(log, "Creating dialog 'a::b'... invalid dialog name\n");
    IWindow* hidden = Dialog("hidden", cRect(), DF_HIDDEN | DF_DISABLED);
    EXPECT_FALSE(hidden->IsVisible() || hidden->IsEnabled() || hidden->IsDragable());
    // New dialogs go to the end of the list; finding takes the name.
    ASSERT_EQ(m_Manager->GetWindowCount(), 2);
    EXPECT_EQ(m_Manager->GetWindow(1), hidden);
    EXPECT_EQ(m_Manager->FindWindow("hidden"), hidden);
    EXPECT_EQ(m_Manager->FindWindow("nothing"), nullptr);
    EXPECT_TRUE(m_Manager->DestroyDialog(hidden));
    EXPECT_FALSE(m_Manager->DestroyDialog(hidden));
    EXPECT_EQ(m_Manager->GetWindowCount(), 1);
}

TEST_F(GUIManager, ControlsLogTheirCreationAndNamesAreUniquePerWindow) {
    IWindow* w = Dialog("main", cRect(0, 0, 300, 200));
    IControl* ok = nullptr;
    std::string log = Logged([&] { ok = w->AddControl(CK_BUTTON, "ok"); });
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(log, "Creating button 'main::ok'... succeeded\n");
    IGroupBox* group = Add<IGroupBox>(w, "group", cRect(0, 0, 100, 100));
    log = Logged([&] { EXPECT_EQ(group->AddControl(CK_LABEL, "ok"), nullptr); });
    EXPECT_EQ(log, "Creating label 'main::ok'... control with the same name found\n");
    log = Logged([&] { EXPECT_EQ(w->AddControl(77, "x"), nullptr); });
    EXPECT_EQ(log, "Creating control 'main::x'... unknown control kind 77\n");
    log = Logged([&] { EXPECT_EQ(w->AddControl(CK_LABEL, "a::b"), nullptr); });
    EXPECT_EQ(log, "Creating label 'main::a::b'... invalid control name\n");
    // Composite controls hold only their own parts.
    auto* list = Add<IListBox>(w, "list", cRect(0, 0, 50, 50));
    log = Logged([&] { EXPECT_EQ(dynamic_cast<IContainer*>(list)->AddControl(CK_LABEL, "y"), nullptr); });
    EXPECT_EQ(log, "Creating label 'main::y'... cListBox( list ) holds no controls\n");
    // The same name in another window is fine.
    IWindow* other = Dialog("other", cRect());
    EXPECT_NE(Add<IButton>(other, "ok", cRect()), nullptr);
    // Removing frees the name.
    EXPECT_TRUE(w->RemoveControl("ok"));
    EXPECT_FALSE(w->RemoveControl("ok"));
    EXPECT_NE(Add<ILabel>(group, "ok", cRect()), nullptr);
}

TEST_F(GUIManager, FindControlKeysAndMessages) {
    IWindow* w = Dialog("main", cRect(0, 0, 300, 200));
    IGroupBox* group = Add<IGroupBox>(w, "group", cRect(0, 0, 100, 100));
    IButton* inner = Add<IButton>(group, "inner", cRect());
    IComboBox* combo = Add<IComboBox>(w, "combo", cRect(0, 0, 80, 20));
    ITabBox* tabs = Add<ITabBox>(w, "tabs", cRect(100, 0, 300, 200));
    IContainer* page = tabs->AddPage("One");
    IEdit* onPage = Add<IEdit>(page, "onPage", cRect());

    EXPECT_EQ(m_Manager->FindControl("main::inner"), inner);
    EXPECT_EQ(m_Manager->FindControl("main::group::inner"), inner);
    EXPECT_EQ(m_Manager->FindControl("main::onPage"), onPage);
    IControl* drop = m_Manager->FindControl("main::combo::button_Drop");
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->GetParent(), dynamic_cast<IContainer*>(combo));
    EXPECT_NE(m_Manager->FindControl("main::combo::list_Items::verticalScroll::thumb"), nullptr);

    const struct {
        const char* key;
        const char* message;
    } misses[] = {
        {"main", "cGUIManager::FindControl : invalid key 'main'\n"},
        {"", "cGUIManager::FindControl : invalid key ''\n"},
        {"nowhere::inner", "cGUIManager::FindControl : window 'nowhere' not found\n"},
        {"main::missing", "cGUIManager::FindControl : control 'main::missing' not found\n"},
        // Parts are not users' controls: they are reached only through their composite.
        {"main::button_Drop", "cGUIManager::FindControl : control 'main::button_Drop' not found\n"},
        {"main::combo::nothing", "cGUIManager::FindControl : control 'main::combo::nothing' not found\n"},
    };
    for (const auto& miss : misses) {
        IControl* found = reinterpret_cast<IControl*>(1);
        const std::string log = Logged([&] { found = m_Manager->FindControl(miss.key); });
        EXPECT_EQ(found, nullptr) << miss.key;
        EXPECT_EQ(log, miss.message);
    }
    const std::string log = Logged([&] { EXPECT_EQ(m_Manager->FindControl(nullptr), nullptr); });
    EXPECT_EQ(log, "cGUIManager::FindControl : invalid key ''\n");
}

TEST_F(GUIManager, EventIndicesAreCheckedPerClass) {
    IWindow* w = Dialog("main", cRect(0, 0, 300, 200));
    IButton* ok = Add<IButton>(w, "ok", cRect());
    ILabel* label = Add<ILabel>(w, "label", cRect());
    int calls = 0;
    const tEventHandler handler = [&](IControl*) { ++calls; };
    EXPECT_TRUE(ok->SetEventHandler(BE_RELEASE, handler));
    std::string log = Logged([&] { EXPECT_FALSE(ok->SetEventHandler(BE_COUNT, handler)); });
    EXPECT_EQ(log, "cButton( ok )::SetEventHandler : invalid event index 3\n");
    log = Logged([&] { EXPECT_FALSE(ok->SetEventHandler(-1, handler)); });
    EXPECT_EQ(log, "cButton( ok )::SetEventHandler : invalid event index -1\n");
    log = Logged([&] { EXPECT_FALSE(label->SetEventHandler(0, handler)); });
    EXPECT_EQ(log, "cLabel( label )::SetEventHandler : invalid event index 0\n");
    log = Logged([&] { EXPECT_FALSE(w->SetEventHandler(WE_COUNT, handler)); });
    EXPECT_EQ(log, "cWindow( main )::SetEventHandler : invalid event index 2\n");
    EXPECT_EQ(w->GetEventCount(), WE_COUNT);
    EXPECT_EQ(ok->GetEventCount(), BE_COUNT);
}

TEST_F(GUIManager, ParentWindowOfAControlWithoutOne) {
    cButton loose;
    loose.SetName("loose");
    try {
        loose.GetParentWindow();
        FAIL() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cControl::GetParentWindow : control 'loose' has no parent");
    }
    IWindow* w = Dialog("main", cRect());
    IButton* b = Add<IButton>(Add<IGroupBox>(w, "g", cRect()), "b", cRect());
    EXPECT_EQ(b->GetParentWindow(), w);
    EXPECT_EQ(w->GetParentWindow(), w);
}

TEST_F(GUIManager, FocusingMovesAWindowToTheFront) {
    IWindow* a = Dialog("a", cRect(0, 0, 100, 100));
    IWindow* b = Dialog("b", cRect(50, 50, 150, 150));
    IWindow* c = Dialog("c", cRect(200, 200, 300, 300));
    EXPECT_EQ(m_Manager->GetFocusedWindow(), nullptr);
    m_Manager->SetFocusedWindow(c);
    EXPECT_EQ(m_Manager->GetFocusedWindow(), c);
    EXPECT_EQ(m_Manager->GetWindow(0), c);
    EXPECT_EQ(m_Manager->GetWindow(1), a);
    EXPECT_EQ(m_Manager->GetWindow(2), b);
    // A click on a window behind brings it forward.
    m_Manager->OnLeftButtonDown(120, 120);
    m_Manager->OnLeftButtonUp(120, 120);
    EXPECT_EQ(m_Manager->GetFocusedWindow(), b);
    EXPECT_EQ(m_Manager->GetWindow(0), b);
    m_Manager->SetFocusedWindow(nullptr);
    EXPECT_EQ(m_Manager->GetFocusedWindow(), nullptr);

    // A window of another manager is not in the list.
    cGUIManager stranger(nullptr);
    IWindow* foreign = nullptr;
    Logged([&] { foreign = stranger.CreateDialog("foreign", 0); });
    try {
        m_Manager->SetFocusedWindow(foreign);
        FAIL() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cGUIManager::SetFocusedWindow : window 'foreign' not found");
    }
    m_Manager->DestroyDialog(b);
    EXPECT_EQ(m_Manager->GetFocusedWindow(), nullptr);
}

// Records which windows' buttons hear of the mouse.
class GUIInput : public cGUITest {
protected:
    void SetUp() override {
        cGUITest::SetUp();
        for (const char* name : {"front", "back"}) {
            IWindow* w = Dialog(name, cRect(0, 0, 200, 200));
            IButton* b = Add<IButton>(w, "b", cRect(10, 10, 190, 190));
            b->SetEventHandler(BE_PRESS, tEventHandler([this, name](IControl*) { m_Heard.push_back(name); }));
        }
        m_Front = m_Manager->FindWindow("front");
        m_Back = m_Manager->FindWindow("back");
    }
    void Press() {
        m_Manager->OnLeftButtonDown(100, 100);
        m_Manager->OnLeftButtonUp(100, 100);
    }
    std::vector<std::string> m_Heard;
    IWindow* m_Front = nullptr;
    IWindow* m_Back = nullptr;
};

TEST_F(GUIInput, ButtonEventsStopAtTheFirstWindowThatTakesThem) {
    Press();
    EXPECT_EQ(m_Heard, std::vector<std::string>({"front"}));
    EXPECT_EQ(m_Manager->GetFocusedWindow(), m_Front);
    // Hidden windows are skipped by left-button events.
    m_Front->SetVisible(false);
    Press();
    EXPECT_EQ(m_Heard, std::vector<std::string>({"front", "back"}));
    EXPECT_EQ(m_Manager->GetFocusedWindow(), m_Back);
    // A disabled window covers what lies behind it and reacts to nothing.
    m_Heard.clear();
    m_Front->SetVisible(true);
    m_Manager->SetFocusedWindow(m_Front);
    m_Front->SetEnabled(false);
    Press();
    EXPECT_TRUE(m_Heard.empty());
    // A disabled control lets the click go to its window, not through it.
    m_Front->SetEnabled(true);
    m_Front->FindControl("b")->SetEnabled(false);
    Press();
    EXPECT_TRUE(m_Heard.empty());
    // Outside every window nothing happens.
    m_Manager->OnLeftButtonDown(500, 500);
    m_Manager->OnLeftButtonUp(500, 500);
    EXPECT_TRUE(m_Heard.empty());
}

TEST_F(GUIInput, RightButtonEventsAreOfferedToEveryWindow) {
    std::vector<std::string> activated;
    for (IWindow* w : {m_Front, m_Back}) {
        w->SetEventHandler(WE_ACTIVATE, tEventHandler([&activated](IControl* c) { activated.push_back(c->GetName()); }));
    }
    // Right clicks neither press buttons nor activate windows; hidden windows decline them.
    m_Front->SetVisible(false);
    m_Manager->OnRightButtonDown(100, 100);
    m_Manager->OnRightButtonUp(100, 100);
    EXPECT_TRUE(m_Heard.empty());
    EXPECT_TRUE(activated.empty());
    // The manager's own activation still works with a user's handler on the first event.
    m_Front->SetVisible(true);
    Press();
    EXPECT_EQ(activated, std::vector<std::string>({"front"}));
    EXPECT_EQ(m_Manager->GetFocusedWindow(), m_Front);
}

TEST_F(GUIInput, ReleaseReachesThePressedControlWherever) {
    auto* button = ControlCast<IButton>(m_Front->FindControl("b"));
    int clicks = 0, releases = 0;
    button->SetEventHandler(BE_CLICK, tEventHandler([&](IControl*) { ++clicks; }));
    button->SetEventHandler(BE_RELEASE, tEventHandler([&](IControl*) { ++releases; }));
    m_Manager->OnLeftButtonDown(100, 100);
    EXPECT_TRUE(button->IsPressed());
    // Released beside it (over the other window's position): released, not clicked.
    m_Manager->OnMouseMove(400, 400);
    m_Manager->OnLeftButtonUp(400, 400);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(clicks, 0);
    Press();
    EXPECT_EQ(clicks, 1);
}

TEST_F(GUIInput, KeysGoToTheFocusedWindowFirst) {
    IEdit* frontEdit = Add<IEdit>(m_Front, "edit", cRect(10, 10, 190, 40));
    IEdit* backEdit = Add<IEdit>(m_Back, "edit", cRect(10, 10, 190, 40));
    m_Front->FindControl("b")->SetVisible(false);
    m_Back->FindControl("b")->SetVisible(false);
    Click(*m_Manager, frontEdit);
    EXPECT_TRUE(frontEdit->HasFocus());
    // The back window's edit is given the focus of its own window by the host.
    backEdit->SetFocus();
    EXPECT_TRUE(backEdit->HasFocus());
    Type(*m_Manager, "ab");
    EXPECT_EQ(frontEdit->GetText(), "ab");
    EXPECT_EQ(backEdit->GetText(), "");
    // Without a focused control the front window passes the keys on.
    m_Manager->OnLeftButtonDown(100, 150);
    m_Manager->OnLeftButtonUp(100, 150);
    EXPECT_FALSE(frontEdit->HasFocus());
    Type(*m_Manager, "c");
    EXPECT_EQ(backEdit->GetText(), "c");
    // Focusing the back window drops the front window's control focus, and hidden or disabled windows get no
    // keys.
    m_Manager->SetFocusedWindow(m_Back);
    m_Back->SetEnabled(false);
    Type(*m_Manager, "d");
    EXPECT_EQ(backEdit->GetText(), "c");
    m_Back->SetEnabled(true);
    m_Back->SetVisible(false);
    Type(*m_Manager, "e");
    EXPECT_EQ(backEdit->GetText(), "c");
    EXPECT_EQ(frontEdit->GetText(), "ab");
}

TEST_F(GUIInput, TabMovesTheFocusWithinTheFocusedWindow) {
    m_Front->FindControl("b")->SetVisible(false);
    IEdit* one = Add<IEdit>(m_Front, "one", cRect(10, 150, 190, 180));
    ICheckBox* two = Add<ICheckBox>(m_Front, "two", cRect(10, 110, 190, 140));
    Add<ILabel>(m_Front, "label", cRect(10, 80, 190, 100));
    IEdit* three = Add<IEdit>(m_Front, "three", cRect(10, 40, 190, 70));
    three->SetEnabled(false);
    m_Manager->SetFocusedWindow(m_Front);
    m_Manager->OnKeyDown(kKeyTab);
    EXPECT_TRUE(one->HasFocus());
    m_Manager->OnKeyDown(kKeyTab);
    EXPECT_TRUE(two->HasFocus());
    m_Manager->OnKeyDown(kKeySpace);
    EXPECT_TRUE(two->IsChecked());
    m_Manager->OnKeyDown(kKeyTab);
    EXPECT_TRUE(one->HasFocus());  // labels and disabled controls are skipped
}

TEST_F(GUIInput, HandlersMayDestroyWhatRaisedThem) {
    auto* button = ControlCast<IButton>(m_Front->FindControl("b"));
    button->SetEventHandler(BE_PRESS, tEventHandler([this](IControl* sender) {
                                sender->GetParentWindow()->RemoveControl("b");
                            }));
    Press();
    EXPECT_EQ(m_Front->FindControl("b"), nullptr);
    IButton* closer = Add<IButton>(m_Back, "close", cRect(0, 0, 20, 20));
    closer->SetEventHandler(BE_CLICK, tEventHandler([this](IControl* sender) {
                                m_Manager->DestroyDialog(sender->GetParentWindow());
                            }));
    m_Manager->SetFocusedWindow(m_Back);
    Click(*m_Manager, closer, 5, 5);
    EXPECT_EQ(m_Manager->FindWindow("back"), nullptr);
    EXPECT_EQ(m_Manager->GetFocusedWindow(), nullptr);
    Press();  // the manager goes on as before
}

TEST_F(GUIInput, DragableWindowsFollowTheMouseAndDock) {
    IWindow* w = Dialog("drag", cRect(300, 300, 400, 400), DF_DRAGABLE);
    w->SetCaption("Drag me");
    int moves = 0;
    w->SetEventHandler(WE_MOVE, tEventHandler([&](IControl*) { ++moves; }));
    m_Manager->SetViewSize(640, 480);
    // By the caption bar (the top 26 pixels).
    m_Manager->OnLeftButtonDown(350, 390);
    m_Manager->OnMouseMove(380, 370);
    m_Manager->OnLeftButtonUp(380, 370);
    EXPECT_EQ(w->GetRect(), cRect(330, 280, 430, 380));
    EXPECT_EQ(moves, 1);
    // Not by the body when there is a caption bar.
    m_Manager->OnLeftButtonDown(350, 300);
    m_Manager->OnMouseMove(250, 300);
    m_Manager->OnLeftButtonUp(250, 300);
    EXPECT_EQ(w->GetRect(), cRect(330, 280, 430, 380));
    // A dockable window snaps to the view's edge within its threshold.
    w->SetDockable(true);
    w->SetDockingThreshold(10);
    m_Manager->OnLeftButtonDown(380, 370);
    m_Manager->OnMouseMove(380 + (640 - 430) - 6, 370);
    EXPECT_EQ(w->GetRect().x2, 640.0f);
    // ... and to the edges of other windows beside it (the front window ends at x = 200).
    m_Manager->OnMouseMove(380 - (330 - 205), 370 - 100);
    EXPECT_EQ(w->GetRect(), cRect(200, 180, 300, 280));
    // Windows above or below are not beside it.
    m_Manager->OnMouseMove(380 - (330 - 205), 370);
    EXPECT_EQ(w->GetRect().x1, 205.0f);
    m_Manager->OnLeftButtonUp(0, 0);
    // Windows that are not dragable stay.
    m_Manager->OnLeftButtonDown(100, 100);
    m_Manager->OnMouseMove(150, 150);
    m_Manager->OnLeftButtonUp(150, 150);
    EXPECT_EQ(m_Front->GetRect(), cRect(0, 0, 200, 200));
}

TEST(GUIManagerWithoutScript, WindowsSayThereIsNoScript) {
    cGUIManager manager(nullptr);
    std::string log = Logged([&] { manager.CreateDialog("main", 0); });
    EXPECT_EQ(log, "Creating dialog 'main'... succeeded\ncContainer::SelfRegister : NULL pointer to script\n");
    EXPECT_EQ(manager.GetScript(), nullptr);
    IButton* b = nullptr;
    Logged([&] { b = AddControl<IButton>(manager.FindWindow("main"), "b"); });
    log = Logged([&] { EXPECT_FALSE(b->SetEventHandler(BE_CLICK, "OnClick")); });
    EXPECT_EQ(log, "cButton( b )::SetEventHandler : no script for handler 'OnClick'\n");
}

TEST(GUIManagerOfTheEngine, CreatedWithAScriptOfItsOwn) {
    testing::internal::CaptureStdout();
    IEngine* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->GetGUIManager(false), nullptr);
    IGUIManager* manager = engine->GetGUIManager(true);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_NE(manager, nullptr) << log;
    EXPECT_NE(log.find("Crating GUI manager... Creating script environment... succeeded\n"
                       "Creating script 'guiScript'... succeeded\n"),
              std::string::npos)
        << log;
    EXPECT_NE(manager->GetScript(), nullptr);
    EXPECT_EQ(engine->GetGUIManager(true), manager);
    Logged([&] {
        manager->CreateDialog("main", 0);
        engine->Update();  // updates the manager, which reads the mouse from the engine's input
        manager->Render(); // no renderer without a window: nothing is drawn
        engine->Release();
    });
    EXPECT_EQ(GetEngine(), nullptr);
}

} // namespace
} // namespace guitest
