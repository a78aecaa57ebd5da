#pragma once
// Makes the controls of the catalogue by kind.

#include <cstdint>
#include <memory>

namespace velmora::gui {

class cControl;

class cControlFactory {
public:
    // A new control of a catalogue kind (eControlKind 1-13); null for any other kind. Raises
    // "cControlFactory::CreateControl( %s ) : failed to allocate memory" with the control's name when
    // memory runs out.
    static std::unique_ptr<cControl> CreateControl(std::int32_t kind, const char* name);
};

} // namespace velmora::gui
