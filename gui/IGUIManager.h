#pragma once
// The GUI manager: dialogs, focus and input routing.

namespace velmora::gui {

class IGUIManager {
public:
    virtual ~IGUIManager() = default;
    // Deletes the manager and its windows.
    virtual void Release() = 0;
    // Per-frame work.
    virtual void Update() = 0;
    // A key went down (engine key code).
    virtual void OnKeyDown(int code) = 0;
    // A character was typed.
    virtual void OnChar(int character) = 0;
    // Left button down / up, right button down / up, at the mouse position (y from the bottom).
    virtual void OnLeftButtonDown(float x, float y) = 0;
    virtual void OnLeftButtonUp(float x, float y) = 0;
    virtual void OnRightButtonDown(float x, float y) = 0;
    virtual void OnRightButtonUp(float x, float y) = 0;
};

// Constructs the GUI manager; null on failure.
IGUIManager* CreateGUIManager();

} // namespace velmora::gui
