#pragma once
// A dialog: a container with an optional caption bar, owned by the GUI
// manager. It routes the input the manager offers it to its controls, keeps
// the control with the keyboard focus, the control holding the mouse, the
// hovered control and an open drop-down list (popup), and drags itself when
// dragable.

#include <cstdint>

#include "gui/cContainer.h"

namespace velmora::gui {

class cGUIManager;

class cWindow : public cContainer, public virtual IWindow {
public:
    static constexpr float kDefaultDockingThreshold = 8.0f;

    explicit cWindow(cGUIManager* manager);
    ~cWindow() override;

    // ---- IWindow ------------------------------------------------------------------------------
    float GetDockingThreshold() const override { return m_DockingThreshold; }
    void SetDockingThreshold(float pixels) override;
    bool IsDockable() const override { return m_Dockable; }
    void SetDockable(bool dockable) override { m_Dockable = dockable; }
    IGUIManager* GetManager() const override;
    bool HoldsUserControls() const override { return true; }

    cGUIManager* GetManagerImpl() const { return m_Manager; }
    // Cut off from the manager (the window is being destroyed).
    void DetachFromManager() { m_Manager = nullptr; }
    // While loading from a file controls are not registered in the script one by one.
    bool IsLoading() const { return m_Loading; }
    void SetLoading(bool loading) { m_Loading = loading; }
    // The caption bar, when the window has a caption; its height is cSkin::kCaptionHeight.
    bool HasCaptionBar() const { return !GetCaption().empty(); }
    cRect GetCaptionRect() const;

    // ---- Focus, capture, popup -----------------------------------------------------------------
    cControl* GetFocusControl() const { return m_Focus; }
    // Moves the keyboard focus (null: none).
    void SetFocusControl(cControl* control);
    // The next (or previous) control that takes the focus, in tree order, wrapping around.
    void FocusNext(bool backwards);
    cControl* GetCaptureControl() const { return m_Capture; }
    bool IsDragging() const { return m_Dragging; }
    // A part drawn above everything and offered the mouse first (a dropped list); null closes it.
    void SetPopup(cControl* popup);
    cControl* GetPopup() const { return m_Popup; }
    // Drops every reference to the control (and what lies inside it): focus, mouse, hover, popup.
    // removed: the control is leaving the window, so the popup owner closes too.
    void ForgetControl(cControl* control, bool removed);
    // The window lost the manager's focus: no control focus, no popup.
    void Deactivate();

    // ---- Input from the manager (screen coordinates; true when handled) -------------------------
    bool HandleLeftButtonDown(float x, float y);
    bool HandleLeftButtonUp(float x, float y);
    bool HandleRightButtonDown(float x, float y);
    bool HandleRightButtonUp(float x, float y);
    void HandleMouseMove(float x, float y);
    // active: the window is the manager's focused window (Tab moves the focus only there).
    bool HandleKeyDown(int code, bool active);
    bool HandleChar(int character);
    // True while the window holds the mouse (a pressed control or a drag).
    bool HasMouseCapture() const { return m_Capture != nullptr || m_Dragging; }
    // The hovered control follows the point; outside, nothing is hovered.
    void UpdateHover(float x, float y, bool inside);
    // The point lies on the window or on its popup.
    bool IsUnder(float x, float y) const;

    void Update(float seconds) override;
    void Render(cSkin& skin) override;
    void RenderBackground(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    void SetHover(cControl* control);

    cGUIManager* m_Manager;
    float m_DockingThreshold = kDefaultDockingThreshold;
    bool m_Dockable = false;
    bool m_Loading = false;
    cControl* m_Focus = nullptr;
    cControl* m_Capture = nullptr;
    cControl* m_Hover = nullptr;
    cControl* m_Popup = nullptr;
    bool m_Dragging = false;
    float m_GrabX = 0.0f, m_GrabY = 0.0f;
};

} // namespace velmora::gui
