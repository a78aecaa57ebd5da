#include "gui/IGUIManager.h"

namespace velmora::gui {

// The GUI toolkit is not built yet.
IGUIManager* CreateGUIManager() { return nullptr; }

} // namespace velmora::gui
