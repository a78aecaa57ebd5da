#include "scene/camera/cCamera.h"

#include <cmath>

#include "engine/IEngine.h"
#include "engine/IInput.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/MathUtil.h"
#include "engine/core/cQuaternion.h"

namespace velmora::scene {

void cCamera::Release() { delete this; }

void cCamera::LookAt(const cVector3& point) {
    direction = (point - position).Normalized();
    right = Cross(direction, up);
}

void cCamera::MoveForward(float distance) { position += direction * distance; }

void cCamera::MoveRight(float distance) { position += right * distance; }

void cCamera::Rotate(float degrees, float x, float y, float z) {
    cVector3 axis(x, y, z);
    // An axis whose components sum to exactly one is taken as it is.
    if (x + y + z != 1.0f) {
        axis.Normalize();
    }
    const double h = degrees / 180.0 * kPi / 2.0;
    const float s = static_cast<float>(std::sin(h));
    const float c = static_cast<float>(std::cos(h));
    const cQuaternion q(axis.x * s, axis.y * s, axis.z * s, c);
    const cQuaternion qc(-axis.x * s, -axis.y * s, -axis.z * s, c);
    const cQuaternion v(direction.x, direction.y, direction.z, 0.0f);
    const cQuaternion r = q * v * qc;
    direction = cVector3(r.x, r.y, r.z);
}

void cCamera::MouseLook(float sensitivity) {
    IEngine* engine = GetEngine();
    IInput* input = GetInput();
    if (!engine || !input) {
        return;
    }
    const int cx = engine->GetViewWidth() / 2;
    const int cy = engine->GetViewHeight() / 2;
    const cVector2& mouse = input->GetMousePosition();
    if (mouse.x == static_cast<float>(cx) && mouse.y == static_cast<float>(cy)) {
        return;
    }
    const float yaw = (static_cast<float>(cx) - mouse.x) * sensitivity;
    const float pitch = (static_cast<float>(cy) - mouse.y) * sensitivity;
    m_Pitch -= pitch;
    if (m_Pitch >= 180.0f) {
        m_Pitch = 180.0f;
    } else if (m_Pitch <= 0.0f) {
        m_Pitch = 0.0f;
    } else {
        Rotate(-pitch, right.x, right.y, right.z);
    }
    Rotate(yaw, up.x, up.y, up.z);
    right = Cross(direction, up).Normalized();
    input->SetMousePosition(cx, cy);
}

} // namespace velmora::scene
