#pragma once
// The GUI manager: owns the dialogs (top-level windows), routes the engine's
// input to them, keeps the focused window, finds controls by key, loads and
// saves dialog files and draws everything with the shared skin.
//
// Input: the engine forwards key-down (engine key code), character and the
// four button events (mouse position, y from the bottom). Button events walk
// the windows in list order (front first) until one handles them; left-button
// events are offered to visible windows only, right-button events to every
// window (hidden and disabled windows decline them). Key-down and character
// events go to the focused window first, then to the other visible, enabled
// windows in list order, until one handles them. A window handles keys
// through its focused control; a window losing the manager's focus drops its
// control focus, so typing never lands in a window behind.

#include <cstdint>

#include "gui/IControl.h"

namespace velmora::video {
class IRenderer;
}
namespace velmora::script {
class IScript;
}

namespace velmora::gui {

class IGUIManager {
public:
    // Destroys the windows, then releases the script environment.
    virtual ~IGUIManager() = default;
    // Deletes the manager and its windows.
    virtual void Release() = 0;

    // ---- Per frame ----------------------------------------------------------------------------
    // Updates every visible, enabled window in list order; takes the mouse position from the engine's input
    // (when there is one) as a mouse move.
    virtual void Update() = 0;
    // Draws the visible windows back to front (the focused window last, on top) over the current viewport,
    // with the renderer's projection and states restored afterwards.
    virtual void Render() = 0;

    // ---- Input --------------------------------------------------------------------------------
    virtual void OnKeyDown(int code) = 0;
    virtual void OnChar(int character) = 0;
    virtual void OnLeftButtonDown(float x, float y) = 0;
    virtual void OnLeftButtonUp(float x, float y) = 0;
    virtual void OnRightButtonDown(float x, float y) = 0;
    virtual void OnRightButtonUp(float x, float y) = 0;
    // The mouse moved (drags, hover highlight); Update calls it from the engine's input.
    virtual void OnMouseMove(float x, float y) = 0;

    // ---- Dialogs ------------------------------------------------------------------------------
    // Logs "Creating dialog '%s'... "; null with "dialog with the same name found\n" when the name is taken;
    // otherwise a new window with the eDialogFlags applied, appended to the list, "succeeded\n".
    virtual IWindow* CreateDialog(const char* name, std::uint32_t flags) = 0;
    // Destroys a window of this manager; false when it is not one.
    virtual bool DestroyDialog(IWindow* window) = 0;
    // The first window of that name; null when missing.
    virtual IWindow* FindWindow(const char* name) = 0;
    // "window::control" (longer keys walk into composite controls). Logs
    // "cGUIManager::FindControl : invalid key '%s'\n", "... window '%s' not found\n" or
    // "... control '%s::%s' not found\n" and returns null when it cannot.
    virtual IControl* FindControl(const char* key) = 0;
    // Moves the window to the front and focuses it; null leaves no window focused. Raises
    // "cGUIManager::SetFocusedWindow : window '%s' not found" for a window not in the list.
    virtual void SetFocusedWindow(IWindow* window) = 0;
    virtual IWindow* GetFocusedWindow() const = 0;
    // The windows in list order, front first.
    virtual std::int32_t GetWindowCount() const = 0;
    virtual IWindow* GetWindow(std::int32_t index) const = 0;

    // ---- Files --------------------------------------------------------------------------------
    // A path containing ".bingui" is read as a binary dialog file, any other as dialog text. Errors are logged
    // as "cGUIManager::LoadGUI : %s\n" and give false; windows completely read before the error stay, the
    // window being read is removed.
    virtual bool LoadGUI(const char* path) = 0;
    // Writes every window in list order: as dialog text, or in the binary form when the path contains
    // ".bingui". Errors are logged as "cGUIManager::SaveGUI : %s\n" and give false.
    virtual bool SaveGUI(const char* path) = 0;

    // ---- Services -----------------------------------------------------------------------------
    // The script "guiScript" holding every control as "window::control" (and each window as "window::self");
    // null when the manager has no script environment. Compile event handler functions into it.
    virtual script::IScript* GetScript() = 0;
    // The renderer to draw with; without one set, the engine's renderer.
    virtual void SetRenderer(video::IRenderer* renderer) = 0;
    // The size docking keeps windows inside; without one set, the viewport of the last Render.
    virtual void SetViewSize(float width, float height) = 0;
};

// Constructs the GUI manager on the process-wide engine (its renderer and a script environment of its own);
// null on failure.
IGUIManager* CreateGUIManager();

} // namespace velmora::gui
