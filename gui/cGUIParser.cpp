#include "gui/cGUIParser.h"

#include <memory>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "gui/GUIFileIO.h"
#include "gui/IControls.h"
#include "gui/cContainer.h"
#include "gui/cGUIManager.h"
#include "gui/cWindow.h"

namespace velmora::gui {

namespace {

constexpr const char* kSeparators =
    "= + - * / += -= *= /= < > <= >= && || == != ++ -- ! , ; ( ) { } [ ] :: : . -> &";

template <class T>
T& As(cControl& control) {
    return dynamic_cast<T&>(control);
}

} // namespace

cGUIParser::cGUIParser(cGUIManager& manager) : m_Manager(manager) {
    SetSeparators(kSeparators);
    m_Properties["rect"] = tPropertyReader(this, &cGUIParser::ReadRect);
    m_Properties["isVisible"] = tPropertyReader(this, &cGUIParser::ReadVisible);
    m_Properties["isEnabled"] = tPropertyReader(this, &cGUIParser::ReadEnabled);
    m_Properties["isDragable"] = tPropertyReader(this, &cGUIParser::ReadDragable);
    m_Controls["button"] = tControlReader(this, &cGUIParser::ParseButton);
    m_Controls["check"] = tControlReader(this, &cGUIParser::ParseCheckBox);
    m_Controls["edit"] = tControlReader(this, &cGUIParser::ParseEdit);
    m_Controls["label"] = tControlReader(this, &cGUIParser::ParseLabel);
    m_Controls["image"] = tControlReader(this, &cGUIParser::ParseImage);
    m_Controls["group"] = tControlReader(this, &cGUIParser::ParseGroupBox);
    m_Controls["list"] = tControlReader(this, &cGUIParser::ParseListBox);
    m_Controls["radio"] = tControlReader(this, &cGUIParser::ParseRadioGroup);
    m_Controls["combo"] = tControlReader(this, &cGUIParser::ParseComboBox);
}

void cGUIParser::ParseFile(const char* path) {
    IFile* file = OpenDialogFile(path, nullptr);
    if (!file) {
        RaiseError("cGUIParser::ParseFile : file '%s' not found", path ? path : "");
    }
    std::unique_ptr<std::uint8_t[]> data(file->ReadAll());
    const std::int32_t size = file->GetSize();
    file->Release();
    if (!data) {
        RaiseError("cGUIParser::ParseFile : failed to read file '%s'", path);
    }
    ParseText(std::string(reinterpret_cast<const char*>(data.get()), static_cast<std::size_t>(size)), path);
}

void cGUIParser::ParseText(const std::string& text, const char* sourceName) {
    try {
        Reset();
        GetTokenizer().SetText(text, sourceName ? sourceName : "memory");
        Next();
        while (!IsEnd()) {
            if (!Accept("window")) {
                Error("unexpected token '%s'", GetToken().text.c_str());
            }
            ParseWindow();
        }
    } catch (const cException& e) {
        // The tokenizer's own messages carry no place: add it.
        const std::string text = e.GetText();
        const std::string prefix = GetSourceName() + "(";
        if (text.compare(0, prefix.size(), prefix) == 0 || text.compare(0, 12, "cGUIParser::") == 0 ||
            text.find("ReadFromFile") != std::string::npos) {
            throw;
        }
        RaiseError("%s( %d ) error : %s", GetSourceName().c_str(), GetTokenizer().GetTokenLine(), text.c_str());
    }
}

void cGUIParser::ParseWindow() {
    std::string name;
    ReadString(name);
    auto* window = dynamic_cast<cWindow*>(m_Manager.CreateDialog(name.c_str(), 0));
    if (!window) {
        RaiseError("cGUIParser::ParseWindow : failed to create window");
    }
    // Nothing half-read stays: the window goes with whatever it holds.
    try {
        window->SetLoading(true);
        Expect("{");
        while (!EndOfBlock()) {
            if (ParseCommonProperty(*window) || ParseControl(*window, 1) || ParseCaption(*window)) continue;
            if (Accept("dockingThreshold")) {
                float threshold = 0.0f;
                ReadFloat(threshold);
                window->SetDockingThreshold(threshold);
            } else if (Accept("isDockable")) {
                window->SetDockable(ReadBoolean());
            } else {
                Error("unexpected token '%s'", GetToken().text.c_str());
            }
        }
        window->SetLoading(false);
    } catch (...) {
        m_Manager.DestroyDialog(window);
        throw;
    }
    m_Manager.RegisterLoaded(window);
}

bool cGUIParser::EndOfBlock() {
    if (IsEnd()) {
        Error("unexpected end of file; '%s' expected", "}");
    }
    return Accept("}");
}

bool cGUIParser::ParseCommonProperty(cControl& control) {
    if (IsEnd() || GetToken().type == TOKEN_STRING || GetToken().type == TOKEN_CHAR) return false;
    auto it = m_Properties.find(GetToken().text);
    if (it == m_Properties.end()) return false;
    Next();
    it->second(control);
    return true;
}

bool cGUIParser::ParseControl(cContainer& container, std::int32_t depth) {
    if (IsEnd() || GetToken().type == TOKEN_STRING || GetToken().type == TOKEN_CHAR) return false;
    auto it = m_Controls.find(GetToken().text);
    if (it == m_Controls.end()) return false;
    if (depth > cContainer::kMaxDepth) {
        Error("controls nested too deep");
    }
    Next();
    it->second(container, depth);
    return true;
}

bool cGUIParser::ParseCaption(cControl& control) {
    if (!Accept("caption")) return false;
    std::string caption;
    ReadString(caption);
    control.SetCaption(caption);
    return true;
}

void cGUIParser::ReadRect(cControl& control) {
    std::vector<float> values;
    ReadFloatList(values);
    if (values.size() != 4) {
        Error("vector overflow; %dd vector expected", 4);
    }
    control.SetRect(cRect(values[0], values[1], values[2], values[3]));
}

bool cGUIParser::ReadBoolean() {
    if (IsEnd() || GetToken().type != TOKEN_BOOLEAN) {
        Error("boolean expected, found '%s'", GetToken().text.c_str());
    }
    const bool value = GetToken().text == "true";
    Next();
    return value;
}

void cGUIParser::ReadVisible(cControl& control) { control.SetVisible(ReadBoolean()); }
void cGUIParser::ReadEnabled(cControl& control) { control.SetEnabled(ReadBoolean()); }
void cGUIParser::ReadDragable(cControl& control) { control.SetDragable(ReadBoolean()); }

cControl* cGUIParser::BeginControl(cContainer& container, std::int32_t kind, const char* failure) {
    std::string name;
    ReadString(name);
    auto* control = dynamic_cast<cControl*>(container.AddControl(kind, name.c_str()));
    if (!control) {
        RaiseError("%s", failure);
    }
    Expect("{");
    return control;
}

void cGUIParser::ReadItems(std::vector<std::string>& items) {
    Expect("{");
    while (!EndOfBlock()) {
        if (items.size() >= static_cast<std::size_t>(kMaxFileCount)) {
            Error("too many items");
        }
        std::string item;
        ReadString(item);
        items.push_back(item);
        Accept(",");
    }
}

void cGUIParser::ParseButton(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_BUTTON, "cGUIParser::ParseButton : failed to create button");
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        Error("unexpected token '%s'", GetToken().text.c_str());
    }
}

void cGUIParser::ParseCheckBox(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_CHECK_BOX, "cGUIParser::ParseCheckBox : failed to create check box");
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        if (Accept("isChecked")) {
            As<ICheckBox>(*c).SetChecked(ReadBoolean());
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
}

void cGUIParser::ParseEdit(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_EDIT, "cGUIParser::ParseEdit : failed to create edit box");
    IEdit& edit = As<IEdit>(*c);
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        if (Accept("text")) {
            std::string text;
            ReadString(text);
            edit.SetText(text);
        } else if (Accept("isTextOnly")) {
            edit.SetTextOnly(ReadBoolean());
        } else if (Accept("isNumberOnly")) {
            edit.SetNumberOnly(ReadBoolean());
        } else if (Accept("isMultiline")) {
            edit.SetMultiline(ReadBoolean());
        } else if (Accept("isReadOnly")) {
            edit.SetReadOnly(ReadBoolean());
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
}

void cGUIParser::ParseLabel(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_LABEL, "cGUIParser::ParseLabel : failed to create label");
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        Error("unexpected token '%s'", GetToken().text.c_str());
    }
}

void cGUIParser::ParseImage(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_IMAGE, "cGUIParser::ParseImage : failed to create image");
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c)) continue;
        if (Accept("texture")) {
            std::string texture;
            ReadString(texture);
            As<IImage>(*c).SetTextureName(texture);
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
}

void cGUIParser::ParseGroupBox(cContainer& container, std::int32_t depth) {
    cControl* c = BeginControl(container, CK_GROUP_BOX, "cGUIParser::ParseGroupBox : failed to create window");
    auto& group = As<cContainer>(*c);
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c) || ParseControl(group, depth + 1)) continue;
        Error("unexpected token '%s'", GetToken().text.c_str());
    }
}

void cGUIParser::ParseListBox(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_LIST_BOX, "cGUIParser::ParseListBox : failed to create image");
    IListBox& list = As<IListBox>(*c);
    std::int32_t selected = -1;
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        if (Accept("items")) {
            std::vector<std::string> items;
            ReadItems(items);
            for (const std::string& item : items) list.AddItem(item);
        } else if (Accept("selected")) {
            ReadInt(selected);
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
    list.SetSelected(selected);
}

void cGUIParser::ParseRadioGroup(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_RADIO_GROUP, "cGUIParser::ParseRadioGroup : failed to create radio group");
    IRadioGroup& radio = As<IRadioGroup>(*c);
    std::int32_t selected = -1;
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        if (Accept("item")) {
            std::string caption;
            cRect rect;
            Expect("{");
            while (!EndOfBlock()) {
                if (Accept("caption")) {
                    ReadString(caption);
                } else if (Accept("rect")) {
                    std::vector<float> values;
                    ReadFloatList(values);
                    if (values.size() != 4) {
                        Error("vector overflow; %dd vector expected", 4);
                    }
                    rect = cRect(values[0], values[1], values[2], values[3]);
                } else {
                    Error("unexpected token '%s'", GetToken().text.c_str());
                }
            }
            if (radio.AddItem(caption, rect) < 0) {
                Error("too many items");
            }
        } else if (Accept("selected")) {
            ReadInt(selected);
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
    radio.SetSelected(selected);
}

void cGUIParser::ParseComboBox(cContainer& container, std::int32_t) {
    cControl* c = BeginControl(container, CK_COMBO_BOX, "cGUIParser::ParseComboBox : failed to create combo box");
    IComboBox& combo = As<IComboBox>(*c);
    std::int32_t selected = -1;
    while (!EndOfBlock()) {
        if (ParseCommonProperty(*c) || ParseCaption(*c)) continue;
        if (Accept("items")) {
            std::vector<std::string> items;
            ReadItems(items);
            for (const std::string& item : items) combo.AddItem(item);
        } else if (Accept("selected")) {
            ReadInt(selected);
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
    combo.SetSelected(selected);
}

} // namespace velmora::gui
