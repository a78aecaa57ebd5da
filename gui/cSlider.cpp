#include "gui/cSlider.h"

#include <algorithm>
#include <cmath>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cSkin.h"
#include "gui/cThumb.h"

namespace velmora::gui {

namespace {
constexpr float kKnob = 16.0f;

float Finite(float v, float fallback) { return std::isfinite(v) ? v : fallback; }
} // namespace

cSlider::cSlider() : cContainer(CK_SLIDER, SLE_COUNT) {
    m_Thumb = AddPart(std::make_unique<cThumb>(cThumb::STYLE_KNOB), "thumb");
    m_Thumb->SetDragHandler(cThumb::tDragHandler(this, &cSlider::OnThumbDrag));
}

void cSlider::SetRange(float minimum, float maximum) {
    minimum = Finite(minimum, 0.0f);
    maximum = Finite(maximum, 0.0f);
    if (maximum < minimum) std::swap(minimum, maximum);
    m_Minimum = minimum;
    m_Maximum = maximum;
    SetValue(m_Value);
}

void cSlider::SetStep(float step) {
    m_Step = std::isfinite(step) && step > 0.0f ? step : 0.0f;
    SetValue(m_Value);
}

void cSlider::SetValue(float value) {
    value = Finite(value, m_Minimum);
    if (m_Step > 0.0f) value = m_Minimum + std::round((value - m_Minimum) / m_Step) * m_Step;
    m_Value = std::clamp(value, m_Minimum, m_Maximum);
    Layout();
}

void cSlider::SetValueFromUser(float value) {
    const float before = m_Value;
    SetValue(value);
    if (m_Value != before) RaiseEvent(SLE_CHANGE);
}

void cSlider::TrackSpan(float& left, float& right) const {
    const cRect r = GetScreenRect();
    left = r.x1 + kKnob * 0.5f;
    right = std::max(left, r.x2 - kKnob * 0.5f);
}

float cSlider::ValueAt(float x) const {
    float left = 0.0f, right = 0.0f;
    TrackSpan(left, right);
    const float t = right > left ? std::clamp((x - left) / (right - left), 0.0f, 1.0f) : 0.0f;
    return m_Minimum + t * (m_Maximum - m_Minimum);
}

void cSlider::Layout() {
    if (!m_Thumb) return;
    const cRect local = GetRect().Normalized();
    const float width = local.x2 - local.x1, height = local.y2 - local.y1;
    const float range = m_Maximum - m_Minimum;
    const float t = range > 0.0f ? (m_Value - m_Minimum) / range : 0.0f;
    const float cx = kKnob * 0.5f + t * std::max(0.0f, width - kKnob);
    const float cy = height * 0.5f;
    m_Thumb->SetRect(cRect(cx - kKnob * 0.5f, cy - kKnob * 0.5f, cx + kKnob * 0.5f, cy + kKnob * 0.5f));
}

void cSlider::OnThumbDrag(float x, float) { SetValueFromUser(ValueAt(x + kKnob * 0.5f)); }

bool cSlider::OnMouseDown(float x, float) {
    m_Dragging = true;
    SetValueFromUser(ValueAt(x));
    return true;
}

void cSlider::OnMouseMove(float x, float) {
    if (m_Dragging) SetValueFromUser(ValueAt(x));
}

void cSlider::OnMouseUp(float, float, bool) { m_Dragging = false; }

bool cSlider::OnKeyDown(int code) {
    const float step = m_Step > 0.0f ? m_Step : (m_Maximum - m_Minimum) / 20.0f;
    switch (code) {
    case kKeyLeft:
    case kKeyDown: SetValueFromUser(m_Value - step); return true;
    case kKeyRight:
    case kKeyUp: SetValueFromUser(m_Value + step); return true;
    case kKeyHome: SetValueFromUser(m_Minimum); return true;
    case kKeyEnd: SetValueFromUser(m_Maximum); return true;
    default: return false;
    }
}

cRect cSlider::GetClipRect() const {
    // The knob may reach a little beyond the control's rectangle.
    const cRect r = GetScreenRect();
    return cRect(r.x1 - 2.0f, r.y1 - 4.0f, r.x2 + 2.0f, r.y2 + 4.0f);
}

void cSlider::RenderBackground(cSkin& skin) {
    const cRect r = GetScreenRect();
    const float cy = std::floor((r.y1 + r.y2) * 0.5f);
    const cRect track(r.x1 + 2.0f, cy - 3.0f, r.x2 - 2.0f, cy + 3.0f);
    const bool active = IsActive();
    skin.DrawPiece(SP_SLIDER_TRACK, 0, track, active ? cColor(255, 255, 255) : cColor(255, 255, 255, 140));
    const cRect thumb = m_Thumb->GetScreenRect();
    const float filled = (thumb.x1 + thumb.x2) * 0.5f;
    if (filled > track.x1 + 2.0f) {
        skin.FillRect(cRect(track.x1 + 1.0f, track.y1 + 1.0f, filled, track.y2 - 1.0f),
                      active ? cColor(40, 150, 160, 220) : cColor(150, 170, 176, 160));
    }
    if (HasFocus()) skin.FillRect(cRect(r.x1 + 2.0f, r.y1, r.x2 - 2.0f, r.y1 + 1.0f), cColor(38, 150, 160, 120));
}

void cSlider::WriteData(IFile* file) const {
    WriteFloat(file, m_Minimum);
    WriteFloat(file, m_Maximum);
    WriteFloat(file, m_Step);
    WriteFloat(file, m_Value);
}

void cSlider::ReadData(IFile* file, std::int32_t) {
    const char* who = "cSlider::ReadFromFile";
    const float minimum = ReadFloat(file, who);
    const float maximum = ReadFloat(file, who);
    const float step = ReadFloat(file, who);
    const float value = ReadFloat(file, who);
    m_Step = 0.0f;
    SetRange(minimum, maximum);
    SetStep(step);
    SetValue(value);
}

} // namespace velmora::gui
