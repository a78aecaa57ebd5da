#pragma once
// A control holding other controls: users' controls (windows, group boxes,
// tab pages) or the parts of a composite control. Children are drawn in
// order, clipped to the container, and hit-tested front (last) first.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/cControl.h"

namespace velmora::gui {

class cContainer : public cControl, public virtual IContainer {
public:
    // Containers nest at most this deep in dialog files.
    static constexpr std::int32_t kMaxDepth = 32;

    cContainer(std::int32_t kind, std::int32_t eventCount);
    ~cContainer() override;

    // ---- IContainer -----------------------------------------------------------------------------
    IControl* AddControl(std::int32_t kind, const char* name) override;
    bool RemoveControl(const char* name) override;
    IControl* FindControl(const char* name) override;
    std::int32_t GetControlCount() const override { return static_cast<std::int32_t>(m_Children.size()); }
    IControl* GetControl(std::int32_t index) override;

    // ---- Toolkit ------------------------------------------------------------------------------
    // Plain containers (tab pages) may be made to hold users' controls.
    bool HoldsUserControls() const override { return m_HoldsUserControls; }
    void SetHoldsUserControls(bool holds) { m_HoldsUserControls = holds; }
    // Adds a part of a composite control under the given name; returns it.
    template <class T>
    T* AddPart(std::unique_ptr<T> part, const std::string& name) {
        T* raw = part.get();
        AdoptPart(std::move(part), name);
        return raw;
    }
    // A direct child by name (parts included).
    cControl* FindChild(const std::string& name) const;
    // A user's control by name in this container and the containers of users' controls inside, nearest first.
    cControl* FindUserControl(const std::string& name) const;
    const std::vector<std::unique_ptr<cControl>>& GetChildren() const { return m_Children; }
    // Takes a child out of the container and hands it to its manager for deletion (at once when no input
    // is being handled) or deletes it.
    void DestroyChild(cControl* child);
    // Registers the container's users' controls (and the window itself) in the manager's script; logs
    // "cContainer::SelfRegister : NULL pointer to script\n" without one.
    void SelfRegister(cGUIScript* script);

    cControl* HitTest(float x, float y) override;
    void Update(float seconds) override;
    // The background (RenderBackground), then the children clipped to GetClipRect.
    void Render(cSkin& skin) override;
    virtual void RenderBackground(cSkin& skin);
    // The screen rectangle children are clipped to.
    virtual cRect GetClipRect() const { return GetScreenRect(); }

    // Users' controls to and from binary dialogs: a count, then kind, name and record of each.
    void WriteChildren(IFile* file) const;
    void ReadChildren(IFile* file, std::int32_t depth);

protected:
    void AdoptPart(std::unique_ptr<cControl> part, const std::string& name);

private:
    std::vector<std::unique_ptr<cControl>> m_Children;
    bool m_HoldsUserControls = false;
};

} // namespace velmora::gui
