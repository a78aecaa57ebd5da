#pragma once
// Controls, containers and windows as users of the toolkit see them.
//
// Every control belongs to one container and is destroyed with it; windows
// belong to the GUI manager. Names of the controls a user adds are unique
// within their window (group boxes and tab pages included), so the key
// "window::control" names one control. Composite controls (scrolls, list,
// combo and tab boxes, property grids, radio groups, sliders) own named
// parts that live in the composite's own name space and are reached by a
// longer key ("window::combo::button_Drop").
//
// Interfaces inherit IControl virtually: cast between them with
// dynamic_cast or ControlCast below.

#include <cstdint>
#include <string>

#include "engine/core/cRect.h"
#include "gui/GUITypes.h"

namespace velmora::gui {

class IContainer;
class IWindow;
class IGUIManager;

class IControl {
public:
    // Controls are destroyed by their container (IContainer::RemoveControl) or with it.
    virtual ~IControl() = default;

    // The name given at creation.
    virtual const std::string& GetName() const = 0;
    // The eControlKind.
    virtual std::int32_t GetKind() const = 0;
    // The class name ("cButton"), used in messages.
    virtual const char* GetClassName() const = 0;
    // The container holding the control; null for windows and controls not added anywhere.
    virtual IContainer* GetParent() const = 0;
    // The window the control lies in (a window is its own); raises
    // "cControl::GetParentWindow : control '%s' has no parent" when there is none.
    virtual IWindow* GetParentWindow() = 0;

    // The rectangle relative to the parent (windows: in screen coordinates).
    virtual const cRect& GetRect() const = 0;
    virtual void SetRect(const cRect& rect) = 0;
    // The rectangle in screen coordinates.
    virtual cRect GetScreenRect() const = 0;

    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    // A disabled control is drawn greyed and ignores input; so are the controls inside a disabled container.
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Dragable windows move with the mouse; the flag is kept but has no effect on other controls.
    virtual bool IsDragable() const = 0;
    virtual void SetDragable(bool dragable) = 0;
    // The caption text (button, label, check box, group box, radio group, window title; kept by every control).
    virtual const std::string& GetCaption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    // Number of event indices the control accepts (see GUITypes.h).
    virtual std::int32_t GetEventCount() const = 0;
    // Installs a host handler for an event (an empty functor removes it); an index out of range logs
    // "<class>( <name> )::SetEventHandler : invalid event index %d" and returns false.
    virtual bool SetEventHandler(std::int32_t index, const tEventHandler& handler) = 0;
    // Installs a function of the manager's script ("guiScript") taking no arguments as the handler;
    // false with a warning for a bad index, a control outside a managed window or a manager without script.
    virtual bool SetEventHandler(std::int32_t index, const char* scriptFunction) = 0;

    // True when the control has the keyboard focus of its window.
    virtual bool HasFocus() const = 0;
    // Gives the control the keyboard focus of its window (when it can take it).
    virtual void SetFocus() = 0;
};

class IContainer : public virtual IControl {
public:
    // Creates a control of a catalogue kind (eControlKind 1-13) and appends it. Logs
    // "Creating <word> '<window>::<name>'... " and "succeeded\n", or the warning
    // "control with the same name found\n" (the name is taken in the window) or the factory's message;
    // null on failure.
    virtual IControl* AddControl(std::int32_t kind, const char* name) = 0;
    // Destroys a control added by AddControl (searched like FindControl); false when there is none.
    virtual bool RemoveControl(const char* name) = 0;
    // A control added by a user, searched here and in the group boxes and tab pages inside, nearest first;
    // "a::b" walks into the control a (parts of composite controls included). Null when missing.
    virtual IControl* FindControl(const char* name) = 0;
    // Direct children in drawing order (parts of composite controls included).
    virtual std::int32_t GetControlCount() const = 0;
    virtual IControl* GetControl(std::int32_t index) = 0;
};

class IWindow : public virtual IContainer {
public:
    // Distance in pixels within which a dragged dockable window snaps to an edge (8 at creation).
    virtual float GetDockingThreshold() const = 0;
    virtual void SetDockingThreshold(float pixels) = 0;
    virtual bool IsDockable() const = 0;
    virtual void SetDockable(bool dockable) = 0;
    // The manager owning the window (null for windows outside a manager).
    virtual IGUIManager* GetManager() const = 0;
};

// The control as interface T (null when it is another kind).
template <class T>
T* ControlCast(IControl* control) {
    return dynamic_cast<T*>(control);
}

// Adds a control of interface T (IButton, IEdit, ...) to a container: AddControl with T::kKind.
template <class T>
T* AddControl(IContainer* container, const char* name) {
    return container ? dynamic_cast<T*>(container->AddControl(T::kKind, name)) : nullptr;
}

} // namespace velmora::gui
