#pragma once
// The engine key codes against the Windows virtual keys they stand for.

namespace velmora {

// Virtual key of an engine code; 0 for codes outside 0-89.
int KeyCodeToVirtualKey(int code);
// Engine code of a virtual key; kKeyNone (90) for keys outside the table.
int VirtualKeyToKeyCode(int virtualKey);

} // namespace velmora
