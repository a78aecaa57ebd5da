#include "gui/cControlFactory.h"

#include <new>

#include "engine/core/cException.h"
#include "gui/cButton.h"
#include "gui/cCheckBox.h"
#include "gui/cComboBox.h"
#include "gui/cEdit.h"
#include "gui/cGroupBox.h"
#include "gui/cImage.h"
#include "gui/cLabel.h"
#include "gui/cListBox.h"
#include "gui/cPropertyGrid.h"
#include "gui/cRadioGroup.h"
#include "gui/cScroll.h"
#include "gui/cSlider.h"
#include "gui/cTabBox.h"

namespace velmora::gui {

namespace {

template <class T>
cControl* Make() {
    return new (std::nothrow) T();
}

} // namespace

std::unique_ptr<cControl> cControlFactory::CreateControl(std::int32_t kind, const char* name) {
    cControl* control = nullptr;
    switch (kind) {
    case CK_BUTTON: control = Make<cButton>(); break;
    case CK_LABEL: control = Make<cLabel>(); break;
    case CK_CHECK_BOX: control = Make<cCheckBox>(); break;
    case CK_SCROLL: control = Make<cScroll>(); break;
    case CK_EDIT: control = Make<cEdit>(); break;
    case CK_IMAGE: control = Make<cImage>(); break;
    case CK_GROUP_BOX: control = Make<cGroupBox>(); break;
    case CK_LIST_BOX: control = Make<cListBox>(); break;
    case CK_RADIO_GROUP: control = Make<cRadioGroup>(); break;
    case CK_SLIDER: control = Make<cSlider>(); break;
    case CK_COMBO_BOX: control = Make<cComboBox>(); break;
    case CK_TAB_BOX: control = Make<cTabBox>(); break;
    case CK_PROPERTY_GRID: control = Make<cPropertyGrid>(); break;
    default: return nullptr;
    }
    if (!control) {
        RaiseError("cControlFactory::CreateControl( %s ) : failed to allocate memory", name ? name : "");
    }
    return std::unique_ptr<cControl>(control);
}

} // namespace velmora::gui
