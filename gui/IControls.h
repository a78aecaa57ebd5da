#pragma once
// The control catalogue. Each interface names its kind (kKind) for
// AddControl<T>. Setters called by the host never raise events; events come
// from the user's input only.

#include <cstdint>
#include <string>

#include "gui/IControl.h"

namespace velmora::gui {

// A push button: pressed with the left button or Space / Enter while focused; BE_CLICK on release inside.
class IButton : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_BUTTON;
    // True while held down by the mouse.
    virtual bool IsPressed() const = 0;
};

// A line (or lines, split at "\n") of text.
class ILabel : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_LABEL;
};

// A box with a caption that toggles on click or Space; CBE_CHANGE when the user toggles it.
class ICheckBox : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_CHECK_BOX;
    virtual bool IsChecked() const = 0;
    virtual void SetChecked(bool checked) = 0;
};

// A scroll bar, vertical when its rect is taller than wide. Parts: "decrease" and "increase" buttons and the
// "thumb". The position runs from the minimum (top / left) to the maximum.
class IScroll : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_SCROLL;
    // Sets the range (swapped when given backwards) and clamps the position into it.
    virtual void SetRange(std::int32_t minimum, std::int32_t maximum) = 0;
    virtual std::int32_t GetMinimum() const = 0;
    virtual std::int32_t GetMaximum() const = 0;
    // Clamped into the range.
    virtual void SetPosition(std::int32_t position) = 0;
    virtual std::int32_t GetPosition() const = 0;
    // Positions one click on the track moves, also the relative size of the thumb (at least 1).
    virtual void SetPageSize(std::int32_t size) = 0;
    virtual std::int32_t GetPageSize() const = 0;
};

// A text field with a caret. isNumberOnly accepts digits, one '.' and a leading '-'; isTextOnly refuses digits;
// isMultiline takes Enter as a line break. EE_CHANGE after each edit, EE_ENTER on Enter in a one-line field.
class IEdit : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_EDIT;
    static constexpr std::int32_t kDefaultMaxLength = 1024;
    virtual const std::string& GetText() const = 0;
    // Replaces the text (cut at the maximum length) and puts the caret at its end.
    virtual void SetText(const std::string& text) = 0;
    virtual bool IsTextOnly() const = 0;
    virtual void SetTextOnly(bool on) = 0;
    virtual bool IsNumberOnly() const = 0;
    virtual void SetNumberOnly(bool on) = 0;
    virtual bool IsMultiline() const = 0;
    virtual void SetMultiline(bool on) = 0;
    // A read-only field shows its text and takes no typing.
    virtual bool IsReadOnly() const = 0;
    virtual void SetReadOnly(bool on) = 0;
    // The caret as a character index 0..length.
    virtual std::int32_t GetCaret() const = 0;
    virtual void SetCaret(std::int32_t index) = 0;
    virtual void SetMaxLength(std::int32_t length) = 0;
};

// A texture drawn over the rect; IE_CLICK when clicked. The texture is loaded when first drawn.
class IImage : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_IMAGE;
    virtual const std::string& GetTextureName() const = 0;
    virtual void SetTextureName(const std::string& name) = 0;
};

// A captioned frame holding controls.
class IGroupBox : public virtual IContainer {
public:
    static constexpr std::int32_t kKind = CK_GROUP_BOX;
};

// A list of text items with one selection and a "verticalScroll" part shown when the items overflow.
class IListBox : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_LIST_BOX;
    virtual std::int32_t AddItem(const std::string& text) = 0;
    // False for an index out of range; the selection follows its item.
    virtual bool RemoveItem(std::int32_t index) = 0;
    virtual void ClearItems() = 0;
    virtual std::int32_t GetItemCount() const = 0;
    // The item's text; empty out of range.
    virtual const std::string& GetItem(std::int32_t index) const = 0;
    // -1 when nothing is selected.
    virtual std::int32_t GetSelected() const = 0;
    // An index out of range selects nothing.
    virtual void SetSelected(std::int32_t index) = 0;
};

// A captioned set of exclusive choices (parts "item0", "item1", ...); RE_SELECT when the user picks one.
class IRadioGroup : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_RADIO_GROUP;
    // An item at a rect relative to the group; returns its index.
    virtual std::int32_t AddItem(const std::string& caption, const cRect& rect) = 0;
    virtual std::int32_t GetItemCount() const = 0;
    virtual const std::string& GetItemCaption(std::int32_t index) const = 0;
    virtual cRect GetItemRect(std::int32_t index) const = 0;
    virtual std::int32_t GetSelected() const = 0;
    virtual void SetSelected(std::int32_t index) = 0;
};

// A horizontal track with a draggable "thumb"; the value runs from the minimum (left) to the maximum.
class ISlider : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_SLIDER;
    virtual void SetRange(float minimum, float maximum) = 0;
    virtual float GetMinimum() const = 0;
    virtual float GetMaximum() const = 0;
    // Clamped into the range and rounded to the step when there is one.
    virtual void SetValue(float value) = 0;
    virtual float GetValue() const = 0;
    // 0 for a continuous value; also the amount Left / Right move it (else a twentieth of the range).
    virtual void SetStep(float step) = 0;
    virtual float GetStep() const = 0;
};

// A read-only "edit_Selected" field and a "button_Drop" button that open the "list_Items" list below them.
class IComboBox : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_COMBO_BOX;
    virtual std::int32_t AddItem(const std::string& text) = 0;
    virtual void ClearItems() = 0;
    virtual std::int32_t GetItemCount() const = 0;
    virtual const std::string& GetItem(std::int32_t index) const = 0;
    virtual std::int32_t GetSelected() const = 0;
    virtual void SetSelected(std::int32_t index) = 0;
    virtual bool IsDropped() const = 0;
    virtual void SetDropped(bool dropped) = 0;
};

// Pages with tab headers along the top; one page is shown at a time.
class ITabBox : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_TAB_BOX;
    // A new page (a container filling the box below the headers); the first page added is shown.
    virtual IContainer* AddPage(const std::string& caption) = 0;
    virtual std::int32_t GetPageCount() const = 0;
    virtual IContainer* GetPage(std::int32_t index) = 0;
    virtual const std::string& GetPageCaption(std::int32_t index) const = 0;
    virtual std::int32_t GetActivePage() const = 0;
    virtual void SetActivePage(std::int32_t index) = 0;
};

// Name / value rows: a container "PropertyGrid" holding a label "label_<name>" and an edit "edit_<name>" per
// property; PE_CHANGE when the user edits a value.
class IPropertyGrid : public virtual IControl {
public:
    static constexpr std::int32_t kKind = CK_PROPERTY_GRID;
    // Adds the property or changes its value.
    virtual void SetProperty(const std::string& name, const std::string& value) = 0;
    // The value; null when there is no such property.
    virtual const std::string* GetProperty(const std::string& name) const = 0;
    virtual bool RemoveProperty(const std::string& name) = 0;
    virtual std::int32_t GetPropertyCount() const = 0;
    virtual const std::string& GetPropertyName(std::int32_t index) const = 0;
};

} // namespace velmora::gui
