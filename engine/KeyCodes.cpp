#include "engine/KeyCodes.h"

#include "engine/IInput.h"

namespace velmora {

namespace {

const unsigned char kCodeToVirtualKey[kKeyCount] = {
    // digits 0-9
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
    // keypad 0-9
    96, 97, 98, 99, 100, 101, 102, 103, 104, 105,
    // letters A-Z
    65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90,
    // F1-F12
    112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123,
    // Escape, Tab, Caps Lock, Shift, Control, left Windows, Alt, Space, Enter, Backspace
    27, 9, 20, 16, 17, 91, 18, 32, 13, 8,
    // Pause, Print Screen, Scroll Lock, Page Down, Page Up, Home, End, Insert, Delete
    19, 44, 145, 34, 33, 36, 35, 45, 46,
    // Up, Down, Left, Right, Num Lock
    38, 40, 37, 39, 144,
    // keypad divide, multiply, subtract, add, decimal
    111, 106, 109, 107, 110,
    // right, left, middle mouse button
    2, 1, 4,
};

} // namespace

int KeyCodeToVirtualKey(int code) {
    if (code < 0 || code >= kKeyCount) {
        return 0;
    }
    return kCodeToVirtualKey[code];
}

int VirtualKeyToKeyCode(int virtualKey) {
    for (int code = 0; code < kKeyCount; ++code) {
        if (kCodeToVirtualKey[code] == virtualKey) {
            return code;
        }
    }
    return kKeyNone;
}

} // namespace velmora
