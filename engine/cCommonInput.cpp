#include "engine/cCommonInput.h"

namespace velmora {

bool cCommonInput::WasKeyPressed(int code) {
    if (code < 0 || code >= kKeyCount) {
        return false;
    }
    if (!IsKeyDown(code)) {
        m_WasDown[code] = false;
        return false;
    }
    if (!m_WasDown[code]) {
        m_WasDown[code] = true;
        return true;
    }
    return false;
}

int cCommonInput::GetLastKey() {
    const int key = m_LastKey;
    m_LastKey = kKeyNone;
    return key;
}

void cCommonInput::SetMousePosition(const cVector2& position) {
    SetMousePosition(static_cast<int>(position.x), static_cast<int>(position.y));
}

bool cCommonInput::AddAction(const std::string& name, int code, const tActionCallback& callback, bool held) {
    if (m_Actions.count(name)) {
        return false;
    }
    sAction& action = m_Actions[name];
    action.code = code;
    action.held = held;
    action.callback = std::make_unique<tActionCallback>(callback);
    return true;
}

bool cCommonInput::SetActionCallback(const std::string& name, const tActionCallback& callback) {
    auto it = m_Actions.find(name);
    if (it == m_Actions.end()) {
        return false;
    }
    it->second.callback = std::make_unique<tActionCallback>(callback);
    return true;
}

int cCommonInput::RemoveAction(const std::string& name) { return static_cast<int>(m_Actions.erase(name)); }

void cCommonInput::ProcessActions() {
    // A callback may add or remove actions, so walk by name rather than by iterator.
    std::string name;
    bool first = true;
    for (;;) {
        auto it = first ? m_Actions.begin() : m_Actions.upper_bound(name);
        first = false;
        if (it == m_Actions.end()) {
            break;
        }
        name = it->first;
        sAction& action = it->second;
        const bool fire = action.held ? IsKeyDown(action.code) : WasKeyPressed(action.code);
        if (fire && action.callback) {
            // Keep the callback alive even if it replaces or removes its own action.
            tActionCallback callback(*action.callback);
            callback();
        }
    }
}

} // namespace velmora
