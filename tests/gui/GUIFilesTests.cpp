// Saving and loading dialogs: the text writer's format and round trip, and
// binary dialogs, whole and damaged.
#include "GUIDemoDialog.h"
#include "GUITestSupport.h"

#include <cmath>
#include <cstring>
#include <random>

#include "engine/filesystem/IFile.h"
#include "gui/GUIFileIO.h"
#include "gui/cGUIExporter.h"
#include "gui/cWindow.h"

namespace guitest {
namespace {

class GUIFiles : public cGUITest {
protected:
    std::string Read(const std::string& name) {
        const std::vector<std::uint8_t> bytes = vtest::ReadFileBytes(m_Files.Root() + "/" + name);
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> Bytes(const std::string& name) { return vtest::ReadFileBytes(m_Files.Root() + "/" + name); }
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        vtest::WriteFileBytes(m_Files.Root() + "/" + name, bytes);
    }
    // A fresh manager over the same files.
    std::unique_ptr<cGUIManager> Fresh() {
        std::unique_ptr<cGUIManager> manager;
        Logged([&] { manager.reset(new cGUIManager(script::CreateScriptEnv())); });
        return manager;
    }
    bool Load(cGUIManager& manager, const char* name, std::string* log = nullptr) {
        bool ok = false;
        const std::string out = Logged([&] { ok = manager.LoadGUI(name); });
        if (log) *log = out;
        return ok;
    }
};

const char* const kTextDialog = R"(
window "main" {
    rect ( 10.5, 20.25, 410, 320.125 ) caption "Main" dockingThreshold 6 isDockable true isDragable true
    button "ok" { rect ( 300, 10, 380, 40 ) caption "OK" }
    check "sound" { rect ( 10, 200, 150, 220 ) caption "Sound" isChecked true isEnabled false }
    edit "name" { rect ( 10, 170, 150, 194 ) text "tab\there, back\\slash" isNumberOnly true isReadOnly true }
    label "hint" { rect ( 10, 140, 150, 160 ) caption "two\nlines" isVisible false }
    image "logo" { rect ( 160, 140, 220, 200 ) texture "logo.tga" }
    list "files" { rect ( 230, 100, 380, 200 ) items { "a" "b" "c" } selected 2 }
    radio "mode" { rect ( 10, 50, 150, 130 ) caption "Mode" item { caption "A" rect ( 5, 5, 90, 25 ) }
                   item { caption "B" rect ( 5, 30, 90, 50 ) } selected 0 }
    combo "size" { rect ( 160, 60, 220, 84 ) items { "S" "M" "L" } selected 1 }
    group "outer" { rect ( 230, 10, 290, 90 ) caption "Outer"
        group "inner" { rect ( 5, 5, 55, 60 ) caption "" button "deep" { rect ( 2, 2, 40, 20 ) caption "D" } }
    }
}
window "second" { rect ( 0, 0, 100, 100 ) isEnabled false isVisible false }
)";

TEST_F(GUIFiles, SavedTextReadsBackToTheSameControls) {
    ASSERT_TRUE(LoadText(kTextDialog));
    const std::string before = Describe(*m_Manager);
    std::string log = Logged([&] { EXPECT_TRUE(m_Manager->SaveGUI("saved.txt")); });
    EXPECT_EQ(log, "");
    const std::string saved = Read("saved.txt");

    auto other = Fresh();
    ASSERT_TRUE(Load(*other, "saved.txt", &log)) << log << saved;
    EXPECT_EQ(Describe(*other), before) << saved;
    // Saving again writes the same text.
    Logged([&] { other->SaveGUI("again.txt"); });
    EXPECT_EQ(Read("again.txt"), saved);
}

TEST_F(GUIFiles, TextWriterFormat) {
    ASSERT_TRUE(LoadText(R"(window "w" { rect ( 1, 2, 3, 4 ) caption "Cap" dockingThreshold 5
                              button "b" { rect ( 5, 6, 7, 8 ) caption "B" }
                              group "g" { rect ( 0, 0, 50, 50 ) caption "G" label "l" { caption "L" } }
                              combo "c" { items { "x" "y" } } })"));
    const std::string text = cGUIExporter::ExportToString(m_Manager->GetWindows());
    const std::string expected =
        "window \"w\" {\n"
        "\trect\t( 1.0000, 2.0000, 3.0000, 4.0000 )\n"
        "\tcaption\t\"Cap\"\n"
        "\tdockingThreshold\t5.0000\n"
        "\tisDockable\tfalse\n"
        "\tisDragable\tfalse\n"
        "\tisEnabled\ttrue\n"
        "\tisVisible\ttrue\n"
        "\n\tbutton \"b\" {\n"
        "\t\trect\t\t( 5.0000, 6.0000, 7.0000, 8.0000 )\n"
        "\t\tcaption\t\t\"B\"\n"
        "\t\tisEnabled\t\ttrue\n"
        "\t\tisVisible\t\ttrue\n"
        "\t}\n"
        "\n\tgroup \"g\" {\n"
        "\t\trect\t( 0.0000, 0.0000, 50.0000, 50.0000 )\n"
        "\t\tcaption\t\"G\"\n"
        "\t\tisEnabled\ttrue\n"
        "\t\tisVisible\ttrue\n"
        "\n\t\tlabel \"l\" {\n"
        "\t\t\trect\t\t( 0.0000, 0.0000, 0.0000, 0.0000 )\n"
        "\t\t\tcaption\t\t\"L\"\n"
        "\t\t\tisEnabled\t\ttrue\n"
        "\t\t\tisVisible\t\ttrue\n"
        "\t\t}\n"
        "\t}\n"
        "\n\tcombo \"c\" {\n"
        "\t\trect\t\t( 0.0000, 0.0000, 0.0000, 0.0000 )\n"
        "\t\tisEnabled\t\ttrue\n"
        "\t\tisVisible\t\ttrue\n"
        "\t\titems {\n"
        "\t\t\t\"x\" \"y\"\n"
        "\t\t}\n"
        "\t\tselected\t\t-1\n"
        "\t}\n"
        "}\n";
    EXPECT_EQ(text, expected);
}

TEST_F(GUIFiles, WriterFailuresAreLogged) {
    ASSERT_TRUE(LoadText("window \"w\" { }"));
    const std::string log = Logged([&] { EXPECT_FALSE(m_Manager->SaveGUI("no/such/folder/x.txt")); });
    EXPECT_NE(log.find("cGUIManager::SaveGUI : cGUIExporter::Export : failed to open file 'no/such/folder/x.txt'\n"),
              std::string::npos)
        << log;
}

TEST_F(GUIFiles, BinaryDialogsKeepEveryControlKind) {
    BuildDemoDialog(*m_Manager);
    ASSERT_TRUE(LoadText("window \"extra\" { rect ( 5, 5, 50, 50 ) caption \"Extra\" isVisible false }"));
    const std::string before = Describe(*m_Manager);
    for (const char* kind : {"cSlider", "cScroll", "cTabBox", "cPropertyGrid", "cComboBox", "cRadioGroup"}) {
        EXPECT_NE(before.find(kind), std::string::npos) << kind;
    }
    ASSERT_TRUE(m_Manager->SaveGUI("demo.bingui"));
    auto other = Fresh();
    std::string log;
    ASSERT_TRUE(Load(*other, "demo.bingui", &log)) << log;
    EXPECT_EQ(Describe(*other), before);
    // Controls read from a binary file are found and registered like any other.
    ASSERT_NE(other->FindControl("demo::scenes"), nullptr);
    EXPECT_NE(other->GetScript()->GetVariable("demo::scenes"), nullptr);
    EXPECT_NE(log.find("Creating tab box 'demo::tabs'... succeeded"), std::string::npos);

    // A first byte other than 1 ends the records at once.
    WriteBytes("empty.bingui", {0});
    auto third = Fresh();
    EXPECT_TRUE(Load(*third, "empty.bingui"));
    EXPECT_EQ(third->GetWindowCount(), 0);
}

// Bytes of a binary record, written by hand.
class cRecord {
public:
    cRecord& Byte(std::uint8_t b) {
        m_Bytes.push_back(b);
        return *this;
    }
    cRecord& Int(std::int32_t v) {
        for (int i = 0; i < 4; ++i) m_Bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    cRecord& Float(float v) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        return Int(bits);
    }
    cRecord& Text(const std::string& s) {
        Int(static_cast<std::int32_t>(s.size()));
        m_Bytes.insert(m_Bytes.end(), s.begin(), s.end());
        return *this;
    }
    // Rectangle, visible, enabled, dragable and caption.
    cRecord& Common(const std::string& caption = "") {
        return Float(0).Float(0).Float(100).Float(50).Byte(1).Byte(1).Byte(0).Text(caption);
    }
    // The start of a window record up to its child count.
    cRecord& Window(const std::string& name) { return Byte(1).Text(name).Common("W").Float(8).Byte(0); }
    const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }

private:
    std::vector<std::uint8_t> m_Bytes;
};

TEST_F(GUIFiles, DamagedBinaryDialogsGiveTheReadersMessage) {
    const struct {
        const char* what;
        cRecord record;
        const char* message;
    } cases[] = {
        {"unknown kind", cRecord().Window("bad").Int(1).Int(42).Text("x"), "cContainer::ReadFromFile : unknown control"},
        {"window kind as child", cRecord().Window("bad").Int(1).Int(CK_WINDOW).Text("x"),
         "cContainer::ReadFromFile : unknown control"},
        {"duplicate name", cRecord().Window("bad").Int(2).Int(CK_LABEL).Text("x").Common().Int(CK_BUTTON).Text("x"),
         "cContainer::ReadFromFile : failed to create control"},
        {"negative count", cRecord().Window("bad").Int(-1), "cContainer::ReadFromFile : invalid count -1"},
        {"huge count", cRecord().Window("bad").Int(1 << 30), "cContainer::ReadFromFile : invalid count 1073741824"},
        {"string length", cRecord().Byte(1).Int(-5), "cGUIManager::LoadGUI : invalid string length -5"},
        {"list count", cRecord().Window("bad").Int(1).Int(CK_LIST_BOX).Text("l").Common().Int(-2),
         "cListBox::ReadFromFile : invalid count -2"},
        {"item text", cRecord().Window("bad").Int(1).Int(CK_COMBO_BOX).Text("c").Common().Int(1).Int(70000),
         "cComboBox::ReadFromFile : invalid string length 70000"},
        {"not a number", cRecord().Byte(1).Text("bad").Float(0).Float(std::nanf("")),
         "cControl::ReadFromFile : invalid number"},
        {"truncated", cRecord().Window("bad").Int(1).Int(CK_SLIDER).Text("s").Common().Float(0),
         "cSlider::ReadFromFile : unexpected end of file"},
    };
    for (const auto& c : cases) {
        // A good window first: it stays.
        std::vector<std::uint8_t> bytes = cRecord().Window("good").Int(0).Bytes();
        bytes.insert(bytes.end(), c.record.Bytes().begin(), c.record.Bytes().end());
        WriteBytes("bad.bingui", bytes);
        auto manager = Fresh();
        std::string log;
        EXPECT_FALSE(Load(*manager, "bad.bingui", &log)) << c.what;
        EXPECT_NE(log.find(std::string("cGUIManager::LoadGUI : ") + c.message + "\n"), std::string::npos)
            << c.what << "\n" << log;
        EXPECT_NE(manager->FindWindow("good"), nullptr) << c.what;
        EXPECT_EQ(manager->FindWindow("bad"), nullptr) << c.what;
        EXPECT_EQ(manager->GetWindowCount(), 1) << c.what;
    }
}

TEST_F(GUIFiles, NestingInBinaryDialogsIsBounded) {
    cRecord record;
    record.Window("deep").Int(1);
    for (int i = 0; i < 200; ++i) record.Int(CK_GROUP_BOX).Text("g" + std::to_string(i)).Common().Int(1);
    WriteBytes("deep.bingui", record.Bytes());
    std::string log;
    EXPECT_FALSE(Load(*m_Manager, "deep.bingui", &log));
    EXPECT_NE(log.find("cGUIManager::LoadGUI : cContainer::ReadFromFile : controls nested too deep\n"), std::string::npos);
    EXPECT_EQ(m_Manager->GetWindowCount(), 0);
}

TEST_F(GUIFiles, EveryTruncationAndRandomDamageLoadsOnlyWholeWindows) {
    BuildDemoDialog(*m_Manager);
    ASSERT_TRUE(LoadText("window \"second\" { button \"b\" { caption \"B\" } }"));
    ASSERT_TRUE(m_Manager->SaveGUI("all.bingui"));
    const std::vector<std::uint8_t> whole = Bytes("all.bingui");
    const std::string demo = Describe(m_Manager->FindWindow("demo"));
    ASSERT_GT(whole.size(), 100u);
    // Cut anywhere: either the demo window came through whole, or nothing did.
    for (std::size_t cut = 1; cut < whole.size(); cut += 7) {
        WriteBytes("cut.bingui", std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
        auto manager = Fresh();
        Load(*manager, "cut.bingui");
        IWindow* w = manager->FindWindow("demo");
        if (w) {
            EXPECT_EQ(Describe(w), demo) << "cut at " << cut;
        }
        EXPECT_EQ(manager->FindWindow("second"), nullptr) << "cut at " << cut;
    }
    // Random bytes changed: never a crash, and the managers stay usable.
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> damaged = whole;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        WriteBytes("damaged.bingui", damaged);
        auto manager = Fresh();
        Load(*manager, "damaged.bingui");
        Logged([&] {
            manager->OnLeftButtonDown(100, 100);
            manager->OnLeftButtonUp(100, 100);
            manager->OnKeyDown(kKeyDown);
            manager->Update();
            manager->SaveGUI("resaved.txt");
        });
    }
}

} // namespace
} // namespace guitest
