#pragma once
// The base of every control: name, kind, parent, rectangle, flags, caption,
// event handlers, the input and drawing hooks the window calls, and the
// control's part of the ".bingui" record.
//
// Input reaches controls through their window in screen coordinates. A
// control that takes a left-button press (OnMouseDown returns true) holds the
// mouse until the button is released: it receives the moves and the release
// wherever they happen.

#include <cstdint>
#include <string>
#include <vector>

#include "gui/IControl.h"

namespace velmora {
class IFile;
}

namespace velmora::gui {

class cContainer;
class cWindow;
class cSkin;
class cGUIScript;
struct sControlRef;

class cControl : public virtual IControl {
public:
    // Screen rectangles are kept within this many pixels of the origin.
    static constexpr float kMaxCoordinate = 100000.0f;

    cControl(std::int32_t kind, std::int32_t eventCount);
    ~cControl() override;
    cControl(const cControl&) = delete;
    cControl& operator=(const cControl&) = delete;

    // ---- IControl -------------------------------------------------------------------------------
    const std::string& GetName() const override { return m_Name; }
    std::int32_t GetKind() const override { return m_Kind; }
    const char* GetClassName() const override;
    IContainer* GetParent() const override;
    IWindow* GetParentWindow() override;
    const cRect& GetRect() const override { return m_Rect; }
    // Non-finite numbers become 0 and the corners are kept within kMaxCoordinate.
    void SetRect(const cRect& rect) override;
    cRect GetScreenRect() const override;
    bool IsVisible() const override { return m_Visible; }
    void SetVisible(bool visible) override;
    bool IsEnabled() const override { return m_Enabled; }
    void SetEnabled(bool enabled) override;
    bool IsDragable() const override { return m_Dragable; }
    void SetDragable(bool dragable) override { m_Dragable = dragable; }
    const std::string& GetCaption() const override { return m_Caption; }
    void SetCaption(const std::string& caption) override { m_Caption = caption; }
    std::int32_t GetEventCount() const override { return static_cast<std::int32_t>(m_Handlers.size()); }
    bool SetEventHandler(std::int32_t index, const tEventHandler& handler) override;
    bool SetEventHandler(std::int32_t index, const char* scriptFunction) override;
    bool HasFocus() const override;
    void SetFocus() override;

    // ---- Tree ---------------------------------------------------------------------------------
    void SetName(const std::string& name) { m_Name = name; }
    cContainer* GetParentContainer() const { return m_Parent; }
    void SetParentContainer(cContainer* parent) { m_Parent = parent; }
    // The window holding the control (a window is its own); null when there is none.
    cWindow* FindWindow() const;
    // The outermost container above the control (itself when it has no parent).
    const cControl* GetRoot() const;
    // True when the control lies inside (or is) the other control.
    bool IsInside(const cControl* other) const;
    // Parts are the children a composite control makes for itself; users' controls are not parts.
    bool IsPart() const { return m_IsPart; }
    void SetPart(bool part) { m_IsPart = part; }
    // True for containers whose children are users' controls (windows, group boxes, tab pages).
    virtual bool HoldsUserControls() const { return false; }
    // Visible (enabled) itself and every container above.
    bool IsShown() const;
    bool IsActive() const;
    bool ContainsPoint(float x, float y) const;
    // The manager's script binding, when the control lies in a managed window.
    cGUIScript* FindScript() const;
    sControlRef* GetScriptRef() const { return m_ScriptRef; }
    void SetScriptRef(sControlRef* ref) { m_ScriptRef = ref; }

    // ---- Input (screen coordinates; true when handled) -----------------------------------------
    // The deepest visible control under the point, or null.
    virtual cControl* HitTest(float x, float y);
    virtual bool OnMouseDown(float x, float y);
    // The press ends; inside tells whether the point lies on the control.
    virtual void OnMouseUp(float x, float y, bool inside);
    virtual void OnMouseMove(float x, float y);
    virtual bool OnKeyDown(int code);
    virtual bool OnChar(int character);
    // True when the control takes the keyboard focus.
    virtual bool CanFocus() const { return false; }
    virtual void OnFocusChanged(bool focused);
    // The window closed this control's popup (a click elsewhere, Escape, the window losing focus).
    virtual void OnPopupClosed();
    bool IsHovered() const { return m_Hovered; }
    void SetHovered(bool hovered) { m_Hovered = hovered; }

    // ---- Frame --------------------------------------------------------------------------------
    // Places the parts of a composite control for its current rectangle and state.
    virtual void Layout();
    // The skin the control measures text with: its manager's, or one without fonts (fixed-width text).
    const cSkin& GetLayoutSkin() const;
    virtual void Update(float seconds);
    virtual void Render(cSkin& skin);

    // ---- Events -------------------------------------------------------------------------------
    // Calls the handler of the event (a copy of it, so a handler may replace itself).
    void RaiseEvent(std::int32_t index);

    // ---- Binary dialogs ------------------------------------------------------------------------
    // Rectangle, flags and caption, then the control's own data. Errors raise cException.
    void WriteToFile(IFile* file) const;
    void ReadFromFile(IFile* file, std::int32_t depth);

protected:
    virtual void WriteData(IFile* file) const;
    // depth: nesting level of containers, limited by the reader.
    virtual void ReadData(IFile* file, std::int32_t depth);
    // The state index of multi-state skin pieces: 0 normal, 1 hover, 2 pressed, 3 disabled.
    std::int32_t GetVisualState(bool pressed) const;

private:
    std::string m_Name;
    std::int32_t m_Kind;
    cContainer* m_Parent = nullptr;
    cRect m_Rect;
    bool m_Visible = true;
    bool m_Enabled = true;
    bool m_Dragable = false;
    bool m_IsPart = false;
    bool m_Hovered = false;
    std::string m_Caption;
    std::vector<tEventHandler> m_Handlers;
    sControlRef* m_ScriptRef = nullptr;
};

} // namespace velmora::gui
