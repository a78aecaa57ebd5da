#pragma once
// A scroll bar with "decrease" and "increase" arrow buttons at its ends and a "thumb" dragged along the track
// between them. The buttons step by one (repeating while held), a click on the track moves by a page.

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cButton;
class cThumb;

class cScroll : public cContainer, public virtual IScroll {
public:
    cScroll();

    void SetRange(std::int32_t minimum, std::int32_t maximum) override;
    std::int32_t GetMinimum() const override { return m_Minimum; }
    std::int32_t GetMaximum() const override { return m_Maximum; }
    void SetPosition(std::int32_t position) override;
    std::int32_t GetPosition() const override { return m_Position; }
    void SetPageSize(std::int32_t size) override;
    std::int32_t GetPageSize() const override { return m_PageSize; }

    // Vertical when taller than wide.
    bool IsVertical() const;
    // Moves the position as the user does (raising the change event when it moved).
    void SetPositionFromUser(std::int64_t position);

    void Layout() override;
    bool OnMouseDown(float x, float y) override;
    void Update(float seconds) override;
    void RenderBackground(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    // The track between the buttons, in screen coordinates.
    cRect GetTrackRect() const;
    float GetThumbLength(const cRect& track) const;
    void OnDecrease(IControl* sender);
    void OnIncrease(IControl* sender);
    void OnThumbDrag(float x, float y);

    std::int32_t m_Minimum = 0;
    std::int32_t m_Maximum = 100;
    std::int32_t m_Position = 0;
    std::int32_t m_PageSize = 10;
    float m_RepeatTime = 0.0f;
    cButton* m_Decrease = nullptr;
    cButton* m_Increase = nullptr;
    cThumb* m_Thumb = nullptr;
};

} // namespace velmora::gui
