#pragma once
// Platform-neutral part of the input: mouse position, last key and actions.
// The platform class reads the keyboard and the cursor in Capture.

#include <map>
#include <memory>
#include <string>

#include "engine/IInput.h"

namespace velmora {

class cCommonInput : public IInput {
public:
    cCommonInput() = default;
    ~cCommonInput() override = default;

    bool WasKeyPressed(int code) override;
    int GetLastKey() override;
    const cVector2& GetMousePosition() const override { return m_Mouse; }
    void SetMousePosition(const cVector2& position) override;
    using IInput::SetMousePosition;
    bool AddAction(const std::string& name, int code, const tActionCallback& callback, bool held) override;
    bool SetActionCallback(const std::string& name, const tActionCallback& callback) override;
    int RemoveAction(const std::string& name) override;

    // Runs the callbacks of the actions whose keys fire, in name order (before this frame's capture).
    void ProcessActions();
    // Records the last key pressed (engine code).
    void SetLastKey(int code) { m_LastKey = code; }
    // Reads this frame's keyboard and mouse state for a client area of the given size.
    virtual void Capture(int width, int height) = 0;

protected:
    struct sAction {
        int code = kKeyNone;
        bool held = false;
        std::unique_ptr<tActionCallback> callback;
    };

    cVector2 m_Mouse{0.0f, 0.0f};
    int m_LastKey = kKeyNone;
    std::map<std::string, sAction> m_Actions;
    bool m_WasDown[kKeyCount] = {};
};

} // namespace velmora
