#pragma once
// Shared vocabulary of the GUI toolkit: control kinds (also the numbers the
// ".bingui" files store), dialog flags, the event indices of every control
// and the event handler type.
//
// Geometry: every "rect" is two corners (x1, y1, x2, y2) in pixels with y
// growing upwards, as everywhere in the engine's screen space. A window's
// rect is in screen coordinates (origin at the bottom-left of the view); a
// control's rect is relative to the bottom-left corner of its parent's rect.

#include <cstdint>

#include "engine/core/cFunctor.h"

namespace velmora::gui {

class IControl;

// An event handler: a host functor (free function, lambda, object and method) or, set through
// IControl::SetEventHandler with a function name, a function of the GUI manager's script.
// It receives the control that raised the event.
using tEventHandler = cFunctor<void, tTypeList<IControl*>>;

// Control kinds. 1-13 are the catalogue; the others are windows and the parts of composite controls,
// which files never name directly.
enum eControlKind : std::int32_t {
    CK_UNKNOWN = 0,
    CK_BUTTON = 1,
    CK_LABEL = 2,
    CK_CHECK_BOX = 3,
    CK_SCROLL = 4,
    CK_EDIT = 5,
    CK_IMAGE = 6,
    CK_GROUP_BOX = 7,
    CK_LIST_BOX = 8,
    CK_RADIO_GROUP = 9,
    CK_SLIDER = 10,
    CK_COMBO_BOX = 11,
    CK_TAB_BOX = 12,
    CK_PROPERTY_GRID = 13,
    CK_CATALOGUE_LAST = CK_PROPERTY_GRID,
    CK_WINDOW = 100,
    CK_CONTAINER = 101,  // a plain container: tab pages, the rows of a property grid
    CK_THUMB = 102,      // the dragged part of sliders and scrolls
    CK_RADIO_ITEM = 103,
};

// True for the kinds a container creates by kind (AddControl, dialog files).
constexpr bool IsCatalogueKind(std::int32_t kind) { return kind >= CK_BUTTON && kind <= CK_CATALOGUE_LAST; }
// The class name of a kind ("cButton"); "cControl" for unknown kinds.
const char* GetControlClassName(std::int32_t kind);
// The word the creation log line uses ("button", "check box"); "control" for unknown kinds.
const char* GetControlLogWord(std::int32_t kind);

// Flags of IGUIManager::CreateDialog.
enum eDialogFlags : std::uint32_t {
    DF_NONE = 0,
    DF_HIDDEN = 0x01,    // created invisible
    DF_DISABLED = 0x02,  // created disabled
    DF_DRAGABLE = 0x04,  // the user may drag it by its caption bar (or anywhere without one)
    DF_DOCKABLE = 0x08,  // snaps to the view's edges and other windows while dragged
};

// Event indices per control class. A control accepts handlers for 0 <= index < its event count.
enum eWindowEvent : std::int32_t { WE_ACTIVATE = 0, WE_MOVE = 1, WE_COUNT };      // clicked; drag finished
enum eButtonEvent : std::int32_t { BE_CLICK = 0, BE_PRESS = 1, BE_RELEASE = 2, BE_COUNT };
enum eCheckBoxEvent : std::int32_t { CBE_CHANGE = 0, CBE_COUNT };                // toggled by the user
enum eScrollEvent : std::int32_t { SE_CHANGE = 0, SE_COUNT };                    // position moved by the user
enum eEditEvent : std::int32_t { EE_CHANGE = 0, EE_ENTER = 1, EE_COUNT };         // text typed; Enter in one line
enum eImageEvent : std::int32_t { IE_CLICK = 0, IE_COUNT };
enum eListBoxEvent : std::int32_t { LE_SELECT = 0, LE_COUNT };                   // selection changed by the user
enum eRadioGroupEvent : std::int32_t { RE_SELECT = 0, RE_COUNT };
enum eSliderEvent : std::int32_t { SLE_CHANGE = 0, SLE_COUNT };
enum eComboBoxEvent : std::int32_t { CE_SELECT = 0, CE_COUNT };
enum eTabBoxEvent : std::int32_t { TE_PAGE = 0, TE_COUNT };                      // another page shown by the user
enum ePropertyGridEvent : std::int32_t { PE_CHANGE = 0, PE_COUNT };              // a value edited by the user
// Labels, group boxes, containers, thumbs and radio items raise no events.

} // namespace velmora::gui
