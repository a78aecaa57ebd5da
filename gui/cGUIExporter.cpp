#include "gui/cGUIExporter.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "gui/GUIFileIO.h"
#include "gui/IControls.h"
#include "gui/cContainer.h"
#include "gui/cWindow.h"
#include "engine/core/PrintfFormat.h"

namespace velmora::gui {

namespace {

void Append(std::string& out, const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(2, 3)
#endif
    ;

void Append(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::string piece(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(piece.data(), piece.size(), format, args);
        piece.resize(static_cast<std::size_t>(length));
        out += piece;
    }
    va_end(args);
}

// A text as the dialog reader takes it back inside double quotes.
std::string Quoted(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '"': out += '\''; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\0': out += "\\0"; break;
        default: out += c; break;
        }
    }
    return out;
}

const char* Bool(bool value) { return value ? "true" : "false"; }

void WriteRect(std::string& out, const char* format, const std::string& indent, const cRect& r) {
    Append(out, format, indent.c_str(), r.x1, r.y1, r.x2, r.y2);
}

void WriteItems(std::string& out, const std::string& indent, std::int32_t count,
                const std::string& (*item)(const cControl&, std::int32_t), const cControl& control) {
    Append(out, "%s\titems {\n%s\t\t", indent.c_str(), indent.c_str());
    for (std::int32_t i = 0; i < count; ++i) Append(out, "%s\"%s\"", i ? " " : "", Quoted(item(control, i)).c_str());
    Append(out, "\n\t%s}\n", indent.c_str());
}

const std::string& ListItem(const cControl& c, std::int32_t i) { return dynamic_cast<const IListBox&>(c).GetItem(i); }
const std::string& ComboItem(const cControl& c, std::int32_t i) {
    return dynamic_cast<const IComboBox&>(c).GetItem(i);
}

} // namespace

void cGUIExporter::Export(const std::vector<cWindow*>& windows, const char* path) {
    IFile* file = OpenDialogFile(path, "wt");
    if (!file) {
        RaiseError("cGUIExporter::Export : failed to open file '%s'", path ? path : "");
    }
    const std::string text = ExportToString(windows);
    const auto size = static_cast<std::int32_t>(text.size());
    const std::int32_t written = size > 0 ? file->Write(text.data(), 1, size) : 0;
    file->Release();
    if (written != size) {
        RaiseError("cGUIExporter::Export : failed to write file '%s'", path);
    }
}

std::string cGUIExporter::ExportToString(const std::vector<cWindow*>& windows) {
    std::string out;
    for (const cWindow* window : windows) {
        if (window) WriteWindow(out, *window);
    }
    return out;
}

void cGUIExporter::WriteWindow(std::string& out, const cWindow& window) {
    const cRect r = window.GetRect();
    Append(out, "window \"%s\" {\n", Quoted(window.GetName()).c_str());
    Append(out, "\trect\t( %2.4f, %2.4f, %2.4f, %2.4f )\n", r.x1, r.y1, r.x2, r.y2);
    Append(out, "\tcaption\t\"%s\"\n", Quoted(window.GetCaption()).c_str());
    Append(out, "\tdockingThreshold\t%2.4f\n", window.GetDockingThreshold());
    Append(out, "\tisDockable\t%s\n", Bool(window.IsDockable()));
    Append(out, "\tisDragable\t%s\n", Bool(window.IsDragable()));
    Append(out, "\tisEnabled\t%s\n", Bool(window.IsEnabled()));
    Append(out, "\tisVisible\t%s\n", Bool(window.IsVisible()));
    for (const std::unique_ptr<cControl>& child : window.GetChildren()) {
        if (!child->IsPart()) WriteControl(out, *child, "\t");
    }
    Append(out, "}\n");
}

void cGUIExporter::WriteControl(std::string& out, const cControl& control, const std::string& indent) {
    const char* in = indent.c_str();
    const std::string name = Quoted(control.GetName());
    const std::string caption = Quoted(control.GetCaption());
    auto common = [&](const char* keyword, bool withCaption) {
        Append(out, "\n%s%s \"%s\" {\n", in, keyword, name.c_str());
        WriteRect(out, "%s\trect\t\t( %2.4f, %2.4f, %2.4f, %2.4f )\n", indent, control.GetRect());
        if (withCaption) Append(out, "%s\tcaption\t\t\"%s\"\n", in, caption.c_str());
        Append(out, "%s\tisEnabled\t\t%s\n", in, Bool(control.IsEnabled()));
        Append(out, "%s\tisVisible\t\t%s\n", in, Bool(control.IsVisible()));
    };
    switch (control.GetKind()) {
    case CK_BUTTON: common("button", true); break;
    case CK_LABEL: common("label", true); break;
    case CK_CHECK_BOX:
        common("check", true);
        Append(out, "%s\tisChecked\t\t%s\n", in, Bool(dynamic_cast<const ICheckBox&>(control).IsChecked()));
        break;
    case CK_EDIT: {
        const auto& edit = dynamic_cast<const IEdit&>(control);
        common("edit", false);
        Append(out, "%s\ttext\t\t\"%s\"\n", in, Quoted(edit.GetText()).c_str());
        Append(out, "%s\tisTextOnly\t\t%s\n", in, Bool(edit.IsTextOnly()));
        Append(out, "%s\tisNumberOnly\t\t%s\n", in, Bool(edit.IsNumberOnly()));
        Append(out, "%s\tisMultiline\t\t%s\n", in, Bool(edit.IsMultiline()));
        Append(out, "%s\tisReadOnly\t\t%s\n", in, Bool(edit.IsReadOnly()));
        break;
    }
    case CK_IMAGE:
        common("image", false);
        Append(out, "%s\ttexture\t\t\"%s\"\n", in, Quoted(dynamic_cast<const IImage&>(control).GetTextureName()).c_str());
        break;
    case CK_LIST_BOX: {
        const auto& list = dynamic_cast<const IListBox&>(control);
        common("list", false);
        WriteItems(out, indent, list.GetItemCount(), &ListItem, control);
        Append(out, "%s\tselected\t\t%d\n", in, list.GetSelected());
        break;
    }
    case CK_COMBO_BOX: {
        const auto& combo = dynamic_cast<const IComboBox&>(control);
        common("combo", false);
        WriteItems(out, indent, combo.GetItemCount(), &ComboItem, control);
        Append(out, "%s\tselected\t\t%d\n", in, combo.GetSelected());
        break;
    }
    case CK_RADIO_GROUP: {
        const auto& radio = dynamic_cast<const IRadioGroup&>(control);
        common("radio", true);
        const std::string itemIndent = indent + "\t";
        for (std::int32_t i = 0; i < radio.GetItemCount(); ++i) {
            Append(out, "%sitem {\n", itemIndent.c_str());
            Append(out, "%s\t\tcaption\t\t\"%s\"\n", in, Quoted(radio.GetItemCaption(i)).c_str());
            WriteRect(out, "%s\t\trect\t\t( %2.4f, %2.4f, %2.4f, %2.4f )\n", indent, radio.GetItemRect(i));
            Append(out, "%s}\n\n", itemIndent.c_str());
        }
        Append(out, "%s\tselected\t\t%d\n", in, radio.GetSelected());
        break;
    }
    case CK_GROUP_BOX: {
        Append(out, "\n%sgroup \"%s\" {\n", in, name.c_str());
        WriteRect(out, "%s\trect\t( %2.4f, %2.4f, %2.4f, %2.4f )\n", indent, control.GetRect());
        Append(out, "%s\tcaption\t\"%s\"\n", in, caption.c_str());
        Append(out, "%s\tisEnabled\t%s\n", in, Bool(control.IsEnabled()));
        Append(out, "%s\tisVisible\t%s\n", in, Bool(control.IsVisible()));
        const std::string inner = indent + "\t";
        for (const std::unique_ptr<cControl>& child : dynamic_cast<const cContainer&>(control).GetChildren()) {
            if (!child->IsPart()) WriteControl(out, *child, inner);
        }
        break;
    }
    default: return;  // no text form
    }
    Append(out, "%s}\n", in);
}

} // namespace velmora::gui
