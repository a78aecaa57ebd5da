#pragma once
// The executable's string resources.

namespace brevonne {

// The string resource with this id, or null when there is none (id 1: the screensaver name).
const char* LoadStringResource(int id);

} // namespace brevonne
