#include "gui/cScroll.h"

#include <algorithm>
#include <cmath>

#include "gui/GUIFileIO.h"
#include "gui/cButton.h"
#include "gui/cSkin.h"
#include "gui/cThumb.h"

namespace velmora::gui {

namespace {
constexpr float kRepeatDelay = 0.4f;
constexpr float kRepeatInterval = 0.06f;
} // namespace

cScroll::cScroll() : cContainer(CK_SCROLL, SE_COUNT) {
    m_Decrease = AddPart(std::make_unique<cButton>(), "decrease");
    m_Increase = AddPart(std::make_unique<cButton>(), "increase");
    m_Thumb = AddPart(std::make_unique<cThumb>(cThumb::STYLE_BAR), "thumb");
    m_Decrease->SetEventHandler(BE_PRESS, tEventHandler(this, &cScroll::OnDecrease));
    m_Increase->SetEventHandler(BE_PRESS, tEventHandler(this, &cScroll::OnIncrease));
    m_Thumb->SetDragHandler(cThumb::tDragHandler(this, &cScroll::OnThumbDrag));
}

bool cScroll::IsVertical() const {
    const cRect r = GetRect();
    return r.GetHeight() > r.GetWidth();
}

void cScroll::SetRange(std::int32_t minimum, std::int32_t maximum) {
    if (maximum < minimum) std::swap(minimum, maximum);
    m_Minimum = minimum;
    m_Maximum = maximum;
    SetPosition(m_Position);
}

void cScroll::SetPosition(std::int32_t position) {
    m_Position = std::clamp(position, m_Minimum, m_Maximum);
    Layout();
}

void cScroll::SetPageSize(std::int32_t size) {
    m_PageSize = std::max(1, size);
    Layout();
}

void cScroll::SetPositionFromUser(std::int64_t position) {
    const std::int32_t before = m_Position;
    SetPosition(static_cast<std::int32_t>(std::clamp<std::int64_t>(position, m_Minimum, m_Maximum)));
    if (m_Position != before) RaiseEvent(SE_CHANGE);
}

void cScroll::OnDecrease(IControl*) {
    m_RepeatTime = -kRepeatDelay;
    SetPositionFromUser(std::int64_t{m_Position} - 1);
}

void cScroll::OnIncrease(IControl*) {
    m_RepeatTime = -kRepeatDelay;
    SetPositionFromUser(std::int64_t{m_Position} + 1);
}

cRect cScroll::GetTrackRect() const {
    const cRect r = GetScreenRect();
    if (IsVertical()) {
        const float side = std::min(r.x2 - r.x1, (r.y2 - r.y1) * 0.5f);
        return cRect(r.x1, r.y1 + side, r.x2, r.y2 - side);
    }
    const float side = std::min(r.y2 - r.y1, (r.x2 - r.x1) * 0.5f);
    return cRect(r.x1 + side, r.y1, r.x2 - side, r.y2);
}

float cScroll::GetThumbLength(const cRect& track) const {
    const float length = IsVertical() ? track.y2 - track.y1 : track.x2 - track.x1;
    const double range = static_cast<double>(m_Maximum) - m_Minimum;
    const double share = static_cast<double>(m_PageSize) / (range + m_PageSize);
    return std::min(length, std::max(12.0f, static_cast<float>(length * share)));
}

void cScroll::Layout() {
    if (!m_Thumb) return;
    const cRect local = GetRect().Normalized();
    const float w = local.x2 - local.x1, h = local.y2 - local.y1;
    const cRect screen = GetScreenRect();
    const cRect track = GetTrackRect();
    const float thumb = GetThumbLength(track);
    const double range = static_cast<double>(m_Maximum) - m_Minimum;
    const float t = range > 0.0 ? static_cast<float>((static_cast<double>(m_Position) - m_Minimum) / range) : 0.0f;
    if (IsVertical()) {
        const float side = std::min(w, h * 0.5f);
        m_Decrease->SetRect(cRect(0.0f, h - side, w, h));
        m_Increase->SetRect(cRect(0.0f, 0.0f, w, side));
        m_Decrease->SetArrow(ARROW_UP);
        m_Increase->SetArrow(ARROW_DOWN);
        // The minimum lies at the top.
        const float top = (track.y2 - screen.y1) - t * ((track.y2 - track.y1) - thumb);
        m_Thumb->SetRect(cRect(0.0f, top - thumb, w, top));
    } else {
        const float side = std::min(h, w * 0.5f);
        m_Decrease->SetRect(cRect(0.0f, 0.0f, side, h));
        m_Increase->SetRect(cRect(w - side, 0.0f, w, h));
        m_Decrease->SetArrow(ARROW_LEFT);
        m_Increase->SetArrow(ARROW_RIGHT);
        const float left = (track.x1 - screen.x1) + t * ((track.x2 - track.x1) - thumb);
        m_Thumb->SetRect(cRect(left, 0.0f, left + thumb, h));
    }
}

void cScroll::OnThumbDrag(float x, float y) {
    const cRect track = GetTrackRect();
    const float thumb = GetThumbLength(track);
    const float travel = (IsVertical() ? track.y2 - track.y1 : track.x2 - track.x1) - thumb;
    if (travel <= 0.0f) return;
    // x, y: where the thumb's lower-left corner would lie.
    const float t = IsVertical() ? (track.y2 - (y + thumb)) / travel : (x - track.x1) / travel;
    const double range = static_cast<double>(m_Maximum) - m_Minimum;
    SetPositionFromUser(m_Minimum + std::llround(std::clamp(t, 0.0f, 1.0f) * range));
}

bool cScroll::OnMouseDown(float x, float y) {
    // A click on the track pages towards the point.
    const cRect thumb = m_Thumb->GetScreenRect();
    const bool before = IsVertical() ? y > thumb.y2 : x < thumb.x1;
    SetPositionFromUser(std::int64_t{m_Position} + (before ? -std::int64_t{m_PageSize} : std::int64_t{m_PageSize}));
    return true;
}

void cScroll::Update(float seconds) {
    cContainer::Update(seconds);
    cButton* held = m_Decrease->IsPressed() && m_Decrease->IsHovered()   ? m_Decrease
                    : m_Increase->IsPressed() && m_Increase->IsHovered() ? m_Increase
                                                                         : nullptr;
    if (!held || !(seconds > 0.0f)) return;
    m_RepeatTime += seconds;
    while (m_RepeatTime >= kRepeatInterval) {
        m_RepeatTime -= kRepeatInterval;
        SetPositionFromUser(std::int64_t{m_Position} + (held == m_Decrease ? -1 : 1));
    }
}

void cScroll::RenderBackground(cSkin& skin) {
    const cRect track = GetTrackRect();
    skin.DrawPiece(SP_PANEL, 0, track, IsActive() ? cColor(226, 233, 236) : cColor(240, 242, 243));
}

void cScroll::WriteData(IFile* file) const {
    WriteInt32(file, m_Minimum);
    WriteInt32(file, m_Maximum);
    WriteInt32(file, m_PageSize);
    WriteInt32(file, m_Position);
}

void cScroll::ReadData(IFile* file, std::int32_t) {
    const char* who = "cScroll::ReadFromFile";
    const std::int32_t minimum = ReadInt32(file, who);
    const std::int32_t maximum = ReadInt32(file, who);
    const std::int32_t page = ReadInt32(file, who);
    const std::int32_t position = ReadInt32(file, who);
    SetRange(minimum, maximum);
    SetPageSize(page);
    SetPosition(position);
}

} // namespace velmora::gui
