// How each control behaves under the mouse and the keyboard, driven through
// the manager as the engine drives it.
#include "GUITestSupport.h"

namespace guitest {
namespace {

class GUIControls : public cGUITest {
protected:
    void SetUp() override {
        cGUITest::SetUp();
        m_Window = Dialog("main", cRect(0, 0, 400, 300));
        m_Manager->SetFocusedWindow(m_Window);
    }
    // Counts the events of a control by index.
    void Count(IControl* control, std::int32_t index, int& counter) {
        control->SetEventHandler(index, tEventHandler([&counter](IControl*) { ++counter; }));
    }
    void Down(float x, float y) { m_Manager->OnLeftButtonDown(x, y); }
    void Move(float x, float y) { m_Manager->OnMouseMove(x, y); }
    void Up(float x, float y) { m_Manager->OnLeftButtonUp(x, y); }
    void Key(int code) { m_Manager->OnKeyDown(code); }
    IControl* Part(const char* key) { return Logged([] {}), m_Manager->FindControl(key); }

    IWindow* m_Window = nullptr;
};

TEST_F(GUIControls, ButtonsPressAndClickOnRelease) {
    IButton* b = Add<IButton>(m_Window, "b", cRect(10, 10, 90, 40));
    int clicks = 0, presses = 0, releases = 0;
    Count(b, BE_CLICK, clicks);
    Count(b, BE_PRESS, presses);
    Count(b, BE_RELEASE, releases);
    Down(20, 20);
    EXPECT_TRUE(b->IsPressed());
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(clicks, 0);
    Up(20, 20);
    EXPECT_FALSE(b->IsPressed());
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->HasFocus());
    Key(kKeySpace);
    Key(kKeyEnter);
    Key(kKeyA);
    EXPECT_EQ(clicks, 3);
    b->SetEnabled(false);
    Down(20, 20);
    Up(20, 20);
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(b->HasFocus());  // disabling takes the focus away
    b->SetEnabled(true);
    b->SetVisible(false);
    Click(*m_Manager, b);
    EXPECT_EQ(presses, 1);
}

TEST_F(GUIControls, CheckBoxesToggle) {
    ICheckBox* c = Add<ICheckBox>(m_Window, "c", cRect(10, 10, 150, 30));
    int changes = 0;
    Count(c, CBE_CHANGE, changes);
    Click(*m_Manager, c);
    EXPECT_TRUE(c->IsChecked());
    Click(*m_Manager, c, 100, 10);  // on the caption too
    EXPECT_FALSE(c->IsChecked());
    Key(kKeySpace);
    EXPECT_TRUE(c->IsChecked());
    EXPECT_EQ(changes, 3);
    // Pressed, then released elsewhere: no toggle.
    Down(20, 20);
    Up(300, 200);
    EXPECT_TRUE(c->IsChecked());
    c->SetChecked(false);  // the host's change raises nothing
    EXPECT_EQ(changes, 3);
}

TEST_F(GUIControls, SlidersFollowClicksDragsAndKeys) {
    ISlider* s = Add<ISlider>(m_Window, "s", cRect(100, 100, 216, 120));  // track from x 108 to 208
    int changes = 0;
    Count(s, SLE_CHANGE, changes);
    EXPECT_FLOAT_EQ(s->GetValue(), 0.0f);
    // A click on the track jumps there and drags.
    Down(158, 110);
    EXPECT_NEAR(s->GetValue(), 50.0f, 0.01f);
    Move(183, 112);
    EXPECT_NEAR(s->GetValue(), 75.0f, 0.01f);
    Move(500, 112);
    EXPECT_FLOAT_EQ(s->GetValue(), 100.0f);
    Up(500, 112);
    // The thumb is dragged from where it was grabbed.
    const cRect thumb = Part("main::s::thumb")->GetScreenRect();
    EXPECT_FLOAT_EQ((thumb.x1 + thumb.x2) * 0.5f, 208.0f);
    Down(thumb.x1 + 3, 110);
    Move(thumb.x1 + 3 - 50, 110);
    Up(thumb.x1 + 3 - 50, 110);
    EXPECT_NEAR(s->GetValue(), 50.0f, 0.01f);
    EXPECT_TRUE(s->HasFocus());
    s->SetRange(0, 10);
    s->SetStep(2);
    s->SetValue(5.2f);
    EXPECT_FLOAT_EQ(s->GetValue(), 6.0f);
    const int before = changes;
    Key(kKeyRight);
    EXPECT_FLOAT_EQ(s->GetValue(), 8.0f);
    Key(kKeyEnd);
    Key(kKeyRight);  // already at the end: no change event
    EXPECT_FLOAT_EQ(s->GetValue(), 10.0f);
    Key(kKeyHome);
    EXPECT_FLOAT_EQ(s->GetValue(), 0.0f);
    EXPECT_EQ(changes, before + 3);
    s->SetRange(20, 10);  // given backwards
    EXPECT_FLOAT_EQ(s->GetMinimum(), 10.0f);
    EXPECT_FLOAT_EQ(s->GetValue(), 10.0f);
}

TEST_F(GUIControls, ScrollsStepPageAndDrag) {
    IScroll* s = Add<IScroll>(m_Window, "s", cRect(300, 50, 316, 250));  // vertical, buttons 16 high
    s->SetRange(0, 10);
    s->SetPageSize(2);
    int changes = 0;
    Count(s, SE_CHANGE, changes);
    IControl* increase = Part("main::s::increase");
    IControl* decrease = Part("main::s::decrease");
    ASSERT_TRUE(increase && decrease && Part("main::s::thumb"));
    EXPECT_EQ(increase->GetScreenRect(), cRect(300, 50, 316, 66));  // "increase" at the bottom
    Click(*m_Manager, increase);
    Click(*m_Manager, increase);
    EXPECT_EQ(s->GetPosition(), 2);
    Click(*m_Manager, decrease);
    EXPECT_EQ(s->GetPosition(), 1);
    // The track below the thumb pages down, above it pages up.
    Click(*m_Manager, s, 8, 20);
    EXPECT_EQ(s->GetPosition(), 3);
    Click(*m_Manager, s, 8, 180);
    EXPECT_EQ(s->GetPosition(), 1);
    // Dragging the thumb to the bottom of the track reaches the maximum.
    const cRect thumb = Part("main::s::thumb")->GetScreenRect();
    Down(308, thumb.y2 - 2);
    Move(308, thumb.y2 - 2 - 400);
    Up(308, thumb.y2 - 402);
    EXPECT_EQ(s->GetPosition(), 10);
    EXPECT_EQ(changes, 6);
    // Horizontal when wider than tall: "decrease" at the left.
    IScroll* h = Add<IScroll>(m_Window, "h", cRect(10, 10, 210, 26));
    Click(*m_Manager, Part("main::h::increase"));
    EXPECT_EQ(h->GetPosition(), 1);
    EXPECT_EQ(Part("main::h::decrease")->GetScreenRect().x1, 10.0f);
    // Extreme ranges do not overflow.
    h->SetRange(-2147483647 - 1, 2147483647);
    h->SetPosition(2147483647);
    Click(*m_Manager, Part("main::h::increase"));
    EXPECT_EQ(h->GetPosition(), 2147483647);
}

TEST_F(GUIControls, EditsTakeCharactersAtTheCaret) {
    IEdit* e = Add<IEdit>(m_Window, "e", cRect(10, 10, 200, 36));
    int changes = 0, enters = 0;
    Count(e, EE_CHANGE, changes);
    Count(e, EE_ENTER, enters);
    Click(*m_Manager, e);
    ASSERT_TRUE(e->HasFocus());
    Type(*m_Manager, "Hello");
    EXPECT_EQ(e->GetText(), "Hello");
    EXPECT_EQ(e->GetCaret(), 5);
    Key(kKeyLeft);
    Key(kKeyLeft);
    Type(*m_Manager, "_");
    EXPECT_EQ(e->GetText(), "Hel_lo");
    Key(kKeyBackspace);
    Key(kKeyDelete);
    EXPECT_EQ(e->GetText(), "Helo");
    Key(kKeyHome);
    Key(kKeyBackspace);  // nothing before the caret
    Type(*m_Manager, ">");
    Key(kKeyEnd);
    Type(*m_Manager, "!");
    EXPECT_EQ(e->GetText(), ">Helo!");
    Key(kKeyEnter);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(changes, 10);
    // Characters the engine would not send are refused.
    m_Manager->OnChar(10);
    m_Manager->OnChar(200);
    EXPECT_EQ(e->GetText(), ">Helo!");
    // A click puts the caret at the nearest character (7 pixels a character without fonts).
    Click(*m_Manager, e, 5 + 2 * 7 + 2, 10);
    EXPECT_EQ(e->GetCaret(), 2);
    e->SetText("a very long text that runs far beyond the right edge of the field");
    EXPECT_EQ(e->GetCaret(), static_cast<std::int32_t>(e->GetText().size()));
}

TEST_F(GUIControls, EditFiltersAndLimits) {
    IEdit* number = Add<IEdit>(m_Window, "number", cRect(10, 10, 200, 36));
    number->SetNumberOnly(true);
    number->SetFocus();
    Type(*m_Manager, "-1a2.5.-x3");
    EXPECT_EQ(number->GetText(), "-12.53");
    IEdit* text = Add<IEdit>(m_Window, "text", cRect(10, 50, 200, 76));
    text->SetTextOnly(true);
    text->SetMaxLength(5);
    text->SetFocus();
    Type(*m_Manager, "R2-D2 rocks");
    EXPECT_EQ(text->GetText(), "R-D r");
    IEdit* fixed = Add<IEdit>(m_Window, "fixed", cRect(10, 90, 200, 116));
    fixed->SetText("shown");
    fixed->SetReadOnly(true);
    Click(*m_Manager, fixed);
    EXPECT_FALSE(fixed->HasFocus());
    Type(*m_Manager, "x");
    EXPECT_EQ(fixed->GetText(), "shown");
}

TEST_F(GUIControls, MultilineEditsTakeEnterAndMoveBetweenLines) {
    IEdit* e = Add<IEdit>(m_Window, "e", cRect(10, 10, 200, 120));
    e->SetMultiline(true);
    e->SetFocus();
    Type(*m_Manager, "first");
    Key(kKeyEnter);
    Type(*m_Manager, "2nd");
    EXPECT_EQ(e->GetText(), "first\n2nd");
    Key(kKeyUp);
    EXPECT_EQ(e->GetCaret(), 3);  // same column on the line above
    Key(kKeyEnd);
    EXPECT_EQ(e->GetCaret(), 5);
    Key(kKeyDown);
    EXPECT_EQ(e->GetCaret(), 9);
    Key(kKeyHome);
    EXPECT_EQ(e->GetCaret(), 6);
    // A click on the second line (17 pixels a line without fonts) lands there.
    Click(*m_Manager, e, 5 + 7 + 2, 110 - 3 - 17 - 8);
    EXPECT_EQ(e->GetCaret(), 7);
}

TEST_F(GUIControls, ListBoxesSelectAndScroll) {
    IListBox* l = Add<IListBox>(m_Window, "l", cRect(10, 10, 150, 98));  // four 21-pixel rows
    for (const char* item : {"a", "b", "c", "d", "e", "f"}) l->AddItem(item);
    int selections = 0;
    Count(l, LE_SELECT, selections);
    IControl* scroll = Part("main::l::verticalScroll");
    ASSERT_NE(scroll, nullptr);
    // Rows from the top: the second row is "b".
    Click(*m_Manager, l, 20, 98 - 10 - 2 - 21 - 10);
    EXPECT_EQ(l->GetSelected(), 1);
    Key(kKeyDown);
    Key(kKeyDown);
    Key(kKeyDown);
    Key(kKeyDown);
    EXPECT_EQ(l->GetSelected(), 5);
    // The selection is kept in view: the list scrolled by two rows.
    m_Manager->Render();
    EXPECT_TRUE(scroll->IsVisible());
    EXPECT_EQ(ControlCast<IScroll>(scroll)->GetPosition(), 2);
    Key(kKeyDown);  // at the end: no event
    Key(kKeyHome);
    EXPECT_EQ(l->GetSelected(), 0);
    EXPECT_EQ(selections, 6);
    // Dragging follows the mouse.
    Down(20, 85);
    Move(20, 64);
    EXPECT_EQ(l->GetSelected(), 1);
    Up(20, 64);
    // Removing items keeps the selection on its item.
    EXPECT_TRUE(l->RemoveItem(0));
    EXPECT_EQ(l->GetSelected(), 0);
    EXPECT_EQ(l->GetItem(0), "b");
    EXPECT_FALSE(l->RemoveItem(9));
    l->ClearItems();
    EXPECT_EQ(l->GetSelected(), -1);
    EXPECT_EQ(l->GetItem(0), "");
}

TEST_F(GUIControls, ComboBoxesDropAndChoose) {
    IComboBox* c = Add<IComboBox>(m_Window, "c", cRect(10, 200, 150, 224));
    for (const char* item : {"red", "green", "blue"}) c->AddItem(item);
    int selections = 0;
    Count(c, CE_SELECT, selections);
    Add<IButton>(m_Window, "under", cRect(10, 100, 150, 190));
    IControl* drop = Part("main::c::button_Drop");
    IControl* list = Part("main::c::list_Items");
    auto* shown = ControlCast<IEdit>(Part("main::c::edit_Selected"));
    ASSERT_TRUE(drop && list && shown);
    EXPECT_TRUE(shown->IsReadOnly());
    Click(*m_Manager, drop);
    ASSERT_TRUE(c->IsDropped());
    EXPECT_TRUE(list->IsVisible());
    EXPECT_LT(list->GetScreenRect().y2, 200.0f);  // below the field, over the button there
    // A row is chosen on release; the list closes.
    const cRect rows = list->GetScreenRect();
    Click(*m_Manager, list, 20, rows.GetHeight() - 2 - 21 - 10);
    EXPECT_FALSE(c->IsDropped());
    EXPECT_EQ(c->GetSelected(), 1);
    EXPECT_EQ(shown->GetText(), "green");
    EXPECT_EQ(selections, 1);
    EXPECT_TRUE(c->HasFocus());
    // The field opens it too, a second click closes it, a click elsewhere or Escape closes it.
    Click(*m_Manager, shown);
    EXPECT_TRUE(c->IsDropped());
    Click(*m_Manager, shown);
    EXPECT_FALSE(c->IsDropped());
    Click(*m_Manager, drop);
    Click(*m_Manager, Part("main::under"), 5, 5);
    EXPECT_FALSE(c->IsDropped());
    EXPECT_EQ(c->GetSelected(), 1);
    c->SetFocus();
    Key(kKeyEnter);
    EXPECT_TRUE(c->IsDropped());
    Key(kKeyEscape);
    EXPECT_FALSE(c->IsDropped());
    Key(kKeyDown);
    EXPECT_EQ(c->GetSelected(), 2);
    EXPECT_EQ(selections, 2);
    // Hiding the combo box closes its list.
    Key(kKeySpace);
    EXPECT_TRUE(c->IsDropped());
    c->SetVisible(false);
    EXPECT_FALSE(c->IsDropped());
    c->SetVisible(true);
    c->ClearItems();
    Click(*m_Manager, drop);
    EXPECT_FALSE(c->IsDropped());  // nothing to choose from
}

TEST_F(GUIControls, TabBoxesSwitchPages) {
    ITabBox* t = Add<ITabBox>(m_Window, "t", cRect(10, 10, 390, 290));
    IContainer* first = t->AddPage("First");
    IContainer* second = t->AddPage("Second");
    EXPECT_EQ(t->GetActivePage(), 0);
    IButton* a = Add<IButton>(first, "a", cRect(10, 10, 100, 40));
    IButton* b = Add<IButton>(second, "b", cRect(10, 10, 100, 40));
    int pages = 0, clicksB = 0;
    Count(t, TE_PAGE, pages);
    Count(b, BE_CLICK, clicksB);
    // The page's controls are found from the window; only the shown page takes clicks.
    EXPECT_EQ(m_Window->FindControl("b"), b);
    Click(*m_Manager, b);
    EXPECT_EQ(clicksB, 0);
    EXPECT_FALSE(b->IsVisible() && second->IsVisible());
    // Headers: "First" from x 12, "Second" after it (7 pixels a character without fonts, 28 of padding).
    m_Manager->OnLeftButtonDown(12 + 61 + 20, 280);
    m_Manager->OnLeftButtonUp(12 + 61 + 20, 280);
    EXPECT_EQ(t->GetActivePage(), 1);
    Click(*m_Manager, b);
    EXPECT_EQ(clicksB, 1);
    t->SetFocus();
    Key(kKeyLeft);
    EXPECT_EQ(t->GetActivePage(), 0);
    EXPECT_TRUE(a->IsVisible() && first->IsVisible());
    Key(kKeyLeft);  // no page before the first
    EXPECT_EQ(pages, 2);
    t->SetActivePage(7);
    EXPECT_EQ(t->GetActivePage(), 0);
}

TEST_F(GUIControls, RadioGroupsChooseOne) {
    IRadioGroup* r = Add<IRadioGroup>(m_Window, "r", cRect(10, 10, 200, 110));
    r->AddItem("One", cRect(10, 60, 180, 80));
    r->AddItem("Two", cRect(10, 35, 180, 55));
    r->AddItem("Three", cRect(10, 10, 180, 30));
    int selections = 0;
    Count(r, RE_SELECT, selections);
    EXPECT_EQ(r->GetSelected(), -1);
    Click(*m_Manager, Part("main::r::item1"));
    EXPECT_EQ(r->GetSelected(), 1);
    EXPECT_TRUE(r->HasFocus());
    Key(kKeyDown);
    EXPECT_EQ(r->GetSelected(), 2);
    Key(kKeyDown);
    Click(*m_Manager, Part("main::r::item2"));
    EXPECT_EQ(selections, 2);
    r->SetSelected(5);
    EXPECT_EQ(r->GetSelected(), -1);
}

TEST_F(GUIControls, PropertyGridsEditValues) {
    IPropertyGrid* g = Add<IPropertyGrid>(m_Window, "g", cRect(10, 10, 300, 200));
    g->SetProperty("Speed", "4");
    g->SetProperty("Name", "Ann");
    g->SetProperty("Speed", "5");
    ASSERT_EQ(g->GetPropertyCount(), 2);
    EXPECT_EQ(*g->GetProperty("Speed"), "5");
    EXPECT_EQ(g->GetProperty("Missing"), nullptr);
    IControl* label = Part("main::g::PropertyGrid::label_Name");
    IControl* value = Part("main::g::PropertyGrid::edit_Name");
    ASSERT_TRUE(label && value);
    EXPECT_EQ(label->GetCaption(), "Name");
    int changes = 0;
    Count(g, PE_CHANGE, changes);
    Click(*m_Manager, value, 60, 10);
    Type(*m_Manager, "a");
    EXPECT_EQ(*g->GetProperty("Name"), "Anna");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(g->RemoveProperty("Name"));
    EXPECT_FALSE(g->RemoveProperty("Name"));
    EXPECT_EQ(g->GetPropertyCount(), 1);
    Type(*m_Manager, "b");  // the removed cell had the focus: nothing receives it
    EXPECT_EQ(*g->GetProperty("Speed"), "5");
}

TEST_F(GUIControls, ImagesClickAndLabelsTakeNothing) {
    IImage* i = Add<IImage>(m_Window, "i", cRect(10, 10, 60, 60));
    ILabel* l = Add<ILabel>(m_Window, "l", cRect(100, 10, 200, 30));
    int clicks = 0;
    Count(i, IE_CLICK, clicks);
    Click(*m_Manager, i);
    EXPECT_EQ(clicks, 1);
    Click(*m_Manager, l);
    EXPECT_FALSE(l->HasFocus());
    i->SetTextureName("missing.tga");
    EXPECT_EQ(i->GetTextureName(), "missing.tga");
}

} // namespace
} // namespace guitest
