#pragma once
// Per-frame keyboard and mouse snapshot in the engine's own key codes, plus
// named actions: a key bound to a callback that runs once per press or on
// every frame while the key is held.

#include <string>

#include "engine/core/cFunctor.h"
#include "engine/core/cVector2.h"

namespace velmora {

// Engine key codes 0-89; kKeyNone (90) means no key.
enum eKeyCode : int {
    kKey0 = 0,        // digits 0-9: kKey0 + n
    kKeyNumpad0 = 10, // keypad 0-9: kKeyNumpad0 + n
    kKeyA = 20,       // letters A-Z: kKeyA + n
    kKeyF1 = 46,      // F1-F12: kKeyF1 + n
    kKeyEscape = 58,
    kKeyTab = 59,
    kKeyCapsLock = 60,
    kKeyShift = 61,
    kKeyControl = 62,
    kKeyLeftWindows = 63,
    kKeyAlt = 64,
    kKeySpace = 65,
    kKeyEnter = 66,
    kKeyBackspace = 67,
    kKeyPause = 68,
    kKeyPrintScreen = 69,
    kKeyScrollLock = 70,
    kKeyPageDown = 71,
    kKeyPageUp = 72,
    kKeyHome = 73,
    kKeyEnd = 74,
    kKeyInsert = 75,
    kKeyDelete = 76,
    kKeyUp = 77,
    kKeyDown = 78,
    kKeyLeft = 79,
    kKeyRight = 80,
    kKeyNumLock = 81,
    kKeyDivide = 82,
    kKeyMultiply = 83,
    kKeySubtract = 84,
    kKeyAdd = 85,
    kKeyDecimal = 86,
    kKeyRightButton = 87,
    kKeyLeftButton = 88,
    kKeyMiddleButton = 89,
    kKeyCount = 90,
    kKeyNone = 90,
};

// Action callbacks take no arguments.
using tActionCallback = cFunctor<void, sNullType>;

class IInput {
public:
    // Deletes every action and its callback.
    virtual ~IInput() = default;
    // True only on the first query after the key went down.
    virtual bool WasKeyPressed(int code) = 0;
    // True while the key is down in this frame's snapshot.
    virtual bool IsKeyDown(int code) const = 0;
    // The last key pressed; resets it to kKeyNone.
    virtual int GetLastKey() = 0;
    // Mouse position in client pixels, y counted from the bottom edge.
    virtual const cVector2& GetMousePosition() const = 0;
    // Stores the position and moves the system cursor to client point (x, height - y).
    virtual void SetMousePosition(int x, int y) = 0;
    // Forwards to SetMousePosition(int, int).
    virtual void SetMousePosition(const cVector2& position) = 0;
    // Adds an action; false when the name exists.
    virtual bool AddAction(const std::string& name, int code, const tActionCallback& callback, bool held) = 0;
    // Replaces an action's callback; false when the name does not exist.
    virtual bool SetActionCallback(const std::string& name, const tActionCallback& callback) = 0;
    // Removes an action; returns how many were removed (0 or 1).
    virtual int RemoveAction(const std::string& name) = 0;
};

} // namespace velmora
