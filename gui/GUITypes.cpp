#include "gui/GUITypes.h"

namespace velmora::gui {

namespace {

struct sKindName {
    std::int32_t kind;
    const char* className;
    const char* logWord;
};

constexpr sKindName kKinds[] = {
    {CK_BUTTON, "cButton", "button"},
    {CK_LABEL, "cLabel", "label"},
    {CK_CHECK_BOX, "cCheckBox", "check box"},
    {CK_SCROLL, "cScroll", "scroll"},
    {CK_EDIT, "cEdit", "edit"},
    {CK_IMAGE, "cImage", "image"},
    {CK_GROUP_BOX, "cGroupBox", "group box"},
    {CK_LIST_BOX, "cListBox", "list box"},
    {CK_RADIO_GROUP, "cRadioGroup", "radio group"},
    {CK_SLIDER, "cSlider", "slider"},
    {CK_COMBO_BOX, "cComboBox", "combo box"},
    {CK_TAB_BOX, "cTabBox", "tab box"},
    {CK_PROPERTY_GRID, "cPropertyGrid", "property grid"},
    {CK_WINDOW, "cWindow", "window"},
    {CK_CONTAINER, "cContainer", "container"},
    {CK_THUMB, "cThumb", "thumb"},
    {CK_RADIO_ITEM, "cRadioItem", "radio item"},
};

} // namespace

const char* GetControlClassName(std::int32_t kind) {
    for (const sKindName& k : kKinds) {
        if (k.kind == kind) return k.className;
    }
    return "cControl";
}

const char* GetControlLogWord(std::int32_t kind) {
    for (const sKindName& k : kKinds) {
        if (k.kind == kind) return k.logWord;
    }
    return "control";
}

} // namespace velmora::gui
